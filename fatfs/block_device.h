// FAT32 file layer: the volume it works on, a run of sectors that can be read and written; each
// host opens it its own way. Offsets and counts are bytes, whole sectors, counted from the
// volume's first byte; buffers need no particular alignment.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolven {

class IBlockDevice {
  public:
    virtual ~IBlockDevice() = default;
    virtual uint32_t SectorSize() const = 0;
    virtual uint64_t SectorCount() const = 0;  // the volume's length, in sectors
    virtual bool Read(uint64_t byteOffset, std::byte* data, std::size_t byteCount) = 0;
    virtual bool Write(uint64_t byteOffset, const std::byte* data, std::size_t byteCount) = 0;
    virtual bool Flush() = 0;  // data on the device before this returns true
    // Grows whenever the volume was rewritten below the file layer (formatted): what was read
    // from it before is stale.
    virtual uint64_t ChangeCount() const { return 0; }
};

}  // namespace tolven
