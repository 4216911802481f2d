// A graph context over recording fakes, and tables filled by hand, for the graph tests.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "graph/GSubs.h"
#include "platform/Picture.h"
#include "support/Fakes.h"

namespace ombrix::test {

struct GraphHarness {
    DataState data;
    ModelState model;
    GraphState graph;
    FakeUi ui;
    Picture picture;
    StatusText status;
    GraphContext ctx{data, model, graph, ui, picture};

    std::vector<std::string> drawn() const {
        std::vector<std::string> out;
        for (const auto& op : picture.ops()) {
            out.push_back(describe(op));
        }
        return out;
    }
    // The drawing calls from the first one that reads `first` on.
    std::vector<std::string> drawnFrom(const std::string& first) const {
        const auto all = drawn();
        const auto it = std::find(all.begin(), all.end(), first);
        return {it, all.end()};
    }
    bool has(const std::string& op) const {
        const auto all = drawn();
        return std::find(all.begin(), all.end(), op) != all.end();
    }
    long count(const std::string& prefix) const {
        const auto all = drawn();
        return std::count_if(all.begin(), all.end(),
                             [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    }
    // Marks the pre-retrofit rows of the electricity flag column black and the others blue.
    void markElectricity() {
        data.PrePostCol = 7;
        data.PreColor = kBlack;
        data.PostColor = kBlue;
    }
};

// Column captions of the merged table used by the tests.
inline TextList mergedNames() {
    return TextList({"", "Month", "Day", "Year", "Elec Use", "Elec Demand", "Thermal Use",
                     "Elec Flag", "Thermal Flag", "Temp", "Post Elec Use if no retrofit",
                     "Post Elec Demand if no retrofit", "Post Thermal Use if no retrofit"});
}

// A merged table of billing periods: each row lists columns 1..12 (month, day, year, use,
// demand, thermal, flags, temperature, the three results); missing trailing columns are -99.
inline void setMerged(DataState& d, const std::vector<std::vector<double>>& rows) {
    const long n = static_cast<long>(rows.size());
    d.DataTable = Table(n, 12);
    for (long i = 1; i <= n; ++i) {
        const auto& r = rows[static_cast<std::size_t>(i - 1)];
        for (long c = 1; c <= 12; ++c) {
            const auto k = static_cast<std::size_t>(c - 1);
            d.DataTable.at(i, c) = k < r.size() ? r[k] : kMissingValue;
        }
    }
    d.DataRows = n;
    d.DataCols = 12;
    d.ColNames = mergedNames();
    d.MoCol = 1;
    d.DyCol = 2;
    d.YrCol = 3;
    d.TimeStampKind = 3;
    d.EnergyOpen = true;
    d.WeatherOpen = true;
}

// A merged table whose row i holds month i, day 1, year 98 and the value of `values` in
// `column`; flags of column 7 and 8 come from `flags` (1 when not given).
inline void setSeries(DataState& d, long column, const std::vector<double>& values,
                      const std::vector<double>& flags = {}) {
    std::vector<std::vector<double>> rows;
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::vector<double> r(12, kMissingValue);
        r[0] = static_cast<double>(i % 12 + 1);
        r[1] = 1;
        r[2] = 98;
        r[6] = r[7] = i < flags.size() ? flags[i] : 1;
        r[static_cast<std::size_t>(column - 1)] = values[i];
        rows.push_back(r);
    }
    setMerged(d, rows);
}

}  // namespace ombrix::test
