// Ombrix: monthly utility bills, daily temperatures, change-point models and retrofit savings.
#include <QApplication>

#include "commands/Session.h"
#include "shell/OBMain.h"

int main(int argc, char* argv[]) {
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
