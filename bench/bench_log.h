#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::bench {

enum class BenchEventKind : std::uint8_t {
    Request,          // a well-formed request reached the monitor (bytes from 0x6E)
    RequestRejected,  // a malformed request (length or checksum) was dropped
    NotUnderstood,    // a well-formed request the monitor does not answer
    VcpSet,
    MemoryWritten,
    MemoryWriteLost,  // a memory write acknowledged that did not take (fault write-lost)
    ModeTableStored,
    UserTableStored,
    ServiceCommand,
    ReplyAbandoned,   // a slave-mode reply was cut off by the PC using the bus
};

struct BenchEvent {
    std::int64_t timeMicroseconds = 0;
    BenchEventKind kind = BenchEventKind::Request;
    std::vector<std::uint8_t> bytes;
    std::string detail;
};

// What the simulated monitor received and how its state changed, in order.
// Deterministic on the virtual clock. Holds at most kCapacity events; later
// ones are counted but not kept.
class BenchLog {
public:
    static constexpr std::size_t kCapacity = 100000;

    void record(std::int64_t timeMicroseconds, BenchEventKind kind, std::vector<std::uint8_t> bytes,
                std::string detail = {});
    void clear();

    [[nodiscard]] const std::vector<BenchEvent>& events() const { return events_; }
    [[nodiscard]] std::vector<BenchEvent> eventsOf(BenchEventKind kind) const;
    // The bytes of every Request event.
    [[nodiscard]] std::vector<std::vector<std::uint8_t>> requests() const;
    // The payload (opcode first, without addresses, length and checksum) of
    // every Request event, as hex bytes separated by blanks: "01 10".
    [[nodiscard]] std::vector<std::string> requestPayloads() const;
    [[nodiscard]] std::size_t dropped() const { return dropped_; }

private:
    std::vector<BenchEvent> events_;
    std::size_t dropped_ = 0;
};

// Bytes as upper-case hex separated by blanks: "6E 51 82".
std::string hexBytes(const std::vector<std::uint8_t>& bytes);

}  // namespace velmora::bench
