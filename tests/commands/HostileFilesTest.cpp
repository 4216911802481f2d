// Hostile files: binary data, a 200 MB line, millions of columns, a file that is gone, replaced
// or unreadable when it is read, a read-only folder and a full disk for the report files. Each
// ends in one clear message, keeps what was loaded and what is on disk, and later commands run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "commands/Dispatch.h"
#include "support/Fakes.h"

using ombrix::CommandId;
using ombrix::runCommand;
using ombrix::test::Box;
using ombrix::test::Harness;
using ombrix::test::readFile;
using ombrix::test::TempDir;
namespace fs = std::filesystem;

namespace {

const std::string kUseReportStart = "Pre-retrofit model: 4P   N =  23 ";

struct HostileFiles : ::testing::Test {
    TempDir dir;
    Harness h;
    ombrix::DataState& d = h.session.data;

    // Copies of the example office and its weather, loaded and merged.
    void loadOffice() {
        fs::copy_file(ombrix::test::sourceDir() / "examples" / "office.utl",
                      dir.path() / "office.utl");
        fs::copy_file(ombrix::test::sourceDir() / "examples" / "gainesville.wea",
                      dir.path() / "gainesville.wea");
        open(CommandId::OpenEnergyCmd, dir.path() / "office.utl");
        open(CommandId::OpenWeatherCmd, dir.path() / "gainesville.wea");
        ASSERT_TRUE(h.ui.boxes.empty());
        ASSERT_EQ(d.DataRows, 36);
    }
    void open(CommandId command, const fs::path& path) {
        h.dialogs.choose(path);
        runCommand(h.session, h.services, command);
    }
    // The office is still loaded and merged, and a savings calculation still works.
    void expectOfficeStillWorks() {
        EXPECT_EQ(d.EnergyFile, "office.utl");
        EXPECT_EQ(d.EnergyLastRow, 36);
        EXPECT_EQ(d.DataRows, 36);
        const std::size_t boxes = h.ui.boxes.size();
        runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
        EXPECT_EQ(h.ui.boxes.size(), boxes);
        ASSERT_EQ(h.status.lines().size(), 3u);
        EXPECT_EQ(h.status.lines()[0].rfind(kUseReportStart, 0), 0u) << h.status.lines()[0];
        EXPECT_FALSE(h.ui.busy);
        EXPECT_FALSE(h.ui.progressVisible);
    }
    std::string quoted(const std::string& text) { return "\"" + text + "\""; }
};

// Runs a scope with the file-size limit set to bytes (a full disk for every file written then);
// the signal that would end the program is ignored, so writes fail with EFBIG instead.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = m_old;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    struct rlimit m_old {};
    sighandler_t m_oldHandler = SIG_DFL;
};

