#include "console/value_history.h"

#include <algorithm>

namespace velmora::console {

bool ValueHistory::recordChange(ItemKey item, std::int16_t previous, int page) {
    if (!startValue(item)) {
        if (startValues_.size() >= kItemCapacity) return false;
        startValues_.emplace_back(item, previous);
    }
    if (changes_.size() >= kChangeCapacity) changes_.pop_front();
    changes_.push_back({item, previous, page});
    return true;
}

std::optional<ValueHistory::Change> ValueHistory::lastChange() const {
    if (changes_.empty()) return std::nullopt;
    return changes_.back();
}

void ValueHistory::dropLastChange() {
    if (!changes_.empty()) changes_.pop_back();
}

std::optional<std::int16_t> ValueHistory::startValue(ItemKey item) const {
    const auto found = std::find_if(startValues_.begin(), startValues_.end(),
                                    [item](const auto& entry) { return entry.first == item; });
    if (found == startValues_.end()) return std::nullopt;
    return found->second;
}

void ValueHistory::clear() {
    changes_.clear();
    startValues_.clear();
}

}  // namespace velmora::console
