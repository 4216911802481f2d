#include "commands/Menu.h"

namespace ombrix {
namespace {

MenuItem sub(std::string_view name, std::string_view caption, bool shown,
             std::vector<MenuItem> children) {
    MenuItem m;
    m.kind = MenuItem::Kind::SubMenu;
    m.name = name;
    m.caption = caption;
    m.shown = shown;
    m.children = std::move(children);
    return m;
}

MenuItem cmd(CommandId id, std::string_view name, std::string_view caption, bool shown = true) {
    MenuItem m;
    m.kind = MenuItem::Kind::Command;
    m.name = name;
    m.caption = caption;
    m.shown = shown;
    m.command = id;
    return m;
}

MenuItem separator(bool shown = true) {
    MenuItem m;
    m.kind = MenuItem::Kind::Separator;
    m.caption = "-";
    m.shown = shown;
    return m;
}

std::vector<MenuItem> buildMenu() {
    using C = CommandId;
    return {
        sub("FileCmd", "&File", true,
            {cmd(C::OpenEnergyCmd, "OpenEnergyCmd", "Open &Energy..."),
             cmd(C::OpenWeatherCmd, "OpenWeatherCmd", "Open &Weather..."),
             cmd(C::OpenTMYCmd, "OpenTMYCmd", "Open &TMY Weather", false), separator(),
             cmd(C::PrintCmd, "PrintCmd", "Print"), separator(),
             cmd(C::ExitCmd, "ExitCmd", "E&xit")}),
        sub("EditCmd", "&Edit", true, {cmd(C::EditorCmd, "EditorCmd", "&Editor")}),
        sub("CalcSavingsCmd", "&Calc Savings", true,
            {cmd(C::CalcElecUseSavingsCmd, "CalcElecUseSavingsCmd", "Calc Elec &Use Savings"),
             cmd(C::CalcElecDemSavingsCmd, "CalcElecDemSavingsCmd", "Calc Elec &Demand Savings"),
             cmd(C::CalcTherUseSavingsCmd, "CalcTherUseSavingsCmd", "Calc &Thermal Use Savings")}),
        sub("CalcNACCmd", "Calc &NAC", false,
            {cmd(C::CalcElecNACCmd, "CalcElecNACCmd", "Calc Elec &Use NAC"),
             cmd(C::CalcThermalNACCmd, "CalcThermalNACCmd", "Calc &Thermal NAC")}),
        sub("ViewCmd", "&View", true,
            {cmd(C::ViewMoWeatherCmd, "ViewMoWeatherCmd", "View &Temperatures"), separator(),
             cmd(C::ViewMoElecUseCmd, "ViewMoElecUseCmd", "View Elec &Use"),
             cmd(C::ViewMoElecDemandCmd, "ViewMoElecDemandCmd", "View Elec &Demand"),
             cmd(C::ViewMoThermCmd, "ViewMoThermCmd", "View &Thermal Use"), separator(),
             cmd(C::ViewElecUsevsWeaCmd, "ViewElecUsevsWeaCmd", "View &Elec Use vs. Temperature"),
             cmd(C::ViewElecDemvsWeaCmd, "ViewElecDemvsWeaCmd", "View Elec De&mand vs Temperature"),
             cmd(C::ViewThermVsWeaCmd, "ViewThermVsWeaCmd", "&View Thermal Use vs. Temperature"),
             separator(false),
             cmd(C::ViewElecUseSavCmd, "ViewElecUseSavCmd", "View Elec Use Savings", false),
             cmd(C::ViewElecDemSavCmd, "ViewElecDemSavCmd", "View Elec Demand Savings", false),
             cmd(C::ViewThermEngySavCmd, "ViewThermEngySavCmd", "View Thermal Engy Savings",
                 false)}),
        sub("HelpCmd", "&Help", true,
            {cmd(C::HelpMainCmd, "HelpMainCmd", "&How To Use Ombrix"),
             cmd(C::HelpSearchCmd, "HelpSearchCmd", "&Search Keywords")}),
    };
}

const MenuItem* findCommand(const std::vector<MenuItem>& items, CommandId id) {
    for (const auto& item : items) {
        if (item.kind == MenuItem::Kind::Command && item.command == id) {
            return &item;
        }
        if (const auto* found = findCommand(item.children, id)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

const std::vector<MenuItem>& mainMenu() {
    static const std::vector<MenuItem> menu = buildMenu();
    return menu;
}

std::string_view commandName(CommandId id) {
    const MenuItem* item = findCommand(mainMenu(), id);
    return item != nullptr ? item->name : std::string_view{};
}

}  // namespace ombrix
