#include "platform/db/EventTable.h"

#include <cctype>

namespace corvane {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool isEmptyHandler(const EventHandler& handler) {
    return std::visit(
        [](const auto& h) {
            if constexpr (std::is_same_v<std::decay_t<decltype(h)>, std::monostate>) return true;
            else return !static_cast<bool>(h);
        },
        handler);
}

int EventTable::find(std::string_view name) const {
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (sameName(slots_[i].name, name)) return static_cast<int>(i);
    return -1;
}

EventHandler EventTable::get(std::string_view name) const {
    int slot = find(name);
    return slot < 0 ? EventHandler{} : slots_[static_cast<std::size_t>(slot)].handler;
}

bool EventTable::set(std::string_view name, EventHandler handler) {
    int slot = find(name);
    if (slot < 0) return false;
    if (!isEmptyHandler(handler) && handler.index() != slots_[static_cast<std::size_t>(slot)].kind) return false;
    assign(slot, std::move(handler));
    return true;
}

void EventTable::assign(int slot, EventHandler handler) {
    auto& target = slots_[static_cast<std::size_t>(slot)].handler;
    if (isEmptyHandler(handler)) target = std::monostate{};
    else target = std::move(handler);
}

std::vector<std::string> EventTable::names() const {
    std::vector<std::string> result;
    result.reserve(slots_.size());
    for (const Slot& slot : slots_) result.push_back(slot.name);
    return result;
}

}  // namespace corvane
