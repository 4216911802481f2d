#include "data/Merge.h"

#include <algorithm>
#include <limits>

#include "platform/Errors.h"
#include "platform/NumberFormat.h"

namespace ombrix {
namespace {

constexpr long kNone = -1;
constexpr DayNumber kNoDay = std::numeric_limits<DayNumber>::min();

// A maximum tree over day numbers at positions 0..n-1 that finds the first position at or after
// a given one whose day lies after a given day, in logarithmic time.
class FirstDayAfter {
  public:
    FirstDayAfter() : FirstDayAfter(std::vector<DayNumber>{}) {}
    explicit FirstDayAfter(const std::vector<DayNumber>& days) {
        const long n = static_cast<long>(days.size());
        while (m_leaves < n) {
            m_leaves *= 2;
        }
        m_tree.assign(static_cast<std::size_t>(2 * m_leaves), kNoDay);
        for (long i = 0; i < n; ++i) {
            node(m_leaves + i) = days[static_cast<std::size_t>(i)];
        }
        for (long i = m_leaves - 1; i >= 1; --i) {
            node(i) = std::max(node(2 * i), node(2 * i + 1));
        }
        m_count = n;
    }

    // The first position >= from whose day is later than day, or kNone.
    long find(long from, DayNumber day) const {
        if (from >= m_count) {
            return kNone;
        }
        long i = m_leaves + from;
        while (true) {
            if (node(i) > day) {
                while (i < m_leaves) {  // down to the leftmost such leaf
                    i *= 2;
                    if (node(i) <= day) {
                        ++i;
                    }
                }
                return i - m_leaves;
            }
            while ((i & 1) != 0) {  // up while a right child; past the root means none
                i /= 2;
            }
            if (i == 0) {
                return kNone;
            }
            ++i;  // the next block to the right
        }
    }

  private:
    DayNumber& node(long i) { return m_tree[static_cast<std::size_t>(i)]; }
    DayNumber node(long i) const { return m_tree[static_cast<std::size_t>(i)]; }

    std::vector<DayNumber> m_tree;
    long m_leaves = 1;
    long m_count = 0;
};

// The weather rows as the scan sees them: the day of every row up to the first one that forms
// no date (failRow), and the temperatures. Rows are 1-based as in WeatherData.
class WeatherDays {
  public:
    WeatherDays(const Table& w, long rows) : m_hasTemps(w.lastCol() >= 4) {
        std::vector<DayNumber> all;
        std::vector<DayNumber> present;
        all.reserve(static_cast<std::size_t>(rows));
        failRow = rows + 1;
        for (long k = 1; k <= rows; ++k) {
            const auto day = rowDate(w, k);
            if (!day) {
                failRow = k;
                break;
            }
            all.push_back(*day);
            if (m_hasTemps) {
                const double t = w(k, 4);
                m_temps.push_back(t);
                present.push_back(t != kMissingValue ? *day : kNoDay);
            }
        }
        m_all = FirstDayAfter(all);
        m_present = FirstDayAfter(present);
        m_days = std::move(all);
    }

    long failRow = 1;
    bool hasTemps() const { return m_hasTemps; }

    // The first row >= k before failRow whose day is later than day, or kNone.
    long firstAfter(long k, DayNumber day) const { return row(m_all.find(k - 1, day)); }
    // The same among rows whose temperature is present (not -99).
    long firstPresentAfter(long k, DayNumber day) const { return row(m_present.find(k - 1, day)); }
    bool presentAfter(long k, DayNumber day) const {
        const auto i = static_cast<std::size_t>(k - 1);
        return k < failRow && m_temps[i] != kMissingValue && m_days[i] > day;
    }
    double temp(long k) const { return m_temps[static_cast<std::size_t>(k - 1)]; }

  private:
    static long row(long position) { return position == kNone ? kNone : position + 1; }

