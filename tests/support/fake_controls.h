// In-memory stand-ins for the status log's edit control and the progress bar.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/window_controls.h"

namespace tolven::testing {

// An edit control that counts lines as Windows does (CR LF separated; an empty last line counts)
// and remembers every scroll.
class FakeLogControl : public ILogControl {
  public:
    std::u16string GetWindowTextW() const override { return text; }
    void SetWindowTextW(std::u16string_view newText) override { text = newText; }
    int32_t GetLineCount() const override;
    void LineScroll(int32_t chars, int32_t lines) override { scrolls.push_back({chars, lines}); }

    // The text split at CR LF, without the empty piece after a final CR LF.
    std::vector<std::u16string> Lines() const;

    struct Scroll {
        int32_t chars;
        int32_t lines;
    };
    std::u16string text;
    std::vector<Scroll> scrolls;
};

class FakeProgressControl : public IProgressControl {
  public:
    struct Message {
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
        bool operator==(const Message&) const = default;
    };
    intptr_t SendMessageW(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        messages.push_back({message, wParam, lParam});
        return 0;
    }
    std::vector<Message> messages;
};

}  // namespace tolven::testing
