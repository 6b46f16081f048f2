#include "app/framework/memory_window_host.h"

#include <algorithm>

#include "app/framework/dialog.h"
#include "ui/window_controls.h"

namespace tolven {

namespace {

// Dialog units of an 8-point dialog font: 6 × 13 pixels average character, a dialog unit being a
// quarter of its width and an eighth of its height.
int32_t HorizontalPixels(int32_t units) {
    return units * 6 / 4;
}
int32_t VerticalPixels(int32_t units) {
    return units * 13 / 8;
}

Rect PixelRect(const Rect& units) {
    return {HorizontalPixels(units.left), VerticalPixels(units.top), HorizontalPixels(units.right),
            VerticalPixels(units.bottom)};
}

int32_t DefaultButton(uint32_t type) {
    switch (type & kMbButtonsMask) {
        case kMbYesNo:
            return kIdYes;
        default:
            return kIdOk;
    }
}

}  // namespace

int32_t CountEditLines(std::u16string_view text) {
    int32_t lines = 1;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'\r' && text[i + 1] == u'\n') {
            ++lines;
        }
    }
    return lines;
}

MemoryWindowHost::MemoryWindowHost(const ResourceSet& resources) : resources_(resources) {}

MemoryWindowHost::~MemoryWindowHost() = default;

void MemoryWindowHost::Post(std::function<void()> action) {
    posted_.push_back(std::move(action));
}

void MemoryWindowHost::PostMessageW(WindowHandle window, uint32_t message, uintptr_t wParam,
                                    intptr_t lParam) {
    Post([this, window, message, wParam, lParam] { Dispatch(window, Message{message, wParam, lParam}); });
}

void MemoryWindowHost::PostClick(WindowHandle dialog, int32_t controlId) {
    Post([this, dialog, controlId] {
        // A disabled button sends nothing.
        const WindowHandle button = GetDlgItem(dialog, controlId);
        if (button != 0 && !IsWindowEnabled(button)) {
            return;
        }
        Dispatch(dialog, Message{kWmCommand, MakeCommandParam(static_cast<uint32_t>(controlId), kBnClicked),
                                 static_cast<intptr_t>(button)});
    });
}

intptr_t MemoryWindowHost::Dispatch(WindowHandle window, const Message& message) {
    Window* target = FindWindow(window);
    if (target == nullptr) {
        return 0;
    }
    if (target->isDialog && target->dialog != nullptr) {
        intptr_t result = 0;
        if (target->dialog->OnWndMsg(message, result)) {
            return result;
        }
        return DefWindowProcW(window, message);
    }
    return ControlMessage(*target, message);
}

const MemoryWindowHost::Window* MemoryWindowHost::FindWindow(WindowHandle window) const {
    auto found = windows_.find(window);
    return found != windows_.end() ? &found->second : nullptr;
}

MemoryWindowHost::Window* MemoryWindowHost::FindWindow(WindowHandle window) {
    auto found = windows_.find(window);
    return found != windows_.end() ? &found->second : nullptr;
}

WindowHandle MemoryWindowHost::ActiveDialog() const {
    return modalStack_.empty() ? 0 : modalStack_.back();
}

const std::vector<MemoryWindowHost::MenuItem>* MemoryWindowHost::FindMenu(MenuHandle menu) const {
    auto found = menus_.find(menu);
    return found != menus_.end() ? &found->second : nullptr;
}

bool MemoryWindowHost::InitCommonControlsEx(uint32_t classes) {
    commonControlClasses |= classes;
    return true;
}

intptr_t MemoryWindowHost::DoModal(CDialog& dialog, uint32_t templateId, WindowHandle owner) {
    const DialogTemplate* found = nullptr;
    for (const DialogTemplate& candidate : resources_.dialogs) {
        if (candidate.id == templateId) {
            found = &candidate;
        }
    }
    if (found == nullptr) {
        return -1;
    }
    const WindowHandle window = CreateDialogWindow(*found, owner);
    FindWindow(window)->dialog = &dialog;
    dialog.Attach(*this, window);
    modalStack_.push_back(window);

    Dispatch(window, Message{kWmInitDialog, 0, 0});
    while (!FindWindow(window)->ended) {
        if (posted_.empty()) {
            OnModalIdle(window);
            continue;
        }
        std::function<void()> action = std::move(posted_.front());
        posted_.pop_front();
        action();
    }

    modalStack_.pop_back();
    const intptr_t result = FindWindow(window)->result;
    DestroyDialogWindow(window);
    return result;
}

void MemoryWindowHost::EndDialog(WindowHandle dialog, intptr_t result) {
    Window* window = FindWindow(dialog);
    if (window != nullptr && window->isDialog) {
        window->ended = true;
        window->result = result;
    }
}

