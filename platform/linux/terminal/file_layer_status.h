// Linux host, terminal: the FAT32 file layer's outcome as the host's Status, where the host receives
// it (the installer's files, the label). The layer's message is kept as it is.
#pragma once

#include "fatfs/fat_status.h"
#include "platform/linux/host/status.h"

namespace tolven::linux_host {

// The errno nearest to the layer's error: EEXIST for a name that is taken, ENOSPC for a full
// volume or directory, EUCLEAN for a damaged file system, ...; 0 for none.
int ErrnoOf(FatError error);

Status StatusOf(const FatStatus& status);

}  // namespace tolven::linux_host
