#include "platform/Dates.h"

#include <cmath>

#include "platform/NumberFormat.h"

namespace ombrix {

DayNumber daysFromCivil(int year, int month, int day) {
    // Howard Hinnant's days_from_civil.
    const long y = static_cast<long>(year) - (month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long mp = (month + 9) % 12;
    const long doy = (153 * mp + 2) / 5 + day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(DayNumber z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return {static_cast<int>(y), m, d};
}

namespace {

bool isWhole(double v) {
    return std::isfinite(v) && std::floor(v) == v;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return leap ? 29 : 28;
    }
    return kDays[month - 1];
}

}  // namespace

std::optional<DayNumber> dateFromParts(double month, double day, double year) {
    if (!isWhole(month) || !isWhole(day) || !isWhole(year)) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 0 || year > 9999) {
        return std::nullopt;
    }
    int y = static_cast<int>(year);
    if (y < 30) {
        y += 2000;
    } else if (y < 100) {
        y += 1900;
    }
    const int m = static_cast<int>(month);
    const int d = static_cast<int>(day);
    if (d > daysInMonth(y, m)) {
        return std::nullopt;
    }
    return daysFromCivil(y, m, d);
}

std::string dateText(double month, double day, double year) {
    return plainNumberText(month) + "/" + plainNumberText(day) + "/" + plainNumberText(year);
}

}  // namespace ombrix
