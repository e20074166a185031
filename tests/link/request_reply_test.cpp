#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

#include "link/command_packet.h"
#include "link/request_reply.h"
#include "link_on_bench.h"

namespace velmora::link {
namespace {

TEST(Request, WritesLengthByteAndPayloadAndRefusesAPacketTooSmall) {
    std::array<std::uint8_t, 7> packet{};
    packet.fill(0xEE);
    ASSERT_TRUE((Request{0x03, 0x10, 0x00}.writeInto(packet)));
    EXPECT_EQ(packet, (std::array<std::uint8_t, 7>{0xEE, 0xEE, 0x83, 0x03, 0x10, 0x00, 0xEE}));

    // Header, four payload bytes and the checksum need eight.
    packet.fill(0xEE);
    EXPECT_FALSE((Request{0x03, 0x10, 0x00, 0x20}.writeInto(packet)));
    EXPECT_EQ(packet[2], 0xEE);

    Request written = Request::withLengthByte(0x02);
    EXPECT_TRUE(written.append(0x01));
    EXPECT_EQ(written.lengthByte(), 0x02);  // as written, not 0x81

    Request full{};
    for (std::size_t i = 0; i < Request::kMaxPayload; ++i) ASSERT_TRUE(full.append(0x55));
    EXPECT_FALSE(full.append(0x55));
    EXPECT_EQ(full.payload().size(), Request::kMaxPayload);
    EXPECT_EQ(full.lengthByte(), 0xFF);
}

// Protection is judged on what a request holds, never past its end, for
// either link (a length byte may claim more than the array has).
TEST(Request, ProtectionReadsNoFurtherThanTheRequestHolds) {
    const struct {
        std::vector<std::uint8_t> request;
        bool protectedRequest;
    } rows[] = {
        {{0x6E, 0x51}, false},                          // no length byte
        {{0x6E, 0x51, 0x85}, false},                    // no payload
        {{0x6E, 0x51, 0xFF, 0x03}, false},              // Set VCP without its code
        {{0x6E, 0x51, 0xFF, 0x03, 0xE6}, true},         // Set VCP E6, the rest missing
        {{0x6E, 0x51, 0x81, 0x03, 0xE6, 0x00}, false},  // the length byte holds one byte only
        {{0x6E, 0x51, 0x82, 0x62, 0x00}, true},         // memory write by device
    };
    for (const auto& row : rows) {
        EXPECT_EQ(isProtectedRequest(row.request), row.protectedRequest) << int(row.request.size());
    }
}

TEST(ReplyView, OffersOnlyThePayloadTheReplyCarried) {
    // 50 6E 84 | C1 0B 00 12 | checksum, then bytes left from an earlier reply.
    const std::array<std::uint8_t, 10> buffer{0x50, 0x6E, 0x84, 0xC1, 0x0B, 0x00, 0x12, 0x3F, 0x77, 0x77};
    struct Row {
        const char* name;
        const std::uint8_t* reply;
        std::size_t length;
        std::size_t index;
        std::optional<std::uint8_t> byte;
    };
    for (const Row row : {Row{"opcode", buffer.data(), 4, 0, 0xC1}, Row{"last byte", buffer.data(), 4, 3, 0x12},
                          Row{"checksum is no payload", buffer.data(), 4, 4, std::nullopt},
                          Row{"left from before", buffer.data(), 4, 6, std::nullopt},
                          Row{"cut short", buffer.data(), 1, 1, std::nullopt},
                          Row{"no reply", nullptr, 4, 0, std::nullopt}}) {
        const ReplyView view(row.reply, row.length);
        EXPECT_EQ(view.payload(row.index), row.byte) << row.name;
        EXPECT_EQ(view.received(), row.reply != nullptr) << row.name;
    }
    const ReplyView shortReply(buffer.data(), 1);
    EXPECT_EQ(shortReply.opcode(), 0xC1);
    EXPECT_EQ(shortReply.result(), std::nullopt);
    EXPECT_FALSE(shortReply.carries(2));
    EXPECT_EQ(ReplyView(nullptr, 4).payloadLength(), 0u);
}

TEST(ReplyView, ExchangeSendsTheRequestAndViewsTheReplyOnTheBench) {
    testing::LinkOnBench f(ReplyMode::MasterRead);
    f.link.transcriptOn();
    const ReplyView reply = exchange(f.link, Request{0x01, 0x10}, 30);
    ASSERT_TRUE(reply.received());
    EXPECT_NE(f.link.transcriptText().find("PC: S_ 6E 51 82 01 10 AC _E"), std::string_view::npos)
        << f.link.transcriptText();
    EXPECT_EQ(reply.payloadLength(), f.link.replyPayloadLength());
    EXPECT_EQ(reply.opcode(), 0x02);
    EXPECT_EQ(reply.payload(2), 0x10);
}

}  // namespace
}  // namespace velmora::link
