#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "bench/virtual_bench.h"
#include "link/jig_link.h"
#include "platform/message_sink.h"

namespace velmora::link::testing {

// A link wired to a fresh virtual bench, with its messages recorded.
struct LinkOnBench {
    explicit LinkOnBench(ReplyMode mode = ReplyMode::MasterRead) { link.setReplyMode(mode); }

    bench::VirtualBench bench;
    platform::RecordingMessageSink messages;
    ProgramFlags flags;
    JigLink link{bench.platform(messages), flags};
    JigTransport& jig = link.controls();

    // Runs one request (payload only) and returns the reply bytes 0..m+3, or
    // nothing when the transaction failed.
    std::vector<std::uint8_t> request(std::vector<std::uint8_t> payload, std::int32_t replyArgument,
                                      bool* ok = nullptr) {
        std::vector<std::uint8_t> packet(payload.size() + 4, 0);
        packet[2] = static_cast<std::uint8_t>(0x80 | payload.size());
        for (std::size_t i = 0; i < payload.size(); ++i) packet[3 + i] = payload[i];
        lastRequest = packet;
        const std::uint8_t* reply = link.transact(packet, replyArgument);
        lastRequest = packet;
        if (ok != nullptr) *ok = reply != nullptr;
        if (reply == nullptr) return {};
        const std::size_t length = static_cast<std::size_t>(reply[2] & 0x7F) + 4;
        return {reply, reply + length};
    }

    std::vector<std::uint8_t> lastRequest;
};

using bench::hexBytes;

// `text` `times` times over: the transcript of attempts alike.
inline std::string repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) result += text;
    return result;
}

}  // namespace velmora::link::testing
