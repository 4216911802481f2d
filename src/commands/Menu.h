// The main window's menu tree and the commands behind it.
#pragma once

#include <string_view>
#include <vector>

namespace ombrix {

enum class CommandId {
    OpenEnergyCmd,
    OpenWeatherCmd,
    OpenTMYCmd,
    PrintCmd,
    ExitCmd,
    EditorCmd,
    CalcElecUseSavingsCmd,
    CalcElecDemSavingsCmd,
    CalcTherUseSavingsCmd,
    CalcElecNACCmd,
    CalcThermalNACCmd,
    ViewMoWeatherCmd,
    ViewMoElecUseCmd,
    ViewMoElecDemandCmd,
    ViewMoThermCmd,
    ViewElecUsevsWeaCmd,
    ViewElecDemvsWeaCmd,
    ViewThermVsWeaCmd,
    ViewElecUseSavCmd,
    ViewElecDemSavCmd,
    ViewThermEngySavCmd,
    HelpMainCmd,
    HelpSearchCmd,
};

// One entry of the menu bar or of a sub-menu. "&" in a caption marks the access key.
struct MenuItem {
    enum class Kind { SubMenu, Command, Separator };
    Kind kind = Kind::Command;
    std::string_view name;  // FileCmd, OpenEnergyCmd ...; empty for separators
    std::string_view caption;
    bool shown = true;                       // hidden items stay hidden for the whole run
    CommandId command = CommandId::ExitCmd;  // Command items only
    std::vector<MenuItem> children;          // SubMenu items only
};

// The menu bar of the main window, in order.
const std::vector<MenuItem>& mainMenu();

// The name of a command ("OpenEnergyCmd").
std::string_view commandName(CommandId id);

}  // namespace ombrix
