// The two areas of the main window: StatusBox prints text lines, Graphbox shows the graph.
#pragma once

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>

#include "platform/Picture.h"
#include "platform/StatusText.h"

namespace ombrix {

// Shows the status lines from the top-left corner, one printed line under the other.
class StatusBox : public QWidget {
    Q_OBJECT
  public:
    StatusBox(StatusText& text, QWidget* parent = nullptr);
    // Draws the lines into a painter whose units are this widget's pixels.
    void renderTo(QPainter& painter) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    StatusText& m_text;
};

// Shows the retained picture of the graph area. Drawing calls are painted once onto a cached
// image; a repaint only copies the image, and a resize paints the picture anew at the new size.
class Graphbox : public QWidget {
    Q_OBJECT
  public:
    Graphbox(Picture& picture, QWidget* parent = nullptr);

    // Called on a mouse-down with the button, the shift state and the position in the
    // picture's user units (frame units once a graph has set its scale).
    void setMouseDownHandler(std::function<void(int, int, double, double)> handler) {
        m_mouseDown = std::move(handler);
    }
    const Picture& picture() const { return m_picture; }
    // The image of the graph area as it is on screen.
    QImage currentImage();
    // Draws the picture anew into a painter whose units are this widget's pixels (for
    // printing at the printer's resolution).
    void renderTo(QPainter& painter) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void bringCacheUpToDate();

    Picture& m_picture;
    QImage m_cache;
    unsigned long m_cachedGeneration = ~0UL;
    std::size_t m_cachedOps = 0;
    std::function<void(int, int, double, double)> m_mouseDown;
};

}  // namespace ombrix
