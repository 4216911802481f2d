#include "Portfolio.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <ostream>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "BatchServices.h"
#include "commands/Dispatch.h"
#include "model/Savings.h"
#include "platform/Canvas.h"
#include "platform/Errors.h"
#include "platform/NumberFormat.h"
#include "platform/SafeFile.h"
#include "platform/StatusText.h"

namespace ombrix {
namespace {

constexpr std::string_view kManifestTitle = "Manifest";

// ---------------------------------------------------------------- manifest

struct Record {
    long line = 0;
    std::vector<std::string> fields;
    std::vector<bool> quoted;
    std::string problem;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Splits CSV text into records. Line ends are CR LF, LF or CR; inside quotes they belong to the
// field. Spaces and tabs around a field do not count.
class CsvReader {
  public:
    explicit CsvReader(std::string_view text) : m_text(text) {
        if (m_text.starts_with("\xEF\xBB\xBF")) {  // UTF-8 byte-order mark
            m_text.remove_prefix(3);
        }
    }

    bool next(Record& r) {
        if (m_pos >= m_text.size()) {
            return false;
        }
        r = Record{};
        r.line = m_line;
        while (true) {
            skipBlanks();
            const bool quoted = m_pos < m_text.size() && m_text[m_pos] == '"';
            r.fields.push_back(quoted ? quotedField(r) : plainField());
            r.quoted.push_back(quoted);
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            break;
        }
        skipLineEnd();
        return true;
    }

  private:
    bool atLineEnd() const {
        return m_pos >= m_text.size() || m_text[m_pos] == '\n' || m_text[m_pos] == '\r';
    }
    void skipBlanks() {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
            ++m_pos;
        }
    }
    void skipLineEnd() {
        if (m_text.substr(m_pos).starts_with("\r\n")) {
            m_pos += 2;
        } else if (m_pos < m_text.size()) {
            ++m_pos;
        }
        ++m_line;
    }

    // Up to the next comma or line end, without the blanks at its end.
    std::string plainField() {
        const std::size_t start = m_pos;
        while (!atLineEnd() && m_text[m_pos] != ',') {
            ++m_pos;
        }
        std::size_t end = m_pos;
        while (end > start && isBlank(m_text[end - 1])) {
            --end;
        }
        return std::string(m_text.substr(start, end - start));
    }

    // From the opening quote to the closing one, quotes doubled inside; a fault goes to r.
    std::string quotedField(Record& r) {
        std::string field;
        bool closed = false;
        for (++m_pos; m_pos < m_text.size(); ++m_pos) {
            const char c = m_text[m_pos];
            if (c == '"') {
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '"') {
                    field += '"';
                    ++m_pos;
                    continue;
                }
                ++m_pos;
                closed = true;
                break;
            }
            if (c == '\n' || (c == '\r' && !m_text.substr(m_pos).starts_with("\r\n"))) {
                ++m_line;
            }
            field += c;
        }
        if (!closed) {
            r.problem = "A quoted field has no closing quote";
            return field;
        }
        skipBlanks();
        if (!atLineEnd() && m_text[m_pos] != ',') {
            r.problem =
                "Text after the closing quote of field " + std::to_string(r.fields.size() + 1);
            while (!atLineEnd() && m_text[m_pos] != ',') {
                ++m_pos;
            }
        }
        return field;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    long m_line = 1;
};

bool blankRecord(const Record& r) {
    return r.problem.empty() && r.fields.size() == 1 && !r.quoted[0] && r.fields[0].empty();
}

std::string lowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// A manifest's path as the imports will read it: relative to the manifest's folder unless
// absolute, spelt as the open dialog hands it over.
std::string resolve(const std::string& folder, const std::string& path) {
    if (path.empty()) {
        return path;
    }
    return ScriptedDialogs::chosenPath(path.front() == '/' ? path : folder + path);
}

bool isHeading(const Record& r, const std::string& folder) {
    if (!r.problem.empty() || r.fields.empty()) {
        return false;
    }
    if (r.fields.size() >= 3 && quantityCommand(r.fields[2])) {
        return false;
    }
    std::error_code ec;
    return !std::filesystem::exists(resolve(folder, r.fields[0]), ec);
}

ManifestEntry entryOf(Record r, const std::string& folder) {
    ManifestEntry e;
    e.line = r.line;
    // Empty fields at the end of a line (a spreadsheet's trailing commas) do not count.
    while (r.fields.size() > 1 && r.fields.back().empty() && !r.quoted.back()) {
        r.fields.pop_back();
        r.quoted.pop_back();
    }
    const std::size_t count = r.fields.size();
    e.energy = count > 0 ? r.fields[0] : std::string();
    e.weather = count > 1 ? r.fields[1] : std::string();
    e.quantity = count > 2 ? r.fields[2] : std::string();
    e.energyPath = resolve(folder, e.energy);
    e.weatherPath = resolve(folder, e.weather);
    const auto command = quantityCommand(e.quantity);
    if (command) {
        e.command = *command;
        e.quantity = lowerCase(e.quantity);
    }
    if (!r.problem.empty()) {
        e.problem = r.problem;
    } else if (count != 3) {
        e.problem = "Expected 3 fields (energy file, weather file, quantity), found " +
                    std::to_string(count);
    } else if (e.energy.empty()) {
        e.problem = "No energy file";
    } else if (e.weather.empty()) {
        e.problem = "No weather file";
    } else if (!command) {
        e.problem = "Unknown quantity \"" + e.quantity +
                    "\"; the quantities are elec-use, elec-demand and thermal-use";
    }
    return e;
}

// ---------------------------------------------------------------- one building

// Keeps the message boxes; everything else the user would see is dropped.
class RecordingUi : public Ui {
  public:
    void messageBox(std::string_view text, std::string_view title) override {
        messages.push_back({std::string(title), std::string(text)});
    }
    void setBusy(bool) override {}
    void progressCaption(std::string_view) override {}
    void progressShow() override {}
    void progressPaint(double) override {}
    void progressUnload() override {}
    void processEvents() override {}

