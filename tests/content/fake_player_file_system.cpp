#include "tests/content/fake_player_file_system.h"

#include "content/content_block_ids.h"

namespace tolven::testing {
namespace {

class FakeFile final : public IWritableFile {
  public:
    FakeFile(FakePlayerFileSystem& fs, std::u16string path) : fs_(fs), path_(std::move(path)) {}
    ~FakeFile() override {
        if (open_) {
            CloseHandle();
        }
    }

    bool WriteFile(const std::byte* data, uint32_t byteCount, uint32_t& bytesWritten) override {
        fs_.events.push_back("write " + Narrow(path_));
        ++fs_.writeCalls[path_];
        fs_.writeSources[path_] = data;
        const WriteFault kind = Fault();
        uint32_t count = byteCount;
        if (kind == WriteFault::kFails) {
            count = 0;
        } else if (kind == WriteFault::kShort) {
            count = byteCount - 1;
        } else if (kind == WriteFault::kFailsPartway) {
            count = byteCount / 2;
        }
        auto& content = fs_.files[path_];
        content.insert(content.end(), data, data + count);
        bytesWritten = count;
        return kind == WriteFault::kNone || kind == WriteFault::kShort || kind == WriteFault::kCloseFails;
    }

    bool CloseHandle() override {
        fs_.events.push_back("close " + Narrow(path_));
        open_ = false;
        return Fault() != WriteFault::kCloseFails;
    }

  private:
    WriteFault Fault() const {
        const auto fault = fs_.writeFaults.find(path_);
        return fault == fs_.writeFaults.end() ? WriteFault::kNone : fault->second;
    }

    FakePlayerFileSystem& fs_;
    std::u16string path_;
    bool open_ = true;
};

}  // namespace

bool FakePlayerFileSystem::CreateDirectoryA(std::string_view path) {
    directoriesCreated.emplace_back(path);
    return existingDirectories.insert(std::string(path)).second;
}

std::unique_ptr<IWritableFile> FakePlayerFileSystem::CreateFileW(std::u16string_view path,
                                                                 uint32_t desiredAccess, uint32_t shareMode,
                                                                 uint32_t creationDisposition,
                                                                 uint32_t flagsAndAttributes) {
    createFileCalls.push_back(
        {std::u16string(path), desiredAccess, shareMode, creationDisposition, flagsAndAttributes});
    events.push_back("create " + Narrow(path));
    if (files.contains(std::u16string(path))) {
        return nullptr;
    }
    files[std::u16string(path)];
    return std::make_unique<FakeFile>(*this, std::u16string(path));
}

bool FakePlayerFileSystem::DeleteFileW(std::u16string_view path) {
    events.push_back("delete " + Narrow(path));
    return files.erase(std::u16string(path)) == 1;
}

std::optional<ContentBlock> FakeContentStore::FindContentResource(uint16_t id) const {
    const auto found = blocks.find(id);
    if (found == blocks.end()) {
        return std::nullopt;
    }
    return ContentBlock(found->second);
}

FakeContentStore StoreWithAllBlocks() {
    FakeContentStore store;
    for (uint16_t id : kContentBlockIds) {
        std::vector<std::byte> bytes(1000u + id);
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<std::byte>((i * 7 + id) & 0xFF);
        }
        store.blocks[id] = std::move(bytes);
    }
    return store;
}

}  // namespace tolven::testing
