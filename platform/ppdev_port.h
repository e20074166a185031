#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "platform/bounded_claim.h"
#include "platform/port_io.h"

namespace velmora::platform {

// What the status register reads when no interface board is on the port.
// The port's status inputs have pull-ups, so unconnected inputs read high;
// the Busy input (bit 7) is inverted by the port itself and therefore reads 0.
// Reserved bits 0-2 read 1 on the common chip sets. Seen through the jig's
// wiring this is "SCL high, SDA low" whatever the data register says, so the
// first START fails its read-back of SCL low and reports a missing board.
inline constexpr std::uint8_t kStatusWithoutBoard = 0x7F;

// The first parallel port through Linux ppdev (/dev/parport0): the data
// register is written with PPWDATA and the status register read with
// PPRSTATUS, raw. The port is claimed for the lifetime of the object.
//
// The claim waits at most kPortClaimLimit for another program (a second
// console, velmora-jigctl, a printer driver) to let the port go; after that
// the port counts as held by another program.
//
// When the device cannot be opened or claimed, the reason is written once to
// the diagnostics stream and the object behaves as a port with no board on
// it: writes go nowhere and the status reads kStatusWithoutBoard.
class PpdevPort : public PortIo {
public:
    static constexpr const char* kDefaultDevice = "/dev/parport0";

    // The claim, given the open descriptor: ioctl PPCLAIM unless a test
    // puts something else in its place.
    using Claim = std::function<int(int descriptor)>;

    PpdevPort(std::string devicePath, std::ostream& diagnostics, Claim claim = {},
              std::chrono::milliseconds claimLimit = kPortClaimLimit);
    ~PpdevPort() override;
    PpdevPort(const PpdevPort&) = delete;
    PpdevPort& operator=(const PpdevPort&) = delete;

    std::uint8_t read8(std::uint16_t port) override;
    void write8(std::uint16_t port, std::uint8_t value) override;

    [[nodiscard]] bool isOpen() const { return descriptor_ >= 0; }

private:
    void reportOnce(const std::string& what, int errorNumber);

    std::string devicePath_;
    std::ostream& diagnostics_;
    int descriptor_ = -1;
    bool claimed_ = false;
    bool reported_ = false;
};

// The advice given for an errno from opening or claiming the port
// (ETIMEDOUT: the claim waited its limit out).
std::string describePortFailure(const std::string& devicePath, int errorNumber);

}  // namespace velmora::platform
