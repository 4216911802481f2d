// The merge of billing periods with daily temperatures into the working table.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/DataState.h"
#include "data/Table.h"
#include "data/WeatherDays.h"
#include "platform/Dates.h"
#include "platform/Ui.h"

namespace ombrix {

// Rebuilds DataTable as one row per billing period: columns 1..8 from EnergyData, column 9 the
// average temperature of the weather days after the previous reading up to and including the
// period's own reading (-99 when there is none), columns 10..12 -99 for the results. Runs under
// its own failure handler and always returns: after a failure, DataRows counts only the periods
// merged completely, so the table stays consistent with its captions and row count. dated, when
// given, are the days of WeatherData rows 1..WeatherRows worked out beforehand (a weather file
// shared by many buildings); without them the merge works them out itself.
void MergeEnergyWeather(DataState& d, DialogExchange& dlg, Ui& ui,
                        const WeatherDays* dated = nullptr);

// The captions of the merged table's columns, entry 0 empty.
const std::vector<std::string>& mergedCaptions();

// The day of row r of a table from its month, day and year in columns 1..3, or nothing when a
// cell is empty or the three make no valid date.
std::optional<DayNumber> rowDate(const Table& t, long r);

// Throws OmbrixError describing why row r of t forms no date ("Invalid date 2/30/2001 in
// weather row 59"); shownRow is the row number the message gives, what names the table.
[[noreturn]] void throwInvalidDate(const Table& t, long r, std::string_view what, long shownRow);

}  // namespace ombrix
