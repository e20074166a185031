#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/link_counters.h"
#include "link/link_error.h"
#include "link/monitor_identity.h"
#include "link/reply_mode.h"

namespace velmora::link {

class JigTransport;

inline constexpr std::size_t kEepromBlockBytes = 256;
inline constexpr std::size_t kEdidBytes = 128;

// What the interpreter, the console and the tools need from a link to the
// monitor's display data channel, whatever carries the bus: command packets
// with retries and write protection, the error code of the last exchange,
// the reply mode, EEPROM/EDID block reads, a bus reset and the transcript.
//
// Operations return true (or the reply bytes) on success; after a failure
// the error code stays readable until the next exchange begins.
class MonitorLink {
public:
    virtual ~MonitorLink() = default;

    // Sends `request` (a command packet: bytes 0, 1 and the checksum are
    // filled in place) and, unless replyArgument is 0, receives the reply.
    // Returns the reply bytes or nullptr. A request whose length byte needs
    // more bytes than `request` has is refused without touching the bus;
    // so is a protected request while writing is not enabled.
    [[nodiscard]] virtual const std::uint8_t* transact(std::span<std::uint8_t> request,
                                                       std::int32_t replyArgument) = 0;
    // Payload bytes the last reply really carried: its length byte's count,
    // cut to what arrived before the checksum. 0 when the last transaction
    // read no reply or failed, and after an EEPROM or EDID read. Callers
    // compare it with the bytes their request needs, so that nothing is
    // taken from an earlier reply left in the buffer.
    [[nodiscard]] virtual std::size_t replyPayloadLength() const = 0;
    // Whether transact would refuse `request` for want of write permission.
    [[nodiscard]] virtual bool isWriteProtected(std::span<const std::uint8_t> request) const = 0;

    [[nodiscard]] virtual LinkError errorCode() const = 0;
    virtual void setErrorCode(LinkError code) = 0;
    [[nodiscard]] virtual ReplyMode replyMode() const = 0;
    virtual void setReplyMode(ReplyMode mode) = 0;

    // A bus reset (which switches the transcript off), then the 256-byte
    // block of the EEPROM at 0xA0 + 2 x block.
    [[nodiscard]] virtual const std::uint8_t* readEepromBlock(std::int32_t block) = 0;
    // The block read alone, for a caller that has reset the bus itself and
    // wants the transfer in the transcript.
    [[nodiscard]] virtual const std::uint8_t* transferEepromBlock(std::int32_t block) = 0;
    // Frees a stuck bus and switches the transcript off.
    virtual bool busReset() = 0;

    virtual void transcriptOn() = 0;
    virtual void transcriptOff() = 0;
    virtual void appendText(std::string_view text) = 0;
    [[nodiscard]] virtual std::string_view transcriptText() const = 0;
    [[nodiscard]] virtual std::int32_t transcriptLength() const = 0;

    [[nodiscard]] virtual const LinkCounters& counters() const = 0;

    // The jig's own controls (its bus for the bus-stepping buttons and the
    // bus speed, the DDC1 read), or nullptr on a link that has no such
    // controls.
    [[nodiscard]] virtual JigTransport* jigControls() { return nullptr; }

    // The monitors the selected model is made for (none: it names none).
    // A link that may reach a monitor other than the one on the bench (a
    // graphics card's channel, where the technician's own display may hang)
    // sends factory requests only to one of them, or after the technician
    // said so; the jig serves the monitor on the bench and ignores this.
    virtual void expectMonitors(std::span<const MonitorIdentity> monitors, std::string_view modelName) = 0;
    // The technician's word that factory requests may go to whatever
    // monitor answers (velmora-jigctl --any-monitor).
    virtual void allowAnyMonitor() = 0;
};

}  // namespace velmora::link
