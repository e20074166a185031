#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bench/bench_faults.h"
#include "bench/bench_log.h"

namespace velmora::bench {

// What the simulated monitor's microcontroller holds, and how it answers a
// request payload. Replies are payloads too; the device adds the framing
// (source 0x6E, length byte 0x80 | m, checksum). In hex:
//
//   request payload            reply payload
//   01 v                       02 00 v 00 maxH maxL curH curL   (VCP read)
//                              02 01 v 00 00 00 00 00           (unsupported v)
//   03 v hi lo                 none; value clamped to 0..maximum
//   c (one byte)               c 00 service command done, c EE refused
//                              (codes E0..EF are refused)
//   52 mode values...          53 mode                          (mode table stored)
//   C0 07 v p values...        C1 07 v p                        (user table stored)
//   C0 09 page addr value      C1 09 page addr value            (memory write, ByPage)
//   C0 0B                      C1 0B N2 N1 N0                   (tube on-time, 10-minute units)
//   C0 s (other)               C1 s 00
//   C1 09|89 page addr         C2 09|89 page addr value         (memory read, ByPage)
//   60 n dev addr              61 n dev addr value...           (memory read, ByDevice, n values, 1..16)
//   F3 hi lo                   E3 hi lo text...                 (capabilities, 32 bytes from offset hi lo)
//   62 n dev addr value        63 n dev addr value              (memory write, ByDevice)
//   any other opcode op        op+1 00
//
// The memory byte of a read is always at payload byte 4, i.e. reply byte 7.
// Memory requests of a form the monitor does not understand (see
// BenchFaults::memoryForm), or naming a page other than 0..3 (dev A0..A7 in
// the device form; 62 also takes a page 0..3), get no reply at all, as do
// Set VCP and malformed requests.
class MonitorState {
public:
    // Values are 16-bit as DDC/CI carries them; the jig's requests read
    // and write the low byte.
    struct VcpControl {
        bool supported = true;
        std::uint16_t current = 128;
        std::uint16_t maximum = 255;
    };
    struct StoredTable {
        bool stored = false;
        std::uint8_t parameter = 0;  // user tables: p
        std::vector<std::uint8_t> values;
    };

    static constexpr std::size_t kPages = 4;
    static constexpr std::size_t kPageBytes = 256;
    static constexpr std::uint32_t kOnTimeLimit = 0xFFFFFF;
    static constexpr std::size_t kMaxReadCount = 16;

    MonitorState();

    // Handles one request payload; nullopt means no reply.
    std::optional<std::vector<std::uint8_t>> handle(std::span<const std::uint8_t> payload,
                                                    const BenchFaults& faults, BenchLog& log,
                                                    std::int64_t timeMicroseconds);

    void setOnTime(std::uint32_t tenMinuteUnits) { onTimeTenMinutes = tenMinuteUnits & kOnTimeLimit; }

    std::array<VcpControl, 256> vcp;
    std::array<std::array<std::uint8_t, kPageBytes>, kPages> memory{};
    std::uint32_t onTimeTenMinutes = 18007;  // 3001 h 10 min
    std::array<StoredTable, 256> modeTables;  // by mode number
    std::array<StoredTable, 256> userTables;  // by VCP code
    // The capabilities string (BenchFaults::malformedCapabilities sends a
    // careless variant of it).
    std::string capabilities;

    // The default contents: every VCP code supported at 128 of 255, except
    //   10 brightness 50 of 100, 12 contrast 80 of 100, 14 colour channel 0 of 3,
    //   DE volume 30 of 100, 00 and 01 (degauss) 0 of 1, 0E (clock) 1056 of
    //   2047, wider than a byte;
    // memory byte (page p, address a) = (0x11 + 0x40 p + 7 a) mod 256.
    static std::array<VcpControl, 256> defaultVcp();
    static std::uint8_t defaultMemoryByte(std::size_t page, std::size_t address);
    static bool isRefusedServiceCode(std::uint8_t code) { return code >= 0xE0 && code <= 0xEF; }

private:
    struct Context {
        const BenchFaults& faults;
        BenchLog& log;
        std::int64_t time;
    };
    using Reply = std::optional<std::vector<std::uint8_t>>;

    Reply readVcp(std::span<const std::uint8_t> p);
    Reply setVcp(std::span<const std::uint8_t> p, Context& c);
    Reply service(std::uint8_t code, Context& c);
    Reply storeModeTable(std::span<const std::uint8_t> p, Context& c);
    Reply vendorRequest(std::span<const std::uint8_t> p, Context& c);
    Reply readByPage(std::span<const std::uint8_t> p, Context& c);
    Reply readByDevice(std::span<const std::uint8_t> p, Context& c);
    Reply writeByDevice(std::span<const std::uint8_t> p, Context& c);
    void writeMemory(std::size_t page, std::uint8_t address, std::uint8_t value, Context& c);
};

}  // namespace velmora::bench
