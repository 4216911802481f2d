// Fuzzes the merge of bills and weather on arbitrary tables (odd sizes, empty cells, -99,
// invalid and out-of-order dates, too few columns) against a plain scan of the weather rows
// that follows the merge rule step by step: both must agree on every average, on whether the
// merge fails and on how many periods it completed; a failure shows exactly one "Error" box.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "data/Merge.h"
#include "platform/Dates.h"
#include "platform/Errors.h"

namespace {

using ombrix::Cell;
using ombrix::DataState;
using ombrix::DayNumber;
using ombrix::Table;
using ombrix::fuzz::FuzzInput;

class RecordingUi : public ombrix::Ui {
  public:
    void messageBox(std::string_view text, std::string_view title) override {
        OMBRIX_FUZZ_CHECK(title == "Error", std::string(text));
        ++boxes;
    }
    void setBusy(bool b) override { busy = b; }
    void progressCaption(std::string_view) override {}
    void progressShow() override { shown = true; }
    void progressPaint(double fraction) override {
        OMBRIX_FUZZ_CHECK(fraction > 0, std::to_string(fraction));
    }
    void progressUnload() override { shown = false; }
    void processEvents() override {}
    int boxes = 0;
    bool busy = false;
    bool shown = false;
};

// Writes a day as month, day, year into columns 1..3 of row r; the year sometimes with two
// digits, a cell sometimes empty or replaced by an odd value.
void writeDate(FuzzInput& in, Table& t, long r, DayNumber day) {
    const ombrix::CivilDate c = ombrix::civilFromDays(day);
    double year = c.year;
    if (c.year >= 1930 && c.year <= 2029 && in.byte() % 4 == 0) {
        year = c.year % 100;
    }
    const double parts[] = {static_cast<double>(c.month), static_cast<double>(c.day), year};
    for (long col = 1; col <= 3 && col <= t.lastCol(); ++col) {
        const std::uint8_t spoil = in.byte();
        if (spoil == 0) {
            t.at(r, col).clear();
        } else if (spoil == 1) {
            t.at(r, col) = in.dataDouble();
        } else {
            t.at(r, col) = parts[col - 1];
        }
    }
}

// The next day of a series: mostly a regular step, sometimes the same day, a step back or a gap.
DayNumber step(FuzzInput& in, DayNumber day, long usual) {
    switch (in.byte() % 16) {
        case 0:
            return day;
        case 1:
            return day - in.inRange(1, 40);
        case 2:
            return day + in.inRange(1, 400);
        default:
            return day + usual + (usual > 1 ? in.inRange(-3, 3) : 0);
    }
}

std::optional<DayNumber> cellsDate(const Table& t, long r) {
    const Cell& m = t.at(r, 1);
    const Cell& d = t.at(r, 2);
    const Cell& y = t.at(r, 3);
    if (m.isEmpty() || d.isEmpty() || y.isEmpty()) {
        return std::nullopt;
    }
    return ombrix::dateFromParts(m.value(), d.value(), y.value());
}

// The merge rule as a plain scan: for every period, the weather rows from s on; a row after the
// previous reading, up to the period's own, with a temperature other than -99 counts and moves
// s to it; the first row after the reading ends the scan. Returns the periods completed and
// whether the scan failed; averages[i] is column 9 of period i.
struct Expected {
    std::vector<double> averages;
    long completed = 0;
    bool failed = false;
};

Expected plainMerge(const DataState& d) {
    Expected out;
    const long n = d.EnergyLastRow;
    out.averages.assign(static_cast<std::size_t>(n + 1), -99.0);
    const Table& e = d.EnergyData;
    const Table& w = d.WeatherData;
    if (e.lastCol() < 8) {
        out.failed = true;
        return out;
    }
    long s = 1;
    for (long i = 1; i <= n; ++i) {
        const auto a = cellsDate(e, i - 1);
        const auto b = cellsDate(e, i);
        if (!a || !b) {
            out.failed = true;
            return out;
        }
        long count = 0;
        double sum = 0;
        for (long k = s; k <= d.WeatherRows; ++k) {
            if (w.lastCol() < 4) {  // no temperature column: the scan cannot start
                out.failed = true;
                return out;
            }
            const auto day = cellsDate(w, k);
            if (!day) {
                out.failed = true;
                return out;
            }
            const double temp = w(k, 4);
            if (*day > *a && *day <= *b && temp != -99) {
                ++count;
                sum += temp;
                out.averages[static_cast<std::size_t>(i)] = sum / static_cast<double>(count);
                s = k;
            }
            if (*day > *b) {
                break;
            }
        }
        out.completed = i;
    }
    return out;
}

bool same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t shape = in.byte();
    const long energyRows = in.inRange(0, 40);  // EnergyLastRow: the periods
    const long energyCols = shape % 8 == 0 ? in.inRange(1, 10) : 8;
    const long weatherRows = in.inRange(0, 600);
    const long weatherCols = shape % 8 == 1 ? in.inRange(1, 6) : 4;

