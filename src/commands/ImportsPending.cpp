// Placeholder bodies until the imports land; this file is removed then.
#include "commands/Imports.h"

namespace ombrix {

void OpenEnergyCmd(Session&, Services&) {}
void OpenWeatherCmd(Session&, Services&) {}
void OpenTMYCmd(Session&, Services&) {}

}  // namespace ombrix
