// A two-dimensional table of cells indexed [row, column] from 0, with checked access.
#pragma once

#include <string>
#include <vector>

#include "data/Cell.h"

namespace ombrix {

class Table {
  public:
    Table() = default;
    // A table [0..lastRow, 0..lastCol], every cell empty. Negative bounds make no table and
    // fail as an invalid table size; more than kMaxCells cells fail as too large.
    Table(long lastRow, long lastCol);

    // The most cells a table may hold (512 MiB), far beyond any real data file: an absurd file
    // fails with a clear message instead of exhausting memory.
    static constexpr long kMaxCells = 1L << 26;

    // Allocated at all (a table that was never created has no rows, not even row 0).
    bool allocated() const { return m_rows > 0; }
    long lastRow() const { return m_rows - 1; }
    long lastCol() const { return m_cols - 1; }

    // Checked access: an index outside the bounds throws OmbrixError.
    Cell& at(long row, long col) {
        check(row, col);
        return m_cells[static_cast<std::size_t>(row * m_cols + col)];
    }
    const Cell& at(long row, long col) const {
        check(row, col);
        return m_cells[static_cast<std::size_t>(row * m_cols + col)];
    }
    // Reads a cell; empty cells read as 0.
    double operator()(long row, long col) const { return at(row, col).value(); }

  private:
    void check(long row, long col) const {
        if (row < 0 || row >= m_rows || col < 0 || col >= m_cols) {
            outOfRange(row, col);
        }
    }
    [[noreturn]] void outOfRange(long row, long col) const;

    long m_rows = 0;
    long m_cols = 0;
    std::vector<Cell> m_cells;
};

// A list of texts [0..last], with checked access.
class TextList {
  public:
    TextList() = default;
    explicit TextList(std::vector<std::string> items) : m_items(std::move(items)) {}
    const std::string& at(long i) const;
    long size() const { return static_cast<long>(m_items.size()); }
    bool empty() const { return m_items.empty(); }

  private:
    std::vector<std::string> m_items;
};

}  // namespace ombrix
