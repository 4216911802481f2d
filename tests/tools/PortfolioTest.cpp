#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include "Batch.h"
#include "Portfolio.h"
#include "model/Savings.h"
#include "platform/Dates.h"
#include "platform/NumberFormat.h"
#include "support/Fakes.h"

namespace fs = std::filesystem;
using namespace ombrix;
using ombrix::test::readFile;
using ombrix::test::sourceDir;
using ombrix::test::TempDir;

namespace {

// ------------------------------------------------------------------ manifest

std::vector<ManifestEntry> parse(std::string_view text, const std::string& folder = "m/") {
    return parseManifest(text, folder);
}

TEST(Manifest, HeadingBlankLinesAndLineEndsAreSkipped) {
    const auto e = parse(
        "\xEF\xBB\xBF"
        "energy file,weather file,quantity\r\n"
        "\r\n"
        "a.utl,w.wea,elec-use\r\n"
        "   \n"
        "b.utl , w.wea ,  Thermal-Use\r"
        "c.utl,w.wea,elec-demand");
    ASSERT_EQ(e.size(), 3U);
    EXPECT_EQ(e[0].line, 3);
    EXPECT_EQ(e[0].energyPath, "m/a.utl");
    EXPECT_EQ(e[0].weatherPath, "m/w.wea");
    EXPECT_EQ(e[0].command, CommandId::CalcElecUseSavingsCmd);
    EXPECT_EQ(e[1].line, 5);
    EXPECT_EQ(e[1].energy, "b.utl");  // spaces around a field do not count
    EXPECT_EQ(e[1].quantity, "thermal-use");
    EXPECT_EQ(e[1].command, CommandId::CalcTherUseSavingsCmd);
    EXPECT_EQ(e[2].line, 6);
    EXPECT_EQ(e[2].command, CommandId::CalcElecDemSavingsCmd);
    for (const auto& x : e) {
        EXPECT_EQ(x.problem, "");
    }
}

TEST(Manifest, PathsAreRelativeToTheManifestFolderAndSpeltAsTheImportsReadThem) {
    auto e = parse("/data/a.utl,sub/w.wea,elec-use\n", "m/");
    EXPECT_EQ(e[0].energyPath, "/data/a.utl");
    EXPECT_EQ(e[0].weatherPath, "m/sub/w.wea");
    e = parse("a.utl,w.wea,elec-use\n", "");
    EXPECT_EQ(e[0].energyPath, "./a.utl");  // the open dialog's folder for a bare name
}

TEST(Manifest, QuotedFieldsHoldCommasQuotesAndLineBreaks) {
    const auto e = parse(
        "\"a, \"\"north\"\".utl\",w.wea,elec-use\n"
        "\"two\nlines.utl\" ,w.wea,elec-use\n"
        "c.utl,w.wea,elec-use\n");
    ASSERT_EQ(e.size(), 3U);
    EXPECT_EQ(e[0].energy, "a, \"north\".utl");
    EXPECT_EQ(e[1].energy, "two\nlines.utl");
    EXPECT_EQ(e[1].line, 2);
    EXPECT_EQ(e[2].line, 4);  // the line break inside quotes counts
    for (const auto& x : e) {
        EXPECT_EQ(x.problem, "");
    }
}

TEST(Manifest, FaultyLinesAreKeptWithTheirProblem) {
    const auto e = parse(
        "a.utl,w.wea,elec-use\n"
        "a.utl,w.wea\n"
        "a.utl,w.wea,elec-use,extra\n"
        "a.utl,w.wea,elec-use,,\n"  // trailing empty fields do not count
        "a.utl,w.wea,gas\n"
        ",w.wea,elec-use\n"
        "a.utl,\"\",elec-use\n"
        "\"a.utl\"x,w.wea,elec-use\n"
        "a.utl,w.wea,\"elec-use\n");
    ASSERT_EQ(e.size(), 9U);
    EXPECT_EQ(e[0].problem, "");
    EXPECT_EQ(e[1].problem, "Expected 3 fields (energy file, weather file, quantity), found 2");
    EXPECT_EQ(e[2].problem, "Expected 3 fields (energy file, weather file, quantity), found 4");
    EXPECT_EQ(e[3].problem, "");
    EXPECT_EQ(e[4].problem,
              "Unknown quantity \"gas\"; the quantities are elec-use, elec-demand and thermal-use");
    EXPECT_EQ(e[4].quantity, "gas");
    EXPECT_EQ(e[5].problem, "No energy file");
    EXPECT_EQ(e[6].problem, "No weather file");
    EXPECT_EQ(e[7].problem, "Text after the closing quote of field 1");
    EXPECT_EQ(e[8].problem, "A quoted field has no closing quote");
}

TEST(Manifest, FirstLineNamingAnExistingFileIsABuildingNotAHeading) {
    TempDir dir;
    dir.write("a.utl", "1,1,2020,1,1,1,1,1\n");
    const std::string folder = dir.path().string() + "/";
    auto e = parseManifest("a.utl,w.wea,elec-usage\nb.utl,w.wea,elec-use\n", folder);
    ASSERT_EQ(e.size(), 2U);  // a typing error is reported, not taken for a heading
    EXPECT_NE(e[0].problem.find("Unknown quantity \"elec-usage\""), std::string::npos);
    e = parseManifest("Energy,Weather,What\nb.utl,w.wea,elec-use\n", folder);
    ASSERT_EQ(e.size(), 1U);
    EXPECT_EQ(e[0].energy, "b.utl");
}

TEST(Summary, FieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(csvField("plain name.utl"), "plain name.utl");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csvField("cr\r"), "\"cr\r\"");
    EXPECT_EQ(csvField(""), "");
}

