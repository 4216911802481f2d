#include "platform/qt/Printer.h"

#include <cups/cups.h>

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "platform/Errors.h"

namespace ombrix {

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

}  // namespace ombrix
