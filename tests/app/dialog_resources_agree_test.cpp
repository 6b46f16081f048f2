// The templates the in-memory hosts build their dialogs from (app/dialog_resources.cpp) against
// the Windows program's compiled resources, as the resource checks pin them in
// expected_resources.rc (the dialogs and string table windres decompiles from each built
// program), and the resource script's ids (res/resource.h) against app/resource_ids.h.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/dialog_resources.h"
#include "app/resource_ids.h"

namespace tolven {
namespace {

// A text as windres writes it: L"..." once it holds anything beyond ASCII (all in the BMP here).
std::string RcText(std::u16string_view text) {
    std::string out;
    bool wide = false;
    for (const char16_t c : text) {
        wide |= c >= 0x80;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            out += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return (wide ? "L\"" : "\"") + out + "\"";
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

std::string Box(const Rect& r) {  // the resource script's x, y, width, height
    return std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right - r.left) +
           ", " + std::to_string(r.bottom - r.top);
}

const char* RcClass(ControlClass controlClass) {
    switch (controlClass) {
        case ControlClass::kButton:
            return "BUTTON";
        case ControlClass::kStatic:
            return "STATIC";
        case ControlClass::kEdit:
            return "EDIT";
        case ControlClass::kProgress:
            return "MSCTLS_PROGRESS32";
    }
    return "?";
}

// The lines of the decompiled script the templates describe (fonts aside), in its order.
std::vector<std::string> TemplateLines(const ResourceSet& resources) {
    std::map<uint32_t, std::vector<std::string>> dialogs;  // windres lists them by id
    for (const DialogTemplate& dialog : resources.dialogs) {
        auto& lines = dialogs[dialog.id];
        lines.push_back(std::to_string(dialog.id) + " DIALOGEX " + Box(dialog.dialogUnits));
        lines.push_back("STYLE " + Hex(dialog.style));
        if (dialog.exStyle != 0) {
            lines.push_back("EXSTYLE " + Hex(dialog.exStyle));
        }
        lines.push_back("CAPTION " + RcText(dialog.title));
        for (const ControlTemplate& control : dialog.controls) {
            // An icon static names the program's one icon where other controls have their text.
            const bool icon = control.controlClass == ControlClass::kStatic && (control.style & 0xF) == 3;
            lines.push_back("  CONTROL " +
                            (icon ? std::to_string(resources.icons[0]) : RcText(control.text)) + ", " +
                            std::to_string(control.id) + ", \"" + RcClass(control.controlClass) + "\", " +
                            Hex(control.style) + ", " + Box(control.dialogUnits));
        }
    }
    std::vector<std::string> lines;
    for (const auto& [id, dialogLines] : dialogs) {
        lines.insert(lines.end(), dialogLines.begin(), dialogLines.end());
    }
    for (const StringResource& string : resources.strings) {
        lines.push_back("  " + std::to_string(string.id) + ", " + RcText(string.text));
    }
    return lines;
}

TEST(DialogResourcesAgree, TemplatesMatchTheCompiledResources) {
    const std::regex kDescribed(R"re(^(\d+ DIALOGEX|(EX)?STYLE|CAPTION|  CONTROL|  \d+, ).*)re");
    std::vector<std::string> compiled;
    std::ifstream in(TOLVEN_EXPECTED_RC);
    for (std::string line; std::getline(in, line) && line != "1 VERSIONINFO";) {
        if (std::regex_match(line, kDescribed)) {
            compiled.push_back(line);
        }
    }
    EXPECT_EQ(TemplateLines(TolvenFormatResources()), compiled) << "against " << TOLVEN_EXPECTED_RC;
}

TEST(DialogResourcesAgree, ResourceScriptIdsMatchTheProgramsIds) {
    const std::map<std::string, int64_t> expected = {
        {"IDD_ABOUTBOX", kIddAboutBox},
        {"IDS_ABOUTBOX", kIdsAboutBox},
        {"IDD_TOLVENFORMAT_DIALOG", kIddTolvenFormatDialog},
        {"IDR_MAINFRAME", kIdrMainFrame},
        {"IDC_LOG_EDIT", kIdcLogEdit},
        {"IDC_FORMAT_BUTTON", kIdcFormat},
        {"IDC_PROGRESS", kIdcProgress},
        {"IDC_PANEL_FRAME", kIdcPanelFrame},
    };
    const std::regex kDefine(R"(^#define (\w+) (\d+)$)");
    std::map<std::string, int64_t> defined;
    std::ifstream in(TOLVEN_RESOURCE_H);
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_match(line, m, kDefine)) {
            defined[m[1]] = std::stoll(m[2]);
        }
    }
    EXPECT_EQ(defined, expected);
}

}  // namespace
}  // namespace tolven
