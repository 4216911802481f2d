#include "commands/SavingsCmd.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "graph/GSubs.h"
#include "model/Fits.h"
#include "model/Savings.h"
#include "platform/Errors.h"
#include "platform/SafeFile.h"

namespace ombrix {
namespace {

constexpr std::string_view kNeedBothFiles =
    "Must open both energy and weather files before calculating savings.";
constexpr std::string_view kNeedEnergyFile = "Must open energy file before calculating savings.";
constexpr std::string_view kNeedWeatherFile = "Must open weather file before calculating savings.";

// The first missing input, or nothing when the calculation can start.
std::string_view missingInput(const DataState& d) {
    if (d.DataRows == 0) {
        return kNeedBothFiles;
    }
    if (!d.EnergyOpen) {
        return kNeedEnergyFile;
    }
    if (!d.WeatherOpen) {
        return kNeedWeatherFile;
    }
    return {};
}

// Refuses an output path that names the energy file under another spelling (a folder that
// ignores case, a link).
void refuseEnergyFile(const std::string& output, const std::string& energyPath,
                      const std::optional<FileIdentity>& energy) {
    if (energy && fileIdentity(output) == energy) {
        throw OmbrixError("The output file " + output + " would overwrite the energy file " +
                          energyPath);
    }
}

std::string crlfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// The graph both calculations end with: measured and predicted energy over time.
void drawModelSeries(Session& s, Services& sv, long yCol, long outCol) {
    sv.graph.clear();
    s.data.PreColor = kBlack;
    s.data.PostColor = kBlue;
    GraphContext g{s.data, s.model, s.graph, sv.ui, sv.graph};
    PlotModelSeries(g, yCol, outCol, true, true);
}

}  // namespace

void Savings(Session& s, Services& sv, long xCol, long yCol, long outCol, long flagCol) {
    DataState& d = s.data;
    s.lastSavings.reset();
    runGuarded(sv.ui, "Error", &d.MsgText, [&] {
        BusyPointer busy(sv.ui);
        if (const auto missing = missingInput(d); !missing.empty()) {
            d.MsgText = missing;
            sv.ui.messageBox(missing, "Error");
            return;
        }
        const SavingsQuantity& quantity = savingsQuantity(yCol);

        buildModelInput(d, s.model, xCol, yCol, flagCol);
        const long n = s.model.ModelN;
        const auto four = Fit4P(s.model, sv.ui, &d.MsgText);
        if (!four) {
            return;  // the fit has said why
        }
        const auto five = Fit5P(s.model, sv.ui, &d.MsgText);
        const ChangePointModel model = chooseModel(*four, five);

        SavingsTotals totals = predictSavings(d, model, xCol, yCol, outCol, flagCol);
        addUncertainty(totals, n, model.RMSE);

        drawModelSeries(s, sv, yCol, outCol);

        const std::string energyPath = d.EnergyDir + d.EnergyFile;
        const std::string reportPath = outputPath(d.EnergyDir, d.EnergyFile, quantity.extension);
        const std::string tablePath = outputPath(d.EnergyDir, d.EnergyFile, kTableExtension);
        const std::optional<FileIdentity> energyFile = fileIdentity(energyPath);
        refuseEnergyFile(reportPath, energyPath, energyFile);
        refuseEnergyFile(tablePath, energyPath, energyFile);

        const std::vector<std::string> report = {
            modelLine(model, n), equationLine(model, quantity.name), savingsLine(totals)};
        writeFileReplacing(reportPath, crlfLines(report), Sync::None);
        sv.status.clear();
        sv.status.print(report[0]);
        sv.status.print(report[1]);
        storeModel(s.model, d.ModelTable, model, n, quantity.modelTableRow);
        sv.status.print(report[2]);
        writeFileReplacing(tablePath, tableFileText(d), Sync::None);
        s.lastSavings = SavingsOutcome{model, n, totals};
    });
}

void NAC(Session& s, Services& sv, long xCol, long yCol, long outCol) {
    runGuarded(sv.ui, "Error", &s.data.MsgText, [&] {
        BusyPointer busy(sv.ui);
        const NacTotals totals = normalizedConsumption(s.data, s.model, xCol, yCol, outCol);
        drawModelSeries(s, sv, yCol, outCol);
        sv.status.clear();
        for (const auto& line : nacReportLines(s.model, totals)) {
            sv.status.print(line);
        }
    });
}

}  // namespace ombrix
