#include "shell/HelpViewer.h"

#include <QFileInfo>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QSplitter>
#include <QVBoxLayout>

namespace ombrix {

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    if (name.scheme() == QLatin1String("qthelp")) {
        const QByteArray data = m_engine->fileData(name);
        if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource) {
            return QString::fromUtf8(data);
        }
        return data;
    }
    return QTextBrowser::loadResource(type, name);
}

HelpWindow::HelpWindow(const QString& collectionFile) : QWidget(nullptr, Qt::Window) {
    setObjectName("HelpWindow");
    setWindowTitle(tr("Ombrix Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 640);

    m_engine = new QHelpEngine(collectionFile, this);
    m_engine->setReadOnly(true);
    m_engine->setUsesFilterEngine(true);
    m_ok = QFileInfo::exists(collectionFile) && m_engine->setupData();

    auto* splitter = new QSplitter(this);
    m_tabs = new QTabWidget(splitter);
    m_tabs->addTab(m_engine->contentWidget(), tr("Contents"));

    auto* indexPage = new QWidget(m_tabs);
    auto* indexLayout = new QVBoxLayout(indexPage);
    m_indexEntry = new QLineEdit(indexPage);
    m_indexEntry->setObjectName("IndexEntry");
    m_indexEntry->setPlaceholderText(tr("Type a keyword"));
    indexLayout->addWidget(m_indexEntry);
    indexLayout->addWidget(m_engine->indexWidget());
    m_tabs->addTab(indexPage, tr("Index"));

    m_browser = new HelpBrowser(m_engine, splitter);
    m_browser->setObjectName("HelpPage");
    m_browser->setOpenExternalLinks(true);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({260, 640});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(m_engine->contentWidget(), &QHelpContentWidget::linkActivated, this,
            &HelpWindow::showUrl);
    connect(m_engine->indexWidget(), &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink& link, const QString&) { showUrl(link.url); });
    connect(m_engine->indexWidget(), &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink>& links, const QString&) {
                if (!links.isEmpty()) {
                    showUrl(links.first().url);
                }
            });
    connect(m_indexEntry, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_engine->indexWidget()->filterIndices(text); });
    connect(m_indexEntry, &QLineEdit::returnPressed, m_engine->indexWidget(),
            &QHelpIndexWidget::activateCurrentItem);

    if (!m_ok) {
        m_browser->setHtml(
            tr("<h2>Help is not available</h2><p>The help file <b>%1</b> cannot be opened.</p>")
                .arg(collectionFile.toHtmlEscaped()));
    }
}

void HelpWindow::showUrl(const QUrl& url) {
    m_browser->setSource(url);
}

bool HelpWindow::showContext(long context) {
    if (!m_ok) {
        return false;
    }
    const auto docs = m_engine->documentsForIdentifier(QStringLiteral("context-%1").arg(context));
    if (docs.isEmpty()) {
        m_browser->setHtml(tr("<p>No help topic has the context number %1.</p>").arg(context));
        return false;
    }
    m_tabs->setCurrentIndex(0);
    showUrl(docs.first().url);
    return true;
}

void HelpWindow::showIndex(const QString& keyword) {
    m_tabs->setCurrentIndex(1);
    m_indexEntry->setText(keyword);
    m_engine->indexWidget()->filterIndices(keyword);
    m_indexEntry->setFocus();
}

QtHelpEngine::~QtHelpEngine() {
    delete m_window;
}

HelpWindow* QtHelpEngine::ensureWindow(const QString& file) {
    if (m_window != nullptr && m_file != file) {
        delete m_window;
    }
    if (m_window == nullptr) {
        m_window = new HelpWindow(file);
        m_file = file;
    }
    return m_window;
}

void QtHelpEngine::winHelp(long, std::string_view helpFile, HelpCommand command, long context,
                           std::string_view keyword) {
    const QString file = QString::fromUtf8(helpFile.data(), static_cast<int>(helpFile.size()));
    switch (command) {
        case HelpCommand::ShowContext: {
            HelpWindow* w = ensureWindow(file);
            w->showContext(context);
            w->show();
            w->raise();
            w->activateWindow();
            break;
        }
        case HelpCommand::PartialKeySearch: {
            HelpWindow* w = ensureWindow(file);
            w->show();
            w->raise();
            w->activateWindow();
            w->showIndex(QString::fromUtf8(keyword.data(), static_cast<int>(keyword.size())));
            break;
        }
        case HelpCommand::Quit:
            if (m_window != nullptr) {
                m_window->close();
            }
            break;
    }
}

}  // namespace ombrix