    std::vector<Message> messages;
};

// ---------------------------------------------------------------- the run

// A weather file used by several lines: read by the first that needs it, dropped after the last.
struct WeatherSlot {
    std::string path;
    std::once_flag once;
    std::unique_ptr<PreparedWeather> prepared;
    std::atomic<long> users{0};

    const PreparedWeather* acquire(const std::function<void(const std::string&)>& onRead) {
        std::call_once(once, [&] {
            prepared = std::make_unique<PreparedWeather>(path);
            if (onRead) {
                onRead(path);
            }
        });
        return prepared.get();
    }
    void release() {
        if (users.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            prepared.reset();
        }
    }
};

// The energy column a savings command works on.
long energyColumn(CommandId command) {
    switch (command) {
        case CommandId::CalcElecDemSavingsCmd:
            return 5;
        case CommandId::CalcTherUseSavingsCmd:
            return 6;
        default:
            return 4;
    }
}

// The report and table files a line writes, named as the savings command names them after the
// folder and file the open dialog hands over; nothing when they cannot be named.
struct OutputFiles {
    std::string report;
    std::string table;
};
std::optional<OutputFiles> outputFilesOf(const ManifestEntry& e) {
    const auto slash = e.energyPath.rfind('/');
    const std::string dir = slash == std::string::npos ? "./" : e.energyPath.substr(0, slash + 1);
    const std::string file =
        slash == std::string::npos ? e.energyPath : e.energyPath.substr(slash + 1);
    try {
        return OutputFiles{
            outputPath(dir, file, savingsQuantity(energyColumn(e.command)).extension),
            outputPath(dir, file, kTableExtension)};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// What tells the lines of one building apart from the others: the table file they all write.
std::string buildingKey(const ManifestEntry& e) {
    const auto files = outputFilesOf(e);
    return files ? std::filesystem::path(files->table).lexically_normal().string() : e.energyPath;
}

std::string clockText(double seconds) {
    const long s = std::lround(std::max(0.0, seconds));
    char buf[32];
    if (s >= 3600) {
        std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    } else {
        std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
    }
    return buf;
}

bool parseThreads(const std::string& text, unsigned& out) {
    unsigned v = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size() || v < 1 || v > 4096) {
        return false;
    }
    out = v;
    return true;
}

std::string readManifest(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw OmbrixError("cannot read manifest " + path + ": it is a folder");
    }
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        throw OmbrixError("cannot read manifest " + path + ": " +
                          std::error_code(errno, std::generic_category()).message());
    }
    std::string text;
    char chunk[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        text.append(chunk, got);
    }
    const bool failed = std::ferror(f) != 0;
    const int error = errno;
    std::fclose(f);
    if (failed) {
        throw OmbrixError("cannot read manifest " + path + ": " +
                          std::error_code(error, std::generic_category()).message());
    }
    return text;
}

// An absolute, lexically normal spelling of path, for telling whether two names are one file.
std::string normalPath(const std::filesystem::path& cwd, const std::string& path) {
    return (cwd / path).lexically_normal().string();
}

// The file the summary would overwrite that the run reads or writes, or nothing.
std::optional<std::string> summaryClash(const std::string& summary, const std::string& manifest,
                                        const std::vector<ManifestEntry>& entries) {
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    const std::string target = normalPath(cwd, summary);
    const std::string name = std::filesystem::path(target).filename().string();
    if (target == normalPath(cwd, manifest) || std::filesystem::equivalent(summary, manifest, ec)) {
        return manifest;
    }
    for (const ManifestEntry& e : entries) {
        if (!e.problem.empty()) {
            continue;
        }
        std::vector<std::string> paths = {e.energyPath, e.weatherPath};
        if (const auto files = outputFilesOf(e)) {
            paths.push_back(files->report);
            paths.push_back(files->table);
        }
        for (const std::string& p : paths) {
            // Only a path ending in the summary's file name can name it; the others need no
            // spelling worked out.
            if (p.ends_with(name) && normalPath(cwd, p) == target) {
                return p;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<CommandId> quantityCommand(std::string_view word) {
    const std::string w = lowerCase(word);
    if (w == "elec-use") {
        return CommandId::CalcElecUseSavingsCmd;
    }
    if (w == "elec-demand") {
        return CommandId::CalcElecDemSavingsCmd;
    }
    if (w == "thermal-use") {
        return CommandId::CalcTherUseSavingsCmd;
    }
    return std::nullopt;
}

std::vector<ManifestEntry> parseManifest(std::string_view text, const std::string& folder) {
    std::vector<ManifestEntry> entries;
    bool first = true;
    CsvReader reader(text);
    for (Record r; reader.next(r);) {
        if (blankRecord(r)) {
            continue;
        }
        if (first) {
            first = false;
            if (isHeading(r, folder)) {
                continue;
            }
        }
        entries.push_back(entryOf(std::move(r), folder));
    }
    return entries;
}

std::string BuildingResult::status() const {
    if (!messages.empty()) {
        return messages.front().title + ": " + messages.front().text;
    }
    return outcome ? "ok" : "Error: The savings calculation did not finish";
}

BuildingResult runBuilding(const ManifestEntry& entry, const PreparedWeather* weather) {
    BuildingResult result;
    if (!entry.problem.empty()) {
        result.messages.push_back({std::string(kManifestTitle), entry.problem});
        return result;
    }
    Session session;
    RecordingUi ui;
    NullCanvas graph;
    StatusText status;
    ScriptedDialogs dialogs;
    NoHelp help;
    BatchHost host;
    Services services{ui, graph, status, dialogs, help, host, weather};
    dialogs.choose(entry.energyPath);
    runCommand(session, services, CommandId::OpenEnergyCmd);
    dialogs.choose(entry.weatherPath);
    runCommand(session, services, CommandId::OpenWeatherCmd);
    runCommand(session, services, entry.command);
    result.messages = std::move(ui.messages);
    result.outcome = std::move(session.lastSavings);
    return result;
}

std::vector<BuildingResult> runPortfolio(const std::vector<ManifestEntry>& entries,
                                         const PortfolioOptions& options) {
    const long total = static_cast<long>(entries.size());
    std::vector<BuildingResult> results(entries.size());

    // One slot per weather file; lines with a problem read none.
    std::vector<std::unique_ptr<WeatherSlot>> slots;
    std::vector<long> slotOf(entries.size(), -1);
    {
        std::unordered_map<std::string, long> byPath;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!entries[i].problem.empty()) {
                continue;
            }
            const auto [it, added] =
                byPath.try_emplace(entries[i].weatherPath, static_cast<long>(slots.size()));
            if (added) {
                slots.push_back(std::make_unique<WeatherSlot>());
                slots.back()->path = entries[i].weatherPath;
            }
            slotOf[i] = it->second;
            slots[static_cast<std::size_t>(it->second)]->users.fetch_add(1);
        }
    }

    // Units of work: the lines of one table file, in manifest order.
    std::vector<std::vector<std::size_t>> units;
    {
        std::unordered_map<std::string, std::size_t> byTable;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!entries[i].problem.empty()) {
                units.push_back({i});
                continue;
            }
            const auto [it, added] = byTable.try_emplace(buildingKey(entries[i]), units.size());
            if (added) {
                units.emplace_back();
            }
            units[it->second].push_back(i);
        }
    }

    std::atomic<std::size_t> next{0};
    std::atomic<long> done{0};
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t finishedWorkers = 0;

    auto work = [&] {
        while (true) {
            const std::size_t u = next.fetch_add(1, std::memory_order_relaxed);
            if (u >= units.size()) {
                break;
            }
            for (const std::size_t i : units[u]) {
                WeatherSlot* slot =
                    slotOf[i] < 0 ? nullptr : slots[static_cast<std::size_t>(slotOf[i])].get();
                try {
                    const PreparedWeather* weather =
                        slot != nullptr ? slot->acquire(options.weatherRead) : nullptr;
                    results[i] = runBuilding(entries[i], weather);
                } catch (const std::exception& e) {
                    results[i] = BuildingResult{};
                    results[i].messages.push_back({"Error", quotedDescription(e)});
                }
                if (slot != nullptr) {
                    slot->release();
                }
                done.fetch_add(1, std::memory_order_relaxed);
            }
        }
        const std::lock_guard lock(mutex);
        ++finishedWorkers;
        finished.notify_all();
    };

    // Workers take units in turn until none is left, so fewer threads than asked for (the
    // system may refuse some) still run every building; with none, the calling thread does.
    const std::size_t threads =
        std::max<std::size_t>(1, std::min<std::size_t>(options.threads, units.size()));
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (std::size_t t = 0; t < threads; ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    if (pool.empty()) {
        work();
    }
    {
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, options.progressInterval,
                                  [&] { return finishedWorkers >= pool.size(); })) {
            if (options.progress) {
                lock.unlock();
                options.progress(done.load(std::memory_order_relaxed), total);
                lock.lock();
            }
        }
    }
    for (std::thread& t : pool) {
        t.join();
    }
    if (options.progress) {
        options.progress(done.load(), total);
    }
    return results;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
    return out;
}

