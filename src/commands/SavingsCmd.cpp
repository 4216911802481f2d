#include "commands/SavingsCmd.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "graph/GSubs.h"
#include "model/Fits.h"
#include "model/Savings.h"
#include "platform/Errors.h"

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
void refuseEnergyFile(const std::string& output, const std::string& energyPath) {
    std::error_code ec;
    if (std::filesystem::exists(output, ec) &&
        std::filesystem::equivalent(output, energyPath, ec) && !ec) {
        throw OmbrixError("The output file " + output + " would overwrite the energy file " +
                          energyPath);
    }
}

// A temporary file that is removed unless it was moved into place.
class TempFile {
  public:
    explicit TempFile(const std::string& target) : m_target(target) {
        int error = 0;
        for (int attempt = 1; attempt <= 100 && m_file == nullptr; ++attempt) {
            m_path = target + ".part" + std::to_string(attempt);
            m_file = std::fopen(m_path.c_str(), "wbx");  // fails when the name is taken
            error = errno;
            if (m_file == nullptr && error != EEXIST) {
                break;
            }
        }
        if (m_file == nullptr) {
            m_path.clear();  // nothing of ours to remove
            throw OmbrixError("Cannot create file " + target + ": " + std::strerror(error));
        }
    }
    ~TempFile() {
        if (m_file != nullptr) {
            std::fclose(m_file);
        }
        if (!m_path.empty()) {
            std::remove(m_path.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    void write(const std::string& text) {
        const bool written = std::fwrite(text.data(), 1, text.size(), m_file) == text.size();
        const bool flushed = std::fflush(m_file) == 0;
        const int error = errno;
        const bool closed = std::fclose(m_file) == 0;
        m_file = nullptr;
        if (!written || !flushed || !closed) {
            fail(error);
        }
    }

    void moveIntoPlace() {
        std::error_code ec;
        std::filesystem::rename(m_path, m_target, ec);
        if (ec) {
            throw OmbrixError("Cannot write file " + m_target + ": " + ec.message());
        }
        m_path.clear();
    }

  private:
    [[noreturn]] void fail(int error) {
        throw OmbrixError("Cannot write file " + m_target + ": " +
                          std::strerror(error != 0 ? error : EIO));
    }

    std::string m_target;
    std::string m_path;
    std::FILE* m_file = nullptr;
};

// Writes a whole file so that it is either complete or not changed at all: the text goes to a
// temporary file beside it, which replaces the target once it is written and closed.
void writeWholeFile(const std::string& path, const std::string& text) {
    TempFile temp(path);
    temp.write(text);
    temp.moveIntoPlace();
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
        refuseEnergyFile(reportPath, energyPath);
        refuseEnergyFile(tablePath, energyPath);

        const std::vector<std::string> report = {
            modelLine(model, n), equationLine(model, quantity.name), savingsLine(totals)};
        writeWholeFile(reportPath, crlfLines(report));
        sv.status.clear();
        sv.status.print(report[0]);
        sv.status.print(report[1]);
        storeModel(s.model, d.ModelTable, model, n, quantity.modelTableRow);
        sv.status.print(report[2]);
        writeWholeFile(tablePath, tableFileText(d));
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
