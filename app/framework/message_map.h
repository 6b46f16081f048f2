// A static message map: a constant table of (message, notification code, control id, handler)
// per class, chained to the base class's table. The Map... functions build the entries from a
// member function, so a class lists its handlers as
//
//     static const MessageMapEntry kEntries[] = {
//         MapWmPaint<&CMyDlg::OnPaint>(),
//         MapBnClicked<&CMyDlg::OnBnClickedGo>(kIdcGo),
//     };
#pragma once

#include <cstdint>
#include <span>

#include "app/framework/window_messages.h"

namespace tolven {

class CWnd;

// Calls the handler on the window and gives the message's result.
using MessageThunk = intptr_t (*)(CWnd& window, const Message& message);

struct MessageMapEntry {
    uint32_t message = 0;
    uint32_t notifyCode = 0;  // WM_COMMAND only: the notification code (kBnClicked, ...)
    uint32_t controlId = 0;   // WM_COMMAND only: the control id; 0 for other messages
    MessageThunk handler = nullptr;
};

struct MessageMap {
    const MessageMap* base = nullptr;  // the base class's map, searched after this one
    std::span<const MessageMapEntry> entries;
};

// The first entry that takes the message, searching the class's map and then its bases' maps;
// null when none does.
const MessageMapEntry* FindMessageEntry(const MessageMap* map, const Message& message);

namespace message_map_detail {

template <typename Member>
struct MemberTraits;
template <typename C, typename R, typename... Args>
struct MemberTraits<R (C::*)(Args...)> {
    using Class = C;
};

template <auto Handler>
using HandlerClass = typename MemberTraits<decltype(Handler)>::Class;

}  // namespace message_map_detail

// WM_PAINT: void OnPaint().
template <auto Handler>
constexpr MessageMapEntry MapWmPaint() {
    return {kWmPaint, 0, 0, [](CWnd& window, const Message&) -> intptr_t {
                (static_cast<message_map_detail::HandlerClass<Handler>&>(window).*Handler)();
                return 0;
            }};
}

// WM_SYSCOMMAND: void OnSysCommand(uint32_t commandId, intptr_t param).
template <auto Handler>
constexpr MessageMapEntry MapWmSysCommand() {
    return {kWmSysCommand, 0, 0, [](CWnd& window, const Message& message) -> intptr_t {
                (static_cast<message_map_detail::HandlerClass<Handler>&>(window).*Handler)(
                    static_cast<uint32_t>(message.wParam), message.lParam);
                return 0;
            }};
}

// WM_QUERYDRAGICON: IconHandle OnQueryDragIcon().
template <auto Handler>
constexpr MessageMapEntry MapWmQueryDragIcon() {
    return {kWmQueryDragIcon, 0, 0, [](CWnd& window, const Message&) -> intptr_t {
                return static_cast<intptr_t>(
                    (static_cast<message_map_detail::HandlerClass<Handler>&>(window).*Handler)());
            }};
}

// WM_DEVICECHANGE: intptr_t OnDeviceChange(uint32_t eventType, uintptr_t eventData).
template <auto Handler>
constexpr MessageMapEntry MapWmDeviceChange() {
    return {kWmDeviceChange, 0, 0, [](CWnd& window, const Message& message) -> intptr_t {
                return (static_cast<message_map_detail::HandlerClass<Handler>&>(window).*Handler)(
                    static_cast<uint32_t>(message.wParam), static_cast<uintptr_t>(message.lParam));
            }};
}

// WM_COMMAND with BN_CLICKED from one control: void OnBnClickedX().
template <auto Handler>
constexpr MessageMapEntry MapBnClicked(int32_t controlId) {
    return {kWmCommand, kBnClicked, static_cast<uint32_t>(controlId),
            [](CWnd& window, const Message&) -> intptr_t {
                (static_cast<message_map_detail::HandlerClass<Handler>&>(window).*Handler)();
                return 0;
            }};
}

}  // namespace tolven
