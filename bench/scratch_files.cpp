#include "bench/scratch_files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tolven::bench {

std::string DefaultScratchParent() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

std::string MakeScratchFolder(const std::string& parent, const char* prefix) {
    std::string folder = (std::filesystem::path(parent) / (std::string(prefix) + "-XXXXXX")).string();
    if (::mkdtemp(folder.data()) == nullptr) {
        std::fprintf(stderr, "cannot create a folder under %s: %s\n", parent.c_str(), std::strerror(errno));
        return {};
    }
    return folder;
}

bool CreateSparseImage(const std::string& path, uint64_t size) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool ok = fd >= 0 && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return ok;
}

}  // namespace tolven::bench