    bool m_hasTemps;
    std::vector<DayNumber> m_days;
    std::vector<double> m_temps;
    FirstDayAfter m_all;
    FirstDayAfter m_present;
};

void setMergedWorkingTable(DataState& d, long rows) {
    d.DataRows = rows;
    d.MoCol = 1;
    d.DyCol = 2;
    d.YrCol = 3;
    d.TimeStampKind = 3;
    d.ColNames = TextList(mergedCaptions());
}

DayNumber energyDate(const Table& e, long r) {
    const auto day = rowDate(e, r);
    if (!day) {
        throwInvalidDate(e, r, "energy", r + 1);  // energy rows are shown as data lines from 1
    }
    return *day;
}

// The merge proper. completed counts the periods merged so far; installed tells whether the
// new table replaced DataTable.
void merge(DataState& d, Ui& ui, long& completed, bool& installed) {
    const long n = d.EnergyLastRow;
    const Table& e = d.EnergyData;
    {
        Table out(n, 12);
        for (long r = 1; r <= n; ++r) {
            for (long c = 9; c <= 12; ++c) {
                out.at(r, c) = kMissingValue;
            }
        }
        d.DataTable = std::move(out);
        installed = true;
    }
    Table& t = d.DataTable;
    if (e.lastCol() < 8) {
        throw OmbrixError("The energy file has " + std::to_string(e.lastCol()) +
                          " columns; 8 are needed to merge it with weather");
    }
    for (long c = 1; c <= 8; ++c) {
        t.at(0, c) = e.at(0, c);
    }

    const long weatherRows = d.WeatherRows;
    const WeatherDays w(d.WeatherData, weatherRows);
    long s = 1;         // the scan of a period starts at the last day counted before it
    long examined = 0;  // weather rows examined, over all periods together
    long painted = 0;   // the progress count painted last
    for (long i = 1; i <= n; ++i) {
        for (long c = 1; c <= 8; ++c) {
            t.at(i, c) = e.at(i, c);
        }
        const DayNumber a = energyDate(e, i - 1);
        const DayNumber b = energyDate(e, i);
        if (weatherRows < 1) {
            completed = i;
            continue;
        }
        // The scan examines rows s.. up to the first day after b; the rows before that day can
        // count. A row that forms no date fails the merge only when the scan reaches it.
        // Too few columns are said as such before a row is examined, whose date could not
        // even be read without them.
        if (!w.hasTemps()) {
            throw OmbrixError("The weather file has " + std::to_string(d.WeatherData.lastCol()) +
                              " columns; 4 are needed to merge it with energy data");
        }
        if (s == w.failRow) {
            throwInvalidDate(d.WeatherData, s, "weather", s);
        }
        const long after = w.firstAfter(s, b);
        long limit = 0;  // rows s..limit-1 may count
        if (after == kNone) {
            if (w.failRow <= weatherRows) {
                throwInvalidDate(d.WeatherData, w.failRow, "weather", w.failRow);
            }
            limit = weatherRows + 1;
            examined += weatherRows - s + 1;
        } else {
            limit = after;
            examined += after - s + 1;
        }
        // A period holds the days after the previous reading up to its own, with a temperature.
        long count = 0;
        double sum = 0;
        long last = kNone;
        long k = w.firstPresentAfter(s, a);
        while (k != kNone && k < limit) {
            ++count;
            sum += w.temp(k);
            last = k;
            k = w.presentAfter(k + 1, a) ? k + 1 : w.firstPresentAfter(k + 1, a);
        }
        if (count > 0) {
            t.at(i, 9) = sum / static_cast<double>(count);
            s = last;
        }
        const long tens = examined / 10 * 10;
        if (tens > painted) {
            ui.ShowProgress(static_cast<double>(tens), static_cast<double>(weatherRows), 10);
            painted = tens;
        }
        completed = i;
    }
}

std::string cellText(const Table& t, long r, long c) {
    const Cell& cell = t.at(r, c);
    return cell.isEmpty() ? std::string() : plainNumberText(cell.value());
}

}  // namespace

const std::vector<std::string>& mergedCaptions() {
    static const std::vector<std::string> captions = {
        "",
        "Mo",
        "Dy",
        "Yr",
        "Elec Use (kWh/mo)",
        "Elec Demand (kW)",
        "Therm Use (units/mo)",
        "ElecPrePst (kWh/mo)",
        "NGPrePst (ccf/mo)",
        "Avg Temp (F)",
        "Post Elec Use if no retrofit (kWh/mo)",
        "Post Elec Demand if no retrofit (kW)",
        "Post Therm Use if no retrofit (units/mo)",
    };
    return captions;
}

std::optional<DayNumber> rowDate(const Table& t, long r) {
    if (r < 0 || r > t.lastRow() || t.lastCol() < 3) {
        return std::nullopt;
    }
    const Cell& m = t.at(r, 1);
    const Cell& dy = t.at(r, 2);
    const Cell& y = t.at(r, 3);
    if (m.isEmpty() || dy.isEmpty() || y.isEmpty()) {
        return std::nullopt;
    }
    return dateFromParts(m.value(), dy.value(), y.value());
}

void throwInvalidDate(const Table& t, long r, std::string_view what, long shownRow) {
    // Reading the cells throws the table's own description when the row or a column is missing.
    const std::string m = cellText(t, r, 1);
    const std::string dy = cellText(t, r, 2);
    const std::string y = cellText(t, r, 3);
    const std::string where = " in " + std::string(what) + " row " + std::to_string(shownRow);
    if (m.empty() && dy.empty() && y.empty()) {
        throw OmbrixError("No date" + where);
    }
    throw OmbrixError("Invalid date " + m + "/" + dy + "/" + y + where);
}

void MergeEnergyWeather(DataState& d, DialogExchange& dlg, Ui& ui) {
    runGuarded(ui, "Error", &d.MsgText, [&] {
        BusyPointer busy(ui);
        ProgressWindow progress(ui, "Merging Energy and Weather Files...");
        long completed = 0;
        bool installed = false;
        try {
            merge(d, ui, completed, installed);
        } catch (...) {
            // Keep the periods merged so far, and a row count and captions that match them.
            if (installed) {
                setMergedWorkingTable(d, completed);
            }
            throw;
        }
        setMergedWorkingTable(d, d.EnergyLastRow);
        dlg.DlgPath.clear();
        dlg.DlgFile.clear();
    });
}

}  // namespace ombrix
