#include "device/drive_info_panel.h"

#include <algorithm>

namespace tolven {

namespace {

constexpr uint64_t kBytesPerKilobyte = 1024;

std::u16string ToDecimal(uint64_t value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

std::u16string KilobyteText(uint64_t bytes) {
    std::u16string text = ToDecimal(bytes / kBytesPerKilobyte);
    InsertThousandsSeparators(text);
    return text;
}

std::u16string LabelText(const CPlayerDriveInfo& drive) {
    const char16_t* label = drive.m_szVolumeLabel;
    return {label, std::find(label, label + kVolumeLabelCapacity, u'\0')};
}

// floor(value × factor ÷ divisor) for value < divisor, by shift-and-add on the quotient and
// remainder, so that no intermediate product can overflow.
uint64_t ScaleBelowOne(uint64_t value, uint32_t factor, uint64_t divisor) {
    uint64_t quotient = 0;
    uint64_t remainder = 0;
    for (int bit = 31; bit >= 0; --bit) {
        quotient <<= 1;
        if (remainder >= divisor - remainder) {
            remainder -= divisor - remainder;
            ++quotient;
        } else {
            remainder += remainder;
        }
        if ((factor >> bit) & 1U) {
            if (remainder >= divisor - value) {
                remainder -= divisor - value;
                ++quotient;
            } else {
                remainder += value;
            }
        }
    }
    return quotient;
}

void DrawUsedBar(IPanelCanvas& canvas, const Rect& client, uint64_t usedBytes, uint64_t totalBytes) {
    const int32_t right = UsedBarRight(client.right, usedBytes, totalBytes);
    // Only a volume with no byte free shows the full colour; there is nothing in between.
    const ColorRef fill = usedBytes / totalBytes == 1 ? kPanelFullBarColor : kPanelBarColor;
    const GdiObject brush = canvas.CreateSolidBrush(fill);
    const GdiObject pen = canvas.CreatePen(kPenStyleSolid, 1, kPanelBarPenColor);
    if (brush != 0 && pen != 0) {
        const GdiObject oldBrush = canvas.SelectObject(brush);
        const GdiObject oldPen = canvas.SelectObject(pen);
        canvas.Rectangle(client.left, client.top, right, client.bottom);
        canvas.SelectObject(oldBrush);
        canvas.SelectObject(oldPen);
    }
    if (brush != 0) {
        canvas.DeleteObject(brush);
    }
    if (pen != 0) {
        canvas.DeleteObject(pen);
    }
}

}  // namespace

int32_t UsedBarRight(int32_t clientRight, uint64_t usedBytes, uint64_t totalBytes) {
    const bool negative = clientRight < 0;
    const uint32_t magnitude = negative ? static_cast<uint32_t>(-static_cast<int64_t>(clientRight))
                                        : static_cast<uint32_t>(clientRight);
    if (totalBytes == 0) {
        return 0;
    }
    usedBytes = std::min(usedBytes, totalBytes);  // so the whole part is 0 or 1
    const uint64_t whole = usedBytes / totalBytes;
    const uint64_t scaled = whole * magnitude + ScaleBelowOne(usedBytes % totalBytes, magnitude, totalBytes);
    const auto result = static_cast<int64_t>(scaled);
    return static_cast<int32_t>(negative ? -result : result);
}

void DrawDriveInfoPanel(CPlayerDriveInfo& drive, IVolumeInformation& volumes,
                        const PanelCanvasSource& getPanelDC) {
    // A volume whose label cannot be read is taken as not formatted; the -1 stays until the next
    // scan, so the volume is not asked again on later paints.
    if (drive.m_nDrive >= 0) {
        if (!volumes.GetVolumeInformationW(drive.m_strRoot, drive.m_szVolumeLabel, kVolumeLabelCapacity)) {
            drive.m_nDrive = kDriveVolumeUnreadable;
        }
        drive.m_szVolumeLabel[kVolumeLabelCapacity - 1] = u'\0';
    }
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;
    bool haveSpace = false;
    if (drive.m_nDrive >= 0) {
        // Without a usable total there is nothing to divide by: no bar and no figures then.
        haveSpace = volumes.GetDiskFreeSpaceExW(drive.m_strRoot, totalBytes, freeBytes) && totalBytes != 0;
    }

    std::unique_ptr<IPanelCanvas> canvas = getPanelDC ? getPanelDC() : nullptr;
    if (!canvas) {
        return;
    }
    canvas->SetBkMode(kBkModeTransparent);
    const Rect client = canvas->GetClientRect();
    canvas->Rectangle(client.left, client.top, client.right, client.bottom);  // outline and white field

    if (drive.m_nDrive >= 0 && haveSpace) {
        // A volume reporting more free than total bytes is shown as empty rather than negative.
        const uint64_t usedBytes = totalBytes - std::min(freeBytes, totalBytes);
        DrawUsedBar(*canvas, client, usedBytes, totalBytes);
    }

    Rect field = canvas->GetClientRect();
    if (drive.m_nDrive != kDriveNoPlayer) {
        std::u16string first = u" ";
        if (drive.m_nDrive >= 0) {
            first += static_cast<char16_t>(static_cast<uint8_t>(drive.m_nDrive));
            first += u": ";
            first += LabelText(drive);
        } else {
            // The root path still names the player's drive: show its letter alone.
            first += drive.m_strRoot.substr(0, 1);
            first += u": ";
        }
        canvas->SetTextColor(kPanelFirstLineColor);
        canvas->DrawTextW(first, field, kPanelFirstLineFormat);
    }

    canvas->SetTextColor(kPanelTextColor);
    if (drive.m_nDrive == kDriveNoPlayer) {
        canvas->DrawTextW(kPanelNoPlayerText, field, kPanelSecondLineFormat);
    } else if (drive.m_nDrive < 0) {
        canvas->DrawTextW(kPanelNotFormattedText, field, kPanelSecondLineFormat);
    } else {
        canvas->DrawTextW(drive.m_strVendor + u" " + drive.m_strModel, field, kPanelSecondLineFormat);
    }

    if (drive.m_nDrive >= 0 && haveSpace) {
        const std::u16string figures =
            KilobyteText(freeBytes) + u"KB Free / " + KilobyteText(totalBytes) + u"KB Total ";
        canvas->DrawTextW(figures, field, kPanelThirdLineFormat);
    }

    canvas->UpdateWindow(PanelWindow::kPanelFrame);
    canvas->UpdateWindow(PanelWindow::kLogEdit);
}  // the canvas is released here, after both windows were updated

}  // namespace tolven
