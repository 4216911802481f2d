#include "platform/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <system_error>

#include "platform/Errors.h"

namespace ombrix {
namespace {

std::string describeErrno(int error) {
    return std::error_code(error, std::generic_category()).message();
}

[[noreturn]] void fail(const std::string& path, int error) {
    throw OmbrixError("Cannot write file " + path + ": " + describeErrno(error));
}

// The process's file-creation mask. Reading it means setting it, so it is read once, before any
// file of ours is written; reading it for every file would let two threads writing at the same
// time leave the mask at 0 for good.
mode_t creationMask() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

// Creates a new file beside the target, named "." + name + "." + six random letters, with the
// given mode; returns its descriptor and sets tempPath, or -1 with errno set.
int createTemporary(const std::string& stem, mode_t mode, std::string& tempPath) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 rng{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem;
        std::uint64_t bits = rng();
        for (int k = 0; k < 6; ++k) {
            tempPath += kLetters[bits % 62];
            bits /= 62;
        }
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// The file a path names: a symbolic link is followed, so the file it leads to is replaced and
// the link stays; a path that is no link, or a link that leads nowhere, is itself.
std::string resolvedTarget(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
        return path;
    }
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return path;
    }
    std::string out(real);
    std::free(real);
    return out;
}

}  // namespace

void keepRunningPastFileSizeLimit() {
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        std::signal(SIGXFSZ, SIG_IGN);
    }
}

void writeFileReplacing(const std::string& path, std::string_view bytes, Sync sync) {
    if (path.empty()) {
        throw OmbrixError("Cannot write a file without a name");
    }
    keepRunningPastFileSizeLimit();
    // Messages name the file as the user chose it; the work happens where it really lives.
    const std::string target = resolvedTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        throw OmbrixError("Cannot write file " + path + ": it is a folder");
    }
    const auto slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string stem =
        (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "." + name +
        ".";
    // A new file gets what the mask leaves of read and write for all; a replaced one keeps its
    // permissions. The temporary file is created with them, and only a mode the mask would cut
    // is set again.
    const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~creationMask());
    std::string tempPath;
    const int fd = createTemporary(stem, mode, tempPath);
    if (fd < 0) {
        throw OmbrixError("Cannot create file " + path + ": " + describeErrno(errno));
    }
    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        fail(path, error);
    };
    if ((mode & ~creationMask()) != mode && ::fchmod(fd, mode) != 0) {
        abandon(errno);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            abandon(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (sync == Sync::ToDisk && ::fsync(fd) != 0) {
        abandon(errno);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(tempPath.c_str());
        fail(path, error);
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(tempPath.c_str());
        fail(path, error);
    }
}

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<unsigned long long>(info.st_dev),
                        static_cast<unsigned long long>(info.st_ino)};
}

}  // namespace ombrix
