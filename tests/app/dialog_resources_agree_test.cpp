// The templates the in-memory hosts build their dialogs from (app/dialog_resources.cpp) against
// the Windows program's compiled resources, as the resource checks pin them in
// expected_resources.rc (the decompiled dialogs and string table of each built program), and the
// resource script's ids (res/resource.h) against app/resource_ids.h.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/dialog_resources.h"
#include "app/framework/window_messages.h"
#include "app/resource_ids.h"

namespace tolven {
namespace {

std::string Utf8(std::u16string_view text) {  // the resources' texts are all in the BMP
    std::string out;
    for (const char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

struct RcControl {
    std::string text;  // a number here names the icon an SS_ICON static shows
    int32_t id = 0;
    std::string className;
    uint32_t style = 0;
    Rect rect;
};

struct RcDialog {
    uint32_t id = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    std::string caption;
    Rect rect;
    std::vector<RcControl> controls;
};

struct RcResources {
    std::map<uint32_t, RcDialog> dialogs;
    std::map<uint32_t, std::string> strings;
};

Rect FromSize(const std::smatch& m, size_t first) {
    const int32_t x = std::stoi(m[first]), y = std::stoi(m[first + 1]);
    return {x, y, x + std::stoi(m[first + 2]), y + std::stoi(m[first + 3])};
}

RcResources ParseDecompiledRc(const std::string& path) {
    static const std::regex kDialog(R"(^(\d+) DIALOGEX (\d+), (\d+), (\d+), (\d+)$)");
    static const std::regex kStyle(R"(^(EX)?STYLE 0x([0-9a-f]+)$)");
    static const std::regex kCaption(R"re(^CAPTION L?"(.*)"$)re");
    static const std::regex kControl(
        R"re(^ *CONTROL (?:L?"(.*)"|(\d+)), (-?\d+), "(\w+)", 0x([0-9a-f]+), (\d+), (\d+), (\d+), (\d+)$)re");
    static const std::regex kString(R"re(^ *(\d+), L?"(.*)"$)re");
    RcResources rc;
    std::ifstream in(path);
    RcDialog* dialog = nullptr;
    bool inStrings = false;
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_match(line, m, kDialog)) {
            dialog = &rc.dialogs[static_cast<uint32_t>(std::stoul(m[1]))];
            dialog->id = static_cast<uint32_t>(std::stoul(m[1]));
            dialog->rect = FromSize(m, 2);
        } else if (line == "STRINGTABLE") {
            dialog = nullptr;
            inStrings = true;
        } else if (dialog != nullptr && std::regex_match(line, m, kStyle)) {
            (m[1].matched ? dialog->exStyle : dialog->style) =
                static_cast<uint32_t>(std::stoul(m[2], nullptr, 16));
        } else if (dialog != nullptr && std::regex_match(line, m, kCaption)) {
            dialog->caption = m[1];
        } else if (dialog != nullptr && std::regex_match(line, m, kControl)) {
            dialog->controls.push_back({m[1].matched ? m[1].str() : m[2].str(), std::stoi(m[3]), m[4],
                                        static_cast<uint32_t>(std::stoul(m[5], nullptr, 16)),
                                        FromSize(m, 6)});
        } else if (inStrings && std::regex_match(line, m, kString)) {
            rc.strings[static_cast<uint32_t>(std::stoul(m[1]))] = m[2];
        } else if (line == "END") {
            dialog = nullptr;
            inStrings = false;
        }
    }
    return rc;
}

std::string RcClassName(ControlClass controlClass) {
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
    return "";
}

void ExpectSameRect(const Rect& rc, const Rect& data, const std::string& what) {
    EXPECT_EQ(rc.left, data.left) << what;
    EXPECT_EQ(rc.top, data.top) << what;
    EXPECT_EQ(rc.right, data.right) << what;
    EXPECT_EQ(rc.bottom, data.bottom) << what;
}

TEST(DialogResourcesAgree, TemplatesMatchTheCompiledResources) {
    const RcResources rc = ParseDecompiledRc(TOLVEN_EXPECTED_RC);
    const ResourceSet& data = TolvenFormatResources();
    ASSERT_EQ(rc.dialogs.size(), data.dialogs.size()) << "dialogs in " << TOLVEN_EXPECTED_RC;
    for (const DialogTemplate& dialog : data.dialogs) {
        const auto found = rc.dialogs.find(dialog.id);
        ASSERT_NE(found, rc.dialogs.end()) << "dialog " << dialog.id;
        const RcDialog& compiled = found->second;
        const std::string what = "dialog " + std::to_string(dialog.id);
        EXPECT_EQ(compiled.caption, Utf8(dialog.title)) << what;
        EXPECT_EQ(compiled.style, dialog.style) << what;
        EXPECT_EQ(compiled.exStyle, dialog.exStyle) << what;
        ExpectSameRect(compiled.rect, dialog.dialogUnits, what);
        ASSERT_EQ(compiled.controls.size(), dialog.controls.size()) << what;
        for (size_t i = 0; i < dialog.controls.size(); ++i) {
            const ControlTemplate& control = dialog.controls[i];
            const RcControl& rcControl = compiled.controls[i];
            const std::string where = what + ", control " + std::to_string(i);
            EXPECT_EQ(rcControl.id, control.id) << where;
            EXPECT_EQ(rcControl.className, RcClassName(control.controlClass)) << where;
            EXPECT_EQ(rcControl.style, control.style) << where;
            ExpectSameRect(rcControl.rect, control.dialogUnits, where);
            const bool showsIcon =
                !rcControl.text.empty() && std::isdigit(static_cast<unsigned char>(rcControl.text[0]));
            if (showsIcon) {
                EXPECT_TRUE(control.text.empty()) << where;
                ASSERT_EQ(data.icons.size(), 1u);
                EXPECT_EQ(rcControl.text, std::to_string(data.icons[0])) << where;
            } else {
                EXPECT_EQ(rcControl.text, Utf8(control.text)) << where;
            }
        }
    }
    ASSERT_EQ(rc.strings.size(), data.strings.size());
    for (const StringResource& string : data.strings) {
        ASSERT_TRUE(rc.strings.contains(string.id)) << "string " << string.id;
        EXPECT_EQ(rc.strings.at(string.id), Utf8(string.text)) << "string " << string.id;
    }
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
    std::map<std::string, int64_t> defined;
    std::ifstream in(TOLVEN_RESOURCE_H);
    const std::regex kDefine(R"(^#define (\w+) (\d+)$)");
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_match(line, m, kDefine)) {
            defined[m[1]] = std::stoll(m[2]);
        }
    }
    EXPECT_EQ(defined, expected);
    EXPECT_EQ(kIdOk, 1);  // IDOK, the Exit and OK buttons' id in both dialogs
}

}  // namespace
}  // namespace tolven
