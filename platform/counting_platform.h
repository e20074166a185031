#pragma once
#include <cstdint>

#include "platform/clock.h"
#include "platform/port_io.h"

namespace velmora::platform {

// Port accesses and sleeps counted on their way to the real port and clock
// (or the bench's), so that a tool can say what an operation cost without
// the link or the interpreter knowing.
struct PlatformCounters {
    std::int64_t portReads = 0;
    std::int64_t portWrites = 0;
    std::int64_t sleepMilliseconds = 0;  // fixed waits between requests
};

class CountingPortIo : public PortIo {
public:
    CountingPortIo(PortIo& port, PlatformCounters& counters) : port_(port), counters_(counters) {}
    std::uint8_t read8(std::uint16_t port) override {
        ++counters_.portReads;
        return port_.read8(port);
    }
    void write8(std::uint16_t port, std::uint8_t value) override {
        ++counters_.portWrites;
        port_.write8(port, value);
    }

private:
    PortIo& port_;
    PlatformCounters& counters_;
};

class CountingClock : public Clock {
public:
    CountingClock(Clock& clock, PlatformCounters& counters) : clock_(clock), counters_(counters) {}
    std::int32_t milliseconds() override { return clock_.milliseconds(); }
    void sleepMilliseconds(std::int32_t ms) override {
        if (ms > 0) counters_.sleepMilliseconds += ms;
        clock_.sleepMilliseconds(ms);
    }

private:
    Clock& clock_;
    PlatformCounters& counters_;
};

}  // namespace velmora::platform
