// The progress window: a caption and a bar that fills from left to right.
#pragma once

#include <QLabel>
#include <QWidget>

namespace ombrix {

// The bar area: every painted fraction stays, so it shows the largest one painted so far.
class ProgressBarArea : public QWidget {
    Q_OBJECT
  public:
    explicit ProgressBarArea(QWidget* parent = nullptr) : QWidget(parent) {}
    void paintFraction(double fraction);
    double filled() const { return m_filled; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double m_filled = 0;
};

class PerDone : public QWidget {
    Q_OBJECT
  public:
    // A modeless tool window over `owner`, centred on it when shown.
    explicit PerDone(QWidget* owner);

    ProgressBarArea* Picture1 = nullptr;
    QLabel* Label1 = nullptr;  // "100%"
    QLabel* Label2 = nullptr;  // "0%"

    // Centres the window on the owner, using the outer sizes of both windows.
    void centreOnOwner();

  private:
    QWidget* m_owner;
};

}  // namespace ombrix
