#include "shell/Printing.h"

#include <QPainter>
#include <QPrinter>

#include "platform/Errors.h"
#include "platform/qt/Printer.h"

namespace ombrix {

QImage clientAreaImage(const StatusBox& status, const Graphbox& graph, double scale) {
    const QRect statusRect = status.geometry();
    const QRect graphRect = graph.geometry();
    const QRect all = statusRect.united(graphRect);
    const QSize pixels(qMax(1, qRound(all.width() * scale)), qMax(1, qRound(all.height() * scale)));
    QImage image(pixels, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    // Fonts keep the size they have on screen.
    image.setDotsPerMeterX(qRound(status.logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(status.logicalDpiY() / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(statusRect.topLeft() - all.topLeft());
    status.renderTo(painter);
    painter.resetTransform();
    painter.translate(graphRect.topLeft() - all.topLeft());
    graph.renderTo(painter);
    return image;
}

void printImageOnDefaultPrinter(const QImage& image, double scale, double screenDpi,
                                const QString& documentName) {
    const auto orientation =
        image.width() > image.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
    printOnDefaultPrinter(documentName, orientation, [&](QPrinter& printer) {
        QPainter painter;
        if (!painter.begin(&printer)) {
            throw OmbrixError("Cannot start a print job for the printer " +
                              printer.printerName().toStdString());
        }
        const QRectF page = printer.pageRect(QPrinter::DevicePixel);
        double w = image.width() / scale / screenDpi * printer.resolution();
        double h = image.height() / scale / screenDpi * printer.resolution();
        const double fit = qMin(1.0, qMin(page.width() / w, page.height() / h));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRectF(0, 0, w * fit, h * fit), image);
        painter.end();
    });
}

}  // namespace ombrix
