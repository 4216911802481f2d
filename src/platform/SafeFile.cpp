#include "platform/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Errors.h"

namespace ombrix {
namespace {

[[noreturn]] void fail(const std::string& path, int error) {
    throw OmbrixError("Cannot write file " + path + ": " + std::strerror(error));
}

}  // namespace

void writeFileReplacing(const std::string& path, std::string_view bytes, Sync sync) {
    if (path.empty()) {
        throw OmbrixError("Cannot write a file without a name");
    }
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        throw OmbrixError("Cannot write file " + path + ": it is a folder");
    }
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
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
    if (::rename(tempPath.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(tempPath.c_str());
        fail(path, error);
    }
}

}  // namespace ombrix
