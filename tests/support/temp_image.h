// Test helpers for disk images: a temporary folder removed after the test, and sparse image files
// in it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tolven::testing {

// A fresh folder under the test's temporary directory, removed with everything in it.
class TempDir {
  public:
    explicit TempDir(const std::filesystem::path& parent = {});
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Creates (or truncates) `path` as a sparse file of `size` bytes.
void CreateSparseFile(const std::string& path, uint64_t size);

}  // namespace tolven::testing
