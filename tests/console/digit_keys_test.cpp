// The digit keys that run functions with Alt: found by their place on the
// keyboard, and one physical press told from a held key by the events
// alone, whatever the platform's repeat flag says.
#include "console/digit_keys.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace velmora::console {
namespace {

TEST(MainKeyboardDigit, ByPlaceNotByCharacter) {
    struct Case {
        const char* what;
        std::uint32_t scanCode;
        int keyCode;
        bool keypad;
        std::optional<int> digit;
    };
    const Case cases[] = {
        {"1 on QWERTY", 10, '1', false, 1},
        {"9", 18, '9', false, 9},
        {"0 is the tenth key", 19, '0', false, 0},
        {"AZERTY: & on the 1 key", 10, '&', false, 1},
        {"Shift: @ on the 2 key", 11, '@', false, 2},
        {"Escape, left of 1", 9, 0x01000000, false, std::nullopt},
        {"minus, right of 0", 20, '-', false, std::nullopt},
        {"keypad 1", 87, '1', true, std::nullopt},
        {"a letter", 24, 'Q', false, std::nullopt},
        {"no scan code: the character", 0, '7', false, 7},
        {"no scan code: keypad 7", 0, '7', true, std::nullopt},
        {"no scan code: a letter", 0, 'A', false, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mainKeyboardDigit(c.scanCode, c.keyCode, c.keypad), c.digit) << c.what;
    }
}

// Plays key events written as "+2@660" (key 2 goes down at 660 ms), "-2@660"
// (goes up) and "+2@660r" (down, marked as a repeat by the platform); gives
// one letter per key-down: N a new press, H the key held.
std::string verdicts(const std::string& events) {
    DigitKeyStates keys;
    std::istringstream in(events);
    std::string event;
    std::string result;
    while (in >> event) {
        const int digit = event[1] - '0';
        const std::uint64_t time = std::stoull(event.substr(event.find('@') + 1));
        if (event[0] == '-') {
            keys.release(digit, time);
        } else {
            const bool marked = event.back() == 'r';
            result += keys.press(digit, time, marked) == DigitPress::New ? 'N' : 'H';
        }
    }
    return result;
}

TEST(DigitKeyStates, OnePhysicalPressIsOneNewPress) {
    struct Case {
        const char* what;
        const char* events;
        const char* verdicts;
    };
    const Case cases[] = {
        {"X11 repeats, unmarked: release and press share their time",
         "+2@0 -2@660 +2@660 -2@700 +2@700 -2@740 +2@740 -2@3000", "NHHH"},
        {"repeats as presses alone", "+2@0 +2@660 +2@700", "NHH"},
        {"repeats marked by the platform", "+2@0 -2@660r +2@660r", "NH"},
        {"released and pressed again", "+2@0 -2@120 +2@400", "NN"},
        {"a press marked as a repeat is believed", "+2@0 -2@120 +2@400r", "NH"},
        {"keys are apart", "+1@0 +2@10 +1@660 -2@90 +2@300", "NNHN"},
        {"held since before the window saw it", "-3@500 +3@500 -3@540 +3@540 -3@900 +3@1200", "HHN"},
        {"the same release seen twice", "+4@0 -4@660 -4@660 +4@660 -4@900 +4@950", "NHN"},
    };
    for (const Case& c : cases) EXPECT_EQ(verdicts(c.events), c.verdicts) << c.what << ": " << c.events;
}

TEST(DigitKeyStates, KeysOutsideTheTenAreNeverNew) {
    DigitKeyStates keys;
    EXPECT_EQ(keys.press(10, 0, false), DigitPress::Held);
    EXPECT_EQ(keys.press(-1, 0, false), DigitPress::Held);
    keys.release(10, 5);
    EXPECT_EQ(keys.press(9, 0, false), DigitPress::New);
}

}  // namespace
}  // namespace velmora::console
