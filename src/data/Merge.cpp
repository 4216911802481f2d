#include "data/Merge.h"

#include "platform/Errors.h"
#include "platform/NumberFormat.h"

namespace ombrix {
namespace {

constexpr long kNone = WeatherDays::kNone;

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
// new table replaced DataTable. dated, when given, holds the days of the weather rows.
void merge(DataState& d, Ui& ui, const WeatherDays* dated, long& completed, bool& installed) {
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
    std::optional<WeatherDays> own;
    if (dated == nullptr || dated->rows() != weatherRows) {
        own.emplace(d.WeatherData, weatherRows);
        dated = &*own;
    }
    const WeatherDays& w = *dated;
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
        if (s == w.failRow()) {
            throwInvalidDate(d.WeatherData, s, "weather", s);
        }
        const long after = w.firstAfter(s, b);
        long limit = 0;  // rows s..limit-1 may count
        if (after == kNone) {
            if (w.failRow() <= weatherRows) {
                throwInvalidDate(d.WeatherData, w.failRow(), "weather", w.failRow());
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

void MergeEnergyWeather(DataState& d, DialogExchange& dlg, Ui& ui, const WeatherDays* dated) {
    runGuarded(ui, "Error", &d.MsgText, [&] {
        BusyPointer busy(ui);
        ProgressWindow progress(ui, "Merging Energy and Weather Files...");
        long completed = 0;
        bool installed = false;
        try {
            merge(d, ui, dated, completed, installed);
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
