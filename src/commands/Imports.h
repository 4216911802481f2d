// File > Open Energy, Open Weather and Open TMY Weather.
#pragma once

#include "commands/Services.h"
#include "commands/Session.h"

namespace ombrix {

// Loads a utility history (*.utl) into EnergyData, merges it with loaded weather, draws the
// electricity use.
void OpenEnergyCmd(Session& s, Services& sv);
// Loads daily temperatures (*.wea) into WeatherData, merges them with loaded bills, draws them.
void OpenWeatherCmd(Session& s, Services& sv);
// Loads one typical year (*.wea, at least 365 days) repeated over 1990..2015.
void OpenTMYCmd(Session& s, Services& sv);

}  // namespace ombrix
