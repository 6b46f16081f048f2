// Linux host, terminal: the disk image files named on the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tolven::linux_host {

// Makes sure the image exists: an existing file is left exactly as it is (and must have sizeBytes,
// when given); a missing one is created as a sparse file of sizeBytes when a size is given and
// `mayCreate`. Returns an empty text, or the English reason for the failure ("cannot create
// 'x.img': No space left on device").
std::string PrepareImageFile(const std::string& path, std::optional<uint64_t> sizeBytes,
                             bool mayCreate = true);

// Whether standard input is a terminal that questions can be asked on.
bool StandardInputIsTerminal();

}  // namespace tolven::linux_host
