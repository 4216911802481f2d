// File modes of replaced files, also when many threads write at once, and file identities.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/SafeFile.h"
#include "support/Fakes.h"

using ombrix::fileIdentity;
using ombrix::Sync;
using ombrix::writeFileReplacing;
using ombrix::test::readFile;
using ombrix::test::TempDir;
namespace fs = std::filesystem;

namespace {

// Sets the process's file-creation mask for a test and puts the old one back.
class Mask {
  public:
    explicit Mask(mode_t mask) : m_old(::umask(mask)) {}
    ~Mask() { ::umask(m_old); }
    Mask(const Mask&) = delete;
    Mask& operator=(const Mask&) = delete;

  private:
    mode_t m_old;
};

mode_t currentMask() {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
}

fs::perms permsOf(const fs::path& p) {
    return fs::status(p).permissions();
}

TEST(SafeFileModes, ReplacedFilesKeepModesTheMaskWouldCut) {
    const Mask mask(022);
    TempDir dir;
    const auto open = dir.write("open.kwh", "old");
    fs::permissions(open, fs::perms(0666));
    writeFileReplacing(open.string(), "new", Sync::None);
    EXPECT_EQ(permsOf(open), fs::perms(0666));
    const auto readOnly = dir.write("locked.dat", "old");
    fs::permissions(readOnly, fs::perms(0444));
    writeFileReplacing(readOnly.string(), "new", Sync::None);
    EXPECT_EQ(readFile(readOnly), "new");
    EXPECT_EQ(permsOf(readOnly), fs::perms(0444));
    writeFileReplacing((dir.path() / "new.thm").string(), "x", Sync::None);
    EXPECT_EQ(permsOf(dir.path() / "new.thm"), fs::perms(0644));
}

// Writers on many threads at once: every new file gets the mode the mask allows, and the mask
// itself is left as it was.
TEST(SafeFileModes, ConcurrentWritersNeverLoosenTheMask) {
    const Mask mask(027);
    TempDir dir;
    std::vector<std::thread> writers;
    for (int t = 0; t < 8; ++t) {
        writers.emplace_back([&dir, t] {
            for (int i = 0; i < 1000; ++i) {
                const auto p = dir.path() / ("f" + std::to_string(t) + "-" + std::to_string(i));
                writeFileReplacing(p.string(), "x", Sync::None);
            }
        });
    }
    for (auto& w : writers) {
        w.join();
    }
    EXPECT_EQ(currentMask(), 027);
    int files = 0;
    int loose = 0;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        ++files;
        loose += e.status().permissions() != fs::perms(0640) ? 1 : 0;
    }
    EXPECT_EQ(files, 8 * 1000);
    EXPECT_EQ(loose, 0) << "files with other modes than the mask allows";
}

TEST(SafeFileModes, IdentityTellsFilesApartWhateverTheirNames) {
    TempDir dir;
    const auto a = dir.write("a.utl", "1");
    const auto b = dir.write("b.utl", "1");
    fs::create_symlink(a, dir.path() / "link.utl");
    ASSERT_TRUE(fileIdentity(a.string()));
    EXPECT_EQ(fileIdentity(a.string()), fileIdentity((dir.path() / "link.utl").string()));
    EXPECT_EQ(fileIdentity(a.string()), fileIdentity((dir.path() / "." / "a.utl").string()));
    EXPECT_NE(fileIdentity(a.string()), fileIdentity(b.string()));
    EXPECT_FALSE(fileIdentity((dir.path() / "none").string()));
}

}  // namespace
