#include "data/WeatherDays.h"

#include <algorithm>
#include <limits>

#include "data/Merge.h"

namespace ombrix {
namespace {

constexpr DayNumber kNoDay = std::numeric_limits<DayNumber>::min();

}  // namespace

FirstDayAfter::FirstDayAfter(const std::vector<DayNumber>& days) {
    const long n = static_cast<long>(days.size());
    while (m_leaves < n) {
        m_leaves *= 2;
    }
    m_tree.assign(static_cast<std::size_t>(2 * m_leaves), kNoDay);
    for (long i = 0; i < n; ++i) {
        m_tree[static_cast<std::size_t>(m_leaves + i)] = days[static_cast<std::size_t>(i)];
    }
    for (long i = m_leaves - 1; i >= 1; --i) {
        m_tree[static_cast<std::size_t>(i)] = std::max(node(2 * i), node(2 * i + 1));
    }
    m_count = n;
}

long FirstDayAfter::find(long from, DayNumber day) const {
    if (from >= m_count) {
        return -1;
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
            return -1;
        }
        ++i;  // the next block to the right
    }
}

WeatherDays::WeatherDays(const Table& w, long rows)
    : m_rows(rows), m_failRow(rows + 1), m_hasTemps(w.lastCol() >= 4) {
    std::vector<DayNumber> present;
    m_days.reserve(static_cast<std::size_t>(std::max(rows, 0L)));
    for (long k = 1; k <= rows; ++k) {
        const auto day = rowDate(w, k);
        if (!day) {
            m_failRow = k;
            break;
        }
        m_days.push_back(*day);
        if (m_hasTemps) {
            const double t = w(k, 4);
            m_temps.push_back(t);
            present.push_back(t != kMissingValue ? *day : kNoDay);
        }
    }
    m_all = FirstDayAfter(m_days);
    m_present = FirstDayAfter(present);
}

bool WeatherDays::presentAfter(long k, DayNumber day) const {
    const auto i = static_cast<std::size_t>(k - 1);
    return k < m_failRow && m_temps[i] != kMissingValue && m_days[i] > day;
}

}  // namespace ombrix
