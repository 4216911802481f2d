// One cell of a data table: empty, or a double-precision number.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>

namespace ombrix {

// The number that marks a missing value in every file and every table.
inline constexpr double kMissingValue = -99;

class Cell {
  public:
    Cell() = default;
    Cell(double v) : m_bits(std::bit_cast<std::uint64_t>(v)) {}  // NOLINT: a number is a cell

    bool isEmpty() const { return m_bits == kEmptyBits; }
    // An empty cell reads as 0.
    double value() const { return isEmpty() ? 0.0 : std::bit_cast<double>(m_bits); }
    operator double() const { return value(); }  // NOLINT: cells take part in arithmetic

    Cell& operator=(double v) {
        m_bits = std::bit_cast<std::uint64_t>(v);
        return *this;
    }
    void clear() { m_bits = kEmptyBits; }

  private:
    // A quiet NaN with a payload no arithmetic produces marks the empty cell.
    static constexpr std::uint64_t kEmptyBits = 0x7FF8'0000'0E4D'7E11ULL;
    std::uint64_t m_bits = kEmptyBits;
};

}  // namespace ombrix