std::string summaryText(const std::vector<ManifestEntry>& entries,
                        const std::vector<BuildingResult>& results) {
    std::string text =
        "energy file,quantity,model,N,R2,CV-RMSE,Xcp1,Xcp2,Ycp,LS,RS,savings,uncertainty,"
        "percent,days,status\r\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ManifestEntry& e = entries[i];
        const BuildingResult& r = results.at(i);
        text += csvField(e.energy);
        text += ',';
        text += csvField(e.quantity);
        if (r.outcome) {
            const ChangePointModel& m = r.outcome->model;
            const SavingsTotals& t = r.outcome->totals;
            auto number = [&](double v) {
                text += ',';
                text += plainNumberText(v);
            };
            text += ',';
            text += m.type;
            number(static_cast<double>(r.outcome->n));
            number(m.R2);
            number(m.CV);
            text += ',';
            if (m.fiveParameter()) {
                text += plainNumberText(m.Xcp1);
            }
            number(m.Xcp2);
            number(m.Ycp());
            number(m.LS());
            number(m.RS());
            number(t.S);
            number(t.U);
            number(t.P);
            number(t.D);
        } else {
            text += ",,,,,,,,,,,,,";
        }
        text += ',';
        text += csvField(r.status());
        text += "\r\n";
    }
    return text;
}

