// Showing the model's modes on an output: what is refused before anything
// is set, the confirmation deadline, and the way back to the output's mode,
// on a recording stand-in of the graphics card.
#include "tools/pattern_session.h"

#include <gtest/gtest.h>

#include "platform/recording_mode_setter.h"
#include "tools/edid_input.h"

namespace velmora::tools {
namespace {

using namespace std::chrono_literals;
using Clock = PatternSession::Clock;

model::TimingEntry entryOf(double hKHz, double vHz, std::uint16_t resolution, std::uint8_t h, std::uint8_t v) {
    model::TimingEntry entry{hKHz, vHz, resolution, h, v, model::kNoPreset};
    entry.presetIndex = model::presetLookup(entry);
    return entry;
}

// A card with one output showing its desktop mode; its monitor's EDID says
// 30-70 kHz, 48-120 Hz and at most 60 MHz.
struct Card {
    platform::RecordingModeSetter setter;
    Card() {
        platform::VideoMode desktop;
        desktop.name = "desktop";
        const EdidBytes edid = readEdidFile(std::string(VELMORA_EDID_BLOCKS_DIR) + "crt15_v13_ones.hex");
        EXPECT_TRUE(edid.ok) << edid.refusal;
        setter.outputs["VGA-1"] = {desktop, edid.bytes};
    }
};

const ModelMode kVga = modeForEntry(entryOf(31.469, 59.94, 3, 0, 0), 0);          // 25.175 MHz
const ModelMode kSvga = modeForEntry(entryOf(37.879, 60.317, 5, 1, 1), 1);        // 40 MHz
const ModelMode kXga85 = modeForEntry(entryOf(68.677, 84.997, 9, 1, 1), 2);       // 94.5 MHz
const ModelMode kSxga75 = modeForEntry(entryOf(79.976, 75.025, 14, 1, 1), 3);     // 80 kHz
const ModelMode kHighRate = modeForEntry(entryOf(63.6, 130.0, 1, 0, 1), 4);       // 130 Hz
const ModelMode kVacant = modeForEntry(entryOf(1000.0, 60.0, 3, 0, 0), 5);

TEST(PatternSession, RefusesBeforeSettingAnything) {
    struct Row {
        const ModelMode& mode;
        bool forced;
        bool shown;
        const char* messagePart;
    };
    const Row rows[] = {
        {kVga, false, true, ""},
        {kXga85, false, false, "pixel clock of 94.50 MHz is above 60 MHz"},
        {kSxga75, false, false, "79.98 kHz is outside 30-70 kHz"},
        {kHighRate, false, false, "Hz is outside 48-120 Hz"},
        {kVacant, false, false, "not available: the model marks this record unused"},
        {kXga85, true, true, ""},
        {kVacant, true, false, "not available"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(modelModeLine(row.mode) + (row.forced ? " forced" : ""));
        Card card;
        PatternSession session(card.setter, "VGA-1");
        ASSERT_TRUE(session.limits());
        const auto outcome = session.show(row.mode, row.forced, Clock::now());
        EXPECT_EQ(outcome.shown, row.shown);
        EXPECT_EQ(outcome.refused, !row.shown);
        EXPECT_NE(outcome.message.find(row.messagePart), std::string::npos) << outcome.message;
        EXPECT_EQ(card.setter.record.size(), row.shown ? 1u : 0u);
    }
}

TEST(PatternSession, WithoutRangeLimitsTheModelsListDecides) {
    Card card;
    card.setter.outputs["VGA-1"].edid.reset();
    PatternSession session(card.setter, "VGA-1");
    EXPECT_FALSE(session.limits());
    EXPECT_TRUE(session.show(kSxga75, false, Clock::now()).shown);
    EXPECT_FALSE(session.show(kVacant, false, Clock::now()).shown);
}

TEST(PatternSession, ACardThatRefusesIsAFailureNotARefusal) {
    Card card;
    card.setter.refusal = "the card may not reach its pixel clock";
    PatternSession session(card.setter, "VGA-1");
    const auto outcome = session.show(kVga, false, Clock::now());
    EXPECT_FALSE(outcome.shown);
    EXPECT_FALSE(outcome.refused);
    EXPECT_EQ(outcome.message, "mode 0 could not be set: the card may not reach its pixel clock");
    EXPECT_EQ(session.end(), "");
    EXPECT_TRUE(card.setter.record.empty());  // nothing was set, so nothing is put back
}

TEST(PatternSession, EachNewModeWaitsForConfirmation) {
    Card card;
    PatternSession session(card.setter, "VGA-1", 15s);
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(session.confirmationLeft(start));
    ASSERT_TRUE(session.show(kVga, false, start).shown);
    EXPECT_EQ(session.confirmationLeft(start + 14s), 1000ms);
    EXPECT_EQ(session.confirmationLeft(start + 15s), 0ms);
    session.confirm();
    EXPECT_FALSE(session.confirmationLeft(start + 20s));
    // The same mode again sets nothing and asks nothing.
    ASSERT_TRUE(session.show(kVga, false, start + 20s).shown);
    EXPECT_FALSE(session.awaitingConfirmation());
    ASSERT_TRUE(session.show(kSvga, false, start + 21s).shown);
    EXPECT_EQ(session.confirmationLeft(start + 22s), 14000ms);
}

TEST(PatternSession, TheOutputsOwnModeComesBackAfterStepping) {
    Card card;
    {
        PatternSession session(card.setter, "VGA-1");
        ASSERT_TRUE(session.show(kVga, false, Clock::now()).shown);
        ASSERT_TRUE(session.show(kSvga, false, Clock::now()).shown);
        EXPECT_EQ(card.setter.outputs["VGA-1"].mode, *kSvga.mode);
    }  // the session ends without end(): its destructor puts the mode back
    EXPECT_EQ(card.setter.outputs["VGA-1"].mode.name, "desktop");
    const std::vector<std::string> expected{"set VGA-1 " + kVga.mode->name, "set VGA-1 " + kSvga.mode->name,
                                            "restore VGA-1 desktop"};
    EXPECT_EQ(card.setter.record, expected);
}

}  // namespace
}  // namespace velmora::tools
