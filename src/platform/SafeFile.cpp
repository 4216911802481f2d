#include "platform/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Errors.h"

namespace ombrix {
namespace {

[[noreturn]] void fail(const std::string& path, int error) {
    throw OmbrixError("Cannot write file " + path + ": " + std::strerror(error));
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
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = (slash == std::string::npos ? "" : folder) + "." + name + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        throw OmbrixError("Cannot create file " + path + ": " + std::strerror(errno));
    }
    const std::string tempPath(temp.data());
    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        fail(path, error);
    };
    const mode_t mode = exists ? (existing.st_mode & 07777) : 0666 & ~[] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
    }();
    if (::fchmod(fd, mode) != 0) {
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

}  // namespace ombrix
