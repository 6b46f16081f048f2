// Everything the dialog needs from the operating system, as interface references. Each host's
// entry point fills one and hands it to the application object before running it.
#pragma once

#include "app/format_report.h"
#include "app/volume_label.h"
#include "content/content_store.h"
#include "content/player_file_system.h"
#include "device/storage_identification.h"
#include "device/volume_information.h"
#include "fat32/volume_access.h"

namespace tolven {

struct PlatformServices {
    IStorageIdentification& storage;      // the drive scan
    IVolumeInformation& volumes;          // the drive information panel
    FormatPlatform format;                // the formatter
    IVolumeLabel& labels;                 // the label "PMP" after a format
    IPlayerFileSystem& files;             // the content installer's folders and files
    const IContentStore& content;         // the content blocks
    IFormatObserver* observer = nullptr;  // a host that follows the Format command; none on Windows
};

}  // namespace tolven
