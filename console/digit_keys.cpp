#include "console/digit_keys.h"

#include <cstddef>

namespace velmora::console {

namespace {

// X11 and Wayland number keys as the kernel does, plus 8. The kernel's
// KEY_1 .. KEY_9 are 2 .. 10 and KEY_0 is 11.
constexpr std::uint32_t kScanCodeOffset = 8;
constexpr std::uint32_t kFirstDigitKey = 2 + kScanCodeOffset;   // "1"
constexpr std::uint32_t kLastDigitKey = 11 + kScanCodeOffset;   // "0"

bool validDigit(int digit) { return digit >= 0 && digit <= 9; }

}  // namespace

std::optional<int> mainKeyboardDigit(std::uint32_t nativeScanCode, int keyCode, bool fromKeypad) {
    if (nativeScanCode != 0) {
        if (nativeScanCode < kFirstDigitKey || nativeScanCode > kLastDigitKey) return std::nullopt;
        return static_cast<int>((nativeScanCode - kFirstDigitKey + 1) % 10);
    }
    if (fromKeypad || keyCode < '0' || keyCode > '9') return std::nullopt;
    return keyCode - '0';
}

DigitPress DigitKeyStates::press(int digit, std::uint64_t timestamp, bool markedRepeat) {
    if (!validDigit(digit)) return DigitPress::Held;
    Key& key = keys_[static_cast<std::size_t>(digit)];
    const bool wentDown =
        !markedRepeat && (key.state == State::Up || (key.state == State::Released && key.releasedAt != timestamp));
    key.state = State::Down;
    return wentDown ? DigitPress::New : DigitPress::Held;
}

void DigitKeyStates::release(int digit, std::uint64_t timestamp) {
    if (!validDigit(digit)) return;
    // Also from Up: a key held since before the window saw it repeats as
    // release-press pairs, and the press of the first pair is no new press.
    keys_[static_cast<std::size_t>(digit)] = Key{State::Released, timestamp};
}

}  // namespace velmora::console
