#include "model/model_description.h"

#include <algorithm>

#include "model/image_layout.h"

namespace velmora::model {

int ModelDescription::pageCount() const {
    const std::optional<std::uint16_t> payload = FindChunk(chunk::Page);
    return payload ? imageByte(*payload) : 2;
}

std::size_t ModelDescription::timingCount() const {
    std::size_t count = 0;
    while (count < kTimingCapacity && timingEntries[count].hFreqKHz != 0.0) ++count;
    return count;
}

std::size_t ModelDescription::imageLength() const {
    if (imageFull_) return kImageCapacity;
    return std::min<std::size_t>(locationCounter, kImageCapacity);
}

std::uint8_t ModelDescription::imageByte(std::size_t position) const {
    return position < imageLength() ? modelImage[position] : 0;
}

std::uint16_t ModelDescription::imageWord(std::size_t position) const {
    return static_cast<std::uint16_t>(imageByte(position) | (imageByte(position + 1) << 8));
}

std::string_view ModelDescription::imageText(std::size_t position) const {
    const std::size_t end = imageLength();
    if (position >= end) return {};
    const auto* begin = reinterpret_cast<const char*>(modelImage.data()) + position;
    const auto* limit = reinterpret_cast<const char*>(modelImage.data()) + end;
    const auto* zero = std::find(begin, limit, '\0');
    return {begin, static_cast<std::size_t>(zero - begin)};
}

namespace {

bool isNameCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// 1-based column of `subject` in a line: its first occurrence that stands
// apart from neighbouring name characters; 0 when there is none.
int columnOf(std::string_view line, std::string_view subject) {
    if (subject.empty()) return 0;
    for (std::size_t at = line.find(subject); at != std::string_view::npos; at = line.find(subject, at + 1)) {
        const std::size_t end = at + subject.size();
        const bool apartBefore = at == 0 || !isNameCharacter(line[at - 1]) || !isNameCharacter(subject.front());
        const bool apartAfter = end >= line.size() || !isNameCharacter(line[end]) || !isNameCharacter(subject.back());
        if (apartBefore && apartAfter) return static_cast<int>(at + 1);
    }
    return 0;
}

}  // namespace

void ModelDescription::reportError(std::string_view message, std::string_view subject) {
    trace_.addDiagnostic(currentLine_, columnOf(currentLineText_, subject), message);
    appendToErrorText(message);
}

void ModelDescription::reportLineError(std::string_view message) {
    trace_.addDiagnostic(currentLine_, 0, message);
    appendToErrorText(linePrefix() + std::string(message));
}

void ModelDescription::reportErrorAtPosition(std::size_t position, std::string_view message) {
    trace_.addDiagnostic(trace_.lineOfPosition(position), 0, message);
    appendToErrorText(message);
}

void ModelDescription::appendToErrorText(std::string_view message) {
    errorFlag = true;
    // The reader of the report empties the text; a new report starts then.
    if (errorTextFull_ && !errorText.empty()) return;
    errorTextFull_ = false;
    if (errorText.size() + message.size() > kErrorTextCapacity) {
        // A broken file can produce a message per line; keep the report readable.
        errorText += "(further errors are not listed)\n";
        errorTextFull_ = true;
        return;
    }
    errorText.append(message);
}

std::string ModelDescription::linePrefix() const {
    return currentLine_ > 0 ? "line " + std::to_string(currentLine_) + ": " : std::string();
}

}  // namespace velmora::model