std::string upper(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_F(HostileFiles, BinaryDataEndsInAClearMessageAndKeepsTheLoadedFiles) {
    loadOffice();
    // Bytes of a picture or a program: no line starts with a digit.
    std::string binary = "\x89PNG\r\n\x1a\n";
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>(i % 3 == 0 ? 0 : 0x80 + i % 128);
    }
    open(CommandId::OpenEnergyCmd, dir.write("picture.utl", binary));
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{
                  {"Error", quoted("No data lines in " + (dir.path() / "picture.utl").string())}}));
    expectOfficeStillWorks();
    const std::vector<std::string> report = h.status.lines();

    // Numbers without dates as weather: the merge says what is missing.
    h.ui.boxes.clear();
    open(CommandId::OpenWeatherCmd, dir.write("one-column.wea", "5\r\n6\r\n"));
    ASSERT_FALSE(h.ui.boxes.empty());
    EXPECT_EQ(h.ui.boxes[0],
              (Box{"Error", quoted("The weather file has 1 columns; 4 are needed to merge it with "
                                   "energy data")}));

    // Random bytes as weather, many times over: whatever they hold, each command ends in at
    // most the reader's, the merge's and the graph's box, and the good weather loaded again
    // gives the same report.
    std::mt19937 rng(2024);
    for (int round = 0; round < 20; ++round) {
        std::string noise(64 * 1024, '\0');
        for (char& c : noise) {
            c = static_cast<char>(rng());
        }
        // Some rounds look almost like data: digits and separators among the noise.
        if (round % 2 == 1) {
            for (std::size_t i = 0; i < noise.size(); i += 3) {
                noise[i] = "0123456789,\n -"[rng() % 15];
            }
        }
        const std::size_t before = h.ui.boxes.size();
        open(CommandId::OpenWeatherCmd, dir.write("noise.wea", noise));
        EXPECT_LE(h.ui.boxes.size(), before + 3);
        for (std::size_t b = before; b < h.ui.boxes.size(); ++b) {
            EXPECT_EQ(h.ui.boxes[b].title, "Error");
        }
        EXPECT_LE(d.DataRows, d.DataTable.lastRow());
        runCommand(h.session, h.services, CommandId::ViewElecUsevsWeaCmd);
        runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
        EXPECT_FALSE(h.ui.busy);
        EXPECT_FALSE(h.ui.progressVisible);
    }
    open(CommandId::OpenWeatherCmd, dir.path() / "gainesville.wea");
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    EXPECT_EQ(h.status.lines(), report);
}

TEST_F(HostileFiles, LineOf200MegabytesIsSkippedAsAHeadingOrRefusedAsANumber) {
    loadOffice();
    const std::string office = readFile(dir.path() / "office.utl");
    const std::string longLine(200 * 1024 * 1024, '7');
    {
        // A heading of 200 MB before the data: skipped like any heading.
        std::ofstream f(dir.path() / "heading.utl", std::ios::binary);
        f << "Note " << longLine << "\r\n" << office;
    }
    open(CommandId::OpenEnergyCmd, dir.path() / "heading.utl");
    EXPECT_TRUE(h.ui.boxes.empty());
    EXPECT_EQ(d.EnergyFile, "heading.utl");
    EXPECT_EQ(d.DataRows, 36);
    {
        // A data line of 200 MB of digits: one number far beyond a double.
        std::ofstream f(dir.path() / "digits.utl", std::ios::binary);
        f << longLine << "\r\n" << office;
    }
    open(CommandId::OpenEnergyCmd, dir.path() / "office.utl");
    open(CommandId::OpenEnergyCmd, dir.path() / "digits.utl");
    EXPECT_EQ(
        h.ui.boxes,
        (std::vector<Box>{{"Error", quoted("Number too large: " + std::string(40, '7') + "...")}}));
    expectOfficeStillWorks();
}

TEST_F(HostileFiles, MillionsOfColumnsEndInAClearMessage) {
    loadOffice();
    std::string wide;
    for (int i = 0; i < 3'000'000; ++i) {
        wide += "1,";
    }
    // A first line of three million columns makes a table too large to hold.
    std::string tooWide = wide + "\r\n";
    for (int i = 0; i < 30; ++i) {
        tooWide += "1,15,2001\r\n";
    }
    open(CommandId::OpenEnergyCmd, dir.write("wide.utl", tooWide));
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{{"Error", quoted("Table too large: 31 rows by 3000000 columns")}}));
    expectOfficeStillWorks();

    // A later line of three million columns ends the read at that line, with its message.
    h.ui.boxes.clear();
    open(CommandId::OpenWeatherCmd,
         dir.write("later.wea", "1,1,2008,50\r\n1,2,2008,51\r\n" + wide + "\r\n1,4,2008,52\r\n"));
    ASSERT_FALSE(h.ui.boxes.empty());
    EXPECT_EQ(h.ui.boxes[0], (Box{"Error", "Incorrect number of columns in line 3 of " +
                                               upper((dir.path() / "later.wea").string()) + "."}));
    open(CommandId::OpenWeatherCmd, dir.path() / "gainesville.wea");
    h.ui.boxes.clear();
    expectOfficeStillWorks();
}

