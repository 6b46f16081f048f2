// Benchmark helpers: the scratch folder and the sparse images the benchmarks format.
#pragma once

#include <cstdint>
#include <string>

namespace tolven::bench {

// Where scratch folders go unless the user names a place: $TMPDIR, or /tmp.
std::string DefaultScratchParent();

// A new folder "<parent>/<prefix>-XXXXXX"; empty (with a message on stderr) when it cannot be made.
std::string MakeScratchFolder(const std::string& parent, const char* prefix);

// A sparse file of `size` bytes at `path`, replacing what was there.
bool CreateSparseImage(const std::string& path, uint64_t size);

}  // namespace tolven::bench