std::string progressLine(long done, long total, double seconds) {
    constexpr long kWidth = 30;
    const long filled = total > 0 ? std::min(kWidth, done * kWidth / total) : kWidth;
    std::string line = "[";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kWidth - filled), '.');
    line += "] ";
    line += std::to_string(done) + "/" + std::to_string(total) + " buildings";
    if (done > 0 && seconds > 0) {
        const double rate = static_cast<double>(done) / seconds;
        line += "  " + formatNumber(rate, "#,##0") + "/s  ";
        line += done < total ? clockText(static_cast<double>(total - done) / rate) + " left"
                             : "took " + clockText(seconds);
    }
    return line;
}

std::string portfolioUsage() {
    return "usage: ombrix-batch portfolio [--threads N] [--no-progress] MANIFEST SUMMARY\n"
           "Calculates the savings of every building of MANIFEST, a CSV file with one\n"
           "building a line: energy file, weather file, quantity (elec-use, elec-demand or\n"
           "thermal-use); files are relative to the manifest's folder; a heading line is\n"
           "allowed. Each line does what open-energy, open-weather and its calc-...-savings\n"
           "word do, writing the same report and table files. SUMMARY gets a heading and\n"
           "one CSV line per building, in manifest order: energy file, quantity, model, N,\n"
           "R2, CV-RMSE, Xcp1, Xcp2, Ycp, LS, RS, savings, uncertainty, percent, days,\n"
           "status (ok, or the building's first message as TITLE: TEXT).\n"
           "\n"
           "  --threads N                       run N buildings at a time (default: one per\n"
           "                                    core); the results are the same\n"
           "  --no-progress                     no progress line (shown on standard error\n"
           "                                    only when it is a terminal)\n"
           "\n"
           "Messages go to standard error as MANIFEST:LINE: TITLE: TEXT. Exit status: 0, 1\n"
           "when any building failed, 2 for a usage error or a manifest or summary that\n"
           "cannot be read or written.\n";
}

