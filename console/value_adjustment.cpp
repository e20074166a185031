#include "console/value_adjustment.h"

#include <algorithm>

namespace velmora::console {

namespace {

constexpr int kEndStep = 1000;  // Home/End and the scroll bar's ends: far past any range
constexpr std::int16_t kMemoryTypeBase = 0xFC;  // memory type = FCh - kind
constexpr std::int16_t kMemoryMaximum = 255;

std::uint8_t lowByte(std::int16_t code) { return static_cast<std::uint8_t>(code & 0xFF); }

std::uint8_t memoryCount(std::int16_t kind) { return static_cast<std::uint8_t>(kMemoryTypeBase - kind); }

bool isReadableMemoryKind(std::int16_t kind) { return kind == 0xFB; }

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

void ValueAdjuster::selectTarget(const ItemRecord& record) {
    interpreter_.vcpCode = lowByte(record.code);
    if (isServiceMemoryKind(record.kind)) interpreter_.page = memoryItemPage(record.kind, record.code);
}

bool ValueAdjuster::write(const ItemRecord& record, int value) {
    selectTarget(record);
    interpreter_.current = static_cast<std::uint8_t>(value);
    if (isServiceMemoryKind(record.kind)) {
        return interpreter_.WriteMemory(lowByte(record.code), interpreter_.current, memoryCount(record.kind));
    }
    return interpreter_.SetVcp();
}

void ValueAdjuster::readItem(ItemRecord& record) {
    selectTarget(record);
    if (!isServiceMemoryKind(record.kind)) {
        (void)interpreter_.ReadVcp();
        record.maximum = interpreter_.maximum;
        record.current = interpreter_.current;
        return;
    }
    interpreter_.lastReply = nullptr;
    if (isReadableMemoryKind(record.kind)) {
        (void)interpreter_.ReadMemory(lowByte(record.code), memoryCount(record.kind));
    }
    record.maximum = kMemoryMaximum;
    if (const std::optional<std::uint8_t> value = interpreter_.memoryByte()) record.current = *value;
}

bool ValueAdjuster::scroll(ItemRecord& record, int code, int thumbPosition) {
    selectTarget(record);
    const int value = clampValue(
        scrolledValue(code, record.current, record.maximum, thumbPosition, interpreter_.current),
        record.maximum);
    const bool written = write(record, value);
    record.current = static_cast<std::int16_t>(value);
    if (code != static_cast<int>(ScrollCode::EndScroll)) return written;

    clock_.sleepMilliseconds(kReadBackDelayMs);
    selectTarget(record);
    if (isServiceMemoryKind(record.kind)) {
        record.maximum = kMemoryMaximum;
        return written;
    }
    (void)interpreter_.ReadVcp();
    record.maximum = interpreter_.maximum;
    record.current = interpreter_.current;
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
