// Linux host, terminal: the program's UTF-8 texts in the character set of the user's locale
// (LC_CTYPE), so that a Korean line reads right under a EUC-KR locale; under one whose character
// set has no Hangul (LANG=C, no locale at all) the product's Korean texts become their English
// glosses, and only what remains unshowable becomes '?'.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace tolven::linux_host {

class LocaleText {
  public:
    // The character set of the current locale (setlocale must have run), or the named one.
    LocaleText();
    explicit LocaleText(const std::string& charset);
    ~LocaleText();
    LocaleText(const LocaleText&) = delete;
    LocaleText& operator=(const LocaleText&) = delete;

    // The text in the locale's character set, glossed where it shows no Hangul. A character it
    // cannot hold becomes one '?' per column it would take, so that framed lines stay straight.
    std::string operator()(std::string_view utf8) const;

    // Whether the character set holds Hangul; if not, texts are laid out with their glosses
    // before they are framed (see RenderPanel).
    bool ShowsHangul() const { return showsHangul_; }

  private:
    std::string Converted(std::string_view utf8) const;

    iconv_t converter_ = reinterpret_cast<iconv_t>(-1);  // none: the locale is UTF-8 already
    bool showsHangul_ = true;
};

}  // namespace tolven::linux_host
