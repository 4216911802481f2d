// ombrix-batch: the main window's commands from the command line, without a window.
#include <unistd.h>

#include <QGuiApplication>
#include <iostream>
#include <memory>

#include "Batch.h"
#include "platform/qt/PictureRenderer.h"

namespace {
// Standard error carries the message boxes only; Qt's own notes (missing runtime folder, font
// fallbacks) would be mistaken for them.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << "ombrix-batch: " << message.toStdString() << '\n';
    }
}
}  // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(quietQt);
    std::vector<std::string> args(argv + 1, argv + argc);
    int qtArgc = 3;
    char name[] = "ombrix-batch";
    char platformFlag[] = "-platform";
    char offscreen[] = "offscreen";
    char* qtArgv[] = {name, platformFlag, offscreen, nullptr};
    std::unique_ptr<QGuiApplication> app;  // started only when a graph is saved
    const ombrix::GraphExporter exporter = [&](const ombrix::Picture& picture,
                                               const std::string& path) {
        if (!app) {
            app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
        }
        ombrix::exportPicture(picture, QString::fromStdString(path));
    };
    return ombrix::runBatch(args, std::cout, std::cerr, exporter, isatty(STDERR_FILENO) == 1);
}
