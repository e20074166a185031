#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "link/display_channel_transport.h"
#include "link/monitor_link.h"
#include "link/program_flags.h"
#include "link/transaction_engine.h"
#include "platform/clock.h"
#include "platform/i2c_dev_port.h"
#include "platform/message_sink.h"

namespace velmora::link {

// The link to the monitor through a graphics card's display data channel:
// the transaction engine over DisplayChannelTransport, so the same command
// packets, write protection, three attempts, reply checks, transcript,
// failure words and error codes as the jig.
//
// What only the jig can do is refused, never attempted: replies in
// SlaveReceive mode (the message says the interface board is needed), the
// DDC1 stream (no EDID), and the bus speed (there is none to set).
class DisplayChannelLink final : public TransactionEngine {
public:
    static constexpr std::size_t kReplyReadBytes = DisplayChannelTransport::kReplyReadBytes;
    static constexpr std::uint8_t kEdidDevice = DisplayChannelTransport::kEdidDevice;
    static constexpr std::uint8_t kSegmentPointerDevice = DisplayChannelTransport::kSegmentPointerDevice;
    static constexpr std::int32_t kMaxEdidBlock = DisplayChannelTransport::kMaxEdidBlock;

    DisplayChannelLink(platform::I2cDevPort& port, platform::Clock& clock, platform::MessageSink& messages,
                       const ProgramFlags& flags, DisplayChannelTiming timing = kDdcCiTiming);

    [[nodiscard]] DisplayChannelTiming timing() const { return transport_.timing(); }

    // --- the right monitor ---
    // Once a model is chosen, a factory request goes out only when the
    // EDID's manufacturer and product code are one the model names; for any
    // other monitor (or one without an EDID) the technician is asked, once
    // a session, and where nobody can be asked the request is refused. The
    // answer and the identity are kept until the next model.
    void expectMonitors(std::span<const MonitorIdentity> monitors, std::string_view modelName) override {
        transport_.expectMonitors(monitors, modelName);
    }
    void allowAnyMonitor() override { transport_.allowAnyMonitor(); }

    // --- EDID ---
    // The transcript off (as the jig's bus reset), nothing on the bus.
    bool busReset() override;
    // On a graphics card's channel only the EDID at 0x50 is read: block N
    // is the EDID's 128-byte block N, followed by block N + 1 (block 0 reads
    // as through the jig: both at once from offset 0). Odd blocks lie at
    // offset 80h, blocks 2 and up behind the segment pointer (segment N / 2).
    // Other addresses (0x51 and up, 0x37, the general call) may be another
    // device on the card's bus and are never read. Blocks the EDID does not
    // announce are not read: block N fails, block N + 1 reads FFh.
    [[nodiscard]] const std::uint8_t* transferEepromBlock(std::int32_t block) override {
        return transport_.transferEepromBlock(block);
    }

private:
    DisplayChannelTransport transport_;
};

}  // namespace velmora::link
