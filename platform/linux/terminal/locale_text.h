// Linux host, terminal: the program's UTF-8 texts in the character set of the user's locale
// (LC_CTYPE), so that a Korean line reads right under a EUC-KR locale and shows '?' rather than
// stray bytes under LANG=C.
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

    // The text in the locale's character set. A character it cannot hold becomes one '?' per
    // column it would take, so that framed lines stay straight.
    std::string operator()(std::string_view utf8) const;

  private:
    iconv_t converter_ = reinterpret_cast<iconv_t>(-1);  // none: the locale is UTF-8 already
};

}  // namespace tolven::linux_host
