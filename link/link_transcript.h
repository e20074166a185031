#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::link {

// The text record of bus traffic kept while a RUN executes. Every item is
// one space followed by the item's text. The record holds at most
// kCapacity - 1 characters (the capacity counts a terminating NUL); an
// append that does not fit is cut at the capacity.
class LinkTranscript {
public:
    static constexpr std::int32_t kCapacity = 10000;

    void turnOn();   // text := CR LF
    void turnOff();  // off, text emptied

    void appendText(std::string_view text);
    void appendHexByte(std::uint8_t value);

    [[nodiscard]] bool isOn() const { return on_; }
    // Number of characters held, or -1 while the transcript is off.
    [[nodiscard]] std::int32_t length() const;
    [[nodiscard]] std::string_view text() const { return text_; }

private:
    void appendRaw(std::string_view text);

    bool on_ = false;
    std::string text_;
};

}  // namespace velmora::link
