#include "link/link_transcript.h"

#include <algorithm>

namespace velmora::link {

namespace {
constexpr std::size_t kMaxCharacters = LinkTranscript::kCapacity - 1;
}

void LinkTranscript::turnOn() {
    on_ = true;
    text_.clear();
    text_.reserve(kMaxCharacters);
    text_ = "\r\n";
}

void LinkTranscript::turnOff() {
    on_ = false;
    text_.clear();
}

std::int32_t LinkTranscript::length() const {
    return on_ ? static_cast<std::int32_t>(text_.size()) : -1;
}

void LinkTranscript::appendRaw(std::string_view text) {
    const std::size_t room = kMaxCharacters - std::min(kMaxCharacters, text_.size());
    text_.append(text.substr(0, std::min(room, text.size())));
}

void LinkTranscript::appendText(std::string_view text) {
    if (!on_) return;
    appendRaw(" ");
    appendRaw(text);
}

void LinkTranscript::appendHexByte(std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const char hex[2] = {kDigits[value >> 4], kDigits[value & 0x0F]};
    appendText(std::string_view(hex, 2));
}

}  // namespace velmora::link
