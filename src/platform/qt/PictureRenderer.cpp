#include "platform/qt/PictureRenderer.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QPen>
#include <QSvgGenerator>

#include "platform/Errors.h"

namespace ombrix {

QColor toQColor(Color c) {
    return QColor(colorRed(c), colorGreen(c), colorBlue(c));
}

QFont systemFont(const std::string& name, double points) {
    const bool fixed = name == "FixedSys" || name == "Courier";
    QFont f =
        QFontDatabase::systemFont(fixed ? QFontDatabase::FixedFont : QFontDatabase::GeneralFont);
    f.setStyleHint(fixed ? QFont::Monospace : QFont::SansSerif);
    if (points > 0) {
        f.setPointSizeF(points);
    }
    return f;
}

void PictureRenderer::render(const Picture& picture, QPainter& painter, const QRectF& target,
                             std::size_t first, std::size_t last, double pixelScale) {
    const Scale& s = picture.scale();
    const double sx = target.width() / (s.right - s.left);
    const double sy = target.height() / (s.bottom - s.top);
    auto mapX = [&](double x) { return target.left() + (x - s.left) * sx; };
    auto mapY = [&](double y) { return target.top() + (y - s.top) * sy; };

    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    int currentFont = -1;
    const auto& ops = picture.ops();
    last = std::min(last, ops.size());
    for (std::size_t i = first; i < last; ++i) {
        const DrawOp& op = ops[i];
        const QColor color = toQColor(op.color);
        QPen pen(color);
        pen.setWidthF(std::max(1.0, op.width * pixelScale));
        pen.setStyle(op.style == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
        pen.setCapStyle(Qt::FlatCap);
        switch (op.kind) {
            case DrawOp::Kind::Line:
                painter.setPen(pen);
                painter.drawLine(QPointF(mapX(op.x1), mapY(op.y1)),
                                 QPointF(mapX(op.x2), mapY(op.y2)));
                break;
            case DrawOp::Kind::Box: {
                const QRectF r =
                    QRectF(QPointF(mapX(op.x1), mapY(op.y1)), QPointF(mapX(op.x2), mapY(op.y2)))
                        .normalized();
                if (op.filled) {
                    painter.fillRect(r, color);
                }
                painter.setPen(pen);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(r);
                break;
            }
            case DrawOp::Kind::Circle: {
                const double r = std::abs(op.x2 * sx);
                painter.setPen(pen);
                painter.setBrush(op.filled ? QBrush(color) : QBrush(Qt::NoBrush));
                painter.drawEllipse(QPointF(mapX(op.x1), mapY(op.y1)), r, r);
                painter.setBrush(Qt::NoBrush);
                break;
            }
            case DrawOp::Kind::Text: {
                if (op.font != currentFont) {
                    const FontSpec& fs = picture.fonts().at(static_cast<std::size_t>(op.font));
                    painter.setFont(systemFont(fs.name, fs.points));
                    currentFont = op.font;
                }
                painter.setPen(color);
                const QPointF at(mapX(op.x1), mapY(op.y1));
                painter.drawText(QRectF(at, QSizeF(1e5, 1e5)),
                                 Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                                 QString::fromStdString(op.text));
                break;
            }
        }
    }
    painter.restore();
}

void exportPicture(const Picture& picture, const QString& path, int width, int height) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QRectF target(0, 0, width, height);
    if (suffix == "svg") {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(QSize(width, height));
        svg.setViewBox(target);
        svg.setResolution(96);
        svg.setTitle(QStringLiteral("Ombrix graph"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            throw OmbrixError("Cannot write " + path.toStdString());
        }
        painter.fillRect(target, toQColor(picture.backColor()));
        PictureRenderer::render(picture, painter, target);
        painter.end();
        if (!QFileInfo(path).exists()) {
            throw OmbrixError("Cannot write " + path.toStdString());
        }
        return;
    }
    if (suffix != "png") {
        throw OmbrixError("Graph files are .svg or .png: " + path.toStdString());
    }
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);  // 96 dpi
    image.setDotsPerMeterY(3780);
    image.fill(toQColor(picture.backColor()));
    {
        QPainter painter(&image);
        PictureRenderer::render(picture, painter, target);
    }
    if (!image.save(path, "PNG")) {
        throw OmbrixError("Cannot write " + path.toStdString());
    }
}

}  // namespace ombrix
