#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "bench/bench_faults.h"
#include "bench/bench_log.h"
#include "bench/bench_time.h"
#include "bench/i2c_device.h"
#include "bench/monitor_state.h"
#include "bench/packet_format.h"
#include "bench/reply_transmitter.h"

namespace velmora::bench {

// The monitor's microcontroller on the bus at 0x6E (requests) and 0x6F
// (replies read by the PC).
//
// A request is every byte written after 0x6E up to the STOP or repeated
// START: source, 0x80 | n, n payload bytes, checksum (XOR of 0x6E and all
// of them is 0). A request of the wrong length or checksum is dropped.
//
// The request's source byte tells how the reply goes back:
//  - 0x50: the monitor becomes master and writes 50 6E 0x80|m payload
//    checksum to the PC (ReplyTransmitter);
//  - anything else (0x51): the reply waits to be read at 0x6F as
//    6E 0x80|m payload checksum; 0x6F is not acknowledged while no reply is
//    ready. A reply is read once.
// In both forms the checksum is the XOR of 0x50, 0x6E, the length byte and
// the payload. A new request to 0x6E drops any reply not yet delivered. Bytes
// read past the end of a reply are FF.
class MonitorDevice : public I2cDevice {
public:
    static constexpr std::uint8_t kWriteAddress = kMonitorWriteAddress;
    static constexpr std::uint8_t kReadAddress = kMonitorReadAddress;
    static constexpr std::size_t kRequestCapacity = 3 + 127 + 1 + 8;

    MonitorDevice(MonitorState& state, BenchFaults& faults, BenchLog& log, BenchTime& time, ReplyTransmitter& transmitter);

    bool onAddress(std::uint8_t addressByte) override;
    bool onWrite(std::uint8_t value) override;
    std::uint8_t onRead() override;
    void onEnd() override;
    [[nodiscard]] std::int32_t clockStretchReads() const override { return faults_.sclStretchReads; }

    [[nodiscard]] bool replyWaiting() const { return replyWaiting_; }

    // When set, the next well-formed request is answered with exactly these
    // bytes (what the PC reads at 0x6F, or in slave mode the whole message
    // from the address byte on), for replies the monitor would never build.
    std::optional<std::vector<std::uint8_t>> nextReplyOverride;

    // When set, asked about every well-formed request after the monitor has
    // handled it, with the request's payload (opcode first): bytes it returns
    // replace the reply as nextReplyOverride does; nullopt keeps the
    // monitor's own reply. Lets a test answer one step of a longer exchange.
    std::function<std::optional<std::vector<std::uint8_t>>(std::span<const std::uint8_t>)> replyRule;

private:
    enum class Transfer : std::uint8_t { None, Request, Reply };

    void finishRequest();
    // The short-reply fault keeps this many payload bytes.
    static constexpr std::size_t kShortReplyPayload = 2;
    std::vector<std::uint8_t> frameReply(std::vector<std::uint8_t> payload);

    MonitorState& state_;
    BenchFaults& faults_;  // bad-checksum, garbled-reply and short-reply count down
    BenchLog& log_;
    BenchTime& time_;
    ReplyTransmitter& transmitter_;

    Transfer transfer_ = Transfer::None;
    std::vector<std::uint8_t> request_;
    std::vector<std::uint8_t> reply_;  // 6E, length, payload, checksum
    bool replyWaiting_ = false;
    std::int64_t replyReadyAt_ = 0;
    std::size_t replyPosition_ = 0;
    // What a read at 0x6F is sending: the reply, the null message of a busy
    // monitor, or the reply with its source byte doubled.
    const std::vector<std::uint8_t> nullMessage_{0x6E, 0x80, 0xBE};
    const std::vector<std::uint8_t>* sending_ = &reply_;
    std::vector<std::uint8_t> doubled_;
};

}  // namespace velmora::bench
