// Fuzzes the date conversion: month/day/year parts of any value either form a date that reads
// back to the same parts, or are refused for a reason an independent check agrees with; day
// numbers and calendar dates convert back and forth without loss over years 0..9999.
#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "platform/Dates.h"

namespace {

using ombrix::fuzz::FuzzInput;

bool leapYear(long y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

long monthLength(long y, long m) {
    static constexpr long kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1 January 1970 counted year by year and month by month.
long slowDayNumber(long y, long m, long d) {
    long days = 0;
    for (long year = 1970; year < y; ++year) {
        days += leapYear(year) ? 366 : 365;
    }
    for (long year = y; year < 1970; ++year) {
        days -= leapYear(year) ? 366 : 365;
    }
    for (long month = 1; month < m; ++month) {
        days += monthLength(y, month);
    }
    return days + d - 1;
}

// A date part: mostly near the valid range, sometimes any double at all.
double part(FuzzInput& in, long lo, long hi) {
    switch (in.byte() % 4) {
        case 0:
            return in.anyDouble();
        case 1:
            return static_cast<double>(in.inRange(lo, hi)) + 0.5;
        default:
            return static_cast<double>(in.inRange(lo, hi));
    }
}

std::string describe(double m, double d, double y) {
    return std::to_string(m) + "/" + std::to_string(d) + "/" + std::to_string(y);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    while (!in.empty()) {
        const double m = part(in, -2, 14);
        const double d = part(in, -2, 33);
        const double y = part(in, -5, 10005);
        const auto day = ombrix::dateFromParts(m, d, y);

        const bool whole = std::isfinite(m) && std::isfinite(d) && std::isfinite(y) &&
                           std::floor(m) == m && std::floor(d) == d && std::floor(y) == y;
        bool valid = whole && m >= 1 && m <= 12 && d >= 1 && y >= 0 && y <= 9999;
        long year = 0;
        if (valid) {
            year = static_cast<long>(y);
            year += year < 30 ? 2000 : year < 100 ? 1900 : 0;
            valid = d <= monthLength(year, static_cast<long>(m));
        }
        OMBRIX_FUZZ_CHECK(day.has_value() == valid, describe(m, d, y));
        if (day) {
            const long mm = static_cast<long>(m);
            const long dd = static_cast<long>(d);
            OMBRIX_FUZZ_CHECK(*day == slowDayNumber(year, mm, dd), describe(m, d, y));
            const ombrix::CivilDate back = ombrix::civilFromDays(*day);
            OMBRIX_FUZZ_CHECK(back.year == year && back.month == mm && back.day == dd,
                              describe(m, d, y));
        }
        // The message text never fails, whatever the parts.
        OMBRIX_FUZZ_CHECK(!ombrix::dateText(m, d, y).empty(), describe(m, d, y));

        // Any day of years 0..9999 converts to a calendar date and back.
        const long first = ombrix::daysFromCivil(0, 1, 1);
        const long last = ombrix::daysFromCivil(9999, 12, 31);
        const long n = in.inRange(first, last);
        const ombrix::CivilDate c = ombrix::civilFromDays(n);
        OMBRIX_FUZZ_CHECK(
            c.month >= 1 && c.month <= 12 && c.day >= 1 && c.day <= monthLength(c.year, c.month),
            std::to_string(n));
        OMBRIX_FUZZ_CHECK(ombrix::daysFromCivil(c.year, c.month, c.day) == n, std::to_string(n));
    }
    return 0;
}
