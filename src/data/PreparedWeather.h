// A daily weather file read and dated once, for the many buildings of a portfolio that use the
// same weather station. Read-only once loaded, so any number of threads may use one together.
#pragma once

#include <string>
#include <vector>

#include "data/DataState.h"
#include "data/WeatherDays.h"
#include "platform/Ui.h"

namespace ombrix {

class PreparedWeather {
  public:
    // Reads the file at path as ReadDelimited does and works out the days of its rows. A read
    // that fails is kept, not thrown: every replay fails the same way.
    explicit PreparedWeather(std::string path);

    const std::string& path() const { return m_path; }

    // Does to d and ui what ReadDelimited(d, ui, path()) did: the same table and counts, the
    // same message box and MsgText, the same busy-pointer and progress calls, and a failure
    // thrown again as OmbrixError with the same description, leaving the table as it was.
    void replayRead(DataState& d, Ui& ui) const;

    // The days of the rows as read, for the merge of a table copied from them.
    const WeatherDays& days() const { return m_days; }

    // What the read showed, in order.
    struct UiCall {
        enum Kind { Box, Busy, Caption, Show, Paint, Unload, Events } kind;
        std::string text, title;  // Box; Caption (text)
        double value = 0;         // Busy (1 on, 0 off) or Paint (the fraction)
    };

  private:
    std::string m_path;
    std::vector<UiCall> m_calls;
    bool m_failed = false;
    std::string m_failure;  // the failure's description
    Table m_table;
    long m_rows = 0;
    long m_cols = 0;
    double m_missingValue = kMissingValue;
    bool m_setsMsgText = false;
    std::string m_msgText;
    WeatherDays m_days;
};

}  // namespace ombrix
