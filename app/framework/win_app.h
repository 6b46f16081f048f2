// CWinApp: the application object. The program's entry point (WinMain on Windows, main on the
// Linux terminal) hands it a host and runs it; InitInstance does the program's work.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/framework/dialog_host.h"
#include "app/framework/wnd.h"

namespace tolven {

class CWinApp {
  public:
    CWinApp() = default;
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The entry point's call: binds the host, runs InitInstance, and when it returns true (an
    // application with a message loop of its own) runs nothing further here, since every window
    // of ours is modal. Returns ExitInstance's exit code.
    int RunApplication(IDialogHost& host);

    virtual bool InitInstance();  // the framework's own initialisation: nothing to do
    virtual int ExitInstance();   // exit code 0

    IDialogHost& Host() const { return *m_host; }
    // The registry key under which settings would live; kept, never used.
    void SetRegistryKey(std::u16string_view key) { m_registryKey = key; }
    const std::u16string& RegistryKey() const { return m_registryKey; }

    CWnd* m_pMainWnd = nullptr;

  private:
    IDialogHost* m_host = nullptr;
    std::u16string m_registryKey;
};

}  // namespace tolven
