// Printing on the default printer: the main window's client area, or any pages a caller draws.
#pragma once

#include <QImage>
#include <QPageLayout>
#include <QString>
#include <functional>

#include "shell/AreaWidgets.h"

class QPainter;
class QPrinter;

namespace ombrix {

// The client area (status area above the graph area) drawn at `scale` times its screen size,
// with the graph's retained picture drawn anew at that resolution, highlights included.
QImage clientAreaImage(const StatusBox& status, const Graphbox& graph, double scale);

// Prints pages on the default printer without a dialog: `paint` draws them with the painter
// (QPrinter::newPage() starts another page). The pages are rendered with the default printer's
// page size, then handed to the print server as one job. Throws OmbrixError with a clear
// description when there is no default printer or the print server refuses the job.
void printOnDefaultPrinter(const QString& documentName, QPageLayout::Orientation orientation,
                           const std::function<void(QPainter&, QPrinter&)>& paint);

// Prints the image on one page at the size it has on screen (image pixels / scale at the
// screen's logical DPI), reduced to fit the page if larger.
void printImageOnDefaultPrinter(const QImage& image, double scale, double screenDpi,
                                const QString& documentName);

}  // namespace ombrix
