#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Errors.h"
#include "platform/FileRead.h"
#include "support/Fakes.h"

using ombrix::kMaxFileBytes;
using ombrix::OmbrixError;
using ombrix::readRegularFile;
using ombrix::test::TempDir;

namespace {

std::string failure(const std::string& path) {
    try {
        readRegularFile(path);
    } catch (const OmbrixError& e) {
        return e.what();
    }
    return "no failure";
}

long openDescriptors() {
    long n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
        ++n;
    }
    return n;
}

}  // namespace

TEST(FileRead, ReadsEveryByteOfARegularFile) {
    TempDir dir;
    std::string bytes(200'000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 % 256);
    }
    EXPECT_EQ(readRegularFile(dir.write("binary.dat", bytes).string()), bytes);
    EXPECT_EQ(readRegularFile(dir.write("empty.dat", "").string()), "");
}

TEST(FileRead, PipesDevicesAndFoldersAreRefusedBeforeAnyRead) {
    TempDir dir;
    const std::string pipe = (dir.path() / "pipe.utl").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const long before = openDescriptors();
    // A pipe without a writer would block the read for ever; /dev/zero would never end.
    EXPECT_EQ(failure(pipe), "Not a file: " + pipe);
    EXPECT_EQ(failure("/dev/zero"), "Not a file: /dev/zero");
    EXPECT_EQ(failure(dir.path().string()), "Not a file: " + dir.path().string());
    const std::string gone = (dir.path() / "gone.utl").string();
    EXPECT_EQ(failure(gone), "File not found: " + gone);
    EXPECT_EQ(failure(gone + "/x"), "File not found: " + gone + "/x");
    EXPECT_EQ(openDescriptors(), before);
}

TEST(FileRead, AFileBeyondTheLimitIsRefusedWithoutReadingIt) {
    TempDir dir;
    const auto path = dir.path() / "huge.wea";
    { std::ofstream f(path); }
    // A sparse file: as large as it says, without taking the disk space.
    std::filesystem::resize_file(path, kMaxFileBytes + 1);
    EXPECT_EQ(failure(path.string()),
              "File too large: " + path.string() + " has more than 1024 MB");
}

TEST(FileRead, UnreadableFileIsPermissionDenied) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "file permissions do not bind the superuser (CI runs this as nobody)";
    }
    TempDir dir;
    const auto path = dir.write("locked.utl", "1,2,3\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::none);
    EXPECT_EQ(failure(path.string()), "Permission denied: " + path.string());
}
