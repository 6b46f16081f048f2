#include "app/unattended_format.h"

#include "app/framework/window_messages.h"
#include "app/resource_ids.h"

namespace tolven {

namespace {

// Runs once the main dialog's modal loop is idle: the dialog is the innermost one then.
void PostToMainDialog(MemoryWindowHost& host, void (*action)(MemoryWindowHost&, WindowHandle)) {
    host.Post([&host, action] {
        if (const WindowHandle dialog = host.ActiveDialog(); dialog != 0) {
            action(host, dialog);
        }
    });
}

void Click(MemoryWindowHost& host, WindowHandle dialog, int32_t controlId) {
    host.Dispatch(dialog, Message{kWmCommand, MakeCommandParam(controlId, kBnClicked),
                                  static_cast<intptr_t>(host.GetDlgItem(dialog, controlId))});
}

}  // namespace

FormatReport RunUnattendedFormat(CTolvenFormatApp& app, MemoryWindowHost& host,
                                 const PlatformServices& services) {
    PostToMainDialog(host, [](MemoryWindowHost& h, WindowHandle dialog) {
        h.Dispatch(dialog, Message{kWmPaint, 0, 0});
    });
    PostToMainDialog(host, [](MemoryWindowHost& h, WindowHandle dialog) {
        if (h.IsWindowEnabled(h.GetDlgItem(dialog, kIdcFormat))) {
            Click(h, dialog, kIdcFormat);
        }
    });
    PostToMainDialog(host, [](MemoryWindowHost& h, WindowHandle dialog) { Click(h, dialog, kIdOk); });
    app.SetPlatformServices(services);
    app.RunApplication(host);
    return app.LastFormatReport();
}

}  // namespace tolven
