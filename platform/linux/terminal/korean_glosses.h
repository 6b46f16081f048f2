// Linux host, terminal: the English gloss of every Korean text the program prints, for a locale
// whose character set has no Hangul (LANG=C, no locale at all under cron or env -i, Latin-1...),
// where the Korean would otherwise come out as question marks.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tolven::linux_host {

struct KoreanGloss {
    std::u16string_view korean;  // one line of the product's text, without its line end
    std::u16string_view english;
    bool afterDriveLetter = false;  // "D: 드라이브 포맷": the letter moves into the gloss ("%c")
};

// No Korean text of the table lies inside another, so the order of replacing does not matter.
std::span<const KoreanGloss> KoreanGlosses();

// The text with each Korean text of the table replaced by its gloss; the rest (numbers, paths,
// Latin text, a Korean text the product does not print) stays as it is.
std::u16string WithEnglishGlosses(std::u16string_view text);
std::string WithEnglishGlosses(std::string_view utf8);

// Whether the text holds a Hangul syllable or letter.
bool ContainsHangul(std::u16string_view text);

}  // namespace tolven::linux_host
