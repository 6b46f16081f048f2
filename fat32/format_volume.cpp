// The whole quick format, from the request to its result: access stage, layout, sector images,
// clearing, structure writes, and handing the volume back to the system.
#include "fat32/format_volume.h"

#include <array>
#include <memory>

#include "fat32/clear_leading_sectors.h"
#include "fat32/fat32_layout.h"
#include "fat32/fat32_structures.h"
#include "fat32/format_messages.h"
#include "fat32/log_text.h"
#include "fat32/page_buffer.h"
#include "fat32/volume_access_stage.h"
#include "ui/status_log.h"

namespace tolven {
namespace {

constexpr uintptr_t kProgressSteps = 4;  // one per group of structure writes

// Ends a format as a failure: the step's own line, the close, the closing line.
bool Fail(const std::u16string& message, IVolume* openVolume) {
    LogLine(message.c_str());
    if (openVolume != nullptr) {
        openVolume->CloseHandle();
    }
    LogLine(format_messages::kFormatFailed);
    return false;
}

// The three sector images, each in its own page-aligned buffer.
struct SectorImages {
    SectorImages(IPageAllocator& pages, uint32_t bytesPerSector)
        : bootSector(pages, bytesPerSector), fsInfo(pages, bytesPerSector), fatHead(pages, bytesPerSector) {}
    bool Allocated() const { return bootSector.Allocated() && fsInfo.Allocated() && fatHead.Allocated(); }

    PageBuffer bootSector;
    PageBuffer fsInfo;
    PageBuffer fatHead;
};

class Progress {
  public:
    explicit Progress(IProgressControl* control) : control_(control) {}
    void Start() {
        Send(kPbmSetRange, 0, static_cast<intptr_t>(kProgressSteps << 16));
        Send(kPbmSetPos, 0, 0);
        Send(kPbmSetStep, 1, 0);
    }
    void Step() { Send(kPbmStepIt, 0, 0); }

  private:
    void Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
        if (control_ != nullptr) {
            control_->SendMessageW(message, wParam, lParam);
        }
    }
    IProgressControl* control_;
};

struct StructureWrite {
    const char* label;  // names the structure for anyone reading or debugging the sequence
    uint32_t sector;
    const PageBuffer* image;
    bool stepsProgress;  // the last write of its group
};

// The six single-sector writes, in their order: the boot records and their copies, then the
// head of each FAT. Every write is tried; each failure is logged. Returns whether all succeeded.
bool WriteStructures(IVolume& volume, const SectorImages& images, const Fat32Layout& layout,
                     Progress& progress) {
    const std::array<StructureWrite, 6> writes = {{
        {"boot sector", kBootSector, &images.bootSector, false},
        {"FSInfo sector", kFsInfoSector, &images.fsInfo, true},
        {"backup boot sector", kBackupBootSector, &images.bootSector, false},
        {"backup FSInfo sector", kBackupFsInfoSector, &images.fsInfo, true},
        {"first FAT head", layout.FatStartSector(0), &images.fatHead, true},
        {"second FAT head", layout.FatStartSector(1), &images.fatHead, true},
    }};
    bool allWritten = true;
    for (const StructureWrite& write : writes) {
        const uint64_t byteOffset = static_cast<uint64_t>(write.sector) * layout.bytesPerSector;
        if (!WriteWholeSectors(volume, byteOffset, write.image->data(), layout.bytesPerSector)) {
            LogLine(format_messages::kWriteFailed);
            allWritten = false;
        }
        if (write.stepsProgress) {
            progress.Step();
        }
    }
    return allWritten;
}

// The quick format's writes: the system area and root cluster cleared, then the six
// structures. A failed write is logged where it happens and the writing goes on, so that the
// volume is still handed back to the system; the result says whether every write succeeded.
bool WriteQuickFormat(IVolume& volume, IPageAllocator& pages, const SectorImages& images,
                      const Fat32Layout& layout, const FormatRequest& request) {
    LogLine(FormatAsciiLine("Formatting drive %c:...", request.driveLetter).c_str());
    const uint32_t clearCount = layout.ClearCount();
    LogLine(
        FormatAsciiLine("Clearing out %u sectors for Reserved sectors, fats and root cluster...", clearCount)
            .c_str());
    const bool cleared = ClearLeadingSectors(volume, pages, clearCount, layout.bytesPerSector);
    LogLine(u"Initialising reserved sectors and FATs...");
    Progress progress(request.progressControl);
    progress.Start();
    const bool structuresWritten = WriteStructures(volume, images, layout, progress);
    return cleared && structuresWritten;
}

// Marks the partition as FAT32 (a bare volume has no entry to mark) and gives the volume back to
// the system: null when done, else the refusal's message (nothing after a refused step is sent).
const char16_t* HandBackVolume(IVolume& volume, const DeviceFacts& device) {
    if (HasPartitionEntry(device) && !volume.SetPartitionType(kPartitionTypeFat32Lba)) {
        return format_messages::kSetPartitionFailed;
    }
    if (!volume.DismountVolume()) {
        return format_messages::kDismountFailed;
    }
    if (!volume.UnlockVolume()) {
        return format_messages::kUnlockFailed;
    }
    return nullptr;
}

}  // namespace

bool FormatVolumeFat32(const FormatRequest& request, const FormatPlatform& platform) {
    const std::u16string path = VolumePath(request.driveLetter);
    BindLogControl(request.logControl);
    const uint32_t volumeId = MakeVolumeId(platform.clock.GetLocalTime());

    // Access: open, lock and learn the device; nothing is written on a refusal.
    OpenedVolume opened = OpenVolume(platform.volumes, platform.clock, path);
    if (opened.volume == nullptr) {
        return Fail(OpenFailureMessage(opened.lastError), nullptr);
    }
    IVolume& volume = *opened.volume;
    const DeviceFactsOutcome access = LockAndReadDeviceFacts(volume, platform.clock);
    if (access.refusal != nullptr) {
        return Fail(access.refusal, &volume);
    }
    const DeviceFacts& device = access.facts;
    const SizeAdmission admission = AdmitVolumeSize(device.partitionLength, device.bytesPerSector);
    if (admission.refusal != nullptr) {
        return Fail(admission.refusal, &volume);
    }

    // Layout and sector images, reported before the cluster limits are checked.
    const SectorImages images(platform.pages, device.bytesPerSector);
    if (!images.Allocated()) {
        return Fail(format_messages::kAllocationFailed, &volume);
    }
    const Fat32Layout layout = ComputeFat32Layout(device.partitionLength, device.bytesPerSector,
                                                  admission.totalSectors, request.sectorsPerCluster);
    BuildBootSector(images.bootSector.bytes(), layout, device, volumeId, kVolumeLabel);
    BuildFsInfoSector(images.fsInfo.bytes(), layout.freeClusters);
    BuildFatHead(images.fatHead.bytes());
    for (const std::u16string& line : LayoutLines(layout, device.partitionLength, volumeId)) {
        LogLine(line.c_str());
    }
    if (const char16_t* refusal = CheckClusterLimits(layout); refusal != nullptr) {
        return Fail(refusal, &volume);
    }

    // Writes, then the hand-back; a failed write still fails the format at its very end.
    const bool allWritten = WriteQuickFormat(volume, platform.pages, images, layout, request);
    if (const char16_t* refusal = HandBackVolume(volume, device); refusal != nullptr) {
        return Fail(refusal, &volume);
    }
    volume.CloseHandle();
    if (!allWritten) {
        LogLine(format_messages::kFormatFailed);
        return false;
    }
    LogLine(format_messages::kFormatDone);
    return true;
}

}  // namespace tolven
