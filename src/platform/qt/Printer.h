// The default printer: pages drawn with Qt, handed to the print server as one job.
#pragma once

#include <QPageLayout>
#include <QString>
#include <functional>

class QPainter;
class QPrinter;

namespace ombrix {

// Prints pages on the default printer without a dialog: `paint` draws them with the painter
// (QPrinter::newPage() starts another page). The pages are rendered with the default printer's
// page size, then handed to the print server as one job. Throws OmbrixError with a clear
// description when there is no default printer or the print server refuses the job.
void printOnDefaultPrinter(const QString& documentName, QPageLayout::Orientation orientation,
                           const std::function<void(QPainter&, QPrinter&)>& paint);

}  // namespace ombrix
