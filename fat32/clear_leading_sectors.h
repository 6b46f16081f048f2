// The quick format's clearing: zeros over the first sectors of the volume (reserved area, both
// FATs and the root directory cluster), in writes of at most 128 sectors from one zero buffer.
#pragma once

#include <cstdint>

#include "fat32/volume_access.h"

namespace tolven {

inline constexpr uint32_t kClearChunkSectors = 128;

// Writes `sectorCount` zero sectors from sector 0 on. Stops at the first failed write (or when
// the zero buffer cannot be had), logging "기록에 실패하였습니다" once; returns whether every
// write succeeded (true for a count of 0).
bool ClearLeadingSectors(IVolume& volume, IPageAllocator& pages, uint32_t sectorCount,
                         uint32_t bytesPerSector);

}  // namespace tolven