TEST(Progress, LineShowsDoneRateAndTimeLeft) {
    EXPECT_EQ(progressLine(0, 1000, 0.0), "[..............................] 0/1000 buildings");
    EXPECT_EQ(progressLine(250, 1000, 0.5),
              "[#######.......................] 250/1000 buildings  500/s  0:02 left");
    EXPECT_EQ(progressLine(1000, 1000, 2.0),
              "[##############################] 1000/1000 buildings  500/s  took 0:02");
    EXPECT_EQ(progressLine(1, 10000, 1.0),
              "[..............................] 1/10000 buildings  1/s  2:46:39 left");
}

// ------------------------------------------------------------------ whole runs

// A building with heating below 50 F and cooling above 68 F, and its own weather: monthly
// readings on the 15th from January 2018, the first two years before the retrofit.
struct SyntheticBuilding {
    std::string energy;
    std::string weather;
};

SyntheticBuilding fiveParameterBuilding() {
    SyntheticBuilding b;
    b.weather = "Month,Day,Year,Temp\r\n";
    const DayNumber first = daysFromCivil(2017, 12, 1);
    std::vector<double> temps;
    for (DayNumber d = first; d <= daysFromCivil(2021, 1, 31); ++d) {
        const CivilDate c = civilFromDays(d);
        const double t =
            std::round(10.0 *
                       (58.0 - 26.0 * std::cos(2.0 * M_PI * static_cast<double>(d) / 365.25) +
                        6.0 * std::sin(static_cast<double>(d) * 1.7))) /
            10.0;
        temps.push_back(t);
        b.weather += std::to_string(c.month) + "," + std::to_string(c.day) + "," +
                     std::to_string(c.year) + "," + plainNumberText(t) + "\r\n";
    }
    b.energy = "Mo,Dy,Yr,Use,Demand,Thermal,EFlag,TFlag\r\n1,15,2018,-99,-99,-99,1,1\r\n";
    DayNumber previous = daysFromCivil(2018, 1, 15);
    for (int k = 1; k <= 35; ++k) {
        const int month = k % 12 + 1;
        const int year = 2018 + k / 12;
        const DayNumber reading = daysFromCivil(year, month, 15);
        double sum = 0;
        for (DayNumber d = previous + 1; d <= reading; ++d) {
            sum += temps[static_cast<std::size_t>(d - first)];
        }
        const double t = sum / static_cast<double>(reading - previous);
        double use = 30000 + 900 * std::max(0.0, 50.0 - t) + 1400 * std::max(0.0, t - 68.0);
        use *= 1.0 + 0.004 * std::sin(7.0 * k);
        const int flag = k <= 24 ? 1 : 2;
        if (flag == 2) {
            use *= 0.85;
        }
        b.energy += std::to_string(month) + ",15," + std::to_string(year) + "," +
                    std::to_string(std::lround(use)) + ",100,50," + std::to_string(flag) + "," +
                    std::to_string(flag) + "\r\n";
        previous = reading;
    }
    return b;
}

