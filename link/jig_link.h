#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "link/jig_transport.h"
#include "link/monitor_link.h"
#include "link/program_flags.h"
#include "link/transaction_engine.h"
#include "platform/link_platform.h"

namespace velmora::link {

// The link to the monitor through the interface board on the parallel port:
// the transaction engine over the jig's bit-banged bus (JigTransport), with
// both reply modes, EDID/EEPROM block reads and the DDC1 stream, and the
// transcript of what passed on the bus.
//
// One instance for the whole program, owned by the application context.
// Making it resets the bus. Operations return true (or the reply buffer) on
// success; after a failure the error flag and error code stay readable until
// the next START.
class JigLink final : public TransactionEngine {
public:
    JigLink(platform::LinkPlatform platform, const ProgramFlags& flags);

    // Nine STOPs, the transcript off, a test of both lines, the default speed.
    bool busReset() override { return transport_.bus().reset(); }
    [[nodiscard]] const std::uint8_t* transferEepromBlock(std::int32_t block) override {
        return transport_.transferEepromBlock(block);
    }

    [[nodiscard]] JigTransport* jigControls() override { return &transport_; }
    [[nodiscard]] JigTransport& controls() { return transport_; }

    // The board reaches only the monitor on the bench, the one the
    // technician connected: every request goes to it.
    void expectMonitors(std::span<const MonitorIdentity>, std::string_view) override {}
    void allowAnyMonitor() override {}

private:
    JigTransport transport_;
};

}  // namespace velmora::link
