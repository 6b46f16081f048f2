// Linux host, terminal: the glosses, as the README gives them for the lines it shows.
#include "platform/linux/terminal/korean_glosses.h"

#include <vector>

#include "app/dialog_texts.h"
#include "device/drive_info_panel.h"
#include "fat32/format_messages.h"
#include "platform/linux/terminal/terminal_text.h"

namespace tolven::linux_host {

namespace {

namespace fm = format_messages;

constexpr std::u16string_view kLineEnd = u"\r\n";

// A text without its closing line end.
constexpr std::u16string_view Line(std::u16string_view text) {
    return text.ends_with(kLineEnd) ? text.substr(0, text.size() - kLineEnd.size()) : text;
}

constexpr std::u16string_view kIntroduction = kIntroductionText;
constexpr std::u16string_view kIntroductionFirst = kIntroduction.substr(0, kIntroduction.find(kLineEnd));
constexpr std::u16string_view kIntroductionSecond =
    kIntroduction.substr(kIntroduction.find(kLineEnd) + kLineEnd.size());

constexpr KoreanGloss kGlosses[] = {
    // The dialog: the introduction, the message boxes and the log lines of the Format command.
    {kIntroductionFirst, u"Format utility for Tolven products only."},
    {kIntroductionSecond, u"Connect a Tolven product by USB to enable Format."},
    {kNoPlayerBoxCaption, u"Device check"},
    {kConfirmCaptionSuffix, u"Format drive %c:", true},
    {kConfirmBoxText, u"Formatting deletes all data on the disk. Format?"},
    {kLabelLogLine, u"Changing the volume label to 'PMP'."},
    {kCopyingLogLine, u"Creating the folders and copying the system files..."},
    {Line(kCopyDoneLogLine), u"File copy complete."},
    {kCopyFailedLogLine, u"File copy failed."},
    // The panel; the message box says the same with a full stop (kNoPlayerBoxText).
    {kPanelNoPlayerText, u"No Tolven product is connected"},
    {kPanelNotFormattedText, u"not formatted"},
    // The formatter's log.
    {fm::kOpenFailedBeforeCode, u"Cannot use the device. -error=<"},
    {fm::kOpenFailedAfterCode, u">Check whether another program is using the device."},
    {fm::kLockFailed, u"Locking the device failed."},
    {fm::kGeometryUnreadable, u"Reading the device information failed."},
    {fm::kPartitionUnreadable, u"Reading the partition information failed."},
    {Line(fm::kOnly512ByteSectors), u"Only 512 bytes per sector can be formatted."},
    {Line(fm::kVolumeTooLarge), u"The disk is too large for FAT32 - at most 2 TB is supported."},
    {Line(fm::kVolumeTooSmall), u"The disk is too small for FAT32 - it needs at least 64K clusters."},
    {Line(fm::kTooManyClusters),
     u"This disk has 2^28 clusters or more: format it with a larger cluster size."},
    {Line(fm::kFatTooSmall), u"The device is too large to format."},
    {fm::kAllocationFailed, u"Memory allocation failed."},
    {fm::kWriteFailed, u"Writing failed"},
    {fm::kSetPartitionFailed, u"Writing the partition information failed."},
    {fm::kDismountFailed, u"Dismounting the device failed."},
    {fm::kUnlockFailed, u"Unlocking the device failed."},
    {fm::kFormatFailed, u"Error during the format"},
    {fm::kFormatDone, u"Format complete"},
};

bool IsDriveLetter(char16_t c) {
    return c >= u'A' && c <= u'Z';
}

// Replaces every occurrence of `korean` in `text` (UTF-16 or UTF-8 alike) with `english`.
template <typename Char>
void Apply(std::basic_string_view<Char> korean, std::basic_string_view<Char> english, bool afterDriveLetter,
           std::basic_string<Char>& text) {
    static constexpr Char kLetterMark[] = {'%', 'c', 0};
    for (std::size_t at = text.find(korean); at != text.npos; at = text.find(korean, at)) {
        std::size_t start = at;
        std::basic_string<Char> replacement(english);
        if (afterDriveLetter) {
            if (at == 0 || !IsDriveLetter(static_cast<char16_t>(text[at - 1]))) {
                at += korean.size();
                continue;
            }
            start = at - 1;
            replacement.replace(replacement.find(kLetterMark), 2, 1, text[start]);
        }
        text.replace(start, at + korean.size() - start, replacement);
        at = start + replacement.size();
    }
}

struct Utf8Gloss {
    std::string korean;
    std::string english;
    bool afterDriveLetter;
};

const std::vector<Utf8Gloss>& Utf8Glosses() {
    static const std::vector<Utf8Gloss> glosses = [] {
        std::vector<Utf8Gloss> all;
        for (const KoreanGloss& gloss : kGlosses) {
            all.push_back({ToUtf8(gloss.korean), ToUtf8(gloss.english), gloss.afterDriveLetter});
        }
        return all;
    }();
    return glosses;
}

}  // namespace

std::span<const KoreanGloss> KoreanGlosses() {
    return kGlosses;
}

std::u16string WithEnglishGlosses(std::u16string_view text) {
    std::u16string glossed(text);
    for (const KoreanGloss& gloss : kGlosses) {
        Apply(gloss.korean, gloss.english, gloss.afterDriveLetter, glossed);
    }
    return glossed;
}

std::string WithEnglishGlosses(std::string_view utf8) {
    std::string glossed(utf8);
    for (const Utf8Gloss& gloss : Utf8Glosses()) {
        Apply<char>(gloss.korean, gloss.english, gloss.afterDriveLetter, glossed);
    }
    return glossed;
}

bool ContainsHangul(std::u16string_view text) {
    for (const char16_t unit : text) {
        const bool syllable = unit >= 0xAC00 && unit <= 0xD7A3;
        const bool letter = (unit >= 0x1100 && unit <= 0x11FF) || (unit >= 0x3130 && unit <= 0x318F);
        if (syllable || letter) {
            return true;
        }
    }
    return false;
}

}  // namespace tolven::linux_host
