#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace velmora::console {

// An item as the history knows it: its kind and code, which are the same
// on every page that lists it.
struct ItemKey {
    std::int16_t kind = 0;
    std::int16_t code = 0;
    bool operator==(const ItemKey&) const = default;
};

// The values the technician changed since the model was loaded, so that
// they can be written back: the last change first and step by step
// (Ctrl+Z), or every item at once to the value it held before its first
// change ("Restore values read at start"). It keeps values only; the
// console writes them back through its ordinary value path.
class ValueHistory {
public:
    // Changes kept for undoing one by one; past this the oldest goes.
    static constexpr std::size_t kChangeCapacity = 4096;
    // Items whose start values are kept: more than a model lists (256 VCP
    // codes and the 64 entries of the service page).
    static constexpr std::size_t kItemCapacity = 512;

    struct Change {
        ItemKey item;
        std::int16_t previous = 0;  // the value before the change
        int page = 0;               // the page it was changed on
    };

    // `item` went from `previous` to another value on the monitor. The
    // first change of an item also keeps `previous` as its start value.
    // False, and nothing kept, when that would need a start value beyond
    // kItemCapacity.
    bool recordChange(ItemKey item, std::int16_t previous, int page);

    [[nodiscard]] std::optional<Change> lastChange() const;
    // The last change has been written back.
    void dropLastChange();

    // The value the item held before its first change; nothing for an item
    // not changed.
    [[nodiscard]] std::optional<std::int16_t> startValue(ItemKey item) const;

    // Another model: nothing to undo or restore.
    void clear();

private:
    std::deque<Change> changes_;
    std::vector<std::pair<ItemKey, std::int16_t>> startValues_;
};

}  // namespace velmora::console
