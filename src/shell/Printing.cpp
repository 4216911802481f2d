#include "shell/Printing.h"

#include <cups/cups.h>

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "platform/Errors.h"

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

void printOnDefaultPrinter(const QString& documentName, QPageLayout::Orientation orientation,
                           const std::function<void(QPainter&, QPrinter&)>& paint) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        throw OmbrixError("No default printer is set up");
    }
    const QString name = info.printerName();
    QTemporaryDir dir;
    if (!dir.isValid()) {
        throw OmbrixError("Cannot prepare the print job: " + dir.errorString().toStdString());
    }
    const QString file = dir.filePath("job.pdf");
    {
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setDocName(documentName);
        printer.setCreator(QStringLiteral("Ombrix"));
        printer.setFullPage(false);
        printer.setPageOrientation(orientation);
        QPainter painter;
        if (!painter.begin(&printer)) {
            throw OmbrixError("Cannot start a print job for the printer " + name.toStdString());
        }
        paint(painter, printer);
        if (!painter.end()) {
            throw OmbrixError("Cannot finish the print job for the printer " + name.toStdString());
        }
    }
    const QByteArray printerName = name.toUtf8();
    const QByteArray path = file.toUtf8();
    const QByteArray title = documentName.toUtf8();
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printerName.constData(), path.constData(),
                                   title.constData(), 0, nullptr);
    if (job == 0) {
        throw OmbrixError("The printer " + name.toStdString() +
                          " did not take the job: " + cupsLastErrorString());
    }
}

void printImageOnDefaultPrinter(const QImage& image, double scale, double screenDpi,
                                const QString& documentName) {
    const auto orientation =
        image.width() > image.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
    printOnDefaultPrinter(documentName, orientation, [&](QPainter& painter, QPrinter& printer) {
        const QRectF page = printer.pageRect(QPrinter::DevicePixel);
        double w = image.width() / scale / screenDpi * printer.resolution();
        double h = image.height() / scale / screenDpi * printer.resolution();
        const double fit = qMin(1.0, qMin(page.width() / w, page.height() / h));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRectF(0, 0, w * fit, h * fit), image);
    });
}

}  // namespace ombrix
