#include "platform/linux/terminal/korean_glosses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "platform/linux/terminal/locale_text.h"

namespace tolven::linux_host {
namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Every Korean literal of the portable core is glossed, so that a text added there without one
// fails here. Left out: what only the Windows dialog shows (menu, buttons, About box) and the
// registry key.
TEST(KoreanGlossesTest, EveryKoreanTextOfTheCoreHasAGloss) {
    const std::set<std::string> neverPrinted = {"이동(&M)",
                                                "닫기(&C)\\tAlt+F4",
                                                "종료",
                                                "확인",
                                                "TolvenFormat 버전 1.0",
                                                "저작권 (C) 2026 톨벤",
                                                "TolvenFormat 정보",
                                                "TolvenFormat 정보(&A)...",
                                                "로컬 응용 프로그램 마법사에서 생성된 응용 프로그램"};
    const std::regex literal(R"re(u"((?:[^"\\]|\\.)*)")re");
    std::size_t korean = 0;
    for (const char* room : {"app", "device", "fat32", "content", "ui"}) {
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(std::filesystem::path(TOLVEN_SOURCE_DIR) / room)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".h" && extension != ".cpp") {
                continue;
            }
            std::ifstream file(entry.path());
            std::stringstream source;
            source << file.rdbuf();
            const std::string text = source.str();
            for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
                const std::string body = (*it)[1];
                if (IsAscii(body) || neverPrinted.contains(body)) {
                    continue;
                }
                ++korean;
                // A drive letter before it, as the confirmation's caption has.
                EXPECT_TRUE(IsAscii(WithEnglishGlosses("D" + body))) << entry.path() << ": " << body;
            }
        }
    }
    EXPECT_GE(korean, 28u) << "the scan found the product's texts";
}

TEST(KoreanGlossesTest, ComposedLinesKeepWhatIsNotKorean) {
    struct Case {
        const char* utf8;
        const char* english;
    };
    const Case cases[] = {
        {"[D: 드라이브 포맷] 포맷할 경우, 하드디스크 장치의 모든 자료가 삭제 됩니다. 포맷하시겠습니까?",
         "[Format drive D:] Formatting deletes all data on the disk. Format?"},
        {"장치 사용에 실패했습니다. -error=<-13>다른 프로그램이 장치를 사용 중인지 확인해 주십시요.",
         "Cannot use the device. -error=<-13>Check whether another program is using the device."},
        {"[장치확인] TOLVEN 제품이 연결되지 않았습니다.", "[Device check] No Tolven product is connected."},
        {"포맷작업 완료\n", "Format complete\n"},
        {"x: 드라이브 포맷", "x: 드라이브 포맷"},  // not a drive letter: left alone
        {"/tmp/포맷.img", "/tmp/포맷.img"},        // not the product's text
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithEnglishGlosses(std::string_view(c.utf8)), c.english);
    }
}

TEST(KoreanGlossesTest, ALocaleWithoutHangulPrintsTheGlossesAndUtf8StaysAsItIs) {
    struct Case {
        const char* charset;
        bool showsHangul;
        std::string expected;
    };
    const Case cases[] = {
        {"UTF-8", true, "포맷작업 완료 /tmp/포맷"},
        {"EUC-KR", true, "\xC6\xF7\xB8\xCB\xC0\xDB\xBE\xF7 \xBF\xCF\xB7\xE1 /tmp/\xC6\xF7\xB8\xCB"},
        {"ANSI_X3.4-1968", false, "Format complete /tmp/????"},
        {"ISO-8859-1", false, "Format complete /tmp/????"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charset);
        const LocaleText toLocale(c.charset);
        EXPECT_EQ(toLocale.ShowsHangul(), c.showsHangul);
        EXPECT_EQ(toLocale("포맷작업 완료 /tmp/포맷"), c.expected);
    }
}

}  // namespace
}  // namespace tolven::linux_host
