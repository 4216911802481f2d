// The help viewer: a window with the user guide's contents, its keyword index and a page view,
// reached the way a help engine is (show a topic by context number, keyword search, close).
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTextBrowser>
#include <QWidget>

#include "commands/Services.h"

class QHelpEngine;

namespace ombrix {

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    HelpBrowser(QHelpEngine* engine, QWidget* parent) : QTextBrowser(parent), m_engine(engine) {}
    QVariant loadResource(int type, const QUrl& name) override;

  private:
    QHelpEngine* m_engine;
};

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(const QString& collectionFile);

    // False when the help file could not be opened; the window then says so itself.
    bool ok() const { return m_ok; }
    // Shows the topic registered for the context number; false when there is none.
    bool showContext(long context);
    // Shows the keyword index with `keyword` in its entry field.
    void showIndex(const QString& keyword);

    QTabWidget* tabs() const { return m_tabs; }
    QLineEdit* indexEntry() const { return m_indexEntry; }
    HelpBrowser* browser() const { return m_browser; }
    QHelpEngine* engine() const { return m_engine; }

  private:
    void showUrl(const QUrl& url);

    QHelpEngine* m_engine = nullptr;
    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_indexEntry = nullptr;
    HelpBrowser* m_browser = nullptr;
    bool m_ok = false;
};

// The help engine of the program: one viewer window per main window.
class QtHelpEngine : public HelpEngine {
  public:
    ~QtHelpEngine() override;
    void winHelp(long window, std::string_view helpFile, HelpCommand command, long context,
                 std::string_view keyword) override;
    HelpWindow* window() const { return m_window; }

  private:
    HelpWindow* ensureWindow(const QString& file);

    QPointer<HelpWindow> m_window;
    QString m_file;
};

}  // namespace ombrix
