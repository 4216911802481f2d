// Builds the tables a merge of bills and weather leaves behind, from readings written out in a
// test: EnergyData rows 0..N (row 0 the opening reading), the merged DataTable with its
// "if no retrofit" columns at -99, and ModelTable with no model yet.
#pragma once

#include <vector>

#include "data/DataState.h"
#include "data/Merge.h"

namespace ombrix::test {

struct Reading {
    double mo = 1, dy = 1, yr = 2020;
    double temp = -99;  // average temperature of the period the reading ends
    double use = 0, demand = 0, thermal = 0;
    double elecFlag = 1, thermFlag = 1;
};

inline void fillMerged(DataState& d, const Reading& opening, const std::vector<Reading>& periods) {
    const long n = static_cast<long>(periods.size());
    d.EnergyData = Table(n, 8);
    d.DataTable = Table(n, 12);
    for (long i = 0; i <= n; ++i) {
        const Reading& r = i == 0 ? opening : periods[static_cast<std::size_t>(i - 1)];
        const double values[8] = {r.mo,     r.dy,      r.yr,       r.use,
                                  r.demand, r.thermal, r.elecFlag, r.thermFlag};
        for (long c = 1; c <= 8; ++c) {
            d.EnergyData.at(i, c) = values[c - 1];
            d.DataTable.at(i, c) = values[c - 1];
        }
        if (i > 0) {
            d.DataTable.at(i, 9) = r.temp;
            for (long c = 10; c <= 12; ++c) {
                d.DataTable.at(i, c) = -99.0;
            }
        }
    }
    d.EnergyLastRow = n;
    d.DataRows = n;
    d.EnergyOpen = true;
    d.WeatherOpen = true;
    d.ColNames = TextList(mergedCaptions());
    d.MoCol = 1;
    d.DyCol = 2;
    d.YrCol = 3;
    d.TimeStampKind = 3;
    d.ModelTable = Table(3, 5);
    for (long r = 1; r <= 3; ++r) {
        for (long c = 1; c <= 5; ++c) {
            d.ModelTable.at(r, c) = -99.0;
        }
    }
}

}  // namespace ombrix::test
