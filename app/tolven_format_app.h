// The application object: its start-up runs the main dialog modally, and the program ends when
// the dialog closes.
#pragma once

#include "app/framework/win_app.h"
#include "app/platform_services.h"
#include "app/tolven_format_dlg.h"

namespace tolven {

class CTolvenFormatApp : public CWinApp {
  public:
    CTolvenFormatApp() = default;

    // The host's entry point hands in the operating system's services before RunApplication.
    void SetPlatformServices(const PlatformServices& services) { m_services = &services; }

    bool InitInstance() override;  // returns false: the process ends after the dialog

    // How the main dialog's last Format command ended (outcome kNotRun when it was never pressed).
    const FormatReport& LastFormatReport() const { return m_lastReport; }

  private:
    const PlatformServices* m_services = nullptr;
    FormatReport m_lastReport;
};

// The one application object of the program.
extern CTolvenFormatApp theApp;

}  // namespace tolven
