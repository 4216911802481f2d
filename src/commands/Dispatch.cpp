#include "commands/Dispatch.h"

#include "commands/Help.h"

namespace ombrix {
namespace {

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
    (void)column;
}

void viewScatter(Session& s, Services& sv, long yCol, long flagCol, long modelRow) {
    if (!guardBoth(s, sv)) {
        return;
    }
    markPrePost(s, flagCol);
    (void)yCol;
    (void)modelRow;
}

void viewTemperatures(Session& s, Services& sv) {
    if (!guardWeather(s, sv)) {
        return;
    }
    s.data.PrePostCol = 0;
}

}  // namespace

void runCommand(Session& s, Services& sv, CommandId id) {
    using C = CommandId;
    switch (id) {
        case C::OpenEnergyCmd:
        case C::OpenWeatherCmd:
        case C::OpenTMYCmd:
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
        case C::CalcElecDemSavingsCmd:
            s.data.PrePostCol = 7;
            break;
        case C::CalcTherUseSavingsCmd:
            s.data.PrePostCol = 8;
            break;
        case C::CalcElecNACCmd:
        case C::CalcThermalNACCmd:
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
    (void)s;
    (void)sv;
    (void)button;
    (void)shift;
    (void)x;
    (void)y;
}

}  // namespace ombrix
