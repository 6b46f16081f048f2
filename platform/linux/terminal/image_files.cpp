// Linux host, terminal: checking and creating sparse disk images (POSIX calls live here).
#include "platform/linux/terminal/image_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/linux/terminal/run_signals.h"

namespace tolven::linux_host {

namespace {

Status Reason(const std::string& what, const std::string& path, int error) {
    return Status::FromErrno(error, what + " '" + path + "'");
}

std::string LinkTarget(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

ImageFilePlan Problem(Status status) {
    return ImageFilePlan{std::move(status), false};
}

ImageFilePlan Problem(std::string text) {
    return Problem(Status::Refusal(std::move(text)));
}

}  // namespace

ImageFilePlan PlanImageFile(const std::string& path, std::optional<uint64_t> sizeBytes, bool mayCreate) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            return Problem(Reason("cannot use", path, EISDIR));
        }
        if (sizeBytes && S_ISREG(status.st_mode) && static_cast<uint64_t>(status.st_size) != *sizeBytes) {
            // An existing image is never resized: a size that differs is a mistake to report.
            return Problem("'" + path + "' exists with " + std::to_string(status.st_size) +
                           " bytes, not the " + std::to_string(*sizeBytes) + " bytes that --size gives");
        }
        return {};
    }
    if (errno != ENOENT) {
        return Problem(Reason("cannot open", path, errno));
    }
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // An image is never created through a symbolic link: the link may point anywhere.
        return Problem("cannot use '" + path + "': it is a symbolic link to '" + LinkTarget(path) +
                       "', which does not exist; create that file, or name a new image's own path");
    }
    if (!sizeBytes || !mayCreate) {
        Status missing = Reason("cannot open", path, ENOENT);
        missing.message +=
            !sizeBytes ? " (give --size to create it)" : " (--list and --dry-run create nothing)";
        return Problem(std::move(missing));
    }
    if (*sizeBytes > static_cast<uint64_t>(INT64_MAX)) {
        return Problem(Reason("cannot create", path, EFBIG));
    }
    return ImageFilePlan{{}, true};
}

Status CreatedImages::Create(const std::string& path, uint64_t sizeBytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        return Reason("cannot create", path, errno);
    }
    struct stat status {};
    int error = ::fstat(fd, &status) == 0 ? 0 : errno;
    // A sparse file: only its length is set, no block is written.
    if (error == 0 && ::ftruncate(fd, static_cast<off_t>(sizeBytes)) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(path.c_str());
        return Reason("cannot create", path, error);
    }
    created_.push_back(Created{path, status.st_dev, status.st_ino});
    RemoveOnEarlyExit(path, status.st_dev, status.st_ino);  // a signal before the format, too
    return {};
}

void CreatedImages::Keep() {
    created_.clear();
    KeepOnEarlyExit();
}

CreatedImages::~CreatedImages() {
    for (const Created& image : created_) {
        struct stat status {};
        if (::lstat(image.path.c_str(), &status) == 0 && status.st_dev == image.device &&
            status.st_ino == image.inode) {
            ::unlink(image.path.c_str());
        }
    }
}

bool StandardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

}  // namespace tolven::linux_host
