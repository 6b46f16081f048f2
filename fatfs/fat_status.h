// FAT32 file layer: the outcome of every operation, with a message a user can read.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace tolven {

enum class FatError {
    kNone,
    kIo,               // the device refused a read or a write
    kNotFat32,         // the volume carries no FAT32 file system
    kTruncated,        // the file system reaches beyond the end of the device
    kInconsistent,     // fields or structures contradict each other
    kInvalidName,      // not an upper-case 8.3 short name, or not a usable path or label
    kNotFound,         // a path component or the file does not exist
    kAlreadyExists,    // the name is taken
    kVolumeFull,       // not enough free clusters
    kDirectoryFull,    // a directory reached its largest size
    kInvalidArgument,  // a request this layer does not serve (flags, second write, ...)
    kAccessDenied,     // a read-only file, a directory where a file is expected
};

struct FatStatus {
    FatError error = FatError::kNone;
    std::string message;

    bool ok() const { return error == FatError::kNone; }
    static FatStatus Ok() { return {}; }
    static FatStatus Fail(FatError error, std::string message) { return {error, std::move(message)}; }
};

// A name in double quotes, for messages. Built by appending: GCC 12 misreads some chains of
// string concatenations as overlapping copies (-Wrestrict).
inline std::string Quoted(std::string_view name) {
    std::string text;
    text.reserve(name.size() + 2);
    text += '"';
    text += name;
    text += '"';
    return text;
}

}  // namespace tolven
