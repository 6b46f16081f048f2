// Stand-ins for the device side of the operating system: the storage identification with a
// scripted descriptor per drive letter, the Format button, the volume information, and a canvas
// that records what the drive information panel draws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/widen_text.h"
#include "device/device_identification.h"
#include "device/drive_info_panel.h"
#include "device/panel_canvas.h"
#include "device/storage_identification.h"
#include "device/volume_information.h"

namespace tolven::testing {

// One scripted drive letter.
struct FakeDrive {
    uint32_t driveType = kDriveRemovable;
    bool openFails = false;
    bool queryFails = false;
    std::vector<std::byte> descriptor;  // the bytes the device writes (cut at the buffer's size)
    // The byte count the device reports; by default the number of bytes it wrote. May be set to
    // claim more or fewer than it wrote.
    std::optional<uint32_t> bytesReturned;
};

// A descriptor of a drive with these identification strings, as the Linux host makes it.
std::vector<std::byte> DescriptorWith(const std::string& vendorId, const std::string& productId,
                                      uint32_t busType = kBusTypeUsb);

class FakeStorageIdentification : public IStorageIdentification {
  public:
    // Letters without a script answer kDriveNoRootDir.
    void SetDrive(char letter, FakeDrive drive) { drives_[letter] = std::move(drive); }
    void AddUsbDrive(char letter, const std::string& vendorId, const std::string& productId) {
        SetDrive(letter,
                 FakeDrive{kDriveRemovable, false, false, DescriptorWith(vendorId, productId), std::nullopt});
    }

    uint32_t GetDriveTypeW(std::u16string_view rootPath) override;
    std::unique_ptr<IStorageDevice> OpenStorageDevice(std::u16string_view volumePath) override;
    std::u16string WidenIdentification(std::string_view text) override { return widen(text); }

    // The host's rule for identification texts; byte for byte unless a test sets another.
    std::function<std::u16string(std::string_view)> widen = WidenByteForByte;

    // Every platform call in order: "type X:\", "open \\?\X:", "query X", "close X".
    std::vector<std::string> calls;
    // Calls concerning one letter, in order.
    std::vector<std::string> CallsFor(char letter) const;
    // Calls of one kind ("type", "open", "query", "close"), in order.
    std::vector<std::string> Of(const std::string& kind) const;
    int openDevices = 0;  // opened and not yet closed

  private:
    std::map<char, FakeDrive> drives_;
};

class FakeEnableableButton : public IEnableableButton {
  public:
    void EnableWindow(bool enable) override { states.push_back(enable); }
    std::vector<bool> states;  // every call, in order
};

class FakeVolumeInformation : public IVolumeInformation {
  public:
    bool GetVolumeInformationW(std::u16string_view rootPath, char16_t* labelBuffer,
                               uint32_t capacity) override;
    bool GetDiskFreeSpaceExW(std::u16string_view rootPath, uint64_t& total, uint64_t& free) override;

    bool labelFails = false;
    std::u16string label;
    bool spaceFails = false;
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;

    std::vector<std::u16string> labelQueries;  // root paths asked, in order
    std::vector<std::u16string> spaceQueries;
    uint32_t lastCapacity = 0;
};

// One call on the recording canvas.
struct CanvasCall {
    enum class Kind {
        kSetBkMode,
        kGetClientRect,
        kRectangle,
        kCreateSolidBrush,
        kCreatePen,
        kSelectObject,
        kDeleteObject,
        kSetTextColor,
        kDrawText,
        kUpdateWindow,
        kReleaseDC,
    };
    // Every field has an initialiser so that GCC lets designated initialisers leave any out.
    Kind kind{};
    Rect rect{};            // Rectangle, DrawTextW
    ColorRef color = 0;     // CreateSolidBrush, CreatePen, SetTextColor; DrawTextW: text colour
    ColorRef fill = 0;      // Rectangle: colour of the selected brush
    ColorRef penColor = 0;  // Rectangle: colour of the selected pen
    int32_t value = 0;      // SetBkMode mode; CreatePen width
    std::u16string text{};  // DrawTextW
    uint32_t format = 0;    // DrawTextW
    PanelWindow window{};   // UpdateWindow
};

// Records what is drawn through the canvases it hands out. The device context starts with a
// white stock brush and a black stock pen, as a window's client DC does.
class PanelRecorder {
  public:
    static constexpr ColorRef kWhite = 0x00FFFFFF;
    static constexpr GdiObject kStockBrush = 1;
    static constexpr GdiObject kStockPen = 2;
    static constexpr Rect kClientRect{0, 0, 289, 63};

    // A GetDC for DrawDriveInfoPanel; each canvas it makes logs into this recorder.
    PanelCanvasSource Source();

    std::vector<CanvasCall> Of(CanvasCall::Kind kind) const;
    std::vector<CanvasCall> Texts() const { return Of(CanvasCall::Kind::kDrawText); }
    std::vector<CanvasCall> Rectangles() const { return Of(CanvasCall::Kind::kRectangle); }
    // Objects created and not deleted.
    std::size_t LiveObjects() const { return objects.size() - deletedCount; }

    bool getDcFails = false;
    bool brushFails = false;  // CreateSolidBrush returns 0
    int getDcCount = 0;
    int releaseCount = 0;
    std::vector<CanvasCall> calls;

    // Canvas bookkeeping (used by the canvases).
    struct Object {
        bool isPen;
        ColorRef color;
        bool deleted;
    };
    GdiObject selectedBrush = kStockBrush;
    GdiObject selectedPen = kStockPen;
    ColorRef textColor = 0;
    std::map<GdiObject, Object> objects;
    std::size_t deletedCount = 0;
    ColorRef ColorOf(GdiObject object) const;
};

}  // namespace tolven::testing
