// The day numbers of a weather table's rows, worked out once, with the searches the merge makes
// over them. An object is read-only once built, so many merges may share one at the same time.
#pragma once

#include <vector>

#include "data/Table.h"
#include "platform/Dates.h"

namespace ombrix {

// A maximum tree over day numbers at positions 0..n-1 that finds the first position at or after
// a given one whose day lies after a given day, in logarithmic time.
class FirstDayAfter {
  public:
    FirstDayAfter() : FirstDayAfter(std::vector<DayNumber>{}) {}
    explicit FirstDayAfter(const std::vector<DayNumber>& days);

    // The first position >= from whose day is later than day, or -1.
    long find(long from, DayNumber day) const;

  private:
    DayNumber node(long i) const { return m_tree[static_cast<std::size_t>(i)]; }

    std::vector<DayNumber> m_tree;
    long m_leaves = 1;
    long m_count = 0;
};

// The weather rows as the merge's scan sees them: the day of every row up to the first one that
// forms no date (failRow), and the temperatures (column 4). Rows are 1-based as in WeatherData.
class WeatherDays {
  public:
    static constexpr long kNone = -1;

    WeatherDays() = default;
    // The rows 1..rows of w.
    WeatherDays(const Table& w, long rows);

    // The rows the days were worked out for.
    long rows() const { return m_rows; }
    // The first row that forms no date, or rows() + 1 when every row does.
    long failRow() const { return m_failRow; }
    // The table has a temperature column.
    bool hasTemps() const { return m_hasTemps; }

    // The first row >= k before failRow whose day is later than day, or kNone.
    long firstAfter(long k, DayNumber day) const { return row(m_all.find(k - 1, day)); }
    // The same among rows whose temperature is present (not -99).
    long firstPresentAfter(long k, DayNumber day) const { return row(m_present.find(k - 1, day)); }
    // Row k lies before failRow, has a temperature and a day later than day.
    bool presentAfter(long k, DayNumber day) const;
    double temp(long k) const { return m_temps[static_cast<std::size_t>(k - 1)]; }

  private:
    static long row(long position) { return position < 0 ? kNone : position + 1; }

    long m_rows = 0;
    long m_failRow = 1;
    bool m_hasTemps = false;
    std::vector<DayNumber> m_days;
    std::vector<double> m_temps;
    FirstDayAfter m_all;
    FirstDayAfter m_present;
};

}  // namespace ombrix
