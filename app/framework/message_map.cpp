#include "app/framework/message_map.h"

namespace tolven {

namespace {

bool EntryTakes(const MessageMapEntry& entry, const Message& message) {
    if (entry.message != message.message) {
        return false;
    }
    if (message.message != kWmCommand) {
        return true;
    }
    return entry.notifyCode == HighWord(message.wParam) && entry.controlId == LowWord(message.wParam);
}

}  // namespace

const MessageMapEntry* FindMessageEntry(const MessageMap* map, const Message& message) {
    for (; map != nullptr; map = map->base) {
        for (const MessageMapEntry& entry : map->entries) {
            if (EntryTakes(entry, message)) {
                return &entry;
            }
        }
    }
    return nullptr;
}

}  // namespace tolven
