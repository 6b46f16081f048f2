// The drive information panel: what the scan found, painted into the frame control 1003 of the
// main dialog on every paint.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "device/panel_canvas.h"
#include "device/player_drive_info.h"
#include "device/volume_information.h"

namespace tolven {

// The two fixed texts of the second line.
inline constexpr char16_t kPanelNoPlayerText[] = u"TOLVEN 제품이 연결되지 않았습니다";
inline constexpr char16_t kPanelNotFormattedText[] = u"포맷이 안되어 있습니다";

// Text colours and the bar's fill.
inline constexpr ColorRef kPanelFirstLineColor = MakeColorRef(255, 0, 0);
inline constexpr ColorRef kPanelTextColor = MakeColorRef(0, 0, 0);
inline constexpr ColorRef kPanelBarColor = MakeColorRef(0, 121, 255);
inline constexpr ColorRef kPanelFullBarColor = MakeColorRef(255, 121, 255);  // no byte free
inline constexpr ColorRef kPanelBarPenColor = MakeColorRef(0, 0, 0);

// DrawTextW formats of the three lines.
inline constexpr uint32_t kPanelFirstLineFormat = kDtSingleLine | kDtNoPrefix;  // top left
inline constexpr uint32_t kPanelSecondLineFormat =
    kDtSingleLine | kDtNoPrefix | kDtCenter | kDtVCenter;  // centre
inline constexpr uint32_t kPanelThirdLineFormat =
    kDtSingleLine | kDtNoPrefix | kDtRight | kDtBottom;  // bottom right

// GetDC of control 1003: a canvas on its client area, released (ReleaseDC) when destroyed. May
// return null when no device context can be had; the panel then only updates the record.
using PanelCanvasSource = std::function<std::unique_ptr<IPanelCanvas>()>;

// Paints the panel from the record. In a player state it first reads the volume's label into
// m_szVolumeLabel and its space; a volume whose label cannot be read turns m_nDrive to
// kDriveVolumeUnreadable, which stays (and is not queried again) until the next scan.
void DrawDriveInfoPanel(CPlayerDriveInfo& drive, IVolumeInformation& volumes,
                        const PanelCanvasSource& getPanelDC);

// The bar's right edge: clientRight × usedBytes ÷ totalBytes, remainder dropped, exact for any
// 64-bit byte counts. Used bytes beyond the total count as the total; a total of 0 gives 0.
int32_t UsedBarRight(int32_t clientRight, uint64_t usedBytes, uint64_t totalBytes);

// Inserts ',' between every group of three digits of the integer part (the text before the first
// '.'), counting from its end: "1234567" -> "1,234,567", "1234.5678" -> "1,234.5678".
void InsertThousandsSeparators(std::u16string& text);

}  // namespace tolven
