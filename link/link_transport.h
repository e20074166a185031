#pragma once
#include <cstdint>
#include <span>

namespace velmora::link {

// One way to the monitor's microcontroller beneath the transaction engine
// (the interface board's bit-banged bus, or a graphics card's adapter): it
// puts a whole packet on the bus and brings a reply into the engine's reply
// buffer, checking it with the engine's checksumHolds and acceptReply. It
// says no more than it alone knows about a failure; the framing, the write
// protection, the attempts and the common failure words are the engine's.
class LinkTransport {
public:
    virtual ~LinkTransport() = default;

    // Whether `request` may be sent at all, asked after the write protection.
    // A transport that refuses has told why and left the error code.
    [[nodiscard]] virtual bool admits(std::span<const std::uint8_t> request) = 0;
    // The whole packet, checksum included; false when it did not go through.
    virtual bool sendRequest(std::span<const std::uint8_t> packet) = 0;
    // MasterRead: waits for the reply to `request` (the reply argument as
    // this way times it at attempt `attempt`, 0 the first) and reads it from
    // 0x6F. True when a reply was accepted.
    virtual bool readReply(std::span<const std::uint8_t> request, std::int32_t replyArgument,
                           std::int32_t attempt) = 0;
    // SlaveReceive: lets the monitor write its reply as bus master.
    virtual bool receiveAsSlave() = 0;
    // Whether the last attempt failed in a way no further attempt can cure.
    [[nodiscard]] virtual bool failureIsLasting() const { return false; }
    // Tells a failure in words of its own after the last attempt, setting
    // the error code it leaves; false leaves the telling to the engine.
    virtual bool reportOwnFailure() { return false; }
};

}  // namespace velmora::link
