#include "shell/OBMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>

#include "commands/Help.h"
#include "dialogs/Editor.h"
#include "dialogs/KeptFileDialogs.h"
#include "dialogs/QtFileDialogs.h"
#include "platform/Errors.h"
#include "shell/HelpViewer.h"
#include "shell/Printing.h"
#include "shell/QtUi.h"

namespace ombrix {
namespace {

// The window's client area; it lays out the status and graph areas whenever its size changes.
class ClientArea : public QWidget {
  public:
    ClientArea(QWidget* parent, std::function<void()> onResize)
        : QWidget(parent), m_onResize(std::move(onResize)) {}

  protected:
    void resizeEvent(QResizeEvent*) override { m_onResize(); }

  private:
    std::function<void()> m_onResize;
};

}  // namespace

std::string programHelpFolder() {
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString beside = appDir + "/" + QString::fromUtf8(kHelpFileName.data());
    if (QFileInfo::exists(beside)) {
        return appDir.toStdString();
    }
    return QDir(appDir + "/../share/ombrix/help").absolutePath().toStdString();
}

OBMain::OBMain(Session& session, OBMainParts parts) : QMainWindow(nullptr), m_session(session) {
    setObjectName("OBMain");
    setWindowTitle("Ombrix");

    Ui* ui = parts.ui;
    if (ui == nullptr) {
        m_ownUi = std::make_unique<QtUi>(this);
        ui = m_ownUi.get();
    }
    HelpEngine* help = parts.help;
    if (help == nullptr) {
        m_ownHelp = std::make_unique<QtHelpEngine>();
        help = m_ownHelp.get();
    }
    FileDialogs* dialogs = parts.dialogs;
    if (dialogs == nullptr) {
        m_ownDialogs = std::make_unique<QtFileDialogs>(this, *ui);
        dialogs = m_ownDialogs.get();
    }
    m_services.reset(new Services{*ui, m_picture, m_status, *dialogs, *help, *this});

    auto* client = new ClientArea(this, [this] { layoutAreas(); });
    client->setObjectName("ClientArea");
    setCentralWidget(client);
    m_statusBox = new StatusBox(m_status, client);
    m_graphBox = new Graphbox(m_picture, client);
    m_status.setListener([this] { m_statusBox->update(); });
    m_picture.setListener([this] { m_graphBox->update(); });
    m_graphBox->setMouseDownHandler([this](int button, int shift, double x, double y) {
        graphMouseDown(m_session, *m_services, button, shift, x, y);
    });

    buildMenus();
    m_exit = [] { QCoreApplication::exit(0); };
    placeOnScreen();
    InitHelp(m_session, static_cast<long>(reinterpret_cast<std::intptr_t>(this)),
             parts.helpFolder.empty() ? programHelpFolder() : parts.helpFolder);
}

OBMain::~OBMain() {
    m_status.setListener(nullptr);
    m_picture.setListener(nullptr);
}

void OBMain::buildMenus() {
    for (const MenuItem& top : mainMenu()) {
        QMenu* menu = menuBar()->addMenu(
            QString::fromUtf8(top.caption.data(), static_cast<int>(top.caption.size())));
        menu->setObjectName(QString::fromUtf8(top.name.data(), static_cast<int>(top.name.size())));
        menu->menuAction()->setObjectName(menu->objectName());
        menu->menuAction()->setVisible(top.shown);
        for (const MenuItem& item : top.children) {
            QAction* action = nullptr;
            if (item.kind == MenuItem::Kind::Separator) {
                action = menu->addSeparator();
            } else {
                action = menu->addAction(
                    QString::fromUtf8(item.caption.data(), static_cast<int>(item.caption.size())));
                action->setObjectName(
                    QString::fromUtf8(item.name.data(), static_cast<int>(item.name.size())));
                const CommandId id = item.command;
                connect(action, &QAction::triggered, this, [this, id] { run(id); });
                m_actions.insert(static_cast<int>(id), action);
            }
            action->setVisible(item.shown);
        }
    }
}

void OBMain::run(CommandId id) {
    runCommand(m_session, *m_services, id);
}

void OBMain::placeOnScreen() {
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect g = screen->geometry();
    const QRect outer(g.x() + g.width() / 10, g.y() + g.height() / 10, g.width() * 8 / 10,
                      g.height() * 8 / 10);
    // The outer frame covers the rectangle; the frame's thickness is known once shown.
    const QMargins frame(geometry().left() - frameGeometry().left(),
                         geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    move(outer.topLeft());
    resize(outer.size().shrunkBy(frame));
}

void OBMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_placedFrame) {
        m_placedFrame = true;
        if (frameGeometry().size() != size()) {
            placeOnScreen();
        }
    }
}

void OBMain::layoutAreas() {
    const QWidget* client = centralWidget();
    if (client == nullptr || m_statusBox == nullptr || m_graphBox == nullptr) {
        return;
    }
    const int w = client->width();
    const int h = client->height();
    const int statusHeight = static_cast<int>(0.15 * h);
    m_statusBox->setGeometry(0, 0, w, statusHeight);
    m_graphBox->setGeometry(0, statusHeight, w, h - statusHeight);
}

void OBMain::closeEvent(QCloseEvent* event) {
    QuitHelp(m_session, m_services->help);
    event->accept();
}

void OBMain::showEditor() {
    if (m_editor) {
        m_editor();
        return;
    }
    if (!m_editorDialogs) {
        // The editor's open and save dialogs stay loaded for the whole run.
        m_editorDialogs =
            std::make_unique<KeptFileDialogs>(m_session.dlg, m_services->ui, this, this);
    }
    Editor editor(m_session, m_services->ui, *m_editorDialogs, this);
    editor.exec();
}

void OBMain::printMainWindow() {
    if (m_print) {
        m_print();
        return;
    }
    constexpr double kScale = 2.0;  // the printed image is drawn at twice the screen resolution
    const QImage image = clientAreaImage(*m_statusBox, *m_graphBox, kScale);
    printImageOnDefaultPrinter(image, kScale, logicalDpiX(), QStringLiteral("Ombrix"));
}

void OBMain::exitNow() {
    if (m_exit) {
        m_exit();
    }
}

}  // namespace ombrix
