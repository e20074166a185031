// Bit-banged I2C master over the jig: every line change is followed by a
// read-back of the line, which is also where a slave's clock stretching is
// honoured. Data bits other than SCL and SDA are always written as 0.
#include "link/bus_wiring.h"
#include "link/jig_link.h"

namespace velmora::link {

JigLink::JigLink(platform::LinkPlatform platform, const ProgramFlags& flags)
    : platform_(platform), flags_(flags) {
    busReset();
}

void JigLink::writeData(std::uint8_t value) {
    dataShadow_ = value;
    platform_.port.write8(platform::kDataPort, value);
}

std::uint8_t JigLink::readStatus() { return platform_.port.read8(platform::kStatusPort); }

bool JigLink::senseSda() { return (readStatus() & kSdaStatus) != 0; }
bool JigLink::senseScl() { return (readStatus() & kSclStatus) != 0; }

bool JigLink::waitForLine(std::uint8_t statusMask, bool level) {
    // expects: the line at `level` within the read-back budget
    for (std::int32_t read = 0; read < kLineReadBackReads; ++read) {
        if (((readStatus() & statusMask) != 0) == level) return true;
    }
    errorFlag_ = true;
    return false;
}

bool JigLink::setScl(bool level) {
    writeData(level ? (dataShadow_ & kSdaData) : (dataShadow_ | kSclData));
    return waitForLine(kSclStatus, level);
}

bool JigLink::setSda(bool level) {
    writeData(level ? (dataShadow_ & kSclData) : (dataShadow_ | kSdaData));
    return waitForLine(kSdaStatus, level);
}

void JigLink::releaseSda() { writeData(dataShadow_ & kSclData); }

void JigLink::busDelay(std::int32_t units) {
    for (std::int32_t unit = 0; unit < units; ++unit) platform_.spin.spin(busDelayCount_);
}

void JigLink::waitMilliseconds(std::int32_t ms) {
    if (ms > 0) counters_.waitMilliseconds += ms;
    const std::int32_t begin = platform_.clock.milliseconds();
    // expects: the clock to advance; differences survive the 32-bit wrap
    while (static_cast<std::int32_t>(static_cast<std::uint32_t>(platform_.clock.milliseconds()) -
                                     static_cast<std::uint32_t>(begin)) < ms) {
    }
}

bool JigLink::start() {
    appendText("S_");
    errorFlag_ = false;
    errorCode_ = LinkError::None;
    // SCL is released before SDA falls, so the same steps make a repeated
    // START when SDA was low.
    setScl(true);
    busDelay(10);
    releaseSda();
    setSda(false);
    busDelay(10);
    setScl(false);
    busDelay(30);
    if (errorFlag_) errorCode_ = LinkError::InterfaceBoard;
    return !errorFlag_;
}

bool JigLink::stop() {
    if (!errorFlag_) appendText("_E");
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

bool JigLink::writeByte(std::uint8_t value) {
    if (errorFlag_) return false;
    ++counters_.bytesOnBus;
    setScl(false);
    appendHexByte(value);
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
    if (senseSda()) errorFlag_ = true;  // SDA left high: no acknowledge
    if (errorFlag_) {
        errorCode_ = LinkError::MonitorNotConnected;
        return false;
    }
    busDelay(6);
    setScl(false);
    busDelay(10);
    return true;
}

bool JigLink::readByte(std::uint8_t& value, bool last) {
    if (errorFlag_) return false;
    ++counters_.bytesOnBus;
    setScl(false);
    busDelay(3);
    releaseSda();
    value = 0;
    busDelay(10);
    for (int bit = 0; bit < 8; ++bit) {
        busDelay(5);
        if (!setScl(true)) return false;  // clock held low too long
        busDelay(3);
        value = static_cast<std::uint8_t>((value << 1) | (senseSda() ? 1 : 0));
        busDelay(3);
        setScl(false);
        busDelay(1);
    }
    appendHexByte(value);
    busDelay(5);
    setSda(last);  // low acknowledges; high after the final byte
    busDelay(6);
    setScl(true);
    busDelay(10);
    setScl(false);
    busDelay(3);
    releaseSda();
    busDelay(7);
    return !errorFlag_;
}

bool JigLink::busReset() {
    // Nine clock pulses free a slave that is holding SDA in the middle of a byte.
    for (int pulse = 0; pulse < 9; ++pulse) stop();
    transcriptOff();
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
