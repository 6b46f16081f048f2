// In-memory player volume for the installer tests: records every call in order and fails chosen
// writes on purpose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "content/content_store.h"
#include "content/player_file_system.h"
#include "tests/support/narrow_text.h"

namespace tolven::testing {

enum class WriteFault {
    kNone,
    kFails,         // WriteFile returns false, nothing written
    kShort,         // returns true, but only all bytes but one went out
    kFailsPartway,  // returns false after half the bytes went out
    kCloseFails,    // every byte goes out, then CloseHandle returns false
};

struct CreateFileCall {
    std::u16string path;
    uint32_t desiredAccess;
    uint32_t shareMode;
    uint32_t creationDisposition;
    uint32_t flagsAndAttributes;
};

class FakePlayerFileSystem final : public IPlayerFileSystem {
  public:
    bool CreateDirectoryA(std::string_view path) override;
    std::unique_ptr<IWritableFile> CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                               uint32_t shareMode, uint32_t creationDisposition,
                                               uint32_t flagsAndAttributes) override;
    bool DeleteFileW(std::u16string_view path) override;

    std::vector<std::string> directoriesCreated;  // every CreateDirectoryA call, in order
    std::set<std::string> existingDirectories;    // CreateDirectoryA fails for these
    std::vector<CreateFileCall> createFileCalls;
    std::map<std::u16string, std::vector<std::byte>> files;  // what is on the volume
    std::map<std::u16string, WriteFault> writeFaults;
    std::map<std::u16string, int> writeCalls;
    std::map<std::u16string, const std::byte*> writeSources;  // the buffer each write was given
    std::vector<std::string> events;                          // "create P", "write P", "close P", "delete P"
};

// A content store over blocks held in memory.
class FakeContentStore final : public IContentStore {
  public:
    std::optional<ContentBlock> FindContentResource(uint16_t id) const override;
    std::map<uint16_t, std::vector<std::byte>> blocks;
};

// Distinct bytes for every id, so that a file filled from the wrong block shows.
FakeContentStore StoreWithAllBlocks();

}  // namespace tolven::testing
