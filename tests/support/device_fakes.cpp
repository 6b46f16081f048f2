#include "tests/support/device_fakes.h"

#include <algorithm>
#include <cstring>

#include "device/storage_descriptor.h"
#include "tests/support/narrow_text.h"

namespace tolven::testing {

namespace {

// "X:\" or "\\?\X:" to X; 0 for anything else.
char LetterOf(std::u16string_view path) {
    if (path.size() == 3 && path[1] == u':' && path[2] == u'\\') {
        return static_cast<char>(path[0]);
    }
    if (path.size() == 6 && path.substr(0, 4) == u"\\\\?\\" && path[5] == u':') {
        return static_cast<char>(path[4]);
    }
    return 0;
}

class FakeStorageDevice : public IStorageDevice {
  public:
    FakeStorageDevice(FakeStorageIdentification& owner, const FakeDrive& drive, char letter)
        : owner_(owner), drive_(drive), letter_(letter) {
        ++owner_.openDevices;
    }
    ~FakeStorageDevice() override {
        owner_.calls.push_back(std::string("close ") + letter_);
        --owner_.openDevices;
    }
    bool QueryStorageDeviceDescriptor(std::byte* buffer, uint32_t bufferSize,
                                      uint32_t& bytesReturned) override {
        owner_.calls.push_back(std::string("query ") + letter_);
        if (drive_.queryFails) {
            return false;
        }
        const auto written =
            static_cast<uint32_t>(std::min<std::size_t>(drive_.descriptor.size(), bufferSize));
        std::memcpy(buffer, drive_.descriptor.data(), written);
        bytesReturned = drive_.bytesReturned.value_or(written);
        return true;
    }

  private:
    FakeStorageIdentification& owner_;
    FakeDrive drive_;
    char letter_;
};

class RecordingCanvas : public IPanelCanvas {
  public:
    explicit RecordingCanvas(PanelRecorder& recorder) : r_(recorder) {}
    ~RecordingCanvas() override {
        ++r_.releaseCount;
        Log({.kind = CanvasCall::Kind::kReleaseDC});
    }
    int32_t SetBkMode(int32_t mode) override {
        Log({.kind = CanvasCall::Kind::kSetBkMode, .value = mode});
        return 2;  // OPAQUE before
    }
    Rect GetClientRect() override {
        Log({.kind = CanvasCall::Kind::kGetClientRect, .rect = PanelRecorder::kClientRect});
        return PanelRecorder::kClientRect;
    }
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
        Log({.kind = CanvasCall::Kind::kRectangle,
             .rect = {left, top, right, bottom},
             .fill = r_.ColorOf(r_.selectedBrush),
             .penColor = r_.ColorOf(r_.selectedPen)});
    }
    GdiObject CreateSolidBrush(ColorRef color) override {
        Log({.kind = CanvasCall::Kind::kCreateSolidBrush, .color = color});
        return r_.brushFails ? 0 : Make(false, color);
    }
    GdiObject CreatePen(int32_t style, int32_t width, ColorRef color) override {
        Log({.kind = CanvasCall::Kind::kCreatePen, .color = color, .value = width});
        return style == kPenStyleSolid ? Make(true, color) : 0;
    }
    GdiObject SelectObject(GdiObject object) override {
        Log({.kind = CanvasCall::Kind::kSelectObject});
        const bool isPen =
            object == PanelRecorder::kStockPen || (r_.objects.count(object) != 0 && r_.objects[object].isPen);
        const bool known = object == PanelRecorder::kStockPen || object == PanelRecorder::kStockBrush ||
                           r_.objects.count(object) != 0;
        if (!known) {
            return 0;
        }
        GdiObject& slot = isPen ? r_.selectedPen : r_.selectedBrush;
        const GdiObject previous = slot;
        slot = object;
        return previous;
    }
    void DeleteObject(GdiObject object) override {
        Log({.kind = CanvasCall::Kind::kDeleteObject});
        auto it = r_.objects.find(object);
        if (it != r_.objects.end() && !it->second.deleted) {
            it->second.deleted = true;
            ++r_.deletedCount;
        }
    }
    ColorRef SetTextColor(ColorRef color) override {
        Log({.kind = CanvasCall::Kind::kSetTextColor, .color = color});
        const ColorRef previous = r_.textColor;
        r_.textColor = color;
        return previous;
    }
    void DrawTextW(std::u16string_view text, Rect& rect, uint32_t format) override {
        Log({.kind = CanvasCall::Kind::kDrawText,
             .rect = rect,
             .color = r_.textColor,
             .text = std::u16string(text),
             .format = format});
    }
    void UpdateWindow(PanelWindow window) override {
        Log({.kind = CanvasCall::Kind::kUpdateWindow, .window = window});
    }

