// Printing on the default printer: the main window's client area, or any pages a caller draws.
#pragma once

#include <QImage>
#include <QString>

#include "shell/AreaWidgets.h"

namespace ombrix {

// The client area (status area above the graph area) drawn at `scale` times its screen size,
// with the graph's retained picture drawn anew at that resolution, highlights included.
QImage clientAreaImage(const StatusBox& status, const Graphbox& graph, double scale);

// Prints the image on one page at the size it has on screen (image pixels / scale at the
// screen's logical DPI), reduced to fit the page if larger.
void printImageOnDefaultPrinter(const QImage& image, double scale, double screenDpi,
                                const QString& documentName);

}  // namespace ombrix
