// Test support (POSIX): temporary folders and sparse image files.
#include "tests/support/temp_image.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

namespace tolven::testing {

TempDir::TempDir(const std::filesystem::path& parent) {
    const std::filesystem::path base = parent.empty() ? std::filesystem::path(::testing::TempDir()) : parent;
    std::string pattern = (base / "tolven-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed under " + base.string());
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void CreateSparseFile(const std::string& path, uint64_t size) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(size)) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        throw std::runtime_error("cannot create sparse file " + path);
    }
    ::close(fd);
}

}  // namespace tolven::testing
