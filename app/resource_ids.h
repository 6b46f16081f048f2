// Identifiers of the program's resources: the two dialog templates, their controls, the icon, the
// string table entry of the system menu item, and that item's command.
#pragma once

#include <cstdint>

namespace tolven {

inline constexpr uint32_t kIddAboutBox = 100;
inline constexpr uint32_t kIdsAboutBox = 101;  // the system menu item's text
inline constexpr uint32_t kIddTolvenFormatDialog = 102;
inline constexpr uint32_t kIdrMainFrame = 128;  // the application icon

// Controls of the main dialog (the Exit button is kIdOk).
inline constexpr int32_t kIdcLogEdit = 1000;
inline constexpr int32_t kIdcFormat = 1001;
inline constexpr int32_t kIdcProgress = 1002;
inline constexpr int32_t kIdcPanelFrame = 1003;
// The static controls of the About box carry no id of their own.
inline constexpr int32_t kIdcStatic = -1;

// The About item's system command; system commands keep their low four bits free.
inline constexpr uint32_t kIdmAboutBox = 0x0010;

}  // namespace tolven
