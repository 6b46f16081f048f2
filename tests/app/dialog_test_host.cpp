#include "tests/app/dialog_test_host.h"

#include "app/dialog_resources.h"
#include "app/resource_ids.h"

namespace tolven::testing {

namespace {

class RecordingFile : public IWritableFile {
  public:
    explicit RecordingFile(uint32_t& bytes) : bytes_(bytes) {}
    bool WriteFile(const std::byte*, uint32_t byteCount, uint32_t& bytesWritten) override {
        bytes_ += byteCount;
        bytesWritten = byteCount;
        return true;
    }
    bool CloseHandle() override { return true; }

  private:
    uint32_t& bytes_;
};

}  // namespace

TestDialogHost::TestDialogHost() : MemoryWindowHost(TolvenFormatResources()) {}

void TestDialogHost::PostToDialog(std::function<void(WindowHandle dialog)> action) {
    Post([this, action = std::move(action)] { action(ActiveDialog()); });
}

void TestDialogHost::PostClickFormat() {
    PostToDialog([this](WindowHandle dialog) {
        const WindowHandle button = GetDlgItem(dialog, kIdcFormat);
        Dispatch(dialog, Message{kWmCommand, MakeCommandParam(kIdcFormat, kBnClicked),
                                 static_cast<intptr_t>(button)});
    });
}

void TestDialogHost::PostDeviceChange(uint32_t eventType) {
    PostToDialog([this, eventType](WindowHandle dialog) {
        Dispatch(dialog, Message{kWmDeviceChange, eventType, 0});
    });
}

std::vector<std::u16string> TestDialogHost::LogLines() const {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    while (start < logText.size()) {
        const std::size_t end = logText.find(u"\r\n", start);
        if (end == std::u16string::npos) {
            lines.push_back(logText.substr(start));
            break;
        }
        lines.push_back(logText.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

int32_t TestDialogHost::AnswerMessageBox(WindowHandle owner, std::u16string_view text,
                                         std::u16string_view caption, uint32_t type) {
    boxes.push_back(Box{owner, std::u16string(text), std::u16string(caption), type});
    if (whileNextBoxOpen) {
        std::function<void()> action = std::move(whileNextBoxOpen);
        whileNextBoxOpen = nullptr;
        action();
    }
    if (!answers.empty()) {
        const int32_t answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return MemoryWindowHost::AnswerMessageBox(owner, text, caption, type);
}

void TestDialogHost::OnWindowTextChanged(const Window& window, const std::u16string&) {
    if (!window.isDialog && window.controlId == kIdcLogEdit) {
        logText = window.text;
    }
}

std::unique_ptr<IPanelCanvas> TestDialogHost::CreatePanelCanvas(WindowHandle, WindowHandle) {
    ++panelPaints;
    return panel.Source()();
}

bool RecordingFileSystem::CreateDirectoryA(std::string_view path) {
    directories.emplace_back(path);
    return true;
}

std::unique_ptr<IWritableFile> RecordingFileSystem::CreateFileW(std::u16string_view path, uint32_t, uint32_t,
                                                                uint32_t, uint32_t) {
    if (refuseFiles) {
        return nullptr;
    }
    return std::make_unique<RecordingFile>(files[std::u16string(path)]);
}

bool RecordingFileSystem::DeleteFileW(std::u16string_view path) {
    return files.erase(std::u16string(path)) == 1;
}

std::optional<ContentBlock> SmallContentStore::FindContentResource(uint16_t) const {
    return ContentBlock(bytes_, sizeof bytes_);
}

DialogFixture::DialogFixture()
    : clock(&volumeSystem.calls), services{storage, volumes, FormatPlatform{volumeSystem, clock, pages},
                                           labels,  files,   content} {
    volumes.label = u"OLD";
    volumes.totalBytes = kVolumeSectors * 512;
    volumes.freeBytes = volumes.totalBytes / 2;
}

void DialogFixture::AttachPlayer(char letter, const std::string& model) {
    storage.AddUsbDrive(letter, "TOLVEN", model);
}

void DialogFixture::DetachDrive(char letter) {
    FakeDrive nothing;
    nothing.driveType = kDriveNoRootDir;
    storage.SetDrive(letter, nothing);
}

}  // namespace tolven::testing
