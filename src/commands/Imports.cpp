#include "commands/Imports.h"

#include <string>
#include <vector>

#include "data/Merge.h"
#include "data/Reader.h"
#include "graph/GSubs.h"
#include "platform/Errors.h"
#include "platform/NumberFormat.h"

namespace ombrix {
namespace {

const std::vector<std::string>& energyCaptions() {
    static const std::vector<std::string> captions = {
        "",
        "Mo",
        "Dy",
        "Yr",
        "Elec Use (kWh/mo)",
        "Elec Demand (kW)",
        "Thermal Use (units/mo)",
        "ElecPrePst (kWh/mo)",
        "ThermPrePst (units/mo)",
    };
    return captions;
}

std::string upperCase(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

// Shows the open dialog and returns the chosen path, empty after Cancel. Names keep their case.
std::string chooseFile(Session& s, Services& sv, std::string_view caption,
                       std::string_view pattern) {
    s.dlg.DlgPattern = std::string(pattern);
    sv.dialogs.showOpen(caption, s.dlg);
    return s.dlg.DlgPath + s.dlg.DlgFile;
}

// The size line of a file just read: " NAME     Number rows = 37     Number columns = 8".
void printSize(StatusText& status, const DataState& d, const std::string& file) {
    std::string line = " ";
    line += upperCase(file);
    line += "     Number rows = ";
    line += formatNumber(static_cast<double>(d.DataRows), "####");
    line += "     Number columns = ";
    line += formatNumber(static_cast<double>(d.DataCols), "###");
    status.clear();
    status.print(line);
}

// The working table as it was before an import read its file: put back unless the import got as
// far as replacing its own table, so a failed import leaves no half-read file behind.
class WorkingTableGuard {
  public:
    explicit WorkingTableGuard(DataState& d)
        : m_d(d), m_table(std::move(d.DataTable)), m_rows(d.DataRows), m_cols(d.DataCols) {}
    ~WorkingTableGuard() {
        if (!m_committed) {
            m_d.DataTable = std::move(m_table);
            m_d.DataRows = m_rows;
            m_d.DataCols = m_cols;
        }
    }
    WorkingTableGuard(const WorkingTableGuard&) = delete;
    WorkingTableGuard& operator=(const WorkingTableGuard&) = delete;
    void commit() { m_committed = true; }

  private:
    DataState& m_d;
    Table m_table;
    long m_rows;
    long m_cols;
    bool m_committed = false;
};

void requireDataLines(const DataState& d, const std::string& path) {
    if (d.DataRows == 0) {
        throw OmbrixError("No data lines in " + path);
    }
}

// Rows 1..DataRows of the file as read, every column, one day per row: the table as read, whose
// row 0 and column 0 are empty as a new table's are. The bar is painted after each row whose
// count (DataRows + row) is a multiple of 10, as a call for every row would paint it.
Table measuredWeather(DataState& d, Ui& ui) {
    if (d.DataTable.lastRow() != d.DataRows || d.DataTable.lastCol() != d.DataCols) {
        throw OmbrixError("The weather table read does not match its row and column counts");
    }
    Table w = d.DataTable;
    const long total = 2 * d.DataRows;
    for (long count = (d.DataRows / 10 + 1) * 10; count <= total; count += 10) {
        ui.ShowProgress(static_cast<double>(count), static_cast<double>(total), 10);
    }
    return w;
}

// One typical year laid over 1990..2015: line i of the file goes to row i + 365 k of year
// 1990 + k, with month, day and temperature from the file and the year replaced.
Table typicalYears(const DataState& d, const std::string& path) {
    if (d.DataCols < 4) {
        throw OmbrixError("A typical-year file needs 4 columns (month, day, year, temperature); " +
                          path + " has " + std::to_string(d.DataCols));
    }
    if (d.DataRows < 365) {
        throw OmbrixError("A typical-year file needs at least 365 data lines; " + path + " has " +
                          std::to_string(d.DataRows));
    }
    Table w(26 * d.DataRows, d.DataCols + 1);
    for (long k = 0; k <= 25; ++k) {
        for (long i = 1; i <= d.DataRows; ++i) {
            const long row = i + 365 * k;
            w.at(row, 1) = d.DataTable.at(i, 1);
            w.at(row, 2) = d.DataTable.at(i, 2);
            w.at(row, 3) = 1990.0 + static_cast<double>(k);
            w.at(row, 4) = d.DataTable.at(i, 4);
        }
    }
    return w;
}

void setFileWorkingTable(DataState& d, std::vector<std::string> captions) {
    d.MoCol = 1;
    d.DyCol = 2;
    d.YrCol = 3;
    d.TimeStampKind = 3;
    d.ColNames = TextList(std::move(captions));
}

void plot(Session& s, Services& sv, long column, bool grid, bool markers) {
    GraphContext g{s.data, s.model, s.graph, sv.ui, sv.graph};
    PlotTimeSeries(g, column, grid, markers);
}

void openWeather(Session& s, Services& sv, bool typical) {
    DataState& d = s.data;
    runGuarded(sv.ui, "Error", &d.MsgText, [&] {
        const std::string path = chooseFile(
            s, sv, typical ? "Open TMY Weather Data File" : "Open Weather Data File", "*.wea");
        if (path.empty()) {
            return;
        }
        const std::string file = s.dlg.DlgFile;
        BusyPointer busy(sv.ui);
        ProgressWindow progress(sv.ui, "Opening Weather File...");
        const WeatherDays* dated = nullptr;  // the days of the rows, when worked out already
        {
            WorkingTableGuard guard(d);
            if (!typical && sv.weather != nullptr && sv.weather->path() == path) {
                sv.weather->replayRead(d, sv.ui);
                dated = &sv.weather->days();
            } else {
                ReadDelimited(d, sv.ui, path);
            }
            requireDataLines(d, path);
            printSize(sv.status, d, file);
            Table w = typical ? typicalYears(d, path) : measuredWeather(d, sv.ui);
            d.WeatherRows = typical ? 26 * d.DataRows : d.DataRows;
            d.WeatherCols = typical ? d.DataCols + 1 : d.DataCols;
            d.WeatherData = std::move(w);
            guard.commit();
        }
        d.WeatherOpen = true;
        if (d.EnergyOpen) {
            MergeEnergyWeather(d, s.dlg, sv.ui, dated);
        } else {
            setFileWorkingTable(
                d, {"", "Mo", "Dy", "Yr", typical ? "Avg Daily Temps (F)" : "Avg Daily Temp (F)"});
        }
        d.PrePostCol = 0;
        if (d.EnergyOpen) {
            plot(s, sv, 9, true, true);
        } else {
            plot(s, sv, 4, true, false);
        }
    });
}

}  // namespace

void OpenEnergyCmd(Session& s, Services& sv) {
    DataState& d = s.data;
    runGuarded(sv.ui, "Error", &d.MsgText, [&] {
        const std::string path = chooseFile(s, sv, "Open Energy Data File", "*.utl");
        if (path.empty()) {
            return;
        }
        const std::string dir = s.dlg.DlgPath;
        const std::string file = s.dlg.DlgFile;
        BusyPointer busy(sv.ui);
        ProgressWindow progress(sv.ui, "Opening Energy File...");
        {
            WorkingTableGuard guard(d);
            ReadDelimited(d, sv.ui, path);
            requireDataLines(d, path);
            Table energy(d.DataRows - 1, d.DataCols);
            d.ModelTable = Table(3, 5);
            for (long r = 1; r <= 3; ++r) {
                for (long c = 1; c <= 5; ++c) {
                    d.ModelTable.at(r, c) = kMissingValue;
                }
            }
            printSize(sv.status, d, file);
            const double total = 2.0 * static_cast<double>(d.DataRows);
            for (long i = 0; i < d.DataRows; ++i) {
                for (long j = 1; j <= d.DataCols; ++j) {
                    energy.at(i, j) = d.DataTable.at(i + 1, j);
                    sv.ui.ShowProgress(static_cast<double>(d.DataRows + i), total, 1);
                }
            }
            // The energy table and the names of its file change together, so reports always go
            // beside the file whose data are loaded.
            d.EnergyData = std::move(energy);
            d.EnergyLastRow = d.DataRows - 1;
            d.EnergyCols = d.DataCols;
            d.EnergyDir = dir;
            d.EnergyFile = file;
            guard.commit();
        }
        d.EnergyOpen = true;
        if (d.WeatherOpen) {
            MergeEnergyWeather(d, s.dlg, sv.ui);
        } else {
            setFileWorkingTable(d, energyCaptions());
        }
        d.PrePostCol = 7;
        d.PreColor = kBlack;
        d.PostColor = kBlue;
        plot(s, sv, 4, true, true);
    });
}

void OpenWeatherCmd(Session& s, Services& sv) {
    openWeather(s, sv, false);
}

void OpenTMYCmd(Session& s, Services& sv) {
    openWeather(s, sv, true);
}

}  // namespace ombrix
