// The arithmetic and texts of the savings calculation and of the normalized annual
// consumption: baseline input set, model choice, predictions, totals with their uncertainty,
// report lines, the table file's lines and the names of the two output files.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/DataState.h"
#include "model/Fits.h"
#include "model/ModelState.h"
#include "platform/Dates.h"

namespace ombrix {

// What a savings calculation on one energy column is called and where it keeps its results.
struct SavingsQuantity {
    std::string_view name;       // in the model equation line
    std::string_view extension;  // of the report file
    long modelTableRow;
};
// The quantity of energy column yCol: 4 electricity use, 5 electricity demand, 6 thermal use.
// Throws OmbrixError for any other column.
const SavingsQuantity& savingsQuantity(long yCol);

// The extension of the table file.
inline constexpr std::string_view kTableExtension = "dat";

// A fitted change-point model in one shape for both kinds.
struct ChangePointModel {
    std::string type;             // "4P" or "5P"
    double Xcp1 = kMissingValue;  // first change point (5P); -99 for a 4P model
    double Xcp2 = 0;              // the only change point (4P) or the second (5P)
    double b1 = 0, b2 = 0, b3 = 0;
    double CV = 0, RMSE = 0, R2 = 0;

    bool fiveParameter() const { return type == "5P"; }
    // Energy the model gives at temperature t.
    double predict(double t) const;
    // Energy at the change point(s), slope below the (first) and above the (second) one.
    double Ycp() const;
    double LS() const;
    double RS() const;
};

ChangePointModel fourParameterModel(const Fit4PResult& f);
ChangePointModel fiveParameterModel(const Fit5PResult& f);

// True when the five-parameter model lowers the CV-RMSE by more than a fifth of the
// four-parameter one. A perfect four-parameter fit (CV 0) is kept.
bool prefersFiveParameters(double cv4, double cv5);
// The model a savings calculation goes on with; without a five-parameter fit, the 4P one.
ChangePointModel chooseModel(const Fit4PResult& four, const std::optional<Fit5PResult>& five);

// The model stored by the last savings calculation, or nothing before the first one.
std::optional<ChangePointModel> storedModel(const ModelState& m);

// Fills the model input set with the baseline rows of the working table: rows flagged 1 in
// flagCol whose temperature (xCol) and energy (yCol) are both present.
void buildModelInput(const DataState& d, ModelState& m, long xCol, long yCol, long flagCol);

// The date of the meter reading of EnergyData row `row`. Throws OmbrixError
// ("Invalid date 2/30/2001 in energy row 5") when its parts make no date.
DayNumber readingDate(const DataState& d, long row);

struct SavingsTotals {
    double S = 0;              // predicted minus measured energy of the counted periods
    double U = kMissingValue;  // uncertainty of S
    double P = kMissingValue;  // U as a percentage of S
    double D = 0;              // days covered by the counted periods
    long m = 0;                // counted post-retrofit periods
};

// Fills outCol: the measured value in baseline rows, the model's prediction in post-retrofit
// rows that have temperature and energy, -99 in the others; sums S, D and m over the
// post-retrofit rows with a prediction. A period starts the day after the previous reading,
// the first one after the opening reading of EnergyData row 0.
SavingsTotals predictSavings(DataState& d, const ChangePointModel& model, long xCol, long yCol,
                             long outCol, long flagCol);
// Attaches U and P to the totals for a model of n observations with the given RMSE; without
// savings (S = 0) or observations, S is 0 and U and P are -99.
void addUncertainty(SavingsTotals& t, long n, double rmse);

// The three report lines: the model, its equation, the savings.
std::string modelLine(const ChangePointModel& model, long n);
std::string equationLine(const ChangePointModel& model, std::string_view quantityName);
std::string savingsLine(const SavingsTotals& t);

// The table file: one line per period with the twelve merged columns, each value followed by
// spaces up to the next multiple of 14 characters, lines ending with CR LF.
std::string tableFileLine(const Table& t, long row);
std::string tableFileText(const DataState& d);

// A report or table file beside the energy file: its path with the last three characters (a
// three-letter extension) replaced by `extension`, or "." and `extension` appended when the
// name has no such extension. Throws OmbrixError when there is no energy file name or when
// the result would be the energy file itself.
std::string outputPath(const std::string& energyDir, const std::string& energyFile,
                       std::string_view extension);

// Stores the chosen model as the current model and in row `row` of ModelTable (first change
// point or -99, second or only change point, Ycp, LS, RS). Nothing changes when ModelTable has
// no such row.
void storeModel(ModelState& m, Table& modelTable, const ChangePointModel& model, long n, long row);

struct NacTotals {
    double A = 0;  // measured energy of the counted periods
    double Q = 0;  // predicted energy of the counted periods
    double D = 0;  // days they cover
    long m = 0;    // counted periods
    double AC = 0, NAC = 0;
    double U = 0, P = 0;
};

// Applies the stored model to every period with temperature and energy (outCol gets the
// prediction, other rows -99) and annualises the sums to 365.25 days. Before any savings
// calculation the sums stay 0 and outCol is left as it was.
NacTotals normalizedConsumption(DataState& d, const ModelState& m, long xCol, long yCol,
                                long outCol);
// The two NAC report lines.
std::vector<std::string> nacReportLines(const ModelState& m, const NacTotals& t);

}  // namespace ombrix
