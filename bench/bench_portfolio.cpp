// Portfolio runs: one building's whole savings calculation as a portfolio run does it (files
// read and written), and a portfolio of 1,000 buildings on one weather station. The files go
// to a fresh folder under the system's temporary folder (TMPDIR chooses another file system).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "Portfolio.h"
#include "platform/Dates.h"

namespace {

namespace fs = std::filesystem;
using namespace ombrix;

// A folder of synthetic buildings: two years of daily temperatures, 24 bills on read dates 28 to
// 33 days apart, half of the buildings with one change point and half with two, 5 % noise and
// 10 % savings in the second year. The same count gives the same files.
class SyntheticPortfolio {
  public:
    explicit SyntheticPortfolio(int buildings) {
        m_dir = fs::temp_directory_path() /
                ("ombrix-portfolio-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
        std::mt19937 rng(20240611);
        std::normal_distribution<double> unit(0.0, 1.0);
        std::uniform_real_distribution<double> uniform(0.0, 1.0);

        const DayNumber first = daysFromCivil(2021, 12, 1);
        constexpr int kDays = 850;
        std::vector<double> temps;
        std::string weather = "Month,Day,Year,Temp\r\n";
        for (int k = 0; k < kDays; ++k) {
            const CivilDate c = civilFromDays(first + k);
            const double season = std::cos(2.0 * M_PI * static_cast<double>(k - 230) / 365.25);
            const double t = std::round(10.0 * (58.0 + 20.0 * season + 5.0 * unit(rng))) / 10.0;
            temps.push_back(t);
            weather += std::to_string(c.month) + "," + std::to_string(c.day) + "," +
                       std::to_string(c.year) + "," + std::to_string(t).substr(0, 5) + "\r\n";
        }
        write("station.wea", weather);

        std::string manifest = "energy file,weather file,quantity\r\n";
        for (int b = 0; b < buildings; ++b) {
            const bool five = b % 2 == 1;
            const double base = 20000.0 + 70000.0 * uniform(rng);
            const double cp1 = 48.0 + 6.0 * uniform(rng);
            const double cp2 = five ? cp1 + 12.0 + 4.0 * uniform(rng) : 55.0 + 11.0 * uniform(rng);
            const double heat = five ? base * (0.03 + 0.02 * uniform(rng)) : 0.0;
            const double cool =
                base * (five ? 0.03 + 0.02 * uniform(rng) : 0.02 + 0.025 * uniform(rng));
            DayNumber reading = first + static_cast<DayNumber>(uniform(rng) * 14.0);
            std::string energy = "Month,Day,Year,Elec Use,Elec Demand,Gas,Elec Flag,Gas Flag\r\n";
            auto line = [&](DayNumber day, const std::string& values) {
                const CivilDate c = civilFromDays(day);
                energy += std::to_string(c.month) + "," + std::to_string(c.day) + "," +
                          std::to_string(c.year) + "," + values + "\r\n";
            };
            line(reading, "-99,-99,-99,1,1");
            for (int bill = 0; bill < 24; ++bill) {
                const DayNumber start = reading;
                reading = start + 28 + static_cast<DayNumber>(uniform(rng) * 6.0);
                double sum = 0.0;
                for (DayNumber d = start + 1; d <= reading; ++d) {
                    sum += temps[static_cast<std::size_t>(d - first)];
                }
                const double t = sum / static_cast<double>(reading - start);
                double use = base + heat * std::max(0.0, cp1 - t) + cool * std::max(0.0, t - cp2);
                use *= (1.0 + 0.05 * unit(rng)) * (bill >= 12 ? 0.9 : 1.0);
                const int flag = bill >= 12 ? 2 : 1;
                line(reading, std::to_string(std::lround(use)) + "," +
                                  std::to_string(std::lround(use / 500.0)) + ",300," +
                                  std::to_string(flag) + "," + std::to_string(flag));
            }
            const std::string name = "bldg" + std::to_string(100000 + b).substr(1) + ".utl";
            write(name, energy);
            manifest += name + ",station.wea,elec-use\r\n";
        }
        write("manifest.csv", manifest);
        std::ifstream in(m_dir / "manifest.csv", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        m_entries = parseManifest(text, m_dir.string() + "/");
    }
    ~SyntheticPortfolio() {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    SyntheticPortfolio(const SyntheticPortfolio&) = delete;
    SyntheticPortfolio& operator=(const SyntheticPortfolio&) = delete;

    const std::vector<ManifestEntry>& entries() const { return m_entries; }

  private:
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }

    fs::path m_dir;
    std::vector<ManifestEntry> m_entries;
};

// Processor time of the calling thread in microseconds: in the program, and in the system for it
// (reading and writing the files).
struct ThreadTimes {
    double user = 0;
    double system = 0;
    static ThreadTimes now() {
        rusage r{};
        getrusage(RUSAGE_THREAD, &r);
        auto us = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_usec);
        };
        return {us(r.ru_utime), us(r.ru_stime)};
    }
};

// One building after another as a portfolio runs them, the weather read once beforehand. The
// counters split the processor time of a building between the program and the file system.
void BM_PortfolioBuilding(benchmark::State& state) {
    const SyntheticPortfolio portfolio(100);
    const auto& entries = portfolio.entries();
    const PreparedWeather weather(entries.front().weatherPath);
    std::size_t i = 0;
    long failed = 0;
    const ThreadTimes before = ThreadTimes::now();
    for (auto _ : state) {
        const BuildingResult r = runBuilding(entries[i], &weather);
        failed += r.ok() ? 0 : 1;
        i = (i + 1) % entries.size();
    }
    const ThreadTimes after = ThreadTimes::now();
    if (failed != 0) {
        state.SkipWithError("a building failed");
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["user_us"] = (after.user - before.user) / n;
    state.counters["system_us"] = (after.system - before.system) / n;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_PortfolioBuilding)->Unit(benchmark::kMicrosecond);

// A portfolio of 1,000 buildings on one weather station, in Arg threads; wall time.
void BM_Portfolio1000(benchmark::State& state) {
    const SyntheticPortfolio portfolio(1000);
    PortfolioOptions options;
    options.threads = static_cast<unsigned>(state.range(0));
    long failed = 0;
    for (auto _ : state) {
        const auto results = runPortfolio(portfolio.entries(), options);
        for (const auto& r : results) {
            failed += r.ok() ? 0 : 1;
        }
    }
    if (failed != 0) {
        state.SkipWithError("a building failed");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1000);
}
BENCHMARK(BM_Portfolio1000)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
