#include "dialogs/DialogLayout.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/Twips.h"
#include "platform/qt/PictureRenderer.h"

namespace ombrix {

TwipLayout::TwipLayout(QWidget* w, const char* fontName) : m_dpi(w->logicalDpiX()) {
    w->setFont(systemFont(fontName, 8));
}

int TwipLayout::px(double twips) const {
    return twipsToPixels(twips, m_dpi);
}

void TwipLayout::place(QWidget* control, double left, double top, double width,
                       double height) const {
    control->setGeometry(px(left), px(top), px(width), px(height));
}

void TwipLayout::setInnerSize(QWidget* window, double width, double height) const {
    window->setFixedSize(px(width), px(height));
}

void centreOnScreen(QWidget* window) {
    QScreen* screen =
        window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect s = screen->geometry();
    const QRect f = window->frameGeometry();
    window->move(s.left() + (s.width() - f.width()) / 2, s.top() + (s.height() - f.height()) / 2);
}

}  // namespace ombrix
