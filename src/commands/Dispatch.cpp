#include "commands/Dispatch.h"

#include "commands/Help.h"
#include "commands/Imports.h"
#include "commands/SavingsCmd.h"
#include "graph/GSubs.h"

namespace ombrix {
namespace {

GraphContext graphContext(Session& s, Services& sv) {
    return {s.data, s.model, s.graph, sv.ui, sv.graph};
}

// The View guards: a flag counts only when it is true.
bool guardEnergy(Session& s, Services& sv) {
    if (!s.data.EnergyOpen) {
        sv.ui.messageBox(kNeedEnergy, kAppTitle);
        return false;
    }
    return true;
}

bool guardWeather(Session& s, Services& sv) {
    if (!s.data.WeatherOpen) {
        sv.ui.messageBox(kNeedWeather, kAppTitle);
        return false;
    }
    return true;
}

bool guardBoth(Session& s, Services& sv) {
    if (!(s.data.EnergyOpen && s.data.WeatherOpen)) {
        sv.ui.messageBox(kNeedBoth, kAppTitle);
        return false;
    }
    return true;
}

// Pre/post marking for an energy graph: the flag column, black and blue.
void markPrePost(Session& s, long flagCol) {
    s.data.PrePostCol = flagCol;
    s.data.PreColor = kBlack;
    s.data.PostColor = kBlue;
}

void viewTimeSeries(Session& s, Services& sv, long column, long flagCol) {
    if (!guardEnergy(s, sv)) {
        return;
    }
    markPrePost(s, flagCol);
    GraphContext g = graphContext(s, sv);
    PlotTimeSeries(g, column, true, true);
}

void viewScatter(Session& s, Services& sv, long yCol, long flagCol, long modelRow) {
    if (!guardBoth(s, sv)) {
        return;
    }
    markPrePost(s, flagCol);
    GraphContext g = graphContext(s, sv);
    // The model lines go only onto the graph just drawn, never over the one left on show when
    // the scatter refuses.
    if (PlotScatter(g, 9, yCol, true)) {
        DrawModelLines(g, modelRow);
    }
}

// With only a weather file the working table is the weather table (temperature in column 4);
// with both files it is the merged table (period temperature in column 9).
void viewTemperatures(Session& s, Services& sv) {
    if (!guardWeather(s, sv)) {
        return;
    }
    s.data.PrePostCol = 0;
    GraphContext g = graphContext(s, sv);
    PlotTimeSeries(g, s.data.EnergyOpen ? 9 : 4, true, true);
}

}  // namespace

void runCommand(Session& s, Services& sv, CommandId id) {
    using C = CommandId;
    switch (id) {
        case C::OpenEnergyCmd:
            OpenEnergyCmd(s, sv);
            break;
        case C::OpenWeatherCmd:
            OpenWeatherCmd(s, sv);
            break;
        case C::OpenTMYCmd:
            OpenTMYCmd(s, sv);
            break;
        case C::PrintCmd:
            runGuarded(sv.ui, "Error", &s.data.MsgText, [&] { sv.host.printMainWindow(); });
            break;
        case C::ExitCmd:
            sv.host.exitNow();
            break;
        case C::EditorCmd:
            sv.host.showEditor();
            break;
        case C::CalcElecUseSavingsCmd:
            s.data.PrePostCol = 7;
            Savings(s, sv, 9, 4, 10, s.data.PrePostCol);
            break;
        case C::CalcElecDemSavingsCmd:
            s.data.PrePostCol = 7;
            Savings(s, sv, 9, 5, 11, s.data.PrePostCol);
            break;
        case C::CalcTherUseSavingsCmd:
            s.data.PrePostCol = 8;
            Savings(s, sv, 9, 6, 12, s.data.PrePostCol);
            break;
        case C::CalcElecNACCmd:
            NAC(s, sv, 9, 4, 10);
            break;
        case C::CalcThermalNACCmd:
            NAC(s, sv, 9, 6, 12);
            break;
        case C::ViewMoWeatherCmd:
            viewTemperatures(s, sv);
            break;
        case C::ViewMoElecUseCmd:
            viewTimeSeries(s, sv, 4, 7);
            break;
        case C::ViewMoElecDemandCmd:
            viewTimeSeries(s, sv, 5, 7);
            break;
        case C::ViewMoThermCmd:
            viewTimeSeries(s, sv, 6, 8);
            break;
        case C::ViewElecUsevsWeaCmd:
            viewScatter(s, sv, 4, 7, 1);
            break;
        case C::ViewElecDemvsWeaCmd:
            viewScatter(s, sv, 5, 7, 2);
            break;
        case C::ViewThermVsWeaCmd:
            viewScatter(s, sv, 6, 8, 3);
            break;
        case C::ViewElecUseSavCmd:
        case C::ViewElecDemSavCmd:
        case C::ViewThermEngySavCmd:
            break;  // these items have no action
        case C::HelpMainCmd:
            ShowHelpContext(s, sv.help, kContextHowToUse);
            break;
        case C::HelpSearchCmd:
            ShowHelpSearch(s, sv.help);
            break;
    }
}

void graphMouseDown(Session& s, Services& sv, int button, int shift, double x, double y) {
    GraphContext g = graphContext(s, sv);
    GraphboxMouseDown(g, sv.status, button, shift, x, y);
}

}  // namespace ombrix
