// The delimited reader and the merge: every import runs them over the whole file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "data/DataState.h"
#include "data/Merge.h"
#include "data/Reader.h"
#include "platform/Dates.h"
#include "platform/Ui.h"

namespace {

class SilentUi : public ombrix::Ui {
  public:
    void messageBox(std::string_view, std::string_view) override {}
    void setBusy(bool) override {}
    void progressCaption(std::string_view) override {}
    void progressShow() override {}
    void progressPaint(double) override {}
    void progressUnload() override {}
    void processEvents() override {}
};

// A daily weather file of lines lines starting 1 January 1990, with a heading.
std::string dailyWeather(long lines) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> temp(-10, 95);
    std::string s = "Mo,Dy,Yr,Tavg\r\n";
    const ombrix::DayNumber first = ombrix::daysFromCivil(1990, 1, 1);
    char buf[64];
    for (long i = 0; i < lines; ++i) {
        const auto c = ombrix::civilFromDays(first + i);
        const int n =
            std::snprintf(buf, sizeof buf, "%d,%d,%d,%.1f\r\n", c.month, c.day, c.year, temp(rng));
        s.append(buf, static_cast<std::size_t>(n));
    }
    return s;
}

void BM_ReadDailyWeather(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "ombrix-bench-weather.wea";
    const std::string text = dailyWeather(state.range(0));
    {
        std::ofstream f(path, std::ios::binary);
        f << text;
    }
    SilentUi ui;
    ombrix::DataState d;
    for (auto _ : state) {
        ombrix::ReadDelimited(d, ui, path.string());
        benchmark::DoNotOptimize(d.DataTable);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadDailyWeather)->Arg(100'000)->Unit(benchmark::kMillisecond);

// 30 years of daily weather and monthly readings on the 15th from January 1990.
ombrix::DataState thirtyYears(long periods, bool sameDay) {
    ombrix::DataState d;
    const ombrix::DayNumber first = ombrix::daysFromCivil(1990, 1, 1);
    const ombrix::DayNumber last = ombrix::daysFromCivil(2019, 12, 31);
    d.WeatherRows = last - first + 1;
    d.WeatherData = ombrix::Table(d.WeatherRows, 4);
    for (long k = 1; k <= d.WeatherRows; ++k) {
        const auto c = ombrix::civilFromDays(first + k - 1);
        d.WeatherData.at(k, 1) = c.month;
        d.WeatherData.at(k, 2) = c.day;
        d.WeatherData.at(k, 3) = c.year;
        d.WeatherData.at(k, 4) = 50 + (k % 40);
    }
    d.EnergyLastRow = periods;
    d.EnergyData = ombrix::Table(periods, 8);
    for (long r = 0; r <= periods; ++r) {
        // sameDay: every reading on the last day, so no period holds a day until the last.
        const long m = sameDay ? 359 : r;
        d.EnergyData.at(r, 1) = static_cast<double>(m % 12 + 1);
        d.EnergyData.at(r, 2) = 15;
        d.EnergyData.at(r, 3) = static_cast<double>(1990 + m / 12);
        for (long c = 4; c <= 8; ++c) {
            d.EnergyData.at(r, c) = 1;
        }
    }
    d.EnergyOpen = d.WeatherOpen = true;
    return d;
}

void BM_MergeThirtyYears(benchmark::State& state) {
    ombrix::DataState d = thirtyYears(360, false);
    ombrix::DialogExchange dlg;
    SilentUi ui;
    for (auto _ : state) {
        ombrix::MergeEnergyWeather(d, dlg, ui);
        benchmark::DoNotOptimize(d.DataTable);
    }
}
BENCHMARK(BM_MergeThirtyYears)->Unit(benchmark::kMicrosecond);

// Empty periods do not make the scan start again from the beginning of the weather.
void BM_MergeThirtyYearsEmptyPeriods(benchmark::State& state) {
    ombrix::DataState d = thirtyYears(360, true);
    ombrix::DialogExchange dlg;
    SilentUi ui;
    for (auto _ : state) {
        ombrix::MergeEnergyWeather(d, dlg, ui);
        benchmark::DoNotOptimize(d.DataTable);
    }
}
BENCHMARK(BM_MergeThirtyYearsEmptyPeriods)->Unit(benchmark::kMicrosecond);

}  // namespace
