#include "device/drive_info_panel.h"

namespace tolven {

namespace {
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
}  // namespace

void InsertThousandsSeparators(std::u16string& text) {
    std::size_t integerEnd = text.find(u'.');
    if (integerEnd == std::u16string::npos) {
        integerEnd = text.size();
    }
    int digits = 0;
    for (std::size_t i = integerEnd; i > 0; --i) {
        if (!IsDigit(text[i - 1])) {
            continue;
        }
        ++digits;
        // After every third digit, a comma when one more digit comes before it.
        if (digits % 3 == 0 && i >= 2 && IsDigit(text[i - 2])) {
            text.insert(i - 1, 1, u',');
        }
    }
}

}  // namespace tolven
