// The tests' dialog host: the in-memory windows, with message boxes answered from a script (and
// able to run messages while open, as a real box's loop does), the panel recorded, and the status
// log's text kept after the dialog has closed. DialogFixture adds every platform service as a fake.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/framework/memory_window_host.h"
#include "app/platform_services.h"
#include "tests/support/device_fakes.h"
#include "tests/support/fake_volume.h"

namespace tolven::testing {

class TestDialogHost : public MemoryWindowHost {
  public:
    TestDialogHost();

    struct Box {
        WindowHandle owner = 0;
        std::u16string text;
        std::u16string caption;
        uint32_t type = 0;
    };
    std::vector<Box> boxes;
    // Answers of the coming boxes, in order; a box without one gets its default button.
    std::deque<int32_t> answers;
    // Runs inside the next box, before it is answered (its loop dispatches the owner's messages).
    std::function<void()> whileNextBoxOpen;

    PanelRecorder panel;
    int panelPaints = 0;     // device contexts released on the panel frame
    std::u16string logText;  // the status log's text, kept after the dialog closes

    // Runs the action on the innermost dialog once the modal loop is idle.
    void PostToDialog(std::function<void(WindowHandle dialog)> action);
    void PostClickFormat();
    void PostDeviceChange(uint32_t eventType);
    // The log's lines (split at CR LF, without the piece after the last CR LF).
    std::vector<std::u16string> LogLines() const;

  protected:
    int32_t AnswerMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view caption,
                             uint32_t type) override;
    void OnWindowTextChanged(const Window& window, const std::u16string& before) override;
    std::unique_ptr<IPanelCanvas> CreatePanelCanvas(WindowHandle frame, WindowHandle logEdit) override;
};

// The label call, recorded; it can be refused.
class RecordingVolumeLabel : public IVolumeLabel {
  public:
    bool SetVolumeLabelA(std::string_view rootPath, std::string_view label) override {
        calls.push_back({std::string(rootPath), std::string(label)});
        return !refuse;
    }
    bool refuse = false;
    struct Call {
        std::string rootPath;
        std::string label;
    };
    std::vector<Call> calls;
};

// The installer's file calls, recorded; files can be refused.
class RecordingFileSystem : public IPlayerFileSystem {
  public:
    bool CreateDirectoryA(std::string_view path) override;
    std::unique_ptr<IWritableFile> CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                               uint32_t shareMode, uint32_t creationDisposition,
                                               uint32_t flagsAndAttributes) override;
    bool DeleteFileW(std::u16string_view path) override;

    std::vector<std::string> directories;
    std::map<std::u16string, uint32_t> files;  // path -> bytes written
    bool refuseFiles = false;
};

// A content store with a small block for every id.
class SmallContentStore : public IContentStore {
  public:
    std::optional<ContentBlock> FindContentResource(uint16_t id) const override;

  private:
    std::byte bytes_[16] = {};
};

// Every platform service as a fake: no drive at first, a formattable volume of kVolumeSectors.
struct DialogFixture {
    static constexpr uint64_t kVolumeSectors = 4'300'800;  // about 2 GiB, a FAT32-sized volume

    DialogFixture();
    // A USB player (vendor TOLVEN, the given model) at the letter, with a readable volume.
    void AttachPlayer(char letter, const std::string& model = "VQ10");
    // The letter answers as a drive without a root directory (nothing there).
    void DetachDrive(char letter);

    FakeStorageIdentification storage;
    FakeVolumeInformation volumes;
    FakeVolumeSystem volumeSystem{kVolumeSectors};
    FakeClock clock;
    FakePageAllocator pages;
    RecordingVolumeLabel labels;
    RecordingFileSystem files;
    SmallContentStore content;
    PlatformServices services;
    TestDialogHost host;
};

}  // namespace tolven::testing
