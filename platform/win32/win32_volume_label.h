// Win32 platform layer: the label of a mounted volume (SetVolumeLabelA).
#pragma once

#include "app/volume_label.h"

namespace tolven::win32 {

class Win32VolumeLabel final : public IVolumeLabel {
  public:
    bool SetVolumeLabelA(std::string_view rootPath, std::string_view label) override;
};

}  // namespace tolven::win32
