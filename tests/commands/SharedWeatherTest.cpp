// Open Weather from a weather file read beforehand, and what a savings calculation leaves for
// callers that summarise it.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "commands/Dispatch.h"
#include "model/Savings.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::Harness;
using ombrix::test::readFile;
using ombrix::test::sourceDir;
using ombrix::test::TempDir;
namespace fs = std::filesystem;

namespace {

bool sameTables(const Table& a, const Table& b) {
    if (a.lastRow() != b.lastRow() || a.lastCol() != b.lastCol()) {
        return false;
    }
    for (long r = 0; r <= a.lastRow(); ++r) {
        for (long c = 0; c <= a.lastCol(); ++c) {
            if (a.at(r, c).isEmpty() != b.at(r, c).isEmpty() ||
                std::bit_cast<std::uint64_t>(a(r, c)) != std::bit_cast<std::uint64_t>(b(r, c))) {
                return false;
            }
        }
    }
    return true;
}

struct ExampleFolder {
    TempDir dir;
    std::string energy, weather;
    ExampleFolder() {
        for (const char* name : {"office.utl", "gainesville.wea", "bedford.wea"}) {
            fs::copy_file(sourceDir() / "examples" / name, dir.path() / name);
        }
        energy = (dir.path() / "office.utl").string();
        weather = (dir.path() / "gainesville.wea").string();
    }
};

// Open Energy, Open Weather and Calc Elec Use Savings, with or without the weather read before.
void openAndCalculate(Harness& h, const std::string& energy, const std::string& weather) {
    h.dialogs.choose(energy);
    runCommand(h.session, h.services, CommandId::OpenEnergyCmd);
    h.dialogs.choose(weather);
    runCommand(h.session, h.services, CommandId::OpenWeatherCmd);
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
}

TEST(SharedWeather, OpenWeatherFromMemoryLeavesTheSessionAsTheDiskDoes) {
    ExampleFolder f;
    Harness disk;
    openAndCalculate(disk, f.energy, f.weather);
    const std::string report = readFile(f.dir.path() / "office.kwh");
    const std::string table = readFile(f.dir.path() / "office.dat");
    fs::remove(f.dir.path() / "office.kwh");
    fs::remove(f.dir.path() / "office.dat");

    const PreparedWeather prepared(f.weather);
    fs::rename(f.weather, f.weather + ".gone");  // memory only from here on
    Harness shared;
    shared.services.weather = &prepared;
    openAndCalculate(shared, f.energy, f.weather);

    EXPECT_TRUE(shared.ui.boxes.empty());
    EXPECT_EQ(shared.ui.boxes, disk.ui.boxes);
    EXPECT_TRUE(sameTables(shared.session.data.WeatherData, disk.session.data.WeatherData));
    EXPECT_TRUE(sameTables(shared.session.data.DataTable, disk.session.data.DataTable));
    EXPECT_EQ(shared.session.data.WeatherRows, disk.session.data.WeatherRows);
    EXPECT_EQ(shared.status.lines(), disk.status.lines());
    EXPECT_EQ(shared.drawn(), disk.drawn());
    EXPECT_EQ(readFile(f.dir.path() / "office.kwh"), report);
    EXPECT_EQ(readFile(f.dir.path() / "office.dat"), table);
}

TEST(SharedWeather, AnotherChosenFileIsReadFromTheDisk) {
    ExampleFolder f;
    const PreparedWeather prepared(f.weather);
    Harness h;
    h.services.weather = &prepared;
    h.dialogs.choose(f.dir.path() / "bedford.wea");
    runCommand(h.session, h.services, CommandId::OpenWeatherCmd);
    ASSERT_EQ(h.status.lines().size(), 1U);
    EXPECT_EQ(h.status.lines()[0], " BEDFORD.WEA     Number rows = 1096     Number columns = 4");
    // A typical year is never taken from the measured file read before.
    Harness tmy;
    tmy.services.weather = &prepared;
    fs::rename(f.weather, f.weather + ".gone");
    tmy.dialogs.choose(f.weather);
    runCommand(tmy.session, tmy.services, CommandId::OpenTMYCmd);
    ASSERT_EQ(tmy.ui.boxes.size(), 1U);
    EXPECT_EQ(tmy.ui.boxes[0].text, "\"File not found: " + f.weather + "\"");
}

TEST(SavingsOutcome, KeptWhenTheCalculationEndsAndClearedWhenOneStops) {
    ExampleFolder f;
    Harness h;
    openAndCalculate(h, f.energy, f.weather);
    ASSERT_TRUE(h.session.lastSavings);
    const SavingsOutcome& o = *h.session.lastSavings;
    EXPECT_EQ(o.n, 23);
    EXPECT_EQ(o.model.type, "4P");
    EXPECT_EQ(o.totals.D, 384);
    ASSERT_EQ(h.status.lines().size(), 3U);
    EXPECT_EQ(h.status.lines()[0], modelLine(o.model, o.n));
    EXPECT_EQ(h.status.lines()[2], savingsLine(o.totals));

    // The table file cannot be written: the calculation stops and leaves no outcome behind.
    fs::remove(f.dir.path() / "office.dat");
    fs::create_directory(f.dir.path() / "office.dat");
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    EXPECT_FALSE(h.session.lastSavings);
    ASSERT_FALSE(h.ui.boxes.empty());
    EXPECT_EQ(h.ui.boxes.back().title, "Error");
}

}  // namespace
