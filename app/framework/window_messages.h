// The window-system vocabulary of the dialog framework: opaque handles, the message record that
// hosts deliver, and the Win32 values the program uses. The names are k-names because the Win32
// originals (WM_PAINT, IDOK, MB_YESNO, ...) are macros under <windows.h>.
#pragma once

#include <cstdint>

namespace tolven {

// Opaque handles a host hands out; 0 always means "none". The Win32 host stores the HWND, HMENU,
// HICON or HDC value itself; the in-memory hosts number their objects.
using WindowHandle = uintptr_t;
using MenuHandle = uintptr_t;
using IconHandle = uintptr_t;
using PaintContext = uintptr_t;

// One window message as a host delivers it to a dialog.
struct Message {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

constexpr uint32_t LowWord(uintptr_t value) {
    return static_cast<uint32_t>(value & 0xFFFFu);
}
constexpr uint32_t HighWord(uintptr_t value) {
    return static_cast<uint32_t>((value >> 16) & 0xFFFFu);
}
// WM_COMMAND's wParam: the control id in the low word, the notification code in the high word.
constexpr uintptr_t MakeCommandParam(uint32_t controlId, uint32_t notifyCode) {
    return (static_cast<uintptr_t>(notifyCode & 0xFFFFu) << 16) | (controlId & 0xFFFFu);
}

// Window messages (winuser.h values).
inline constexpr uint32_t kWmPaint = 0x000F;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmIconEraseBkgnd = 0x0027;
inline constexpr uint32_t kWmQueryDragIcon = 0x0037;
inline constexpr uint32_t kWmSetIcon = 0x0080;
inline constexpr uint32_t kWmInitDialog = 0x0110;
inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmSysCommand = 0x0112;
inline constexpr uint32_t kWmDeviceChange = 0x0219;

// Edit control messages.
inline constexpr uint32_t kEmLineScroll = 0x00B6;
inline constexpr uint32_t kEmGetLineCount = 0x00BA;

// Button notification of WM_COMMAND.
inline constexpr uint32_t kBnClicked = 0;

// Dialog and message box result identifiers.
inline constexpr int32_t kIdOk = 1;
inline constexpr int32_t kIdCancel = 2;
inline constexpr int32_t kIdAbort = 3;
inline constexpr int32_t kIdRetry = 4;
inline constexpr int32_t kIdIgnore = 5;
inline constexpr int32_t kIdYes = 6;
inline constexpr int32_t kIdNo = 7;

// Message box types: buttons in the low nibble, the icon in the next one.
inline constexpr uint32_t kMbOk = 0x00;
inline constexpr uint32_t kMbOkCancel = 0x01;
inline constexpr uint32_t kMbYesNo = 0x04;
inline constexpr uint32_t kMbButtonsMask = 0x0F;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbIconExclamation = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr uint32_t kMbIconMask = 0xF0;

// Menu item flags.
inline constexpr uint32_t kMfString = 0x0000;
inline constexpr uint32_t kMfSeparator = 0x0800;

// System commands (WM_SYSCOMMAND wParam); the low four bits are the system's own.
inline constexpr uint32_t kScCommandMask = 0xFFF0;
inline constexpr uint32_t kScMove = 0xF010;
inline constexpr uint32_t kScMinimize = 0xF020;
inline constexpr uint32_t kScClose = 0xF060;
inline constexpr uint32_t kScRestore = 0xF120;

// WM_SETICON sizes.
inline constexpr uintptr_t kIconSmall = 0;
inline constexpr uintptr_t kIconBig = 1;

// GetSystemMetrics indices.
inline constexpr int32_t kSmCxScreen = 0;
inline constexpr int32_t kSmCyScreen = 1;
inline constexpr int32_t kSmCxIcon = 11;
inline constexpr int32_t kSmCyIcon = 12;

// SetWindowPos: the z-order handle for the top and the flags the program uses.
inline constexpr WindowHandle kHwndTop = 0;
inline constexpr uint32_t kSwpNoSize = 0x0001;
inline constexpr uint32_t kSwpNoMove = 0x0002;
inline constexpr uint32_t kSwpNoZOrder = 0x0004;

// WM_DEVICECHANGE events (dbt.h values).
inline constexpr uint32_t kDbtDeviceArrival = 0x8000;
inline constexpr uint32_t kDbtDeviceQueryRemove = 0x8001;
inline constexpr uint32_t kDbtDeviceRemovePending = 0x8003;
inline constexpr uint32_t kDbtDeviceRemoveComplete = 0x8004;
inline constexpr uint32_t kDbtDevNodesChanged = 0x0007;

// INITCOMMONCONTROLSEX classes: the Win95 set includes the progress bar.
inline constexpr uint32_t kIccWin95Classes = 0xFF;

}  // namespace tolven
