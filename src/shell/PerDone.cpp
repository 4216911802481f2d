#include "shell/PerDone.h"

#include <QPainter>

#include "platform/Twips.h"
#include "platform/Ui.h"

namespace ombrix {

void ProgressBarArea::paintFraction(double fraction) {
    if (fraction > m_filled) {
        m_filled = fraction;
        update();
    }
}

void ProgressBarArea::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    const double w = std::min(1.0, m_filled) * width();
    if (w > 0) {
        p.fillRect(QRectF(0, 0, w, height()), QColor(0, 0, 255));
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

PerDone::PerDone(QWidget* owner) : QWidget(owner, Qt::Tool), m_owner(owner) {
    setObjectName("PerDone");
    setWindowTitle(QString::fromUtf8(kProgressDefaultCaption.data(),
                                     static_cast<int>(kProgressDefaultCaption.size())));
    const double dpi = logicalDpiX();
    auto px = [dpi](double twips) { return twipsToPixels(twips, dpi); };
    setFixedSize(px(4530), px(1485));
    Label2 = new QLabel("0%", this);
    Label2->setObjectName("Label2");
    Label2->setGeometry(px(120), px(360), px(735), px(375));
    Label1 = new QLabel("100%", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(px(3720), px(360), px(615), px(375));
    Picture1 = new ProgressBarArea(this);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(px(120), px(720), px(4215), px(615));
}

void PerDone::centreOnOwner() {
    if (m_owner == nullptr) {
        return;
    }
    const QRect main = m_owner->frameGeometry();
    const QRect self = frameGeometry();
    move(main.left() + (main.width() - self.width()) / 2,
         main.top() + (main.height() - self.height()) / 2);
}

}  // namespace ombrix
