// Value adjustment of the selected item: what each scroll code and key step
// writes to the monitor, the read-back at the end of scrolling, and access
// to service memory items.
#include "console/value_adjustment.h"

#include <gtest/gtest.h>

#include "console_on_bench.h"

namespace velmora::console {
namespace {

using testing::ConsoleOnBench;

constexpr std::int16_t kHPosition = 0x20;
constexpr std::int16_t kVcpItem = 0x21;
constexpr std::int16_t kDeviceMemoryItem = 0xFB;

std::string setVcp(int code, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "03 %02X 00 %02X", code, value);
    return text;
}

ItemRecord vcpRecord(int current, int maximum) {
    return {"H-POSITION", kHPosition, kVcpItem, static_cast<std::int16_t>(current),
            static_cast<std::int16_t>(maximum)};
}

struct ScrollCase {
    const char* what;
    int code;
    int current;
    int maximum;
    int thumb;
    int written;
};

void PrintTo(const ScrollCase& row, std::ostream* out) { *out << row.what; }

class ScrollStep : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(ScrollStep, WritesTheClampedValueOnce) {
    const ScrollCase& c = GetParam();
    ConsoleOnBench f;
    ValueAdjuster adjuster(f.context.interpreter, f.context.clock);
    ItemRecord record = vcpRecord(c.current, c.maximum);
    adjuster.scroll(record, c.code, c.thumb);
    EXPECT_EQ(f.payloads(), std::vector<std::string>{setVcp(kHPosition, c.written)});
    EXPECT_EQ(record.current, c.written);
    EXPECT_EQ(record.maximum, c.maximum);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ScrollStep,
    ::testing::Values(ScrollCase{"line_left", 0, 100, 255, 0, 99}, ScrollCase{"line_right", 1, 100, 255, 0, 101},
                      ScrollCase{"page_left_by_a_sixteenth", 2, 100, 255, 0, 85},
                      ScrollCase{"page_right_by_a_sixteenth", 3, 100, 255, 0, 115},
                      ScrollCase{"thumb_released", 4, 100, 255, 42, 42},
                      ScrollCase{"thumb_dragged", 5, 100, 255, 43, 43},
                      ScrollCase{"left_end", 6, 100, 255, 0, 0}, ScrollCase{"right_end", 7, 100, 255, 0, 255},
                      ScrollCase{"line_left_stops_at_zero", 0, 0, 255, 0, 0},
                      ScrollCase{"line_right_stops_at_maximum", 1, 255, 255, 0, 255},
                      ScrollCase{"maximum_15_has_no_page_step", 3, 7, 15, 0, 7},
                      ScrollCase{"maximum_0_writes_0", 1, 0, 0, 0, 0},
                      ScrollCase{"thumb_beyond_the_range", 4, 10, 100, 300, 100},
                      ScrollCase{"unknown_code_keeps_the_value", 9, 77, 255, 0, 77}),
    [](const auto& info) { return std::string(info.param.what); });

struct KeyCase {
    const char* what;
    StepKey key;
    int current;
    int maximum;
    int written;
};

void PrintTo(const KeyCase& row, std::ostream* out) { *out << row.what; }

class KeyStep : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyStep, WritesWithoutReadingBack) {
    const KeyCase& c = GetParam();
    ConsoleOnBench f;
    ValueAdjuster adjuster(f.context.interpreter, f.context.clock);
    ItemRecord record = vcpRecord(c.current, c.maximum);
    adjuster.step(record, c.key);
    EXPECT_EQ(f.payloads(), std::vector<std::string>{setVcp(kHPosition, c.written)});
    EXPECT_EQ(record.current, c.written);
    EXPECT_EQ(record.maximum, c.maximum);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyStep,
    ::testing::Values(KeyCase{"left", StepKey::Left, 100, 255, 99}, KeyCase{"right", StepKey::Right, 100, 255, 101},
                      KeyCase{"page_up_adds_a_page", StepKey::PageUp, 100, 255, 115},
                      KeyCase{"page_down_takes_a_page", StepKey::PageDown, 100, 255, 85},
                      KeyCase{"home_from_250", StepKey::Home, 250, 255, 0},
                      KeyCase{"end_from_250", StepKey::End, 250, 255, 255},
                      KeyCase{"page_up_with_maximum_15", StepKey::PageUp, 7, 15, 7},
                      KeyCase{"left_with_maximum_0", StepKey::Left, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ScrollEnd, DragWritesEachPositionThenReadsBackAfterTenMilliseconds) {
    ConsoleOnBench f;
    // The monitor holds H-POSITION at most at 19.
    f.bench.monitor.vcp[kHPosition] = {true, 10, 19};
    ValueAdjuster adjuster(f.context.interpreter, f.context.clock);
    ItemRecord record = vcpRecord(10, 255);
    std::vector<std::string> expected;
    for (int position = 11; position <= 20; ++position) {
        adjuster.scroll(record, static_cast<int>(ScrollCode::ThumbTrack), position);
        expected.push_back(setVcp(kHPosition, position));
    }
    adjuster.scroll(record, static_cast<int>(ScrollCode::ThumbPosition), 20);
    adjuster.scroll(record, static_cast<int>(ScrollCode::EndScroll), 20);
    expected.push_back(setVcp(kHPosition, 20));
    expected.push_back(setVcp(kHPosition, 20));
    expected.push_back("01 20");
    EXPECT_EQ(f.payloads(), expected);

    const std::vector<std::int64_t> times = f.requestTimes();
    ASSERT_GE(times.size(), 2u);
    EXPECT_GE(times[times.size() - 1] - times[times.size() - 2], 10'000);
    EXPECT_EQ(record.current, 19);
    EXPECT_EQ(record.maximum, 19);
}

TEST(ScrollEnd, WritesTheInterpretersLastValue) {
    ConsoleOnBench f;
    ValueAdjuster adjuster(f.context.interpreter, f.context.clock);
    ItemRecord record = vcpRecord(60, 255);
    ASSERT_TRUE(f.context.interpreter.setVcp(0x12, 77));  // another control's last write
    f.bench.log.clear();
    adjuster.scroll(record, static_cast<int>(ScrollCode::EndScroll), 0);
    EXPECT_EQ(f.payloads(), (std::vector<std::string>{setVcp(kHPosition, 77), "01 20"}));
    EXPECT_EQ(record.current, 77);
}

TEST(ReadItem, FailedReadShowsWhatTheInterpreterHeld) {
    ConsoleOnBench f;
    f.bench.monitor.vcp[0x12].current = 5;
    f.bench.monitor.vcp[0x12].maximum = 9;
    ASSERT_TRUE(f.context.interpreter.readVcp(0x12).has_value());
    ASSERT_TRUE(f.bench.applyFault("no-monitor").empty());
    ValueAdjuster adjuster(f.context.interpreter, f.context.clock);
    ItemRecord record = vcpRecord(100, 255);
    adjuster.readItem(record);
    EXPECT_EQ(record.current, 5);
    EXPECT_EQ(record.maximum, 9);
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0].text, "Monitor is not Connected");
}

// Kind FBh, device byte A2h (page 1), address 10h.
ItemRecord deviceMemoryRecord(int current) {
    return {"EEP BYTE", static_cast<std::int16_t>(0xA210), kDeviceMemoryItem, static_cast<std::int16_t>(current),
            255};
}

TEST(MemoryItem, ReadTakesReplyByteSevenWithMaximum255) {
    ConsoleOnBench f;
    f.bench.monitor.memory[1][0x10] = 0x5A;
    ValueAdjuster adjuster(f.context.interpreter, f.context.clock);
    ItemRecord record = deviceMemoryRecord(0);
    record.maximum = 0;
    adjuster.readItem(record);
    EXPECT_EQ(f.payloads(), std::vector<std::string>{"C1 09 01 10"});
    EXPECT_EQ(record.current, 0x5A);
    EXPECT_EQ(record.maximum, 255);
}

TEST(MemoryItem, OtherMemoryKindsAreNotRead) {
    ConsoleOnBench f;
    ValueAdjuster adjuster(f.context.interpreter, f.context.clock);
    ItemRecord record{"SLOT", 0x0210, 0xF0, 17, 0};
    adjuster.readItem(record);
    EXPECT_TRUE(f.payloads().empty());
    EXPECT_EQ(record.current, 17);
    EXPECT_EQ(record.maximum, 255);
}

TEST(MemoryItem, ReleaseWritesMemoryAndNeverReadsBack) {
    ConsoleOnBench f;
    ValueAdjuster adjuster(f.context.interpreter, f.context.clock);
    ItemRecord record = deviceMemoryRecord(10);
    adjuster.scroll(record, static_cast<int>(ScrollCode::ThumbPosition), 0x21);
    adjuster.scroll(record, static_cast<int>(ScrollCode::EndScroll), 0x21);
    adjuster.step(record, StepKey::Right);
    EXPECT_EQ(f.payloads(),
              (std::vector<std::string>{"C0 09 01 10 21", "C0 09 01 10 21", "C0 09 01 10 22"}));
    EXPECT_EQ(f.bench.monitor.memory[1][0x10], 0x22);
    EXPECT_EQ(record.current, 0x22);
    EXPECT_EQ(record.maximum, 255);
}

TEST(MemoryItem, WriteWithoutWriteModeIsRefusedButShowsTheNewValue) {
    ConsoleOnBench f;
    f.context.flags.writeEnabled = 0;
    ValueAdjuster adjuster(f.context.interpreter, f.context.clock);
    ItemRecord record = deviceMemoryRecord(10);
    adjuster.step(record, StepKey::Right);
    EXPECT_TRUE(f.payloads().empty());
    EXPECT_EQ(record.current, 11);
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0].text, "Password is required");
}

}  // namespace
}  // namespace velmora::console