// A portfolio folder: the examples, a synthetic five-parameter building, and lines that fail
// in every way a building can.
struct PortfolioFolder {
    TempDir dir;
    fs::path manifest;

    PortfolioFolder() {
        for (const char* name :
             {"office.utl", "gainesville.wea", "cambridge-b101.utl", "bedford.wea"}) {
            fs::copy_file(sourceDir() / "examples" / name, dir.path() / name);
        }
        const SyntheticBuilding five = fiveParameterBuilding();
        dir.write("v/vshape.utl", five.energy);
        dir.write("v/vshape.wea", five.weather);
        // All periods after the retrofit: no baseline to model.
        std::string noBaseline = readFile(dir.path() / "office.utl");
        for (std::size_t p = 0; (p = noBaseline.find(",1,1\r\n", p)) != std::string::npos;) {
            noBaseline.replace(p, 6, ",2,2\r\n");
        }
        dir.write("nobase.utl", noBaseline);
        // One reading with a field too many: the reader's message, and a calculation anyway.
        std::string extra = readFile(dir.path() / "office.utl");
        extra.insert(extra.find("\r\n", extra.find("12,4,2009")), ",7");  // data line 24
        dir.write("extra.utl", extra);
        manifest = dir.write("manifest.csv",
                             "Energy,Weather,Quantity\r\n"
                             "office.utl,gainesville.wea,elec-use\r\n"
                             "cambridge-b101.utl,bedford.wea,elec-demand\r\n"
                             "v/vshape.utl,v/vshape.wea,elec-use\r\n"
                             "missing.utl,gainesville.wea,elec-use\r\n"
                             "nobase.utl,gainesville.wea,elec-use\r\n"
                             "cambridge-b101.utl,nowhere.wea,thermal-use\r\n"
                             "extra.utl,gainesville.wea,thermal-use\r\n"
                             "office.utl,gainesville.wea,gas\r\n"
                             "office.utl,gainesville.wea,thermal-use\r\n"
                             "cambridge-b101.utl,bedford.wea,thermal-use\r\n");
    }

    // Every file the runs wrote, by name.
    std::map<std::string, std::string> outputs() const {
        std::map<std::string, std::string> out;
        for (const auto& f : fs::recursive_directory_iterator(dir.path())) {
            const std::string ext = f.path().extension().string();
            if (ext == ".kwh" || ext == ".kwd" || ext == ".thm" || ext == ".dat") {
                out[fs::relative(f.path(), dir.path()).string()] = readFile(f.path());
            }
        }
        return out;
    }
    void removeOutputs() const {
        for (const auto& [name, bytes] : outputs()) {
            fs::remove(dir.path() / name);
        }
    }
};

struct CommandRun {
    int status;
    std::string err;
};

CommandRun portfolio(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runBatch(
        args, out, err, [](const Picture&, const std::string&) {}, false);
    EXPECT_EQ(out.str(), "");
    return {status, err.str()};
}

std::vector<std::string> splitLines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t p; (p = text.find(end, start)) != std::string::npos; start = p + end.size()) {
        lines.push_back(text.substr(start, p - start));
    }
    return lines;
}

