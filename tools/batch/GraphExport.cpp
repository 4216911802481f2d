// The graph export of ombrix-batch as a module of its own, loaded on the first save-graph: Qt and
// the libraries it brings stay out of every run that saves no graph.
#include <QGuiApplication>
#include <exception>
#include <iostream>
#include <memory>
#include <string>

#include "GraphExportModule.h"
#include "platform/Errors.h"
#include "platform/qt/PictureRenderer.h"

namespace {

// Standard error carries the message boxes only; Qt's own notes (missing runtime folder, font
// fallbacks) would be mistaken for them.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << "ombrix-batch: " << message.toStdString() << '\n';
    }
}

// Painting text needs a GUI application; one on the offscreen platform is made on first use and
// ended by the program before it exits, while Qt's own globals still live.
std::unique_ptr<QGuiApplication>& application() {
    static std::unique_ptr<QGuiApplication> app;
    return app;
}

void ensureApplication() {
    static int argc = 3;
    static char name[] = "ombrix-batch";
    static char platformFlag[] = "-platform";
    static char offscreen[] = "offscreen";
    static char* argv[] = {name, platformFlag, offscreen, nullptr};
    if (!application()) {
        qInstallMessageHandler(quietQt);
        application() = std::make_unique<QGuiApplication>(argc, argv);
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool OMBRIX_GRAPH_EXPORT_ENTRY(
    const ombrix::Picture& picture, const char* path, std::string& error) {
    try {
        ensureApplication();
        ombrix::exportPicture(picture, QString::fromStdString(path));
        return true;
    } catch (const std::exception& e) {
        error = ombrix::describeFailure(e);
        return false;
    }
}

extern "C" __attribute__((visibility("default"))) void OMBRIX_GRAPH_EXPORT_END() {
    application().reset();
}
