// Linux host, terminal: creating sparse disk images (POSIX calls live here).
#include "platform/linux/terminal/image_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace tolven::linux_host {

namespace {

std::string Reason(const std::string& what, const std::string& path, int error) {
    return what + " '" + path + "': " + std::strerror(error);
}

}  // namespace

std::string PrepareImageFile(const std::string& path, std::optional<uint64_t> sizeBytes, bool mayCreate) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            return Reason("cannot use", path, EISDIR);
        }
        if (sizeBytes && S_ISREG(status.st_mode) && static_cast<uint64_t>(status.st_size) != *sizeBytes) {
            // An existing image is never resized: a size that differs is a mistake to report.
            return "'" + path + "' exists with " + std::to_string(status.st_size) + " bytes, not the " +
                   std::to_string(*sizeBytes) + " bytes that --size gives";
        }
        return {};
    }
    if (errno != ENOENT) {
        return Reason("cannot open", path, errno);
    }
    if (!sizeBytes) {
        return "cannot open '" + path + "': " + std::strerror(ENOENT) + " (give --size to create it)";
    }
    if (!mayCreate) {
        return "cannot open '" + path + "': " + std::strerror(ENOENT) +
               " (--list and --dry-run create nothing)";
    }
    if (*sizeBytes > static_cast<uint64_t>(INT64_MAX)) {
        return Reason("cannot create", path, EFBIG);
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return Reason("cannot create", path, errno);
    }
    // A sparse file: only its length is set, no block is written.
    if (::ftruncate(fd, static_cast<off_t>(*sizeBytes)) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.c_str());
        return Reason("cannot create", path, error);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        return Reason("cannot create", path, error);
    }
    return {};
}

bool StandardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

}  // namespace tolven::linux_host
