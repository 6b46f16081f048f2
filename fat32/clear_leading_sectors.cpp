#include "fat32/clear_leading_sectors.h"

#include <algorithm>

#include "fat32/format_messages.h"
#include "fat32/page_buffer.h"
#include "ui/status_log.h"

namespace tolven {

bool ClearLeadingSectors(IVolume& volume, IPageAllocator& pages, uint32_t sectorCount,
                         uint32_t bytesPerSector) {
    // Never written into: a fresh allocation is all zeros.
    const PageBuffer zeros(pages, static_cast<std::size_t>(kClearChunkSectors) * bytesPerSector);
    if (!zeros.Allocated()) {
        LogLine(format_messages::kWriteFailed);
        return false;
    }
    uint64_t byteOffset = 0;
    uint32_t remaining = sectorCount;
    while (remaining > 0) {
        const uint32_t chunk = std::min(remaining, kClearChunkSectors);
        const uint32_t chunkBytes = chunk * bytesPerSector;
        if (!WriteWholeSectors(volume, byteOffset, zeros.data(), chunkBytes)) {
            LogLine(format_messages::kWriteFailed);
            return false;
        }
        byteOffset += chunkBytes;
        remaining -= chunk;
    }
    return true;
}

}  // namespace tolven
