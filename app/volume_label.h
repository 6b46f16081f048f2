// The label call of the Format command: SetVolumeLabelA on the mounted volume. Windows: the system
// call; Linux: the host's own FAT32 file layer.
#pragma once

#include <string_view>

namespace tolven {

class IVolumeLabel {
  public:
    virtual ~IVolumeLabel() = default;
    // rootPath "X:\", label up to 11 characters; false when the label could not be set.
    virtual bool SetVolumeLabelA(std::string_view rootPath, std::string_view label) = 0;
};

}  // namespace tolven
