#include "platform/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/Errors.h"

namespace ombrix {
namespace {

// Closes a file descriptor on every path.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

std::string openFailure(const std::string& path, int error) {
    const std::error_code ec(error, std::generic_category());
    if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) {
        return "File not found: " + path;
    }
    if (ec == std::errc::permission_denied) {
        return "Permission denied: " + path;
    }
    return "Cannot open " + path + ": " + ec.message();
}

[[noreturn]] void readFailure(const std::string& path, int error) {
    throw OmbrixError("Cannot read " + path + ": " +
                      std::error_code(error, std::generic_category()).message());
}

[[noreturn]] void tooLargeFile(const std::string& path) {
    throw OmbrixError("File too large: " + path + " has more than " +
                      std::to_string(kMaxFileBytes / (1024 * 1024)) + " MB");
}

}  // namespace

std::string readRegularFile(const std::string& path) {
    // Opening without blocking keeps a named pipe without a writer from hanging the program.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        throw OmbrixError(openFailure(path, errno));
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        readFailure(path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw OmbrixError("Not a file: " + path);
    }
    if (info.st_size > static_cast<off_t>(kMaxFileBytes)) {
        tooLargeFile(path);
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[1 << 16];
    while (true) {
        const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            readFailure(path, errno);
        }
        if (n == 0) {
            break;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > kMaxFileBytes) {
            tooLargeFile(path);  // it grew while being read
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes;
}

}  // namespace ombrix
