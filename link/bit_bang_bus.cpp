// Bit-banged I2C master over the jig: every line change is followed by a
// read-back of the line, which is also where a slave's clock stretching is
// honoured. Data bits other than SCL and SDA are always written as 0.
#include "link/bit_bang_bus.h"

#include "link/bus_wiring.h"

namespace velmora::link {

BitBangBus::BitBangBus(platform::PortIo& port, platform::SpinDelay& spin, LinkTranscript& transcript,
                       LinkCounters& counters)
    : port_(port), spin_(spin), transcript_(transcript), counters_(counters) {}

void BitBangBus::writeData(std::uint8_t value) {
    dataShadow_ = value;
    port_.write8(platform::kDataPort, value);
}

std::uint8_t BitBangBus::readStatus() { return port_.read8(platform::kStatusPort); }

bool BitBangBus::senseSda() { return (readStatus() & kSdaStatus) != 0; }
bool BitBangBus::senseScl() { return (readStatus() & kSclStatus) != 0; }

bool BitBangBus::waitForLine(std::uint8_t statusMask, bool level) {
    // expects: the line at `level` within the read-back budget
    for (std::int32_t read = 0; read < kLineReadBackReads; ++read) {
        if (((readStatus() & statusMask) != 0) == level) return true;
    }
    errorFlag_ = true;
    return false;
}

bool BitBangBus::setScl(bool level) {
    writeData(level ? (dataShadow_ & kSdaData) : (dataShadow_ | kSclData));
    return waitForLine(kSclStatus, level);
}

bool BitBangBus::setSda(bool level) {
    writeData(level ? (dataShadow_ & kSclData) : (dataShadow_ | kSdaData));
    return waitForLine(kSdaStatus, level);
}

void BitBangBus::releaseSda() { writeData(dataShadow_ & kSclData); }

void BitBangBus::busDelay(std::int32_t units) {
    for (std::int32_t unit = 0; unit < units; ++unit) spin_.spin(busDelayCount_);
}

BusOutcome BitBangBus::start() {
    transcript_.appendText("S_");
    errorFlag_ = false;
    // SCL is released before SDA falls, so the same steps make a repeated
    // START when SDA was low.
    setScl(true);
    busDelay(10);
    releaseSda();
    setSda(false);
    busDelay(10);
    setScl(false);
    busDelay(30);
    return errorFlag_ ? BusOutcome::TimedOut : BusOutcome::Ok;
}

bool BitBangBus::stop() {
    if (!errorFlag_) transcript_.appendText("_E");
    // Runs even after a failure so that a transfer always ends with both
    // lines released.
    setScl(false);
    busDelay(5);
    setSda(false);
    busDelay(30);
    setScl(true);
    busDelay(10);
    setSda(true);
    busDelay(10);
    return !errorFlag_;
}

BusOutcome BitBangBus::writeByte(std::uint8_t value) {
    if (errorFlag_) return lastByteOutcome_ = BusOutcome::Skipped;
    ++counters_.bytesOnBus;
    setScl(false);
    transcript_.appendHexByte(value);
    busDelay(10);
    for (int bit = 7; bit >= 0; --bit) {
        setSda(((value >> bit) & 1) != 0);
        busDelay(5);
        setScl(true);
        busDelay(6);
        setScl(false);
        busDelay(1);
    }
    releaseSda();
    busDelay(5);
    setScl(true);
    // The flag was clear on entry: set now, a line did not follow during the byte.
    const bool timedOut = errorFlag_;
    const bool acknowledged = !senseSda();  // SDA left high: no acknowledge
    if (timedOut || !acknowledged) {
        errorFlag_ = true;
        return lastByteOutcome_ = timedOut ? BusOutcome::TimedOut : BusOutcome::NotAcknowledged;
    }
    busDelay(6);
    setScl(false);
    busDelay(10);
    return lastByteOutcome_ = BusOutcome::Ok;
}

BusOutcome BitBangBus::readByte(std::uint8_t& value, bool last) {
    if (errorFlag_) return lastByteOutcome_ = BusOutcome::Skipped;
    ++counters_.bytesOnBus;
    setScl(false);
    busDelay(3);
    releaseSda();
    value = 0;
    busDelay(10);
    for (int bit = 0; bit < 8; ++bit) {
        busDelay(5);
        if (!setScl(true)) return lastByteOutcome_ = BusOutcome::TimedOut;  // clock held low too long
        busDelay(3);
        value = static_cast<std::uint8_t>((value << 1) | (senseSda() ? 1 : 0));
        busDelay(3);
        setScl(false);
        busDelay(1);
    }
    transcript_.appendHexByte(value);
    busDelay(5);
    setSda(last);  // low acknowledges; high after the final byte
    busDelay(6);
    setScl(true);
    busDelay(10);
    setScl(false);
    busDelay(3);
    releaseSda();
    busDelay(7);
    return lastByteOutcome_ = errorFlag_ ? BusOutcome::TimedOut : BusOutcome::Ok;
}

bool BitBangBus::reset() {
    // Nine clock pulses free a slave that is holding SDA in the middle of a byte.
    for (int pulse = 0; pulse < 9; ++pulse) stop();
    transcript_.turnOff();
    setSda(false);
    busDelay(10);
    if (senseSda()) errorFlag_ = true;
    busDelay(10);
    setScl(false);
    busDelay(10);
    if (senseScl()) errorFlag_ = true;
    busDelay(10);
    setScl(true);
    busDelay(10);
    setSda(true);
    busDelay(10);
    busDelayCount_ = kDefaultBusDelayCount;
    return !errorFlag_;
}

}  // namespace velmora::link
