#include "platform/qt/Printer.h"

#include <cups/cups.h>

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTextDocument>

#include "platform/Errors.h"

namespace ombrix {

void printOnDefaultPrinter(const QString& documentName, QPageLayout::Orientation orientation,
                           const std::function<void(QPrinter&)>& render) {
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
        render(printer);
        if (printer.printerState() == QPrinter::Error) {
            throw OmbrixError("Cannot prepare the pages for the printer " + name.toStdString());
        }
    }
    if (QFileInfo(file).size() == 0) {
        throw OmbrixError("Cannot prepare the pages for the printer " + name.toStdString());
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

void printTextOnDefaultPrinter(const QString& text, const QString& documentName) {
    printOnDefaultPrinter(documentName, QPageLayout::Portrait, [&](QPrinter& printer) {
        QTextDocument document;
        document.setPlainText(text);
        document.print(&printer);
    });
}

}  // namespace ombrix
