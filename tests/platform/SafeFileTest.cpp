#include <gtest/gtest.h>
#include <sys/stat.h>

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