int runPortfolioCommand(const std::vector<std::string>& args, std::ostream& err,
                        bool showProgress) {
    unsigned threads = std::max(1U, std::thread::hardware_concurrency());
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--threads") {
            if (i + 1 >= args.size() || !parseThreads(args[i + 1], threads)) {
                err << "ombrix-batch: --threads needs a whole number from 1 to 4096\n"
                    << portfolioUsage();
                return 2;
            }
            ++i;
        } else if (a == "--no-progress") {
            showProgress = false;
        } else if (a.size() > 1 && a.front() == '-') {
            err << "ombrix-batch: unknown option \"" << a << "\"\n" << portfolioUsage();
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) {
        err << "ombrix-batch: portfolio needs a manifest and a summary file\n" << portfolioUsage();
        return 2;
    }
    const std::string& manifest = files[0];
    const std::string& summary = files[1];

    std::vector<ManifestEntry> entries;
    try {
        const auto slash = manifest.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : manifest.substr(0, slash + 1);
        entries = parseManifest(readManifest(manifest), folder);
    } catch (const std::exception& e) {
        err << "ombrix-batch: " << describeFailure(e) << '\n';
        return 2;
    }
    if (entries.empty()) {
        err << "ombrix-batch: the manifest " << manifest << " names no building\n";
        return 2;
    }
    if (const auto clash = summaryClash(summary, manifest, entries)) {
        err << "ombrix-batch: the summary " << summary << " would overwrite " << *clash << '\n';
        return 2;
    }

    PortfolioOptions options;
    options.threads = threads;
    const auto start = std::chrono::steady_clock::now();
    if (showProgress) {
        options.progress = [&](long done, long total) {
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            err << '\r' << progressLine(done, total, elapsed.count()) << "\x1b[K";
            err.flush();
        };
    }
    const std::vector<BuildingResult> results = runPortfolio(entries, options);
    if (showProgress) {
        err << '\n';
    }

    bool anyFailed = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (results[i].ok()) {
            continue;
        }
        anyFailed = true;
        for (const Message& m : results[i].messages) {
            err << manifest << ':' << entries[i].line << ": " << m.title << ": " << m.text << '\n';
        }
        if (results[i].messages.empty()) {
            err << manifest << ':' << entries[i].line << ": " << results[i].status() << '\n';
        }
    }
    try {
        writeFileReplacing(summary, summaryText(entries, results), Sync::None);
    } catch (const std::exception& e) {
        err << "ombrix-batch: " << describeFailure(e) << '\n';
        return 2;
    }
    return anyFailed ? 1 : 0;
}

}  // namespace ombrix
