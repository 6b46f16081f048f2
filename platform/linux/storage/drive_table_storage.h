// Linux host: the storage identification of the emulated drive letters. Every letter of the
// DriveTable answers the drive type of its target and, once opened, a storage descriptor made
// from the target's identification, so the drive scan runs exactly as on Windows.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "device/storage_identification.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {

class DriveTableStorage : public IStorageIdentification {
  public:
    // A table of targets of its own; `table` must outlive this object.
    explicit DriveTableStorage(const DriveTable& table);
    // The run's table of targets, shared with the formatter and the file layer; it must outlive this.
    explicit DriveTableStorage(TargetTable& targets) : targets_(targets) {}

    // The target's drive type for "X:\"; kDriveNoRootDir for a letter without target or another
    // kind of path.
    uint32_t GetDriveTypeW(std::u16string_view rootPath) override;

    // Opens the target of "\\?\X:" through the run's table, as Windows opens the volume: a target
    // that cannot be opened (no rights, no medium, image gone) or is neither an image nor a block
    // device (a FIFO, never waited on) gives null. The open device answers the storage query with a
    // descriptor of the target's bus type and identification.
    std::unique_ptr<IStorageDevice> OpenStorageDevice(std::u16string_view volumePath) override;

    // Byte for byte (Latin-1). Linux hands on the device's identification bytes unconverted and
    // has no code page of the thread to read them in, so a text shows the same in every locale;
    // ASCII identifications, every known player among them, read as on Windows.
    std::u16string WidenIdentification(std::string_view text) override;

  private:
    std::unique_ptr<TargetTable> ownTargets_;
    TargetTable& targets_;
};

}  // namespace tolven::linux_host