TEST(Portfolio, SummaryReportsAndTablesDoNotDependOnTheThreadCount) {
    PortfolioFolder f;
    const std::string summary = (f.dir.path() / "summary.csv").string();
    std::string firstSummary;
    std::map<std::string, std::string> firstOutputs;
    for (const char* threads : {"1", "2", "8"}) {
        f.removeOutputs();
        const CommandRun r =
            portfolio({"portfolio", "--threads", threads, f.manifest.string(), summary});
        EXPECT_EQ(r.status, 1);  // some buildings fail
        if (firstSummary.empty()) {
            firstSummary = readFile(summary);
            firstOutputs = f.outputs();
            continue;
        }
        EXPECT_EQ(readFile(summary), firstSummary) << threads << " threads";
        EXPECT_EQ(f.outputs(), firstOutputs) << threads << " threads";
    }
    EXPECT_EQ(firstOutputs.size(), 10U);
}

// The whole run against single-building runs of the same lines, in manifest order.
TEST(Portfolio, EveryBuildingDoesWhatTheSingleBuildingWordsDo) {
    PortfolioFolder f;
    const auto text = readFile(f.manifest);
    const auto entries = parseManifest(text, f.dir.path().string() + "/");
    ASSERT_EQ(entries.size(), 10U);
    PortfolioOptions options;
    options.threads = 2;
    const auto results = runPortfolio(entries, options);
    const auto portfolioOutputs = f.outputs();

    f.removeOutputs();
    const std::map<CommandId, std::string> words = {
        {CommandId::CalcElecUseSavingsCmd, "calc-elec-use-savings"},
        {CommandId::CalcElecDemSavingsCmd, "calc-elec-demand-savings"},
        {CommandId::CalcTherUseSavingsCmd, "calc-thermal-use-savings"},
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ManifestEntry& e = entries[i];
        if (!e.problem.empty()) {
            ASSERT_EQ(results[i].messages.size(), 1U);
            EXPECT_EQ(results[i].messages[0].title, "Manifest");
            EXPECT_EQ(results[i].messages[0].text, e.problem);
            continue;
        }
        std::ostringstream out;
        std::ostringstream err;
        runBatch({"open-energy", e.energyPath, "open-weather", e.weatherPath, words.at(e.command)},
                 out, err, [](const Picture&, const std::string&) {});
        std::string boxes;
        for (const Message& m : results[i].messages) {
            boxes += m.title + ": " + m.text + "\n";
        }
        EXPECT_EQ(boxes, err.str()) << "line " << e.line;
        if (results[i].outcome) {
            // The summary's values are the report's, unrounded.
            const auto& o = *results[i].outcome;
            const auto lines = splitLines(out.str(), "\n");
            ASSERT_GE(lines.size(), 3U);
            EXPECT_EQ(lines[lines.size() - 3], modelLine(o.model, o.n));
            EXPECT_EQ(lines[lines.size() - 1], savingsLine(o.totals));
        }
    }
    EXPECT_EQ(f.outputs(), portfolioOutputs);

    EXPECT_EQ(results[0].status(), "ok");
    EXPECT_EQ(results[2].outcome->model.type, "5P");
    EXPECT_EQ(results[3].status().rfind("Error: \"File not found: ", 0), 0U);
    EXPECT_EQ(results[4].status(), "Error: No data is available to model.");
    EXPECT_FALSE(results[4].outcome);
    EXPECT_EQ(results[5].status().rfind("Error: \"File not found: ", 0), 0U);
    EXPECT_EQ(results[6].status().rfind("Error: Incorrect number of columns in line 24 of ", 0),
              0U);
    EXPECT_TRUE(results[6].outcome);  // the reader's message does not stop the calculation
    EXPECT_FALSE(results[6].ok());
}

