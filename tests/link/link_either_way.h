#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_i2c_adapter.h"
#include "bench/virtual_bench.h"
#include "link/display_channel_link.h"
#include "link/jig_link.h"
#include "platform/message_sink.h"

namespace velmora::link::testing {

// The two ways to the monitor on the bench: the jig's board on the parallel
// port, and a graphics card's adapter (the stand-in i2c-dev node).
enum class Way { Jig, DisplayChannel };

inline const char* wayName(Way way) { return way == Way::Jig ? "Jig" : "DisplayChannel"; }

// A link of either way wired to a fresh virtual bench in MasterRead mode,
// with its messages recorded.
struct LinkEitherWay {
    explicit LinkEitherWay(Way way) : way(way) {
        if (way == Way::Jig) {
            link = std::make_unique<JigLink>(bench.platform(messages), flags);
        } else {
            opened = port.open("/dev/i2c-3");
            link = std::make_unique<DisplayChannelLink>(port, bench.clock(), messages, flags);
        }
        link->setReplyMode(ReplyMode::MasterRead);
    }

    // Port accesses of the board, or transfers of the adapter: grows with
    // anything put on the bus.
    [[nodiscard]] std::uint64_t busActivity() {
        return way == Way::Jig ? bench.board().portAccesses() : static_cast<std::uint64_t>(adapter.transfers);
    }

    // Runs one request (payload only) and returns the reply bytes 0..m+3, or
    // nothing when the transaction failed.
    std::vector<std::uint8_t> request(std::vector<std::uint8_t> payload, std::int32_t replyArgument,
                                      bool* ok = nullptr) {
        std::vector<std::uint8_t> packet(payload.size() + 4, 0);
        packet[2] = static_cast<std::uint8_t>(0x80 | payload.size());
        std::copy(payload.begin(), payload.end(), packet.begin() + 3);
        const std::uint8_t* reply = link->transact(packet, replyArgument);
        if (ok != nullptr) *ok = reply != nullptr;
        if (reply == nullptr) return {};
        return {reply, reply + (reply[2] & 0x7F) + 4};
    }

    [[nodiscard]] std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : messages.messages) texts.push_back(message.text);
        return texts;
    }

    Way way;
    bench::VirtualBench bench;
    bench::BenchI2cAdapter adapter{bench};
    platform::I2cDevPort port{adapter};
    platform::RecordingMessageSink messages;
    ProgramFlags flags;
    int opened = 0;
    std::unique_ptr<MonitorLink> link;
};

}  // namespace velmora::link::testing
