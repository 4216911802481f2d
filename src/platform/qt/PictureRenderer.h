// Paints a retained picture with QPainter: on screen, on paper, into SVG and PNG files.
#pragma once

#include <QPainter>
#include <QRectF>
#include <QString>

#include "platform/Picture.h"

namespace ombrix {

// The Qt colour of a platform colour value.
QColor toQColor(Color c);

// The system font that stands for a font name of the picture ("Helv", "MS Sans Serif" map to
// the sans-serif font, "FixedSys" to the fixed-width one).
QFont systemFont(const std::string& name, double points);

class PictureRenderer {
  public:
    // Draws ops [first, last) of the picture into target (device pixels of the painter), with
    // line widths scaled by pixelScale (1 on screen at 96 dpi).
    static void render(const Picture& picture, QPainter& painter, const QRectF& target,
                       std::size_t first, std::size_t last, double pixelScale = 1.0);
    static void render(const Picture& picture, QPainter& painter, const QRectF& target) {
        render(picture, painter, target, 0, picture.ops().size());
    }
};

// Writes the picture as an SVG or PNG file of width x height pixels (chosen by the file's
// extension, .svg or .png). The file is replaced only once the whole graph is written, so a
// failure leaves an existing file as it was. Throws OmbrixError when the file cannot be written.
void exportPicture(const Picture& picture, const QString& path, int width = 1200, int height = 800);

}  // namespace ombrix
