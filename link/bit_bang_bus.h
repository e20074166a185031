#pragma once
#include <cstdint>

#include "link/bus_outcome.h"
#include "link/link_counters.h"
#include "link/link_transcript.h"
#include "platform/port_io.h"
#include "platform/spin_delay.h"

namespace velmora::link {

inline constexpr std::int32_t kDefaultBusDelayCount = 100;
inline constexpr std::int32_t kLineReadBackReads = 2000;  // per line change

// The I2C master bit-banged over the jig's two port registers: every line
// change is followed by a read-back of the line, which is also where a
// slave's clock stretching is honoured. Data bits other than SCL and SDA are
// always written as 0. Levels: true = released (high), false = pulled low.
//
// A failing step sets the error flag; while it is set, byte writes and reads
// touch nothing. START clears it. The bus appends its items (START, bytes,
// STOP) to the link's transcript and counts the bytes it moves.
class BitBangBus {
public:
    BitBangBus(platform::PortIo& port, platform::SpinDelay& spin, LinkTranscript& transcript,
               LinkCounters& counters);
    BitBangBus(const BitBangBus&) = delete;
    BitBangBus& operator=(const BitBangBus&) = delete;

    bool senseSda();  // one status read
    bool setScl(bool level);  // leaves: SCL at `level` unless a slave holds it low
    bool setSda(bool level);  // leaves: SDA at `level` unless a slave holds it low
    void releaseSda();        // leaves: SDA released, not waited for
    void busDelay(std::int32_t units);

    BusOutcome start();  // leaves: SCL low, SDA low (Ok or TimedOut)
    bool stop();         // leaves: both released, even after a failure
    // Ok (acknowledged), NotAcknowledged, TimedOut or Skipped.
    BusOutcome writeByte(std::uint8_t value);  // leaves: SCL low (Ok), SCL released (failure); SDA released
    // Ok, TimedOut (a data bit or the acknowledge clock held) or Skipped.
    BusOutcome readByte(std::uint8_t& value, bool last);  // leaves: SCL low (Ok), released (TimedOut); SDA released
    // Nine clocks to free a stuck slave, the transcript off, a test of both
    // lines, the delay count back to its default.
    bool reset();  // leaves: both released

    [[nodiscard]] bool errorFlag() const { return errorFlag_; }
    void setErrorFlag() { errorFlag_ = true; }
    void clearErrorFlag() { errorFlag_ = false; }
    [[nodiscard]] std::uint8_t dataShadow() const { return dataShadow_; }
    [[nodiscard]] std::int32_t busDelayCount() const { return busDelayCount_; }
    void setBusDelayCount(std::int32_t count) { busDelayCount_ = count; }
    // How the last byte write or read ended.
    [[nodiscard]] BusOutcome lastByteOutcome() const { return lastByteOutcome_; }

private:
    bool senseScl();  // one status read
    void writeData(std::uint8_t value);
    std::uint8_t readStatus();
    bool waitForLine(std::uint8_t statusMask, bool level);

    platform::PortIo& port_;
    platform::SpinDelay& spin_;
    LinkTranscript& transcript_;
    LinkCounters& counters_;

    std::uint8_t dataShadow_ = 0;  // the value last written to the data register
    bool errorFlag_ = false;
    std::int32_t busDelayCount_ = kDefaultBusDelayCount;
    BusOutcome lastByteOutcome_ = BusOutcome::Ok;
};

}  // namespace velmora::link
