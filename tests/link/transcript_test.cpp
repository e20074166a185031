#include <gtest/gtest.h>

#include <string>

#include "link/link_transcript.h"

namespace velmora::link {
namespace {

TEST(Transcript, OffUntilSwitchedOnAndEmptiedWhenSwitchedOff) {
    LinkTranscript transcript;
    transcript.appendText("lost");
    EXPECT_EQ(transcript.length(), -1);
    EXPECT_EQ(transcript.text(), "");
    transcript.turnOn();
    EXPECT_EQ(transcript.text(), "\r\n");
    EXPECT_EQ(transcript.length(), 2);
    transcript.appendText("PC:");
    transcript.appendHexByte(0x0A);
    transcript.appendHexByte(0xF2);
    EXPECT_EQ(transcript.text(), "\r\n PC: 0A F2");
    EXPECT_EQ(transcript.length(), 12);
    transcript.turnOff();
    EXPECT_EQ(transcript.length(), -1);
    EXPECT_EQ(transcript.text(), "");
    transcript.turnOn();
    EXPECT_EQ(transcript.text(), "\r\n");
}

TEST(Transcript, NeverGrowsPastItsCapacity) {
    struct Row {
        std::size_t firstFill;  // characters appended before (with the separator)
        std::string item;
        std::size_t expectedLength;
    };
    const std::size_t limit = LinkTranscript::kCapacity - 1;
    for (const Row& row : {Row{limit - 2 - 6, "PC:", limit - 2}, Row{limit - 2 - 4, "OK.\r\n", limit},
                           Row{limit - 2, "S_", limit}, Row{limit - 3, "6E", limit}}) {
        LinkTranscript transcript;
        transcript.turnOn();
        transcript.appendText(std::string(row.firstFill - 1, 'x'));
        ASSERT_EQ(static_cast<std::size_t>(transcript.length()), row.firstFill + 2);
        transcript.appendText(row.item);
        EXPECT_EQ(static_cast<std::size_t>(transcript.length()), row.expectedLength) << row.item;
        EXPECT_EQ(transcript.text().size(), row.expectedLength);
        transcript.appendHexByte(0xAB);
        EXPECT_LE(transcript.text().size(), limit);
    }
    LinkTranscript big;
    big.turnOn();
    for (int i = 0; i < 5000; ++i) big.appendText("Error!!\r\n");
    EXPECT_EQ(static_cast<std::size_t>(big.length()), limit);
    EXPECT_EQ(big.text().substr(0, 12), "\r\n Error!!\r\n");
}

}  // namespace
}  // namespace velmora::link
