// The savings and normalized-annual-consumption calculations behind the Calc commands.
#pragma once

#include "commands/Services.h"
#include "commands/Session.h"

namespace ombrix {

// Fits the baseline, predicts the post-retrofit periods into outCol, reports the savings in
// the status area and in the report and table files beside the energy file, stores the model.
void Savings(Session& s, Services& sv, long xCol, long yCol, long outCol, long flagCol);

// Applies the stored model to every period and reports the annual and normalized annual
// consumption.
void NAC(Session& s, Services& sv, long xCol, long yCol, long outCol);

}  // namespace ombrix
