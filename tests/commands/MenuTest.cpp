#include <gtest/gtest.h>

#include "commands/Menu.h"

using namespace ombrix;

namespace {
// "caption" for shown items, "(caption)" for hidden ones, "-" for a separator.
std::vector<std::string> captions(const MenuItem& menu) {
    std::vector<std::string> out;
    for (const auto& item : menu.children) {
        std::string c(item.caption);
        out.push_back(item.shown ? c : "(" + c + ")");
    }
    return out;
}
}  // namespace

TEST(MainMenu, BarHasSixMenusInOrderWithCalcNacHidden) {
    const auto& bar = mainMenu();
    ASSERT_EQ(bar.size(), 6u);
    std::vector<std::string> names;
    for (const auto& m : bar) {
        names.push_back(std::string(m.name) + (m.shown ? "" : " hidden"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"FileCmd", "EditCmd", "CalcSavingsCmd",
                                               "CalcNACCmd hidden", "ViewCmd", "HelpCmd"}));
    EXPECT_EQ(bar[0].caption, "&File");
    EXPECT_EQ(bar[3].caption, "Calc &NAC");
}

TEST(MainMenu, ItemsCaptionsAndHiddenItems) {
    const auto& bar = mainMenu();
    EXPECT_EQ(captions(bar[0]),
              (std::vector<std::string>{"Open &Energy...", "Open &Weather...",
                                        "(Open &TMY Weather)", "-", "Print", "-", "E&xit"}));
    EXPECT_EQ(captions(bar[1]), (std::vector<std::string>{"&Editor"}));
    EXPECT_EQ(captions(bar[2]),
              (std::vector<std::string>{"Calc Elec &Use Savings", "Calc Elec &Demand Savings",
                                        "Calc &Thermal Use Savings"}));
    EXPECT_EQ(captions(bar[3]),
              (std::vector<std::string>{"Calc Elec &Use NAC", "Calc &Thermal NAC"}));
    EXPECT_EQ(
        captions(bar[4]),
        (std::vector<std::string>{
            "View &Temperatures", "-", "View Elec &Use", "View Elec &Demand", "View &Thermal Use",
            "-", "View &Elec Use vs. Temperature", "View Elec De&mand vs Temperature",
            "&View Thermal Use vs. Temperature", "(-)", "(View Elec Use Savings)",
            "(View Elec Demand Savings)", "(View Thermal Engy Savings)"}));
    EXPECT_EQ(captions(bar[5]),
              (std::vector<std::string>{"&How To Use Ombrix", "&Search Keywords"}));
}

TEST(MainMenu, CommandNamesFollowTheItems) {
    EXPECT_EQ(commandName(CommandId::OpenEnergyCmd), "OpenEnergyCmd");
    EXPECT_EQ(commandName(CommandId::CalcTherUseSavingsCmd), "CalcTherUseSavingsCmd");
    EXPECT_EQ(commandName(CommandId::ViewThermVsWeaCmd), "ViewThermVsWeaCmd");
}