  private:
    void Log(CanvasCall call) { r_.calls.push_back(std::move(call)); }
    GdiObject Make(bool isPen, ColorRef color) {
        const GdiObject object = 100 + r_.objects.size();
        r_.objects[object] = {isPen, color, false};
        return object;
    }
    PanelRecorder& r_;
};

}  // namespace

std::vector<std::byte> DescriptorWith(const std::string& vendorId, const std::string& productId,
                                      uint32_t busType) {
    return BuildStorageDeviceDescriptor({busType, true, vendorId, productId}, kStorageDescriptorBufferSize);
}

uint32_t FakeStorageIdentification::GetDriveTypeW(std::u16string_view rootPath) {
    calls.push_back("type " + Narrow(rootPath));
    auto it = drives_.find(LetterOf(rootPath));
    return it == drives_.end() ? kDriveNoRootDir : it->second.driveType;
}

std::unique_ptr<IStorageDevice> FakeStorageIdentification::OpenStorageDevice(std::u16string_view volumePath) {
    calls.push_back("open " + Narrow(volumePath));
    const char letter = LetterOf(volumePath);
    auto it = drives_.find(letter);
    if (it == drives_.end() || it->second.openFails) {
        return nullptr;
    }
    return std::make_unique<FakeStorageDevice>(*this, it->second, letter);
}

std::vector<std::string> FakeStorageIdentification::CallsFor(char letter) const {
    const std::string rootTail = std::string(1, letter) + ":";
    std::vector<std::string> result;
    for (const std::string& call : calls) {
        const bool mentions = call.find(rootTail) != std::string::npos ||
                              call == std::string("query ") + letter ||
                              call == std::string("close ") + letter;
        if (mentions) {
            result.push_back(call);
        }
    }
    return result;
}

std::vector<std::string> FakeStorageIdentification::Of(const std::string& kind) const {
    std::vector<std::string> result;
    for (const std::string& call : calls) {
        if (call.rfind(kind + " ", 0) == 0) {
            result.push_back(call);
        }
    }
    return result;
}

bool FakeVolumeInformation::GetVolumeInformationW(std::u16string_view rootPath, char16_t* labelBuffer,
                                                  uint32_t capacity) {
    labelQueries.emplace_back(rootPath);
    lastCapacity = capacity;
    if (labelFails || capacity == 0) {
        return false;
    }
    const std::size_t length = std::min<std::size_t>(label.size(), capacity - 1);
    std::copy_n(label.begin(), length, labelBuffer);
    labelBuffer[length] = u'\0';
    return true;
}

bool FakeVolumeInformation::GetDiskFreeSpaceExW(std::u16string_view rootPath, uint64_t& total,
                                                uint64_t& free) {
    spaceQueries.emplace_back(rootPath);
    if (spaceFails) {
        return false;
    }
    total = totalBytes;
    free = freeBytes;
    return true;
}

PanelCanvasSource PanelRecorder::Source() {
    return [this]() -> std::unique_ptr<IPanelCanvas> {
        ++getDcCount;
        if (getDcFails) {
            return nullptr;
        }
        return std::make_unique<RecordingCanvas>(*this);
    };
}

std::vector<CanvasCall> PanelRecorder::Of(CanvasCall::Kind kind) const {
    std::vector<CanvasCall> result;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(result),
                 [kind](const CanvasCall& call) { return call.kind == kind; });
    return result;
}

ColorRef PanelRecorder::ColorOf(GdiObject object) const {
    if (object == kStockBrush) {
        return kWhite;
    }
    if (object == kStockPen) {
        return 0;
    }
    auto it = objects.find(object);
    return it == objects.end() ? 0 : it->second.color;
}

}  // namespace tolven::testing
