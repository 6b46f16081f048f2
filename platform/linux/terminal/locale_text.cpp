// Linux host, terminal: converting texts to the locale's character set with iconv.
#include "platform/linux/terminal/locale_text.h"

#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/linux/terminal/korean_glosses.h"
#include "platform/linux/terminal/terminal_text.h"

namespace tolven::linux_host {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool IsUtf8(const std::string& charset) {
    return charset == "UTF-8" || charset == "utf-8" || charset == "UTF8" || charset == "utf8";
}

// The length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead < 0xF0 ? 3 : 1;
    }
    return lead >= 0xC0 ? 2 : 1;
}

// The columns one UTF-8 sequence takes: two for East Asian wide characters.
std::size_t SequenceColumns(std::string_view sequence) {
    if (sequence.size() == 3) {
        const auto b = [&](std::size_t i) { return static_cast<char16_t>(sequence[i] & 0x3F); };
        const auto unit = static_cast<char16_t>(((sequence[0] & 0x0F) << 12) | (b(1) << 6) | b(2));
        return DisplayWidth(std::u16string_view(&unit, 1));
    }
    return sequence.size() == 4 ? 2 : 1;
}

}  // namespace

LocaleText::LocaleText() : LocaleText(::nl_langinfo(CODESET)) {}

LocaleText::LocaleText(const std::string& charset) {
    if (!IsUtf8(charset)) {
        converter_ = ::iconv_open(charset.c_str(), "UTF-8");
        // One syllable tells: a set with Hangul has them all (EUC-KR, UHC, ISO-2022-KR...).
        showsHangul_ = converter_ == kNoConverter || Converted("\xED\x95\x9C") != "??";
    }
}

LocaleText::~LocaleText() {
    if (converter_ != kNoConverter) {
        ::iconv_close(converter_);
    }
}

std::string LocaleText::operator()(std::string_view utf8) const {
    return showsHangul_ ? Converted(utf8) : Converted(WithEnglishGlosses(utf8));
}

std::string LocaleText::Converted(std::string_view utf8) const {
    if (converter_ == kNoConverter) {
        return std::string(utf8);
    }
    std::string out;
    char buffer[256];
    std::string input(utf8);
    char* in = input.data();
    std::size_t inLeft = input.size();
    ::iconv(converter_, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        char* next = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t done = ::iconv(converter_, &in, &inLeft, &next, &room);
        out.append(buffer, static_cast<std::size_t>(next - buffer));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // EILSEQ (not in the target set, or not UTF-8) or EINVAL (cut short): one '?' per column.
        const std::size_t length = std::min(SequenceLength(static_cast<unsigned char>(*in)), inLeft);
        out.append(SequenceColumns(std::string_view(in, length)), '?');
        in += length;
        inLeft -= length;
    }
    char* next = buffer;
    std::size_t room = sizeof buffer;
    ::iconv(converter_, nullptr, nullptr, &next, &room);  // the shift state's closing bytes
    out.append(buffer, static_cast<std::size_t>(next - buffer));
    return out;
}

}  // namespace tolven::linux_host
