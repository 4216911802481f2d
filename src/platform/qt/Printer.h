// The default printer: pages drawn with Qt, handed to the print server as one job.
#pragma once

#include <QPageLayout>
#include <QString>
#include <functional>

class QPainter;
class QPrinter;

namespace ombrix {

// Prints pages on the default printer without a dialog: `render` draws them on the printer
// (with a QPainter of its own, or by QTextDocument::print). The pages are rendered with the
// default printer's page size, then handed to the print server as one job. Throws OmbrixError
// with a clear description when there is no default printer or the print server refuses the
// job.
void printOnDefaultPrinter(const QString& documentName, QPageLayout::Orientation orientation,
                           const std::function<void(QPrinter&)>& render);

// Prints plain text in the printer's default font, lines wrapped at the page width.
void printTextOnDefaultPrinter(const QString& text, const QString& documentName);

}  // namespace ombrix