TEST(Portfolio, SummaryLinesCarryTheUnroundedModelAndStatus) {
    PortfolioFolder f;
    const std::string summary = (f.dir.path() / "summary.csv").string();
    const CommandRun r = portfolio({"portfolio", f.manifest.string(), summary});
    ASSERT_EQ(r.status, 1);
    const auto lines = splitLines(readFile(summary), "\r\n");
    ASSERT_EQ(lines.size(), 11U);
    EXPECT_EQ(lines[0],
              "energy file,quantity,model,N,R2,CV-RMSE,Xcp1,Xcp2,Ycp,LS,RS,savings,uncertainty,"
              "percent,days,status");

    const auto entries = parseManifest(readFile(f.manifest), f.dir.path().string() + "/");
    const auto office = runBuilding(entries[0], nullptr);
    const auto& m = office.outcome->model;
    const auto& t = office.outcome->totals;
    EXPECT_EQ(lines[1], "office.utl,elec-use,4P,23," + plainNumberText(m.R2) + "," +
                            plainNumberText(m.CV) + ",," + plainNumberText(m.Xcp2) + "," +
                            plainNumberText(m.Ycp()) + "," + plainNumberText(m.LS()) + "," +
                            plainNumberText(m.RS()) + "," + plainNumberText(t.S) + "," +
                            plainNumberText(t.U) + "," + plainNumberText(t.P) + ",384,ok");
    EXPECT_NE(lines[1].find(",57.4"), std::string::npos);  // the change point, unrounded
    EXPECT_EQ(lines[3].rfind("v/vshape.utl,elec-use,5P,24,", 0), 0U);
    EXPECT_EQ(lines[3].find(",,"), std::string::npos);  // a 5P model has both change points
    EXPECT_EQ(lines[4].rfind("missing.utl,elec-use,,,,,,,,,,,,,,\"Error: \"\"File not found: ", 0),
              0U);
    EXPECT_EQ(lines[5], "nobase.utl,elec-use,,,,,,,,,,,,,,Error: No data is available to model.");
    EXPECT_EQ(
        lines[8],
        "office.utl,gas,,,,,,,,,,,,,,\"Manifest: Unknown quantity \"\"gas\"\"; the quantities "
        "are elec-use, elec-demand and thermal-use\"");

    // Messages of the failed lines, with where they come from.
    const std::string where = f.manifest.string() + ":";
    EXPECT_NE(r.err.find(where + "5: Error: \"File not found: "), std::string::npos);
    EXPECT_NE(r.err.find(where + "6: Error: No data is available to model.\n"), std::string::npos);
    EXPECT_NE(r.err.find(where + "9: Manifest: Unknown quantity"), std::string::npos);
    EXPECT_EQ(r.err.find(where + "2:"), std::string::npos);  // a building that went well
}

TEST(Portfolio, LinesOfOneBuildingLeaveTheLastLinesTable) {
    PortfolioFolder f;
    const std::string summary = (f.dir.path() / "summary.csv").string();
    f.dir.write("m2.csv",
                "office.utl,gainesville.wea,thermal-use\n"
                "office.utl,gainesville.wea,elec-use\n"
                "./office.utl,gainesville.wea,elec-demand\n");
    for (const char* threads : {"1", "8"}) {
        f.removeOutputs();
        ASSERT_EQ(portfolio({"portfolio", "--threads", threads, (f.dir.path() / "m2.csv").string(),
                             summary})
                      .status,
                  0);
        const auto table = readFile(f.dir.path() / "office.dat");
        // The demand calculation ran last: its column holds predictions, the others -99.
        const auto first = splitLines(table, "\r\n").back();
        EXPECT_EQ(first.substr(9 * 14, 14), "-99.000       ");
        EXPECT_NE(first.substr(10 * 14, 14), "-99.000       ");
        EXPECT_EQ(first.substr(11 * 14, 14), "-99.000       ");
    }
}

TEST(Portfolio, EachWeatherFileIsReadOnce) {
    PortfolioFolder f;
    const auto entries = parseManifest(readFile(f.manifest), f.dir.path().string() + "/");
    PortfolioOptions options;
    options.threads = 4;
    const std::string expected = summaryText(entries, runPortfolio(entries, options));

    // A weather file taken away once it was read: no building can have read it again.
    std::mutex mutex;
    std::multiset<std::string> reads;
    options.weatherRead = [&](const std::string& path) {
        const std::lock_guard lock(mutex);
        reads.insert(fs::path(path).filename().string());
        std::error_code ec;
        fs::rename(path, path + ".gone", ec);
    };
    const auto results = runPortfolio(entries, options);
    EXPECT_EQ(reads, (std::multiset<std::string>{"bedford.wea", "gainesville.wea", "nowhere.wea",
                                                 "vshape.wea"}));
    EXPECT_EQ(summaryText(entries, results), expected);
}

