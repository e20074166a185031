#pragma once
#include <array>
#include <cstdint>
#include <optional>

namespace velmora::console {

// The digit keys 1..9, 0 of the main keyboard, which run the function
// entries of a page with Alt held, told apart by where they sit rather than
// by what they type: "1" is the same key on QWERTY and AZERTY, with or
// without Shift.

// The digit (1..9, 0) of a main-keyboard digit key, or nothing for any other
// key. `nativeScanCode` is the key code X11 and Wayland report (the kernel's
// key number + 8, so the top-row keys 1..0 are 10..19); platforms that give
// none report 0, and then the key's character code `keyCode` ('0'..'9') is
// used, unless the key comes from the numeric keypad.
[[nodiscard]] std::optional<int> mainKeyboardDigit(std::uint32_t nativeScanCode, int keyCode, bool fromKeypad);

// Whether a key-down of a digit key is the key going down or the key being
// held.
enum class DigitPress {
    New,   // the key went down
    Held,  // the key was already down: a repeat
};

// The up/down state of the ten digit keys, kept from the key events
// themselves, because the platform's repeat flag cannot be trusted: on X11
// a held key repeats as a release immediately followed by a press, both
// stamped with the same time, and once the event loop has been blocked
// (a RUN blocks it for seconds) those pairs can arrive unmarked. A key is
// down from a press until a release; a press stamped with the same time as
// the release before it is the held key repeating, not a new press.
class DigitKeyStates {
public:
    // A key-down of `digit` (0..9) stamped `timestamp` (the event's time in
    // milliseconds). `markedRepeat`: the platform itself calls it a repeat,
    // which is believed (the opposite is not). A digit outside 0..9 is Held.
    DigitPress press(int digit, std::uint64_t timestamp, bool markedRepeat);
    // A key-up of `digit`; the same release seen twice changes nothing.
    void release(int digit, std::uint64_t timestamp);

private:
    enum class State { Up, Down, Released };
    struct Key {
        State state = State::Up;
        std::uint64_t releasedAt = 0;
    };
    static constexpr int kDigits = 10;
    std::array<Key, kDigits> keys_{};
};

}  // namespace velmora::console
