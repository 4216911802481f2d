#include <gtest/gtest.h>

#include "commands/Dispatch.h"
#include "commands/Help.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::Box;
using ombrix::test::Harness;

namespace {
const Box needEnergy{"Ombrix", "Must open energy file to view this graph."};
const Box needWeather{"Ombrix", "Must open weather file to view this graph."};
const Box needBoth{"Ombrix", "Must open both energy and weather files to view this graph."};
}  // namespace

TEST(ViewGuards, NothingLoadedRefusesEveryView) {
    Harness h;
    const std::vector<std::pair<CommandId, Box>> cases = {
        {CommandId::ViewMoWeatherCmd, needWeather},   {CommandId::ViewMoElecUseCmd, needEnergy},
        {CommandId::ViewMoElecDemandCmd, needEnergy}, {CommandId::ViewMoThermCmd, needEnergy},
        {CommandId::ViewElecUsevsWeaCmd, needBoth},   {CommandId::ViewElecDemvsWeaCmd, needBoth},
        {CommandId::ViewThermVsWeaCmd, needBoth},
    };
    for (const auto& [id, box] : cases) {
        h.ui.boxes.clear();
        runCommand(h.session, h.services, id);
        ASSERT_EQ(h.ui.boxes.size(), 1u) << commandName(id);
        EXPECT_EQ(h.ui.boxes[0], box) << commandName(id);
    }
    EXPECT_TRUE(h.graph.ops().empty());
    EXPECT_EQ(h.session.data.PrePostCol, 0);
}

TEST(ViewGuards, ScatterNeedsBothFilesEvenWithEnergy) {
    Harness h;
    h.session.data.EnergyOpen = true;
    runCommand(h.session, h.services, CommandId::ViewElecUsevsWeaCmd);
    ASSERT_EQ(h.ui.boxes.size(), 1u);
    EXPECT_EQ(h.ui.boxes[0], needBoth);
    h.ui.boxes.clear();
    h.session.data.EnergyOpen = false;
    h.session.data.WeatherOpen = true;
    runCommand(h.session, h.services, CommandId::ViewThermVsWeaCmd);
    EXPECT_EQ(h.ui.boxes, std::vector<Box>{needBoth});
}

TEST(ViewGuards, HiddenSavingsViewsDoNothing) {
    Harness h;
    for (auto id : {CommandId::ViewElecUseSavCmd, CommandId::ViewElecDemSavCmd,
                    CommandId::ViewThermEngySavCmd}) {
        runCommand(h.session, h.services, id);
    }
    EXPECT_TRUE(h.ui.boxes.empty());
    EXPECT_TRUE(h.graph.ops().empty());
    EXPECT_EQ(h.status.changes(), 0u);
}

TEST(Commands, PrintFailureShowsOneErrorBox) {
    Harness h;
    h.host.printFailure = "No default printer";
    runCommand(h.session, h.services, CommandId::PrintCmd);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", "\"No default printer\""}}));
    EXPECT_EQ(h.session.data.MsgText, "\"No default printer\"");
    h.ui.boxes.clear();
    h.host.printFailure.clear();
    runCommand(h.session, h.services, CommandId::PrintCmd);
    EXPECT_TRUE(h.ui.boxes.empty());
    EXPECT_EQ(h.host.prints, 1);
}

TEST(Commands, ExitAndEditorGoToTheMainWindow) {
    Harness h;
    runCommand(h.session, h.services, CommandId::EditorCmd);
    runCommand(h.session, h.services, CommandId::ExitCmd);
    EXPECT_EQ(h.host.editorShown, 1);
    EXPECT_EQ(h.host.exits, 1);
    EXPECT_TRUE(h.help.calls.empty());  // Exit does not close the help viewer
}

TEST(Help, HowToUseAndSearchAddressTheHelpFile) {
    Harness h;
    InitHelp(h.session, 77, "/opt/ombrix");
    EXPECT_EQ(h.session.help.HelpFilePath, "/opt/ombrix/ombrix.qhc");
    runCommand(h.session, h.services, CommandId::HelpMainCmd);
    runCommand(h.session, h.services, CommandId::HelpSearchCmd);
    QuitHelp(h.session, h.help);
    ASSERT_EQ(h.help.calls.size(), 3u);
    EXPECT_EQ(h.help.calls[0].command, HelpCommand::ShowContext);
    EXPECT_EQ(h.help.calls[0].context, 10);
    EXPECT_EQ(h.help.calls[0].window, 77);
    EXPECT_EQ(h.help.calls[0].file, "/opt/ombrix/ombrix.qhc");
    EXPECT_EQ(h.help.calls[1].command, HelpCommand::PartialKeySearch);
    EXPECT_EQ(h.help.calls[1].keyword, "");
    EXPECT_EQ(h.help.calls[2].command, HelpCommand::Quit);
}

TEST(Help, RootFolderGetsNoSecondSeparator) {
    Harness h;
    InitHelp(h.session, 1, "/");
    EXPECT_EQ(h.session.help.HelpFilePath, "/ombrix.qhc");
}
