// Ombrix: monthly utility bills, daily temperatures, change-point models and retrofit savings.
#include <QApplication>

#include "commands/Session.h"
#include "platform/SafeFile.h"
#include "shell/OBMain.h"

int main(int argc, char* argv[]) {
    // Every file the program writes past a file-size limit fails with a message instead.
    ombrix::keepRunningPastFileSizeLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ombrix");
    QApplication::setApplicationVersion(OMBRIX_VERSION);
    QApplication::setDesktopFileName("ombrix");
    QApplication::setWindowIcon(QIcon(":/ombrix/icon.svg"));

    ombrix::Session session;
    ombrix::OBMain window(session);
    window.show();
    return QApplication::exec();
}
