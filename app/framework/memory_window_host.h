// A host that keeps its windows in memory: dialogs built from ResourceSet templates, their
// controls with text, enabled state and the edit and progress messages, a system menu per dialog,
// icons, a screen of a given size, and a queue of posted actions that the modal loops run. The
// tests' host and the Linux terminal host build on it and add how message boxes are answered and
// how the panel is drawn.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/framework/dialog_host.h"
#include "app/framework/dialog_template.h"

namespace tolven {

class MemoryWindowHost : public IDialogHost {
  public:
    struct MenuItem {
        uint32_t flags = 0;
        uintptr_t id = 0;
        std::u16string text;
    };
    struct ProgressState {
        uint32_t low = 0;
        uint32_t high = 100;
        int32_t position = 0;
        int32_t step = 10;
    };
    struct Window {
        WindowHandle handle = 0;
        WindowHandle parent = 0;  // the owner of a dialog, the dialog of a control
        uint32_t templateId = 0;  // dialogs
        int32_t controlId = 0;    // controls
        bool isDialog = false;
        ControlClass controlClass = ControlClass::kStatic;
        CDialog* dialog = nullptr;
        std::u16string text;
        bool enabled = true;
        bool visible = true;
        bool iconic = false;
        Rect rect;  // screen pixels
        bool ended = false;
        intptr_t result = 0;
        MenuHandle systemMenu = 0;
        IconHandle bigIcon = 0;
        IconHandle smallIcon = 0;
        int validations = 0;                               // BeginPaint/EndPaint pairs
        std::vector<std::pair<int32_t, int32_t>> scrolls;  // EM_LINESCROLL (chars, lines)
        ProgressState progress;
    };

    explicit MemoryWindowHost(const ResourceSet& resources);
    ~MemoryWindowHost() override;

    // Actions run by the innermost modal loop, in order, one per turn.
    void Post(std::function<void()> action);
    void PostMessageW(WindowHandle window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    void PostClick(WindowHandle dialog, int32_t controlId);
    // Delivers a message now, as the window system does (the dialog's map, then the default).
    intptr_t Dispatch(WindowHandle window, const Message& message);

    // Inspection.
    const Window* FindWindow(WindowHandle window) const;
    Window* FindWindow(WindowHandle window);
    WindowHandle ActiveDialog() const;  // the innermost modal dialog, 0 when none
    const std::vector<MenuItem>* FindMenu(MenuHandle menu) const;
    bool systemMenuAvailable = true;
    int32_t screenWidth = 1024;
    int32_t screenHeight = 768;
    int32_t iconWidth = 32;
    int32_t iconHeight = 32;
    intptr_t deviceChangeDefaultResult = 1;  // what the default processing answers WM_DEVICECHANGE
    uint32_t commonControlClasses = 0;
    struct DrawnIcon {
        int32_t x;
        int32_t y;
        IconHandle icon;
    };
    std::vector<DrawnIcon> drawnIcons;
    std::vector<Message> defaultProcessed;  // messages given the default processing, in order

    // IDialogHost.
    bool InitCommonControlsEx(uint32_t classes) override;
    intptr_t DoModal(CDialog& dialog, uint32_t templateId, WindowHandle owner) override;
    void EndDialog(WindowHandle dialog, intptr_t result) override;
    intptr_t DefWindowProcW(WindowHandle window, const Message& message) override;
    intptr_t SendMessageW(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    WindowHandle GetDlgItem(WindowHandle dialog, int32_t controlId) override;
    std::u16string GetWindowTextW(WindowHandle window) override;
    void SetWindowTextW(WindowHandle window, std::u16string_view text) override;
    void EnableWindow(WindowHandle window, bool enable) override;
    bool IsWindowEnabled(WindowHandle window) override;
    bool IsIconic(WindowHandle window) override;
    bool GetWindowRect(WindowHandle window, Rect& rect) override;
    bool GetClientRect(WindowHandle window, Rect& rect) override;
    bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y, int32_t cx,
                      int32_t cy, uint32_t flags) override;
    int32_t GetSystemMetrics(int32_t index) override;
    int32_t MessageBoxW(WindowHandle owner, std::u16string_view text, std::u16string_view caption,
                        uint32_t type) override;
    MenuHandle GetSystemMenu(WindowHandle window) override;
    bool AppendMenuW(MenuHandle menu, uint32_t flags, uintptr_t itemId, std::u16string_view text) override;
    std::u16string LoadStringW(uint32_t stringId) override;
    IconHandle LoadIconW(uint32_t iconId) override;
    PaintContext BeginPaint(WindowHandle window) override;
    void EndPaint(WindowHandle window, PaintContext context) override;
    void DrawIcon(PaintContext context, int32_t x, int32_t y, IconHandle icon) override;
    std::unique_ptr<IPanelCanvas> GetPanelCanvas(WindowHandle frame, WindowHandle logEdit) override;

  protected:
    // The modal loop of dialog ran out of posted actions. The default closes the dialog as the
    // user would (IDCANCEL), so that a loop never waits for input that cannot come.
    virtual void OnModalIdle(WindowHandle dialog);
    // How a message box is answered; the default presses its default button (the first one).
    virtual int32_t AnswerMessageBox(WindowHandle owner, std::u16string_view text,
                                     std::u16string_view caption, uint32_t type);
    // A control's text changed (the status log grows through here).
    virtual void OnWindowTextChanged(const Window& window, const std::u16string& before);
    // The panel canvas; the default draws nowhere (null).
    virtual std::unique_ptr<IPanelCanvas> CreatePanelCanvas(WindowHandle frame, WindowHandle logEdit);

  private:
    WindowHandle CreateDialogWindow(const DialogTemplate& dialogTemplate, WindowHandle owner);
    void DestroyDialogWindow(WindowHandle dialog);
    intptr_t ControlMessage(Window& control, const Message& message);

    const ResourceSet& resources_;
    std::map<WindowHandle, Window> windows_;
    std::map<MenuHandle, std::vector<MenuItem>> menus_;
    std::deque<std::function<void()>> posted_;
    std::vector<WindowHandle> modalStack_;
    uintptr_t nextHandle_ = 0x100;
};

// EM_GETLINECOUNT of a multi-line edit control: lines separated by CR LF; an empty last line
// counts, and an empty text is one line.
int32_t CountEditLines(std::u16string_view text);

}  // namespace tolven
