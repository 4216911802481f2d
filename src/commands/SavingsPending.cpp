// Placeholder bodies until the savings calculation lands; this file is removed then.
#include "commands/SavingsCmd.h"

namespace ombrix {

void Savings(Session&, Services&, long, long, long, long) {}
void NAC(Session&, Services&, long, long, long) {}

}  // namespace ombrix
