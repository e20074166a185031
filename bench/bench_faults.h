#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora::bench {

// Which form of the one-byte memory request the simulated monitor answers.
enum class MemoryForm : std::uint8_t { ByPage, ByDevice, Both };

// Faults and modes of the bench, read live by the simulated devices, so a
// test may change them between two link calls. Every knob has a name for
// the command line (see kBenchFaultNames).
struct BenchFaults {
    bool noBoard = false;              // no-board: nothing on the port
    bool noMonitor = false;            // no-monitor: no device acknowledges
    bool sdaLow = false;               // sda-low: something holds SDA low
    std::int32_t sclStretchReads = 0;  // scl-stretch=N: SCL held low N status reads at each acknowledge clock
    std::int32_t badChecksumReplies = 0;  // bad-checksum=K: the next K replies carry a wrong checksum
    std::int32_t garbledReplies = 0;   // garbled-reply=K: the next K replies arrive with their first byte inverted
    std::int32_t shortReplies = 0;     // short-reply=K: the next K replies keep only 2 payload bytes (framed to match)
    std::int32_t replyDelayMs = 0;     // reply-delay=N: a reply is ready N ms after its request
    bool noSlaveReply = false;         // no-slave-reply: requests from 0x50 get no reply
    std::int32_t oversizeReplyBytes = 0;  // oversize-reply=N: slave replies padded to N bytes
    MemoryForm memoryForm = MemoryForm::Both;  // memory-form=bypage|bydevice|both
    std::int32_t ddc1BitTimeMs = 0;    // ddc1=T: the monitor streams its EDID on SDA, T ms a bit
    std::int32_t ddc1SilentAfterMs = 0;  // ddc1-silent-after=N: the stream stops at N ms
    std::int32_t busyReplies = 0;      // busy-replies=K: the next K reads at 0x6F get the null message, the reply stays
    std::int32_t doubledSourceReplies = 0;  // double-source=K: the next K replies read at 0x6F begin 6E 6E
    bool malformedCapabilities = false;  // malformed-capabilities: the capabilities string as careless firmware sends it
    // write-lost=PAGE:ADDR: writes to this EEPROM byte (page * 256 + address)
    // are acknowledged but do not take; -1 for none.
    std::int32_t lostWriteLocation = -1;
};

enum class FaultArgument : std::uint8_t { None, Number, MemoryForm, Location };

struct BenchFaultName {
    std::string_view name;
    FaultArgument argument;
    std::int32_t defaultNumber;  // used when "=N" is left out; -1: N required
    std::string_view help;
};

std::span<const BenchFaultName> benchFaultNames();

// Applies one "NAME" or "NAME=VALUE" to `faults`. Returns an empty string on
// success, otherwise a message naming what is valid; `faults` is then unchanged.
std::string applyBenchFault(std::string_view text, BenchFaults& faults);

}  // namespace velmora::bench
