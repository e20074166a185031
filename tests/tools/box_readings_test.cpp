// How numbers typed into the memory tools' boxes are read.
#include "tools/box_readings.h"

#include <gtest/gtest.h>

namespace velmora::tools {
namespace {

struct Reading {
    std::string text;
    std::int32_t value;
};

TEST(BoxReadings, DecimalReadsTheFirstTwoCharacters) {
    for (const Reading& r : {Reading{"3", 3}, Reading{"12", 12}, Reading{"123", 12}, Reading{"", 0},
                             Reading{"x1", 0}, Reading{"7a", 7}, Reading{" 3", 3}, Reading{"-1", -1}}) {
        EXPECT_EQ(decimalReading(r.text), r.value) << '"' << r.text << '"';
    }
    EXPECT_EQ(decimalReading("123", 8), 123);
}

TEST(BoxReadings, HexTakesTwoCharactersAsDigitsWhateverTheyAre) {
    for (const Reading& r : {Reading{"", 0}, Reading{"A", 10}, Reading{"3A", 0x3A}, Reading{"3a", 0x3A},
                             Reading{"ff", 0xFF}, Reading{"5A ", 0x5A}, Reading{"100", 0x10},
                             Reading{"G0", 23 * 16},      // above FFh
                             Reading{"!0", -15 * 16},     // below 0
                             Reading{"0 ", -16},          // a blank counts -16
                             Reading{"~", 78}}) {         // '~' alone lands inside 0..FFh
        EXPECT_EQ(hexReading(r.text), r.value) << '"' << r.text << '"';
    }
}

struct Scan {
    std::string text;
    std::optional<std::int64_t> value;
};

TEST(BoxReadings, RangeBoxesReadUpToEightCharacters) {
    for (const Scan& s : {Scan{"2", 2}, Scan{" 3", 3}, Scan{"-1", -1}, Scan{"", std::nullopt},
                          Scan{"abc", std::nullopt}, Scan{"123456789", 12345678}}) {
        EXPECT_EQ(scanDecimal(s.text), s.value) << '"' << s.text << '"';
    }
    for (const Scan& s : {Scan{"F0", 0xF0}, Scan{"0x1f", 0x1F}, Scan{"ff", 0xFF}, Scan{"100", 0x100},
                          Scan{"G", std::nullopt}, Scan{"", std::nullopt}, Scan{"0x", 0},
                          Scan{"FFFFFFFFFF", 0xFFFFFFFF}}) {
        EXPECT_EQ(scanHex(s.text), s.value) << '"' << s.text << '"';
    }
}

}  // namespace
}  // namespace velmora::tools
