#include "shell/AreaWidgets.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt/PictureRenderer.h"

namespace ombrix {

StatusBox::StatusBox(StatusText& text, QWidget* parent) : QWidget(parent), m_text(text) {
    setObjectName("StatusBox");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setFont(systemFont("MS Sans Serif", 9));
}

void StatusBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    renderTo(p);
}

void StatusBox::renderTo(QPainter& p) const {
    p.save();
    p.fillRect(QRect(QPoint(0, 0), size()), Qt::white);
    p.setFont(font());
    p.setPen(Qt::black);
    const QFontMetrics fm(font());
    int y = 2;
    for (const auto& line : m_text.lines()) {
        p.drawText(QPoint(4, y + fm.ascent()), QString::fromStdString(line));
        y += fm.lineSpacing();
    }
    p.restore();
}

void StatusBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("Copy"));
    copy->setEnabled(!m_text.lines().empty());
    if (menu.exec(event->globalPos()) == copy) {
        QApplication::clipboard()->setText(QString::fromStdString(m_text.text()));
    }
}

Graphbox::Graphbox(Picture& picture, QWidget* parent) : QWidget(parent), m_picture(picture) {
    setObjectName("Graphbox");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Graphbox::bringCacheUpToDate() {
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = size() * dpr;
    if (m_cache.size() != pixels || m_cachedGeneration != m_picture.generation() ||
        m_cachedOps > m_picture.ops().size()) {
        m_cache = QImage(pixels.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        m_cache.setDevicePixelRatio(dpr);
        m_cache.fill(toQColor(m_picture.backColor()));
        m_cachedGeneration = m_picture.generation();
        m_cachedOps = 0;
    }
    if (m_cachedOps < m_picture.ops().size()) {
        QPainter p(&m_cache);
        PictureRenderer::render(m_picture, p, QRectF(QPointF(0, 0), QSizeF(size())), m_cachedOps,
                                m_picture.ops().size());
        m_cachedOps = m_picture.ops().size();
    }
}

void Graphbox::renderTo(QPainter& painter) const {
    const QRectF target(QPointF(0, 0), QSizeF(size()));
    painter.fillRect(target, toQColor(m_picture.backColor()));
    PictureRenderer::render(m_picture, painter, target);
}

QImage Graphbox::currentImage() {
    bringCacheUpToDate();
    return m_cache;
}

void Graphbox::paintEvent(QPaintEvent* event) {
    bringCacheUpToDate();
    QPainter p(this);
    p.drawImage(event->rect(), m_cache,
                QRectF(QPointF(event->rect().topLeft()) * m_cache.devicePixelRatio(),
                       QSizeF(event->rect().size()) * m_cache.devicePixelRatio()));
}

void Graphbox::resizeEvent(QResizeEvent*) {
    m_cachedGeneration = ~0UL;
}

void Graphbox::mousePressEvent(QMouseEvent* event) {
    if (!m_mouseDown || width() <= 0 || height() <= 0) {
        return;
    }
    const Scale& s = m_picture.scale();
    const QPointF pos = event->position();
    const double x = s.left + (s.right - s.left) * pos.x() / width();
    const double y = s.top + (s.bottom - s.top) * pos.y() / height();
    int button = 0;
    switch (event->button()) {
        case Qt::LeftButton:
            button = 1;
            break;
        case Qt::RightButton:
            button = 2;
            break;
        case Qt::MiddleButton:
            button = 4;
            break;
        default:
            break;
    }
    int shift = 0;
    if (event->modifiers() & Qt::ShiftModifier) {
        shift |= 1;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        shift |= 2;
    }
    if (event->modifiers() & Qt::AltModifier) {
        shift |= 4;
    }
    m_mouseDown(button, shift, x, y);
}

}  // namespace ombrix
