#include "console/value_adjustment.h"

#include <algorithm>

#include "model/item_kinds.h"

namespace velmora::console {

namespace {

constexpr int kEndStep = 1000;  // Home/End and the scroll bar's ends: far past any range
constexpr std::int16_t kMemoryMaximum = 255;

std::uint8_t lowByte(std::int16_t code) { return static_cast<std::uint8_t>(code & 0xFF); }

}  // namespace

int pageStep(int maximum) { return maximum / 16; }

int clampValue(int value, int maximum) { return std::clamp(value, 0, std::max(maximum, 0)); }

int scrolledValue(int code, int current, int maximum, int thumbPosition, int interpreterCurrent) {
    const int page = pageStep(maximum);
    switch (static_cast<ScrollCode>(code)) {
    case ScrollCode::LineLeft: return current - 1;
    case ScrollCode::LineRight: return current + 1;
    case ScrollCode::PageLeft: return current - page;
    case ScrollCode::PageRight: return current + page;
    case ScrollCode::ThumbPosition:
    case ScrollCode::ThumbTrack: return thumbPosition;
    case ScrollCode::LeftEnd: return current - kEndStep;
    case ScrollCode::RightEnd: return current + kEndStep;
    case ScrollCode::EndScroll: return interpreterCurrent;
    }
    return current;
}

int steppedValue(StepKey key, int current, int maximum) {
    const int page = pageStep(maximum);
    switch (key) {
    case StepKey::Left: return current - 1;
    case StepKey::Right: return current + 1;
    case StepKey::PageUp: return current + page;
    case StepKey::PageDown: return current - page;
    case StepKey::Home: return current - kEndStep;
    case StepKey::End: return current + kEndStep;
    }
    return current;
}

bool ValueAdjuster::write(const ItemRecord& record, int value) {
    const auto byte = static_cast<std::uint8_t>(value);
    if (model::isServiceMemoryKind(record.kind)) {
        return interpreter_.writeMemory(model::memoryItemPage(record.kind, record.code), lowByte(record.code), byte,
                                        model::memoryItemCount(record.kind));
    }
    return interpreter_.setVcp(lowByte(record.code), byte);
}

// A read that fails shows the value the interpreter held before it.
void ValueAdjuster::readItem(ItemRecord& record) {
    if (!model::isServiceMemoryKind(record.kind)) {
        const model::VcpReading reading =
            interpreter_.readVcp(lowByte(record.code)).value_or(interpreter_.heldValue());
        record.maximum = reading.maximum;
        record.current = reading.current;
        return;
    }
    record.maximum = kMemoryMaximum;
    if (!model::isReadableMemoryKind(record.kind)) return;
    const std::optional<std::uint8_t> value = interpreter_.readMemory(
        model::memoryItemPage(record.kind, record.code), lowByte(record.code), model::memoryItemCount(record.kind));
    if (value) record.current = *value;
}

bool ValueAdjuster::scroll(ItemRecord& record, int code, int thumbPosition) {
    const int value = clampValue(
        scrolledValue(code, record.current, record.maximum, thumbPosition, interpreter_.heldValue().current),
        record.maximum);
    const bool written = write(record, value);
    record.current = static_cast<std::int16_t>(value);
    if (code != static_cast<int>(ScrollCode::EndScroll)) return written;

    clock_.sleepMilliseconds(kReadBackDelayMs);
    if (model::isServiceMemoryKind(record.kind)) {
        record.maximum = kMemoryMaximum;
        return written;
    }
    // A failed read-back shows the value just written.
    const model::VcpReading reading = interpreter_.readVcp(lowByte(record.code)).value_or(interpreter_.heldValue());
    record.maximum = reading.maximum;
    record.current = reading.current;
    return written;
}

bool ValueAdjuster::step(ItemRecord& record, StepKey key) {
    const int value = clampValue(steppedValue(key, record.current, record.maximum), record.maximum);
    const bool written = write(record, value);
    record.current = static_cast<std::int16_t>(value);
    return written;
}

bool ValueAdjuster::setValue(ItemRecord& record, int value) {
    const bool placed = scroll(record, static_cast<int>(ScrollCode::ThumbPosition), value);
    const bool ended = scroll(record, static_cast<int>(ScrollCode::EndScroll), value);
    return placed && ended;
}

}  // namespace velmora::console
