// Win32 platform layer: SetVolumeLabelA on the player's root path.
#include "platform/win32/win32_volume_label.h"

#include <windows.h>

#include <string>

namespace tolven::win32 {

bool Win32VolumeLabel::SetVolumeLabelA(std::string_view rootPath, std::string_view label) {
    const std::string root(rootPath);
    const std::string name(label);
    return ::SetVolumeLabelA(root.c_str(), name.c_str()) != FALSE;
}

}  // namespace tolven::win32
