// Win32 platform layer, test tool: a small console program that the Wine tests run next to the
// product. It reads the product's resources as a data file and inspects or drives its windows
// from outside (the same messages a user's clicks send), writing what it sees as UTF-8.
//
//   tolven_probe resources EXE OUT          ids and sizes of the content blocks
//   tolven_probe block EXE ID OUT           the bytes of one content block
//   tolven_probe wait TITLE SECONDS         waits for a top-level window
//   tolven_probe wait-gone TITLE SECONDS    waits until no such window exists
//   tolven_probe dump TITLE OUT             the window's children: id, class, state and text
//   tolven_probe command TITLE ID           posts WM_COMMAND (BN_CLICKED of control ID)
//   tolven_probe syscommand TITLE CODE      posts WM_SYSCOMMAND
//   tolven_probe devicechange TITLE EVENT   sends WM_DEVICECHANGE for volume E: as the system does
#include <windows.h>

#include <dbt.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/win32_content_store.h"

namespace {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), needed, nullptr,
                        nullptr);
    return utf8;
}

// Control characters are escaped so that every child fits on one line.
std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out;
}

bool WriteText(const wchar_t* path, const std::string& text) {
    FILE* file = _wfopen(path, L"wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

std::wstring WindowText(HWND window) {
    // WM_GETTEXT crosses the process boundary; GetWindowTextW would not for another process.
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

HWND FindTopLevel(const wchar_t* title) {
    return FindWindowW(nullptr, title);
}

HWND WaitFor(const wchar_t* title, double seconds) {
    for (double waited = 0; waited <= seconds; waited += 0.1) {
        if (HWND window = FindTopLevel(title)) {
            return window;
        }
        Sleep(100);
    }
    return nullptr;
}

HMODULE LoadAsData(const wchar_t* exe) {
    return LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

int Resources(const wchar_t* exe, const wchar_t* out) {
    HMODULE module = LoadAsData(exe);
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load the program as a data file (%lu)\n", GetLastError());
        return 2;
    }
    tolven::win32::Win32ContentStore store(module);
    std::vector<unsigned> ids = {0, 136, 137, 138, 158};
    for (unsigned id = 159; id <= 176; ++id) {
        ids.push_back(id);
    }
    std::string report;
    for (unsigned id : ids) {
        const auto block = store.FindContentResource(static_cast<uint16_t>(id));
        report +=
            std::to_string(id) + " " + (block ? std::to_string(block->size()) : std::string("none")) + "\n";
    }
    return WriteText(out, report) ? 0 : 2;
}

int Block(const wchar_t* exe, const wchar_t* idText, const wchar_t* out) {
    HMODULE module = LoadAsData(exe);
    if (module == nullptr) {
        return 2;
    }
    const auto block = tolven::win32::Win32ContentStore(module).FindContentResource(
        static_cast<uint16_t>(std::wcstoul(idText, nullptr, 10)));
    if (!block) {
        return 1;
    }
    return WriteText(out, std::string(reinterpret_cast<const char*>(block->data()), block->size())) ? 0 : 2;
}

BOOL CALLBACK DumpChild(HWND child, LPARAM context) {
    auto* report = reinterpret_cast<std::string*>(context);
    *report += std::to_string(GetDlgCtrlID(child)) + "\t" + ToUtf8(ClassOf(child)) + "\t" +
               (IsWindowVisible(child) ? "visible" : "hidden") + "\t" +
               (IsWindowEnabled(child) ? "enabled" : "disabled") + "\t" + Escape(ToUtf8(WindowText(child))) +
               "\n";
    return TRUE;
}

int Dump(const wchar_t* title, const wchar_t* out) {
    HWND window = FindTopLevel(title);
    if (window == nullptr) {
        return 1;
    }
    RECT frame{};
    GetWindowRect(window, &frame);
    std::string report = "window\t" + std::to_string(frame.left) + "," + std::to_string(frame.top) + "," +
                         std::to_string(frame.right) + "," + std::to_string(frame.bottom) + "\t" +
                         (IsWindowVisible(window) ? "visible" : "hidden") + "\n";
    EnumChildWindows(window, DumpChild, reinterpret_cast<LPARAM>(&report));
    return WriteText(out, report) ? 0 : 2;
}

int Post(const wchar_t* title, UINT message, WPARAM wParam, bool withControl) {
    HWND window = FindTopLevel(title);
    if (window == nullptr) {
        return 1;
    }
    LPARAM lParam = 0;
    if (withControl) {
        lParam = reinterpret_cast<LPARAM>(GetDlgItem(window, static_cast<int>(LOWORD(wParam))));
    }
    return PostMessageW(window, message, wParam, lParam) ? 0 : 2;
}

// Sent with a volume record, as the system broadcasts it: a device change that may carry a
// record cannot be posted.
int DeviceChange(const wchar_t* title, WPARAM event) {
    HWND window = FindTopLevel(title);
    if (window == nullptr) {
        return 1;
    }
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << ('E' - 'A');
    DWORD_PTR result = 0;
    const LRESULT sent = SendMessageTimeoutW(
        window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume), SMTO_ABORTIFHUNG, 10000, &result);
    if (sent == 0) {
        std::fprintf(stderr, "WM_DEVICECHANGE not delivered (%lu)\n", GetLastError());
        return 2;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"resources" && argc == 4) {
        return Resources(argv[2], argv[3]);
    }
    if (command == L"block" && argc == 5) {
        return Block(argv[2], argv[3], argv[4]);
    }
    if (command == L"wait" && argc == 4) {
        return WaitFor(argv[2], std::wcstod(argv[3], nullptr)) != nullptr ? 0 : 1;
    }
    if (command == L"wait-gone" && argc == 4) {
        const double seconds = std::wcstod(argv[3], nullptr);
        for (double waited = 0; waited <= seconds; waited += 0.1) {
            if (FindTopLevel(argv[2]) == nullptr) {
                return 0;
            }
            Sleep(100);
        }
        return 1;
    }
    if (command == L"dump" && argc == 4) {
        return Dump(argv[2], argv[3]);
    }
    if (command == L"command" && argc == 4) {
        const auto id = static_cast<WORD>(std::wcstoul(argv[3], nullptr, 10));
        return Post(argv[2], WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), true);
    }
    if (command == L"syscommand" && argc == 4) {
        return Post(argv[2], WM_SYSCOMMAND, std::wcstoul(argv[3], nullptr, 0), false);
    }
    if (command == L"devicechange" && argc == 4) {
        return DeviceChange(argv[2], std::wcstoul(argv[3], nullptr, 0));
    }
    std::fprintf(stderr, "usage: see the comment at the top of tolven_probe.cpp\n");
    return 64;
}