intptr_t MemoryWindowHost::DefWindowProcW(WindowHandle window, const Message& message) {
    defaultProcessed.push_back(message);
    Window* target = FindWindow(window);
    if (target == nullptr) {
        return 0;
    }
    switch (message.message) {
        case kWmSetIcon: {
            IconHandle& slot = message.wParam == kIconBig ? target->bigIcon : target->smallIcon;
            const IconHandle previous = slot;
            slot = static_cast<IconHandle>(message.lParam);
            return static_cast<intptr_t>(previous);
        }
        case kWmPaint: {
            EndPaint(window, BeginPaint(window));
            return 0;
        }
        case kWmSysCommand:
            switch (static_cast<uint32_t>(message.wParam) & kScCommandMask) {
                case kScClose:
                    // The dialog manager turns the close box into IDCANCEL.
                    return Dispatch(window, Message{kWmCommand, MakeCommandParam(kIdCancel, kBnClicked), 0});
                case kScMinimize:
                    target->iconic = true;
                    return 0;
                case kScRestore:
                    target->iconic = false;
                    return 0;
                default:
                    return 0;
            }
        case kWmDeviceChange:
            return deviceChangeDefaultResult;
        case kWmIconEraseBkgnd:
            return 1;
        default:
            return 0;
    }
}

intptr_t MemoryWindowHost::SendMessageW(WindowHandle window, uint32_t message, uintptr_t wParam,
                                        intptr_t lParam) {
    return Dispatch(window, Message{message, wParam, lParam});
}

WindowHandle MemoryWindowHost::GetDlgItem(WindowHandle dialog, int32_t controlId) {
    for (const auto& [handle, window] : windows_) {
        if (!window.isDialog && window.parent == dialog && window.controlId == controlId) {
            return handle;
        }
    }
    return 0;
}

std::u16string MemoryWindowHost::GetWindowTextW(WindowHandle window) {
    const Window* target = FindWindow(window);
    return target != nullptr ? target->text : std::u16string();
}

void MemoryWindowHost::SetWindowTextW(WindowHandle window, std::u16string_view text) {
    Window* target = FindWindow(window);
    if (target == nullptr) {
        return;
    }
    std::u16string before = std::move(target->text);
    target->text = text;
    OnWindowTextChanged(*target, before);
}

void MemoryWindowHost::EnableWindow(WindowHandle window, bool enable) {
    Window* target = FindWindow(window);
    if (target != nullptr) {
        target->enabled = enable;
    }
}

bool MemoryWindowHost::IsWindowEnabled(WindowHandle window) {
    const Window* target = FindWindow(window);
    return target != nullptr && target->enabled;
}

bool MemoryWindowHost::IsIconic(WindowHandle window) {
    const Window* target = FindWindow(window);
    return target != nullptr && target->iconic;
}

bool MemoryWindowHost::GetWindowRect(WindowHandle window, Rect& rect) {
    const Window* target = FindWindow(window);
    if (target == nullptr) {
        return false;
    }
    rect = target->rect;
    return true;
}

bool MemoryWindowHost::GetClientRect(WindowHandle window, Rect& rect) {
    const Window* target = FindWindow(window);
    if (target == nullptr) {
        return false;
    }
    rect = {0, 0, target->rect.right - target->rect.left, target->rect.bottom - target->rect.top};
    return true;
}

bool MemoryWindowHost::SetWindowPos(WindowHandle window, WindowHandle, int32_t x, int32_t y, int32_t cx,
                                    int32_t cy, uint32_t flags) {
    Window* target = FindWindow(window);
    if (target == nullptr) {
        return false;
    }
    const int32_t width = (flags & kSwpNoSize) != 0 ? target->rect.right - target->rect.left : cx;
    const int32_t height = (flags & kSwpNoSize) != 0 ? target->rect.bottom - target->rect.top : cy;
    if ((flags & kSwpNoMove) == 0) {
        target->rect.left = x;
        target->rect.top = y;
    }
    target->rect.right = target->rect.left + width;
    target->rect.bottom = target->rect.top + height;
    return true;
}

int32_t MemoryWindowHost::GetSystemMetrics(int32_t index) {
    switch (index) {
        case kSmCxScreen:
            return screenWidth;
        case kSmCyScreen:
            return screenHeight;
        case kSmCxIcon:
            return iconWidth;
        case kSmCyIcon:
            return iconHeight;
        default:
            return 0;
    }
}

int32_t MemoryWindowHost::MessageBoxW(WindowHandle owner, std::u16string_view text,
                                      std::u16string_view caption, uint32_t type) {
    return AnswerMessageBox(owner, text, caption, type);
}

MenuHandle MemoryWindowHost::GetSystemMenu(WindowHandle window) {
    const Window* target = FindWindow(window);
    return systemMenuAvailable && target != nullptr ? target->systemMenu : 0;
}

bool MemoryWindowHost::AppendMenuW(MenuHandle menu, uint32_t flags, uintptr_t itemId,
                                   std::u16string_view text) {
    auto found = menus_.find(menu);
    if (found == menus_.end()) {
        return false;
    }
    found->second.push_back(MenuItem{flags, itemId, std::u16string(text)});
    return true;
}

std::u16string MemoryWindowHost::LoadStringW(uint32_t stringId) {
    for (const StringResource& entry : resources_.strings) {
        if (entry.id == stringId) {
            return std::u16string(entry.text);
        }
    }
    return {};
}

