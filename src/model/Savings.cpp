#include "model/Savings.h"

#include <algorithm>
#include <cmath>

#include "platform/Errors.h"
#include "platform/NumberFormat.h"

namespace ombrix {
namespace {

constexpr double kDaysPerYear = 365.25;

// A model value in the report's number format.
std::string fmt2(double v) {
    return formatNumber(v, "#,##0.00");
}

// A cell printed without a pattern; an empty cell prints as nothing.
std::string plainCell(const Cell& c) {
    return c.isEmpty() ? std::string() : plainNumber(c.value());
}

}  // namespace

const SavingsQuantity& savingsQuantity(long yCol) {
    static const SavingsQuantity kUse{"Elec Use", "kwh", 1};
    static const SavingsQuantity kDemand{"Elec Demand", "kwd", 2};
    static const SavingsQuantity kThermal{"Thermal Engy", "thm", 3};
    switch (yCol) {
        case 4:
            return kUse;
        case 5:
            return kDemand;
        case 6:
            return kThermal;
        default:
            throw OmbrixError("No savings are calculated for column " + std::to_string(yCol));
    }
}

double ChangePointModel::predict(double t) const {
    if (fiveParameter()) {
        return b1 + b2 * (t - Xcp1) * (t <= Xcp1 ? 1.0 : 0.0) +
               b3 * (t - Xcp2) * (t > Xcp2 ? 1.0 : 0.0);
    }
    return b1 + b2 * t + b3 * (t - Xcp2) * (t > Xcp2 ? 1.0 : 0.0);
}

double ChangePointModel::Ycp() const {
    return fiveParameter() ? b1 : b1 + b2 * Xcp2;
}

double ChangePointModel::LS() const {
    return b2;
}

double ChangePointModel::RS() const {
    return fiveParameter() ? b3 : b2 + b3;
}

ChangePointModel fourParameterModel(const Fit4PResult& f) {
    ChangePointModel m;
    m.type = "4P";
    m.Xcp1 = kMissingValue;
    m.Xcp2 = f.Xcp;
    m.b1 = f.b1;
    m.b2 = f.b2;
    m.b3 = f.b3;
    m.CV = f.CV;
    m.RMSE = f.RMSE;
    m.R2 = f.R2;
    return m;
}

ChangePointModel fiveParameterModel(const Fit5PResult& f) {
    ChangePointModel m;
    m.type = "5P";
    m.Xcp1 = f.Xcp1;
    m.Xcp2 = f.Xcp2;
    m.b1 = f.b1;
    m.b2 = f.b2;
    m.b3 = f.b3;
    m.CV = f.CV;
    m.RMSE = f.RMSE;
    m.R2 = f.R2;
    return m;
}

bool prefersFiveParameters(double cv4, double cv5) {
    if (cv4 == 0.0) {
        return false;
    }
    return (cv4 - cv5) / cv4 > 0.2;
}

ChangePointModel chooseModel(const Fit4PResult& four, const std::optional<Fit5PResult>& five) {
    if (five && prefersFiveParameters(four.CV, five->CV)) {
        return fiveParameterModel(*five);
    }
    return fourParameterModel(four);
}

std::optional<ChangePointModel> storedModel(const ModelState& s) {
    ChangePointModel m;
    if (s.ModelType == "4P") {
        m.type = "4P";
        m.Xcp2 = s.ModelParam1;
        m.b1 = s.ModelParam2;
        m.b2 = s.ModelParam3;
        m.b3 = s.ModelParam4;
    } else if (s.ModelType == "5P") {
        m.type = "5P";
        m.Xcp1 = s.ModelParam1;
        m.Xcp2 = s.ModelParam2;
        m.b1 = s.ModelParam3;
        m.b2 = s.ModelParam4;
        m.b3 = s.ModelParam5;
    } else {
        return std::nullopt;
    }
    m.CV = s.ModelCV;
    m.RMSE = s.ModelRMSE;
    m.R2 = s.ModelR2;
    return m;
}

void buildModelInput(const DataState& d, ModelState& m, long xCol, long yCol, long flagCol) {
    resetModelInput(m, d.DataRows);
    const Table& t = d.DataTable;
    for (long i = 1; i <= d.DataRows; ++i) {
        const double x = t(i, xCol);
        const double y = t(i, yCol);
        if (x == d.MissingValue || y == d.MissingValue || t(i, flagCol) != 1.0) {
            continue;
        }
        const long n = ++m.ModelN;
        m.ModelX.at(n, 1) = 1.0;
        m.ModelX.at(n, 2) = x;
        m.ModelY.at(n, 1) = y;
        if (n == 1) {
            m.ModelTMin = m.ModelTMax = x;
            m.ModelYMin = m.ModelYMax = y;
        } else {
            if (x < m.ModelTMin) {
                m.ModelTMin = x;
            }
            if (x > m.ModelTMax) {
                m.ModelTMax = x;
            }
            if (y < m.ModelYMin) {
                m.ModelYMin = y;
            }
            if (y > m.ModelYMax) {
                m.ModelYMax = y;
            }
        }
    }
}

DayNumber readingDate(const DataState& d, long row) {
    const Table& e = d.EnergyData;
    const double month = e(row, 1);
    const double day = e(row, 2);
    const double year = e(row, 3);
    const auto date = dateFromParts(month, day, year);
    if (!date) {
        throw OmbrixError("Invalid date " + dateText(month, day, year) + " in energy row " +
                          std::to_string(row));
    }
    return *date;
}

SavingsTotals predictSavings(DataState& d, const ChangePointModel& model, long xCol, long yCol,
                             long outCol, long flagCol) {
    SavingsTotals totals;
    Table& t = d.DataTable;
    DayNumber previous = readingDate(d, 0);
    for (long i = 1; i <= d.DataRows; ++i) {
        const DayNumber date = readingDate(d, i);
        if (t(i, flagCol) == 1.0) {
            t.at(i, outCol) = t.at(i, yCol);
        } else if (t(i, yCol) != d.MissingValue && t(i, xCol) != d.MissingValue) {
            t.at(i, outCol) = model.predict(t(i, xCol));
            totals.D += static_cast<double>(date - previous);
            totals.m += 1;
            totals.S += t(i, outCol) - t(i, yCol);
        } else {
            t.at(i, outCol) = d.MissingValue;
        }
        previous = date;
    }
    return totals;
}

void addUncertainty(SavingsTotals& t, long n, double rmse) {
    if (n > 0 && t.S != 0.0) {
        t.U = 1.96 * rmse *
              std::sqrt((1.0 + 2.0 / static_cast<double>(n)) * static_cast<double>(t.m));
        t.P = std::fabs(t.U / t.S) * 100.0;
    } else {
        t.U = kMissingValue;
        t.P = kMissingValue;
        t.S = 0.0;
    }
}

std::string modelLine(const ChangePointModel& model, long n) {
    std::string s = "Pre-retrofit model: " + model.type +
                    "   N = " + plainNumber(static_cast<double>(n)) +
                    "   R2 = " + formatNumber(model.R2, "0.00") +
                    "   CV-RMSE = " + formatNumber(model.CV, "0.0");
    if (model.fiveParameter()) {
        s += "%   Xcp1 = " + fmt2(model.Xcp1) + "   Xcp2 = " + fmt2(model.Xcp2);
    } else {
        s += "%   Xcp = " + fmt2(model.Xcp2);
    }
    s += "   Ycp = " + fmt2(model.Ycp()) + "   LS = " + fmt2(model.LS()) +
         "   RS = " + fmt2(model.RS());
    return s;
}

std::string equationLine(const ChangePointModel& model, std::string_view quantityName) {
    const double xa = model.fiveParameter() ? model.Xcp1 : model.Xcp2;
    const double xb = model.Xcp2;
    return "Pre-retrofit model: " + std::string(quantityName) + " = " + fmt2(model.Ycp()) +
           "  +  " + fmt2(-model.LS()) + "(" + fmt2(xa) + " - T)+  +  " + fmt2(model.RS()) +
           "(T - " + fmt2(xb) + ")+";
}

std::string savingsLine(const SavingsTotals& t) {
    return "Total Savings = " + formatNumber(t.S, "#,##0") + " +- " + formatNumber(t.U, "#,##0.0") +
           " (" + formatNumber(t.P, "#,##0.0") + "%)  after " + plainNumber(t.D) + " days.";
}

std::string tableFileLine(const Table& t, long row) {
    constexpr std::size_t kZone = 14;
    std::string line;
    line.reserve(12 * kZone + 2);
    for (long c = 1; c <= 12; ++c) {
        const Cell& cell = t.at(row, c);
        line += c <= 8 ? plainCell(cell) : formatNumber(cell.value(), "#,##0.000");
        line.append(kZone - line.size() % kZone, ' ');
    }
    line += "\r\n";
    return line;
}

std::string tableFileText(const DataState& d) {
    std::string text;
    text.reserve(static_cast<std::size_t>(std::max(d.DataRows, 0L)) * (12 * 14 + 2));
    for (long i = 1; i <= d.DataRows; ++i) {
        text += tableFileLine(d.DataTable, i);
    }
    return text;
}

std::string outputPath(const std::string& energyDir, const std::string& energyFile,
                       std::string_view extension) {
    if (energyFile.empty()) {
        throw OmbrixError("No energy file name to name the output files after");
    }
    const std::string energyPath = energyDir + energyFile;
    const std::size_t n = energyFile.size();
    const bool threeLetterExtension = n >= 4 && energyFile[n - 4] == '.' &&
                                      energyFile.find_first_of("./\\", n - 3) == std::string::npos;
    std::string path = threeLetterExtension
                           ? energyPath.substr(0, energyPath.size() - 3) + std::string(extension)
                           : energyPath + "." + std::string(extension);
    if (path == energyPath) {
        throw OmbrixError("The ." + std::string(extension) +
                          " file would overwrite the energy file " + energyPath);
    }
    return path;
}

void storeModel(ModelState& m, Table& modelTable, const ChangePointModel& model, long n, long row) {
    // Every cell of the row is reached before any is written, so a table without the row
    // fails with nothing stored.
    for (long c = 1; c <= 5; ++c) {
        modelTable.at(row, c);
    }
    modelTable.at(row, 1) = model.fiveParameter() ? model.Xcp1 : kMissingValue;
    modelTable.at(row, 2) = model.Xcp2;
    modelTable.at(row, 3) = model.Ycp();
    modelTable.at(row, 4) = model.LS();
    modelTable.at(row, 5) = model.RS();

    m.ModelType = model.type;
    if (model.fiveParameter()) {
        m.ModelParam1 = model.Xcp1;
        m.ModelParam2 = model.Xcp2;
        m.ModelParam3 = model.b1;
        m.ModelParam4 = model.b2;
        m.ModelParam5 = model.b3;
    } else {
        m.ModelParam1 = model.Xcp2;
        m.ModelParam2 = model.b1;
        m.ModelParam3 = model.b2;
        m.ModelParam4 = model.b3;
    }
    m.ModelRMSE = model.RMSE;
    m.ModelNObs = static_cast<double>(n);
    m.ModelCV = model.CV;
    m.ModelR2 = model.R2;
}

NacTotals normalizedConsumption(DataState& d, const ModelState& m, long xCol, long yCol,
                                long outCol) {
    NacTotals r;
    if (const auto model = storedModel(m)) {
        Table& t = d.DataTable;
        DayNumber previous = readingDate(d, 0);
        for (long i = 1; i <= d.DataRows; ++i) {
            const DayNumber date = readingDate(d, i);
            if (t(i, yCol) != d.MissingValue && t(i, xCol) != d.MissingValue) {
                const double prediction = model->predict(t(i, xCol));
                t.at(i, outCol) = prediction;
                r.D += static_cast<double>(date - previous);
                r.m += 1;
                r.A += t(i, yCol);
                r.Q += prediction;
            } else {
                t.at(i, outCol) = d.MissingValue;
            }
            previous = date;
        }
    }
    if (r.D > 0) {
        r.AC = r.A * kDaysPerYear / r.D;
        r.NAC = r.Q * kDaysPerYear / r.D;
    }
    const double nObs = m.ModelNObs;
    if (nObs > 0 && r.NAC > 0) {
        r.U = 1.96 * m.ModelRMSE.value() *
              std::sqrt((1.0 + 2.0 / nObs) * static_cast<double>(r.m)) * kDaysPerYear / r.D;
        r.P = std::fabs(r.U / r.NAC) * 100.0;
    }
    return r;
}

std::vector<std::string> nacReportLines(const ModelState& m, const NacTotals& t) {
    return {
        "Pre-retrofit model: " + m.ModelType + "   N = " + plainCell(m.ModelNObs) +
            "   R2 = " + formatNumber(m.ModelR2.value(), "0.00") +
            "   CV-RMSE = " + formatNumber(m.ModelCV.value(), "0.0") + "%",
        "  Annual Consumption = " + formatNumber(t.AC, "#,##0") +
            "  Normalized Annual Consumption = " + formatNumber(t.NAC, "#,##0") + " +- " +
            formatNumber(t.U, "#,##0.0") + " (" + formatNumber(t.P, "#,##0.0") + "%)",
    };
}

}  // namespace ombrix
