#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "platform/Errors.h"
#include "platform/SafeFile.h"
#include "support/Fakes.h"

using ombrix::Sync;
using ombrix::writeFileReplacing;
using ombrix::test::readFile;
using ombrix::test::TempDir;

TEST(SafeFile, ReplacesContentAndKeepsPermissions) {
    TempDir dir;
    const auto target = dir.write("report.kwh", "old\r\n");
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    writeFileReplacing(target.string(), "new\r\n", Sync::None);
    EXPECT_EQ(readFile(target), "new\r\n");
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
    writeFileReplacing((dir.path() / "fresh.txt").string(), "x", Sync::ToDisk);
    EXPECT_EQ(readFile(dir.path() / "fresh.txt"), "x");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 2u);  // no temporary file left
}

TEST(SafeFile, FailuresSayWhichFileAndWhy) {
    TempDir dir;
    const std::string missing = (dir.path() / "gone" / "a.kwh").string();
    try {
        writeFileReplacing(missing, "x", Sync::None);
        FAIL();
    } catch (const ombrix::OmbrixError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file " + missing + ": No such file or directory");
    }
    std::filesystem::create_directory(dir.path() / "table.dat");
    EXPECT_THROW(writeFileReplacing((dir.path() / "table.dat").string(), "x", Sync::None),
                 ombrix::OmbrixError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "table.dat"));
    EXPECT_THROW(writeFileReplacing("", "x", Sync::None), ombrix::OmbrixError);
}

TEST(SafeFile, FileSizeLimitFailsTheWriteInsteadOfEndingTheProgram) {
    TempDir dir;
    const auto target = dir.write("report.kwh", "old\r\n");
    // The default action of the signal a write past the limit raises ends the process: this
    // test would crash if the write did not keep it from doing so.
    std::signal(SIGXFSZ, SIG_DFL);
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string error;
    try {
        writeFileReplacing(target.string(), std::string(5000, 'x'), Sync::None);
    } catch (const ombrix::OmbrixError& e) {
        error = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(error, "Cannot write file " + target.string() + ": File too large");
    EXPECT_EQ(readFile(target), "old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(SafeFile, ALinkKeepsLeadingToTheFileThatGetsTheNewContent) {
    TempDir dir;
    const auto real = dir.write("data/bldg.utl", "old\r\n");
    const auto link = dir.path() / "bldg.utl";
    std::filesystem::create_symlink(real, link);
    writeFileReplacing(link.string(), "new\r\n", Sync::ToDisk);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(real), "new\r\n");
    // A link that leads nowhere is replaced by the file.
    const auto dangling = dir.path() / "gone.kwh";
    std::filesystem::create_symlink(dir.path() / "nowhere" / "x.kwh", dangling);
    writeFileReplacing(dangling.string(), "report\r\n", Sync::None);
    EXPECT_FALSE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(readFile(dangling), "report\r\n");
}