IconHandle MemoryWindowHost::LoadIconW(uint32_t iconId) {
    const bool known =
        std::find(resources_.icons.begin(), resources_.icons.end(), iconId) != resources_.icons.end();
    // Icons are shared resources: the same id always gives the same handle.
    return known ? 0x10000 + iconId : 0;
}

PaintContext MemoryWindowHost::BeginPaint(WindowHandle window) {
    return FindWindow(window) != nullptr ? 0x20000 + window : 0;
}

void MemoryWindowHost::EndPaint(WindowHandle window, PaintContext) {
    Window* target = FindWindow(window);
    if (target != nullptr) {
        ++target->validations;
    }
}

void MemoryWindowHost::DrawIcon(PaintContext, int32_t x, int32_t y, IconHandle icon) {
    drawnIcons.push_back(DrawnIcon{x, y, icon});
}

std::unique_ptr<IPanelCanvas> MemoryWindowHost::GetPanelCanvas(WindowHandle frame, WindowHandle logEdit) {
    return CreatePanelCanvas(frame, logEdit);
}

void MemoryWindowHost::OnModalIdle(WindowHandle dialog) {
    EndDialog(dialog, kIdCancel);
}

int32_t MemoryWindowHost::AnswerMessageBox(WindowHandle, std::u16string_view, std::u16string_view,
                                           uint32_t type) {
    return DefaultButton(type);
}

void MemoryWindowHost::OnWindowTextChanged(const Window&, const std::u16string&) {}

std::unique_ptr<IPanelCanvas> MemoryWindowHost::CreatePanelCanvas(WindowHandle, WindowHandle) {
    return nullptr;
}

WindowHandle MemoryWindowHost::CreateDialogWindow(const DialogTemplate& dialogTemplate, WindowHandle owner) {
    const WindowHandle handle = nextHandle_++;
    Window dialog;
    dialog.handle = handle;
    dialog.parent = owner;
    dialog.templateId = dialogTemplate.id;
    dialog.isDialog = true;
    dialog.text = dialogTemplate.title;
    dialog.rect = PixelRect(dialogTemplate.dialogUnits);
    if ((dialogTemplate.style & kWsSysMenu) != 0) {
        dialog.systemMenu = nextHandle_++;
        // The system menu of a fixed-size dialog: Move and Close.
        menus_[dialog.systemMenu] = {MenuItem{kMfString, kScMove, u"이동(&M)"},
                                     MenuItem{kMfSeparator, 0, u""},
                                     MenuItem{kMfString, kScClose, u"닫기(&C)\tAlt+F4"}};
    }
    windows_[handle] = std::move(dialog);

    for (const ControlTemplate& controlTemplate : dialogTemplate.controls) {
        Window control;
        control.handle = nextHandle_++;
        control.parent = handle;
        control.controlId = controlTemplate.id;
        control.controlClass = controlTemplate.controlClass;
        control.text = controlTemplate.text;
        control.visible = (controlTemplate.style & kWsVisible) != 0;
        control.enabled = (controlTemplate.style & kWsDisabled) == 0;
        control.rect = PixelRect(controlTemplate.dialogUnits);
        windows_[control.handle] = std::move(control);
    }
    return handle;
}

void MemoryWindowHost::DestroyDialogWindow(WindowHandle dialog) {
    const Window* window = FindWindow(dialog);
    if (window != nullptr && window->systemMenu != 0) {
        menus_.erase(window->systemMenu);
    }
    std::erase_if(windows_, [dialog](const auto& entry) {
        return entry.first == dialog || (!entry.second.isDialog && entry.second.parent == dialog);
    });
}

intptr_t MemoryWindowHost::ControlMessage(Window& control, const Message& message) {
    switch (message.message) {
        case kEmGetLineCount:
            return control.controlClass == ControlClass::kEdit ? CountEditLines(control.text) : 0;
        case kEmLineScroll:
            control.scrolls.emplace_back(static_cast<int32_t>(message.wParam),
                                         static_cast<int32_t>(message.lParam));
            return 1;
        default:
            break;
    }
    if (control.controlClass != ControlClass::kProgress) {
        return 0;
    }
    ProgressState& bar = control.progress;
    const int32_t previous = bar.position;
    switch (message.message) {
        case kPbmSetRange: {  // the low and high ends in lParam's words
            const intptr_t old = static_cast<intptr_t>((bar.high << 16) | (bar.low & 0xFFFF));
            bar.low = LowWord(static_cast<uintptr_t>(message.lParam));
            bar.high = HighWord(static_cast<uintptr_t>(message.lParam));
            return old;
        }
        case kPbmSetPos:
            bar.position = static_cast<int32_t>(message.wParam);
            return previous;
        case kPbmSetStep: {
            const int32_t oldStep = bar.step;
            bar.step = static_cast<int32_t>(message.wParam);
            return oldStep;
        }
        case kPbmStepIt:  // wraps to the low end past the high end
            bar.position += bar.step;
            if (bar.position > static_cast<int32_t>(bar.high)) {
                bar.position =
                    static_cast<int32_t>(bar.low) + (bar.position - static_cast<int32_t>(bar.high));
            }
            return previous;
        default:
            return 0;
    }
}

}  // namespace tolven
