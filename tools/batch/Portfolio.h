// Portfolio runs: the savings calculation of many buildings listed in a manifest, each in a
// session of its own as the single-building words would run it, in parallel, summarised in one
// CSV file with a line per building.
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/Menu.h"
#include "commands/Session.h"
#include "data/PreparedWeather.h"

namespace ombrix {

// One building line of a manifest.
struct ManifestEntry {
    long line = 0;       // where the line starts in the manifest, from 1
    std::string energy;  // the three fields as written
    std::string weather;
    std::string quantity;    // the quantity's word in lower case when it is one, else as written
    std::string energyPath;  // the files, relative to the manifest's folder unless absolute
    std::string weatherPath;
    CommandId command = CommandId::CalcElecUseSavingsCmd;  // the savings command of quantity
    std::string problem;  // why the line cannot run; empty when it can
};

// The building lines of a manifest's text. Fields are separated by commas; spaces around a
// field do not count; a field in double quotes may hold commas, quotes (doubled) and line breaks.
// Blank lines are skipped, and so is a first line that is a heading: its quantity is no
// quantity word and its energy file does not exist. folder is the manifest's folder, ending
// with "/", or empty for the current one.
std::vector<ManifestEntry> parseManifest(std::string_view text, const std::string& folder);

// The savings command of a quantity word (elec-use, elec-demand, thermal-use), any case.
std::optional<CommandId> quantityCommand(std::string_view word);

struct Message {
    std::string title;
    std::string text;
    bool operator==(const Message&) const = default;
};

struct BuildingResult {
    std::vector<Message> messages;          // every message box the building showed, in order
    std::optional<SavingsOutcome> outcome;  // when the calculation ran to its end
    // "ok", or the first message as "TITLE: TEXT".
    std::string status() const;
    bool ok() const { return messages.empty() && outcome.has_value(); }
};

// Runs open-energy, open-weather and the entry's savings word on a session of its own, with a
// silent user interface and no graph, exactly as ombrix-batch runs the words. weather, when
// given, is the entry's weather file read beforehand.
BuildingResult runBuilding(const ManifestEntry& entry, const PreparedWeather* weather);

struct PortfolioOptions {
    unsigned threads = 1;
    // Called on the calling thread about every progressInterval while buildings run, and once
    // at the end, with the buildings done and their total.
    std::function<void(long done, long total)> progress;
    std::chrono::milliseconds progressInterval{250};
    // Called, on the thread that reads it, each time a weather file is read.
    std::function<void(const std::string& path)> weatherRead;
};

// Runs every entry; results in manifest order. Each weather file is read and dated once, by
// the first building that needs it, and let go after the last. Lines that name the same output
// files run one after the other in manifest order, so the last one's files stay, whatever the
// number of threads. A line with a problem gets it as its message, titled "Manifest".
std::vector<BuildingResult> runPortfolio(const std::vector<ManifestEntry>& entries,
                                         const PortfolioOptions& options);

// The summary: a heading line, then one line per entry in manifest order, CR LF line ends.
std::string summaryText(const std::vector<ManifestEntry>& entries,
                        const std::vector<BuildingResult>& results);

// A CSV field: quoted, with quotes doubled, when it holds a comma, a quote or a line break.
std::string csvField(std::string_view text);

// The progress line: a bar, buildings done of the total, buildings per second and the time
// left, or at the end the time the run took.
std::string progressLine(long done, long total, double seconds);

// ombrix-batch portfolio [--threads N] [--no-progress] MANIFEST SUMMARY (args without the word
// "portfolio"). Messages of failed buildings go to err as "MANIFEST:LINE: TITLE: TEXT"; the
// progress line goes to err when showProgress. Returns 0, 1 when a building failed, 2 for a
// usage error or a manifest or summary that cannot be read or written.
int runPortfolioCommand(const std::vector<std::string>& args, std::ostream& err, bool showProgress);

// The portfolio part of the usage text.
std::string portfolioUsage();

}  // namespace ombrix
