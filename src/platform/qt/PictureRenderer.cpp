#include "platform/qt/PictureRenderer.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QPaintEngine>
#include <QPen>
#include <QSvgGenerator>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include "platform/Errors.h"
#include "platform/SafeFile.h"

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

namespace {

// The pen of a drawing call; consecutive calls with the same pen share one QPen and one
// drawLines or drawRects call.
struct PenKey {
    Color color = kBlack;
    int width = 1;
    LineStyle style = LineStyle::Solid;
    bool operator==(const PenKey&) const = default;
};

PenKey penKeyOf(const DrawOp& op) {
    return {op.color, op.width, op.style};
}

QPen makePen(const PenKey& key, double pixelScale) {
    QPen pen(toQColor(key.color));
    pen.setWidthF(std::max(1.0, key.width * pixelScale));
    pen.setStyle(key.style == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// Marker stamps. A graph of many rows draws thousands of equal boxes and circles, and
// rasterising each antialiased outline costs far more than copying a few pixels. On a raster
// device in device pixels, each shape is drawn once per colour, pen, size and sub-pixel
// position (in sixteenths of a pixel) into a small transparent image, which is then copied to
// every place the shape goes. Compositing a stamp gives the pixels of drawing the shape there,
// up to a sixteenth of a pixel of position.
class StampCache {
  public:
    // A stamp and the device pixel where its top-left corner goes.
    struct Placed {
        const QImage* image;
        QPoint at;
    };

    // The stamp of a box with device rectangle r, or nothing when the box is drawn in place.
    std::optional<Placed> box(const QRectF& r, const DrawOp& op, double pixelScale) {
        return place(r.topLeft(), r.size(), false, op, pixelScale, [&](QPainter& p, QPointF o) {
            const QRectF rect(o, QSizeF(quantized(r.width()), quantized(r.height())));
            if (op.filled) {
                p.fillRect(rect, toQColor(op.color));
            }
            p.setPen(makePen(penKeyOf(op), pixelScale));
            p.setBrush(Qt::NoBrush);
            p.drawRect(rect);
        });
    }

    // The stamp of a circle around a device point, or nothing when it is drawn in place.
    std::optional<Placed> circle(QPointF centre, double radius, const DrawOp& op,
                                 double pixelScale) {
        return place(centre, QSizeF(radius, radius), true, op, pixelScale,
                     [&](QPainter& p, QPointF o) {
                         p.setPen(makePen(penKeyOf(op), pixelScale));
                         p.setBrush(op.filled ? QBrush(toQColor(op.color)) : QBrush(Qt::NoBrush));
                         p.drawEllipse(o, quantized(radius), quantized(radius));
                     });
    }

  private:
    // Sub-pixel positions per pixel in each direction, and size steps per pixel.
    static constexpr int kPhases = 16;
    static constexpr int kSizeSteps = 64;
    // Larger shapes (no marker is) are drawn in place.
    static constexpr double kLargest = 64;

    struct Key {
        DrawOp::Kind kind;
        Color color;
        int width;
        LineStyle style;
        bool filled;
        long w, h;  // in size steps
        int phaseX, phaseY;
        auto operator<=>(const Key&) const = default;
    };

    static double quantized(double v) { return std::round(v * kSizeSteps) / kSizeSteps; }

    // ref is the top-left corner of a box or the centre of a circle (then size holds the radius).
    template <class Draw>
    std::optional<Placed> place(QPointF ref, QSizeF size, bool centred, const DrawOp& op,
                                double pixelScale, Draw draw) {
        constexpr double kFarthest = 1e6;
        if (!(std::fabs(ref.x()) < kFarthest && std::fabs(ref.y()) < kFarthest &&
              size.width() >= 0 && size.width() <= kLargest && size.height() >= 0 &&
              size.height() <= kLargest)) {
            return std::nullopt;
        }
        // The whole pixel and the fraction of a pixel of the reference point.
        long px = std::lround(std::floor(ref.x()));
        long py = std::lround(std::floor(ref.y()));
        int phaseX = static_cast<int>(std::lround((ref.x() - static_cast<double>(px)) * kPhases));
        int phaseY = static_cast<int>(std::lround((ref.y() - static_cast<double>(py)) * kPhases));
        if (phaseX == kPhases) {
            phaseX = 0;
            ++px;
        }
        if (phaseY == kPhases) {
            phaseY = 0;
            ++py;
        }
        // Room around the shape for its pen and antialiasing.
        const int pad = static_cast<int>(std::ceil(std::max(1.0, op.width * pixelScale))) + 2;
        const int reachX = static_cast<int>(std::ceil(size.width())) + 1;
        const int reachY = static_cast<int>(std::ceil(size.height())) + 1;
        const QPoint origin = centred ? QPoint(reachX + pad, reachY + pad) : QPoint(pad, pad);

        const Key key{op.kind,
                      op.color,
                      op.width,
                      op.style,
                      op.filled,
                      std::lround(size.width() * kSizeSteps),
                      std::lround(size.height() * kSizeSteps),
                      phaseX,
                      phaseY};
        auto it = m_stamps.find(key);
        if (it == m_stamps.end()) {
            const QSize pixels = centred ? QSize(2 * origin.x() + 1, 2 * origin.y() + 1)
                                         : QSize(reachX + 2 * pad + 1, reachY + 2 * pad + 1);
            QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing, true);
            draw(p, QPointF(origin) + QPointF(static_cast<double>(phaseX) / kPhases,
                                              static_cast<double>(phaseY) / kPhases));
            p.end();
            it = m_stamps.emplace(key, std::move(image)).first;
        }
        return Placed{&it->second, QPoint(static_cast<int>(px), static_cast<int>(py)) - origin};
    }

    std::map<Key, QImage> m_stamps;
};

class Painter {
  public:
    Painter(const Picture& picture, QPainter& painter, const QRectF& target, double pixelScale)
        : m_picture(picture), m_painter(painter), m_pixelScale(pixelScale) {
        const Scale& s = picture.scale();
        m_sx = target.width() / (s.right - s.left);
        m_sy = target.height() / (s.bottom - s.top);
        m_ox = target.left() - s.left * m_sx;
        m_oy = target.top() - s.top * m_sy;
        // Stamps only where device pixels are the painter's own units.
        const QPaintEngine* engine = painter.paintEngine();
        m_stamps = engine != nullptr && engine->type() == QPaintEngine::Raster &&
                   painter.deviceTransform().type() == QTransform::TxNone &&
                   painter.opacity() == 1.0 &&
                   painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    }

    void draw(const DrawOp& op) {
        switch (op.kind) {
            case DrawOp::Kind::Line:
                batch(Batch::Lines, op);
                m_lines.emplace_back(point(op.x1, op.y1), point(op.x2, op.y2));
                break;
            case DrawOp::Kind::Box: {
                const QRectF r = QRectF(point(op.x1, op.y1), point(op.x2, op.y2)).normalized();
                const auto stamp = stampable(op) ? m_cache.box(r, op, m_pixelScale) : std::nullopt;
                if (stamp) {
                    flush();
                    m_painter.drawImage(stamp->at, *stamp->image);
                } else if (op.filled) {
                    flush();
                    m_painter.fillRect(r, toQColor(op.color));
                    usePen(penKeyOf(op));
                    useBrush(false, op.color);
                    m_painter.drawRect(r);
                } else {
                    batch(Batch::Boxes, op);
                    m_rects.push_back(r);
                }
                break;
            }
            case DrawOp::Kind::Circle: {
                flush();
                const double r = std::abs(op.x2 * m_sx);
                const auto stamp = stampable(op)
                                       ? m_cache.circle(point(op.x1, op.y1), r, op, m_pixelScale)
                                       : std::nullopt;
                if (stamp) {
                    m_painter.drawImage(stamp->at, *stamp->image);
                    break;
                }
                usePen(penKeyOf(op));
                useBrush(op.filled, op.color);
                m_painter.drawEllipse(point(op.x1, op.y1), r, r);
                break;
            }
            case DrawOp::Kind::Text: {
                flush();
                if (op.font != m_font) {
                    const FontSpec& fs = m_picture.fonts().at(static_cast<std::size_t>(op.font));
                    m_painter.setFont(systemFont(fs.name, fs.points));
                    m_font = op.font;
                }
                // Text takes a plain pen of its colour; the next shape sets its own pen again.
                m_painter.setPen(toQColor(op.color));
                m_penValid = false;
                m_painter.drawText(QRectF(point(op.x1, op.y1), QSizeF(1e5, 1e5)),
                                   Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                                   QString::fromStdString(op.text));
                break;
            }
        }
    }

    // Draws the lines or boxes collected so far.
    void flush() {
        if (m_batch == Batch::Lines && !m_lines.empty()) {
            usePen(m_batchPen);
            m_painter.drawLines(m_lines.data(), static_cast<int>(m_lines.size()));
        } else if (m_batch == Batch::Boxes && !m_rects.empty()) {
            usePen(m_batchPen);
            useBrush(false, kBlack);
            m_painter.drawRects(m_rects.data(), static_cast<int>(m_rects.size()));
        }
        m_lines.clear();
        m_rects.clear();
        m_batch = Batch::None;
    }

  private:
    enum class Batch { None, Lines, Boxes };

    QPointF point(double x, double y) const { return {m_ox + x * m_sx, m_oy + y * m_sy}; }

    // Continues the current batch, or starts a new one for another kind or pen.
    void batch(Batch kind, const DrawOp& op) {
        if (m_batch != kind || !(penKeyOf(op) == m_batchPen)) {
            flush();
            m_batch = kind;
            m_batchPen = penKeyOf(op);
        }
    }

    // Dotted outlines take their dots from device positions, so they are drawn in place.
    bool stampable(const DrawOp& op) const { return m_stamps && op.style == LineStyle::Solid; }

    void usePen(const PenKey& key) {
        if (m_penValid && key == m_pen) {
            return;
        }
        m_painter.setPen(makePen(key, m_pixelScale));
        m_pen = key;
        m_penValid = true;
    }

    void useBrush(bool filled, Color color) {
        if (m_brushValid && filled == m_brushFilled && (!filled || color == m_brushColor)) {
            return;
        }
        m_painter.setBrush(filled ? QBrush(toQColor(color)) : QBrush(Qt::NoBrush));
        m_brushFilled = filled;
        m_brushColor = color;
        m_brushValid = true;
    }

    const Picture& m_picture;
    QPainter& m_painter;
    double m_pixelScale;
    double m_sx = 1, m_sy = 1, m_ox = 0, m_oy = 0;
    bool m_stamps = false;
    StampCache m_cache;
    int m_font = -1;
    PenKey m_pen;
    bool m_penValid = false;
    bool m_brushValid = false;
    bool m_brushFilled = false;
    Color m_brushColor = kBlack;
    Batch m_batch = Batch::None;
    PenKey m_batchPen;
    std::vector<QLineF> m_lines;
    std::vector<QRectF> m_rects;
};

}  // namespace

void PictureRenderer::render(const Picture& picture, QPainter& painter, const QRectF& target,
                             std::size_t first, std::size_t last, double pixelScale) {
    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    Painter p(picture, painter, target, pixelScale);
    const auto& ops = picture.ops();
    last = std::min(last, ops.size());
    for (std::size_t i = first; i < last; ++i) {
        p.draw(ops[i]);
    }
    p.flush();
    painter.restore();
}

void exportPicture(const Picture& picture, const QString& path, int width, int height) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != "svg" && suffix != "png") {
        throw OmbrixError("Graph files are .svg or .png: " + path.toStdString());
    }
    const QRectF target(0, 0, width, height);
    // The graph is made in memory and then replaces the file in one step, so a full disk or a
    // missing permission leaves an older graph of that name as it was.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (suffix == "svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(width, height));
        svg.setViewBox(target);
        svg.setResolution(96);
        svg.setTitle(QStringLiteral("Ombrix graph"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            throw OmbrixError("Cannot draw the graph for " + path.toStdString());
        }
        painter.fillRect(target, toQColor(picture.backColor()));
        PictureRenderer::render(picture, painter, target);
        painter.end();
    } else {
        QImage image(width, height, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780);  // 96 dpi
        image.setDotsPerMeterY(3780);
        image.fill(toQColor(picture.backColor()));
        {
            QPainter painter(&image);
            PictureRenderer::render(picture, painter, target);
        }
        if (!image.save(&buffer, "PNG")) {
            throw OmbrixError("Cannot draw the graph for " + path.toStdString());
        }
    }
    buffer.close();
    writeFileReplacing(path.toStdString(), std::string_view(bytes.constData(), bytes.size()),
                       Sync::None);
}

}  // namespace ombrix
