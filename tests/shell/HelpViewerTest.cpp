#include <gtest/gtest.h>

#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QSignalSpy>
#include <QTest>

#include "commands/Help.h"
#include "platform/HelpPath.h"
#include "shell/HelpViewer.h"

using namespace ombrix;

namespace {
std::string builtHelpFile() {
    return helpFilePath(OMBRIX_BINARY_DIR "/bin", kHelpFileName);
}
}  // namespace

TEST(HelpViewer, ContextTenOpensHowToUse) {
    QtHelpEngine engine;
    engine.winHelp(1, builtHelpFile(), HelpCommand::ShowContext, kContextHowToUse, {});
    HelpWindow* w = engine.window();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->ok());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->browser()->documentTitle(), "How To Use Ombrix");
    EXPECT_EQ(w->tabs()->currentIndex(), 0);
}

TEST(HelpViewer, KeywordSearchOpensTheIndexWithAnEmptyEntry) {
    QtHelpEngine engine;
    engine.winHelp(1, builtHelpFile(), HelpCommand::PartialKeySearch, 0, "");
    HelpWindow* w = engine.window();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->tabs()->currentIndex(), 1);
    EXPECT_EQ(w->indexEntry()->text(), "");
    QHelpIndexModel* index = w->engine()->indexModel();
    if (index->rowCount() == 0) {
        QSignalSpy created(index, &QHelpIndexModel::indexCreated);
        ASSERT_TRUE(created.wait(10000));
    }
    EXPECT_GT(index->rowCount(), 0);
    EXPECT_TRUE(index->stringList().contains("How To Use Ombrix"));
}

TEST(HelpViewer, QuitClosesTheViewer) {
    QtHelpEngine engine;
    engine.winHelp(1, builtHelpFile(), HelpCommand::ShowContext, kContextHowToUse, {});
    ASSERT_NE(engine.window(), nullptr);
    engine.winHelp(1, builtHelpFile(), HelpCommand::Quit, 0, {});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(engine.window(), nullptr);
}

TEST(HelpViewer, MissingHelpFileIsReportedByTheViewer) {
    QtHelpEngine engine;
    engine.winHelp(1, "/nonexistent/ombrix.qhc", HelpCommand::ShowContext, 10, {});
    HelpWindow* w = engine.window();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->ok());
    EXPECT_TRUE(w->browser()->toPlainText().contains("/nonexistent/ombrix.qhc"));
}
