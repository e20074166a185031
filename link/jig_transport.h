#pragma once
#include <cstdint>
#include <span>

#include "link/bit_bang_bus.h"
#include "link/bus_outcome.h"
#include "link/link_transport.h"
#include "link/transaction_engine.h"
#include "platform/link_platform.h"

namespace velmora::link {

inline constexpr std::int32_t kReplyStartReads = 400000;  // slave receiver: first SCL low
inline constexpr std::int32_t kReplyBitReads = 50000;     // slave receiver: per bit / ack
inline constexpr std::int32_t kSlaveReplyLimit = 300;     // bytes; reaching it fails

// The interface board on the parallel port as the engine's transport, and
// the jig's own controls that no other way to the monitor has: the
// bit-banged bus itself (lines, bus steps, speed), replies received as
// slave, the EEPROM blocks at 0xA0 + 2 x block and the DDC1 stream.
//
// A failing bus step sets the bus's error flag; START, byte writes and byte
// reads also leave the engine's error code their outcome calls for
// (errorCodeAfter), so the code of a failure stays readable until the next
// START.
class JigTransport final : public LinkTransport {
public:
    JigTransport(TransactionEngine& engine, platform::LinkPlatform platform);
    JigTransport(const JigTransport&) = delete;
    JigTransport& operator=(const JigTransport&) = delete;

    // The lines, STOP, the error flag and the bus speed (its delay count).
    [[nodiscard]] BitBangBus& bus() { return bus_; }
    [[nodiscard]] const BitBangBus& bus() const { return bus_; }

    bool start();
    bool writeByte(std::uint8_t value);
    bool readByte(std::uint8_t& value, bool last);
    void waitMilliseconds(std::int32_t ms);

    // --- replies ---
    bool readReplyAsMaster();
    bool receiveReplyAsSlave();

    // --- EDID and EEPROM ---
    [[nodiscard]] const std::uint8_t* transferEepromBlock(std::int32_t block);
    std::uint16_t measureSdaRun();
    [[nodiscard]] const std::uint8_t* readEdidDdc1();

    // --- the engine's transport ---
    [[nodiscard]] bool admits(std::span<const std::uint8_t>) override { return true; }
    bool sendRequest(std::span<const std::uint8_t> packet) override;
    bool readReply(std::span<const std::uint8_t> request, std::int32_t replyArgument,
                   std::int32_t attempt) override;
    bool receiveAsSlave() override { return receiveReplyAsSlave(); }

private:
    void noteOutcome(BusStep step, BusOutcome outcome);

    TransactionEngine& engine_;
    platform::LinkPlatform platform_;
    BitBangBus bus_;

    // DDC1 run timer, kept for the life of the link.
    bool ddc1ReferenceTaken_ = false;
    bool ddc1ReferenceLevel_ = false;
    std::int32_t ddc1LastChange_ = 0;
};

}  // namespace velmora::link