TEST(Portfolio, ProgressIsReportedAndEndsAtTheTotal) {
    PortfolioFolder f;
    const auto entries = parseManifest(readFile(f.manifest), f.dir.path().string() + "/");
    PortfolioOptions options;
    options.threads = 2;
    options.progressInterval = std::chrono::milliseconds(1);
    std::vector<std::pair<long, long>> calls;
    options.progress = [&](long done, long total) { calls.emplace_back(done, total); };
    runPortfolio(entries, options);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), std::make_pair(10L, 10L));
    for (std::size_t i = 1; i < calls.size(); ++i) {
        EXPECT_LE(calls[i - 1].first, calls[i].first);
    }
}

TEST(Portfolio, UsageErrorsExitWithTwoAndRunNothing) {
    PortfolioFolder f;
    const std::string m = f.manifest.string();
    const std::string s = (f.dir.path() / "summary.csv").string();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"portfolio"},
             {"portfolio", m},
             {"portfolio", m, s, "extra"},
             {"portfolio", "--threads", m, s},
             {"portfolio", "--threads", "0", m, s},
             {"portfolio", "--threads", "2x", m, s},
             {"portfolio", "--fast", m, s},
             {"open-energy", "x.utl", "portfolio", m, s},
         }) {
        const CommandRun r = portfolio(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage: ombrix-batch"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(s));
    }
    EXPECT_TRUE(f.outputs().empty());
}

TEST(Portfolio, ManifestThatCannotBeUsedExitsWithTwo) {
    PortfolioFolder f;
    const std::string s = (f.dir.path() / "summary.csv").string();
    CommandRun r = portfolio({"portfolio", (f.dir.path() / "none.csv").string(), s});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot read manifest"), std::string::npos);
    r = portfolio({"portfolio", f.dir.path().string(), s});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("it is a folder"), std::string::npos);
    const auto onlyHeading = f.dir.write("h.csv", "energy,weather,quantity\r\n\r\n");
    r = portfolio({"portfolio", onlyHeading.string(), s});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("names no building"), std::string::npos);
    EXPECT_FALSE(fs::exists(s));
}

TEST(Portfolio, SummaryNeverOverwritesAFileTheRunUses) {
    PortfolioFolder f;
    const std::string manifestText = readFile(f.manifest);
    const std::string office = readFile(f.dir.path() / "office.utl");
    for (const fs::path& target :
         {f.manifest, f.dir.path() / "office.utl", f.dir.path() / "." / "gainesville.wea",
          f.dir.path() / "v" / "vshape.dat"}) {
        const CommandRun r = portfolio({"portfolio", f.manifest.string(), target.string()});
        EXPECT_EQ(r.status, 2) << target;
        EXPECT_NE(r.err.find("would overwrite"), std::string::npos);
    }
    EXPECT_EQ(readFile(f.manifest), manifestText);
    EXPECT_EQ(readFile(f.dir.path() / "office.utl"), office);
    EXPECT_TRUE(f.outputs().empty());
}

TEST(Portfolio, AllBuildingsWellExitsWithZero) {
    PortfolioFolder f;
    const auto m = f.dir.write("ok.csv", "office.utl,gainesville.wea,elec-use\n");
    const CommandRun r =
        portfolio({"portfolio", "--no-progress", m.string(), (f.dir.path() / "s.csv").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST(Portfolio, SummaryThatCannotBeWrittenExitsWithTwo) {
    PortfolioFolder f;
    const auto m = f.dir.write("ok.csv", "office.utl,gainesville.wea,elec-use\n");
    const CommandRun r =
        portfolio({"portfolio", m.string(), (f.dir.path() / "no" / "s.csv").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Cannot create file"), std::string::npos);
}

}  // namespace
