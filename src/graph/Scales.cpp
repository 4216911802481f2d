#include "graph/Scales.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "graph/GSubs.h"
#include "platform/LeadingNumber.h"
#include "platform/NumberFormat.h"

namespace ombrix {
namespace {

constexpr std::string_view kScientific = "0.0E+00";

// The exponent of a scientific text, with its sign: the characters after the "E". For the
// two-digit exponents of ordinary data these are the text's last three characters.
double exponentOf(const std::string& text) {
    const auto e = text.find('E');
    return e == std::string::npos ? 0.0 : leadingNumber(std::string_view(text).substr(e + 1));
}

double powerOfTen(double exp) {
    return std::pow(10.0, exp);
}

}  // namespace

NiceScale NiceAxis(double lo, double hi) {
    NiceScale s;
    // The axis maximum is the leading digit of hi plus one, at hi's power of ten (9960 reads
    // 1.0E+04 and gives 20000; a negative hi reads its "-" as 0 and gives 10^e).
    const std::string hiText = formatNumber(hi, kScientific);
    const double d = leadingNumber(std::string_view(hiText).substr(0, 1)) + 1;
    const double e = exponentOf(hiText);
    s.Max = d * powerOfTen(e);
    if (lo < 0) {
        // The minimum is the signed leading digit of lo minus one, at lo's power of ten; the
        // end with the smaller power of ten is then widened to one whole unit of the larger.
        const std::string loText = formatNumber(lo, kScientific);
        const double dm = leadingNumber(std::string_view(loText).substr(0, 2)) - 1;
        const double em = exponentOf(loText);
        s.Min = dm * powerOfTen(em);
        if (e > em) {
            s.Exp = e;
            s.Units = d + 1;
            s.Min = -1 * powerOfTen(e);
        } else if (em > e) {
            s.Exp = em;
            s.Units = std::fabs(dm) + 1;
            s.Max = 1 * powerOfTen(em);
        } else {
            s.Exp = e;
            s.Units = d - dm;
        }
    } else {
        s.Min = 0;
        s.Units = d;
        s.Exp = e;
    }
    s.TickStep = s.Units >= 5 ? 1 : 0.5;
    return s;
}

std::string wideAboveFiveFormat(double span) {
    if (span > 5) {
        return "#,###,##0";
    }
    return span > 1 ? "0.00" : "0.000";
}

std::string wideFromFiveFormat(double span) {
    if (span >= 5) {
        return "#,###,##0";
    }
    return span > 1 ? "0.00" : "0.000";
}

double roundHalfEven(double v) {
    const double down = std::floor(v);
    const double frac = v - down;
    if (frac > 0.5) {
        return down + 1;
    }
    if (frac < 0.5) {
        return down;
    }
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

long dateLabelRow(int j, long n) {
    if (j <= 0) {
        return 1;
    }
    if (j >= 4) {
        return n;
    }
    return static_cast<long>(roundHalfEven(j * static_cast<double>(n - 1) / 4.0));
}

double rowFrameX(double row, long n) {
    if (n <= 1) {
        return 0;
    }
    return 100.0 * (row - 1) / static_cast<double>(n - 1);
}

bool drawableAxis(double min, double max, double span) {
    return std::isfinite(min) && std::isfinite(max) && std::isfinite(span) && span > 0;
}

void ScaleAxes(GraphContext& g, long xCol, long yCol) {
    DataState& d = g.data;
    ModelState& m = g.model;
    GraphState& gs = g.graph;
    resetModelInput(m, d.DataRows);
    for (long i = 1; i <= d.DataRows; ++i) {
        const double x = d.DataTable(i, xCol);
        const double y = d.DataTable(i, yCol);
        if (x == d.MissingValue || y == d.MissingValue) {
            continue;
        }
        const long k = ++m.ModelN;
        m.ModelX.at(k, 1) = 1;
        m.ModelX.at(k, 2) = x;
        m.ModelY.at(k, 1) = y;
        // The flag of an energy column: electricity (use, demand) or thermal.
        auto& flag = m.ModelFlag.at(static_cast<std::size_t>(k));
        if ((yCol == 4 || yCol == 5) && d.EnergyOpen) {
            flag = d.DataTable.at(i, 7);
        } else if (yCol == 6 && d.EnergyOpen) {
            flag = d.DataTable.at(i, 8);
        }
        if (k == 1) {
            m.ModelTMin = m.ModelTMax = x;
            m.ModelYMin = m.ModelYMax = y;
        }
        m.ModelTMin = std::min(m.ModelTMin, x);
        m.ModelTMax = std::max(m.ModelTMax, x);
        m.ModelYMin = std::min(m.ModelYMin, y);
        m.ModelYMax = std::max(m.ModelYMax, y);
    }
    m.ModelTSpan = m.ModelTMax - m.ModelTMin;
    m.ModelYSpan = m.ModelYMax - m.ModelYMin;

    setVerticalScale(gs, NiceAxis(m.ModelYMin, m.ModelYMax), wideFromFiveFormat);
    const NiceScale xs = NiceAxis(m.ModelTMin, m.ModelTMax);
    gs.XAxisMin = xs.Min;
    gs.XAxisMax = xs.Max;
    gs.XAxisUnits = xs.Units;
    gs.XAxisExp = xs.Exp;
    gs.XTickStep = xs.TickStep;
    gs.XAxisSpan = gs.XAxisMax - gs.XAxisMin;
    gs.XLabelFormat = wideAboveFiveFormat(gs.XAxisSpan);
}

void setVerticalScale(GraphState& gs, const NiceScale& s, std::string (*format)(double span)) {
    gs.YAxisMin = s.Min;
    gs.YAxisMax = s.Max;
    gs.YAxisUnits = s.Units;
    gs.YAxisExp = s.Exp;
    gs.YTickStep = s.TickStep;
    gs.YAxisSpan = gs.YAxisMax - gs.YAxisMin;
    gs.YLabelFormat = format(gs.YAxisSpan);
}

std::string DateLabel(const GraphContext& g, long row) {
    const DataState& d = g.data;
    auto field = [&](long col) { return formatNumber(d.DataTable(row, col), "#0"); };
    switch (d.TimeStampKind) {
        case 1:
            return field(d.YrCol);
        case 2:
            return field(d.MoCol) + "/" + field(d.YrCol);
        case 3:
            return field(d.MoCol) + "/" + field(d.DyCol) + "/" + field(d.YrCol);
        case 4:
            return field(d.MoCol) + "/" + field(d.DyCol) + "/" + field(d.YrCol) + "-" +
                   field(d.HrCol);
        default:
            return {};
    }
}

}  // namespace ombrix