    DataState d;
    d.EnergyData = Table(energyRows, energyCols);
    d.EnergyLastRow = energyRows;
    d.EnergyCols = energyCols;
    d.EnergyOpen = true;
    d.WeatherData = Table(weatherRows, weatherCols);
    d.WeatherRows = weatherRows;
    d.WeatherCols = weatherCols;
    d.WeatherOpen = true;

    const DayNumber start = ombrix::daysFromCivil(static_cast<int>(in.inRange(1995, 2031)),
                                                  static_cast<int>(in.inRange(1, 12)), 1);
    DayNumber day = start;
    for (long r = 0; r <= energyRows; ++r) {
        writeDate(in, d.EnergyData, r, day);
        for (long c = 4; c <= energyCols; ++c) {
            d.EnergyData.at(r, c) = in.dataDouble();
        }
        day = step(in, day, 30);
    }
    day = start + in.inRange(-60, 60);
    for (long k = 1; k <= weatherRows; ++k) {
        writeDate(in, d.WeatherData, k, day);
        for (long c = 4; c <= weatherCols; ++c) {
            d.WeatherData.at(k, c) =
                in.byte() % 8 == 0 ? in.dataDouble() : static_cast<double>(in.inRange(0, 999)) / 10;
        }
        day = step(in, day, 1);
    }

    // A working table from an earlier file, which the merge replaces.
    d.DataTable = Table(2, 2);
    d.DataRows = 2;
    d.DataCols = 2;

    const Expected expected = plainMerge(d);
    ombrix::DialogExchange dlg;
    dlg.DlgPath = "/folder/";
    dlg.DlgFile = "file.wea";
    RecordingUi ui;
    ombrix::MergeEnergyWeather(d, dlg, ui);

    const std::string what = "expected " + std::to_string(expected.completed) + " periods" +
                             (expected.failed ? " and a failure" : "") + ", got " +
                             std::to_string(d.DataRows) + " and " + std::to_string(ui.boxes) +
                             " boxes";
    OMBRIX_FUZZ_CHECK(!ui.busy && !ui.shown, what);
    OMBRIX_FUZZ_CHECK(ui.boxes == (expected.failed ? 1 : 0), what);
    OMBRIX_FUZZ_CHECK(d.DataRows == expected.completed, what);
    OMBRIX_FUZZ_CHECK(d.DataTable.lastRow() == energyRows && d.DataTable.lastCol() == 12, what);
    OMBRIX_FUZZ_CHECK(d.ColNames.size() == 13, what);
    OMBRIX_FUZZ_CHECK(dlg.DlgPath.empty() == !expected.failed, what);
    for (long i = 1; i <= d.DataRows; ++i) {
        const double got = d.DataTable(i, 9);
        const double want = expected.averages[static_cast<std::size_t>(i)];
        OMBRIX_FUZZ_CHECK(same(got, want), what + ": period " + std::to_string(i) + " average " +
                                               std::to_string(got) + ", expected " +
                                               std::to_string(want));
        for (long c = 1; c <= 8; ++c) {
            OMBRIX_FUZZ_CHECK(same(d.DataTable(i, c), d.EnergyData(i, c)), what);
        }
        for (long c = 10; c <= 12; ++c) {
            OMBRIX_FUZZ_CHECK(d.DataTable(i, c) == -99, what);
        }
    }
    return 0;
}
