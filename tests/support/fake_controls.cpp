#include "tests/support/fake_controls.h"

namespace tolven::testing {

int32_t FakeLogControl::GetLineCount() const {
    int32_t lines = 1;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'\r' && text[i + 1] == u'\n') {
            ++lines;
        }
    }
    return lines;
}

std::vector<std::u16string> FakeLogControl::Lines() const {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u"\r\n", start);
        if (end == std::u16string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

}  // namespace tolven::testing
