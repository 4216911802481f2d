#include "data/Table.h"

#include "platform/Errors.h"

namespace ombrix {

Table::Table(long lastRow, long lastCol) {
    if (lastRow < 0 || lastCol < 0) {
        throw OmbrixError("Invalid table size [0.." + std::to_string(lastRow) + ", 0.." +
                          std::to_string(lastCol) + "]");
    }
    if (lastRow >= kMaxCells || lastCol >= kMaxCells || lastRow + 1 > kMaxCells / (lastCol + 1)) {
        throw OmbrixError("Table too large: " + std::to_string(lastRow) + " rows by " +
                          std::to_string(lastCol) + " columns");
    }
    const long rows = lastRow + 1;
    const long cols = lastCol + 1;
    m_cells.resize(static_cast<std::size_t>(rows * cols));
    m_rows = rows;
    m_cols = cols;
}

void Table::outOfRange(long row, long col) const {
    if (m_rows == 0) {
        throw OmbrixError("Table read before it was created (row " + std::to_string(row) +
                          ", column " + std::to_string(col) + ")");
    }
    throw OmbrixError("Subscript out of range: [" + std::to_string(row) + ", " +
                      std::to_string(col) + "] outside [0.." + std::to_string(m_rows - 1) +
                      ", 0.." + std::to_string(m_cols - 1) + "]");
}

const std::string& TextList::at(long i) const {
    if (i < 0 || i >= size()) {
        throw OmbrixError("Subscript out of range: caption " + std::to_string(i) + " outside [0.." +
                          std::to_string(size() - 1) + "]");
    }
    return m_items[static_cast<std::size_t>(i)];
}

}  // namespace ombrix
