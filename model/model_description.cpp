// The compiled model and its readers: chunks, name references, image bytes
// and texts, pages and timings.
#include "model/model_description.h"

#include <algorithm>

#include "model/image_layout.h"
#include "model/model_compiler.h"

namespace velmora::model {

namespace {

// Function opcodes that have a display name of their own.
bool isNamedFunction(std::uint8_t code) { return code == opcode::ShiftKey || isFunctionOpcode(code); }

}  // namespace

// The compiler's operations, for callers that hold the description.
int ModelDescription::loadModelFile() { return ModelCompiler(*this).loadModelFile(); }
void ModelDescription::compileText(std::string_view text) { ModelCompiler(*this).compileText(text); }
std::int32_t ModelDescription::evaluateExpression(std::string_view text) {
    return ModelCompiler(*this).evaluateExpression(text);
}
std::uint16_t ModelDescription::lookupSymbol(std::string_view name) { return ModelCompiler(*this).lookupSymbol(name); }
std::int32_t ModelDescription::parseNumber(std::string_view text) { return ModelCompiler(*this).parseNumber(text); }
int ModelDescription::readDirective(std::string_view comment) { return ModelCompiler(*this).readDirective(comment); }

int ModelDescription::pageCount() const {
    const std::optional<std::uint16_t> payload = findChunk(chunk::Page);
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

std::optional<std::uint16_t> ModelDescription::findChunk(std::uint8_t id) const {
    const std::size_t end = imageLength();
    std::size_t position = 0;
    // Every step moves forward, and the walk stays inside the written image
    // even when the model never ends its chain with a zero length.
    while (position + 1 < end) {
        const std::uint8_t length = modelImage[position + 1];
        if (modelImage[position] == id) return static_cast<std::uint16_t>(position + 2);
        if (length == 0) return std::nullopt;
        position += length;
    }
    return std::nullopt;
}

std::uint16_t ModelDescription::nameReference(std::uint16_t position) const {
    const std::uint8_t code = imageByte(position);
    if (code == opcode::Delay || code == opcode::Sound) return name_ref::Unnamed;
    if (code == opcode::TestColor) return opcode::TestColor;
    const auto length = commandBytes(code, [&](std::size_t i) { return imageByte(position + 1 + i); });
    if (!length) return isNamedFunction(code) ? code : 0;
    // The item's name text follows the command's last operand.
    return static_cast<std::uint16_t>(name_ref::ImageText + position + *length);
}

}  // namespace velmora::model