TEST_F(HostileFiles, FileReplacedBetweenTheChoiceAndTheReadIsRefused) {
    loadOffice();
    const fs::path path = dir.write("bills.utl", readFile(dir.path() / "office.utl"));
    // Gone.
    fs::remove(path);
    open(CommandId::OpenEnergyCmd, path);
    // Replaced by a named pipe that nobody writes to: refused at once instead of waiting.
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    open(CommandId::OpenEnergyCmd, path);
    // Replaced by a folder.
    fs::remove(path);
    fs::create_directory(path);
    open(CommandId::OpenEnergyCmd, path);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", quoted("File not found: " + path.string())},
                                            {"Error", quoted("Not a file: " + path.string())},
                                            {"Error", quoted("Not a file: " + path.string())}}));
    h.ui.boxes.clear();
    expectOfficeStillWorks();
}

TEST_F(HostileFiles, UnreadableFileIsPermissionDenied) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "file permissions do not bind the superuser (CI runs this as nobody)";
    }
    loadOffice();
    const fs::path path = dir.write("locked.wea", readFile(dir.path() / "gainesville.wea"));
    fs::permissions(path, fs::perms::none);
    open(CommandId::OpenWeatherCmd, path);
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{{"Error", quoted("Permission denied: " + path.string())}}));
    h.ui.boxes.clear();
    expectOfficeStillWorks();
}

TEST_F(HostileFiles, ReadOnlyFolderKeepsTheOldReportsAndTheSession) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "folder permissions do not bind the superuser (CI runs this as nobody)";
    }
    loadOffice();
    dir.write("office.kwh", "old report\r\n");
    dir.write("office.dat", "old table\r\n");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", quoted("Cannot create file " +
                                                             (dir.path() / "office.kwh").string() +
                                                             ": Permission denied")}}));
    EXPECT_EQ(readFile(dir.path() / "office.kwh"), "old report\r\n");
    EXPECT_EQ(readFile(dir.path() / "office.dat"), "old table\r\n");
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"gainesville.wea", "office.dat",
                                                             "office.kwh", "office.utl"}));
    // Once the folder can be written again, the same command writes both files.
    h.ui.boxes.clear();
    expectOfficeStillWorks();
    EXPECT_EQ(readFile(dir.path() / "office.kwh").rfind(kUseReportStart, 0), 0u);
}

TEST_F(HostileFiles, FullDiskKeepsTheOldReportFiles) {
    loadOffice();
    dir.write("office.kwh", "old report\r\n");
    dir.write("office.dat", "old table\r\n");
    {
        // Room for the report (about 300 bytes) but not for the table (about 5 KB).
        FileSizeLimit limit(1000);
        runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    }
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", quoted("Cannot write file " +
                                                             (dir.path() / "office.dat").string() +
                                                             ": File too large")}}));
    EXPECT_EQ(readFile(dir.path() / "office.kwh").rfind(kUseReportStart, 0), 0u);
    EXPECT_EQ(readFile(dir.path() / "office.dat"), "old table\r\n");
    dir.write("office.kwh", "old report\r\n");
    {
        // No room even for the report.
        FileSizeLimit limit(10);
        runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    }
    ASSERT_EQ(h.ui.boxes.size(), 2u);
    EXPECT_EQ(
        h.ui.boxes[1].text,
        quoted("Cannot write file " + (dir.path() / "office.kwh").string() + ": File too large"));
    EXPECT_EQ(readFile(dir.path() / "office.kwh"), "old report\r\n");
    EXPECT_EQ(readFile(dir.path() / "office.dat"), "old table\r\n");
    // No temporary file is left behind.
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"gainesville.wea", "office.dat",
                                                             "office.kwh", "office.utl"}));
    h.ui.boxes.clear();
    expectOfficeStillWorks();
}
