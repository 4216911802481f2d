// Dialog layouts designed in twips, shown at the screen's logical DPI.
#pragma once

#include <QWidget>

namespace ombrix {

class TwipLayout {
  public:
    // Uses the logical DPI of `w` and sets its font ("MS Sans Serif" is the system's sans
    // serif font at 8 points).
    TwipLayout(QWidget* w, const char* fontName);
    int px(double twips) const;
    void place(QWidget* control, double left, double top, double width, double height) const;
    void setInnerSize(QWidget* window, double width, double height) const;

  private:
    double m_dpi;
};

// Moves a top-level window so that it is centred on its screen.
void centreOnScreen(QWidget* window);

}  // namespace ombrix
