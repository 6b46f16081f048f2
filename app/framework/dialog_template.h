// A dialog template as data: what a host that keeps its windows itself (in memory, in a terminal)
// needs to build a dialog and its controls. The Win32 host uses the compiled resources instead.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "device/panel_canvas.h"

namespace tolven {

enum class ControlClass { kButton, kStatic, kEdit, kProgress };

struct ControlTemplate {
    int32_t id = 0;
    ControlClass controlClass = ControlClass::kStatic;
    std::u16string_view text;
    uint32_t style = 0;
    Rect dialogUnits;  // left, top, right, bottom in dialog units
};

struct DialogTemplate {
    uint32_t id = 0;
    std::u16string_view title;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    Rect dialogUnits;
    std::span<const ControlTemplate> controls;
};

// Window styles the in-memory hosts look at.
inline constexpr uint32_t kWsVisible = 0x10000000;
inline constexpr uint32_t kWsDisabled = 0x08000000;
inline constexpr uint32_t kWsSysMenu = 0x00080000;

struct StringResource {
    uint32_t id = 0;
    std::u16string_view text;
};

// The resources a self-contained host serves: templates, the string table, the icon ids.
struct ResourceSet {
    std::span<const DialogTemplate> dialogs;
    std::span<const StringResource> strings;
    std::span<const uint32_t> icons;
};

}  // namespace tolven
