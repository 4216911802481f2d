#include "model/ModelState.h"

namespace ombrix {

void resetModelInput(ModelState& m, long rows) {
    m.ModelX = Table(rows, 2);
    m.ModelY = Table(rows, 1);
    m.ModelFlag.assign(static_cast<std::size_t>(rows < 0 ? 0 : rows + 1), Cell());
    m.ModelN = 0;
}

}  // namespace ombrix
