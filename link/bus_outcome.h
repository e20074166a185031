#pragma once
#include <cstdint>
#include <optional>

#include "link/link_error.h"

namespace velmora::link {

// How one step on the bus ended.
enum class BusOutcome : std::uint8_t {
    Ok,               // START went through; a written byte was acknowledged; a read byte arrived
    NotAcknowledged,  // a written byte: SDA stayed high at the acknowledge clock
    TimedOut,         // a line did not follow within its read-back budget (a slave held SCL low too long)
    Skipped,          // an earlier failure was pending: nothing was touched
};

enum class BusStep : std::uint8_t { Start, ByteWrite, ByteRead };

constexpr const char* busOutcomeName(BusOutcome outcome) {
    switch (outcome) {
    case BusOutcome::Ok: return "Ok";
    case BusOutcome::NotAcknowledged: return "NotAcknowledged";
    case BusOutcome::TimedOut: return "TimedOut";
    case BusOutcome::Skipped: return "Skipped";
    }
    return "?";
}

// The error code a bus step leaves for the transaction layer; nothing when
// the step leaves the code as it was. START clears the code. A byte read
// that times out carries no code: the transaction layer then shows no
// message and the transcript says "Error!!", as for a bad checksum.
constexpr std::optional<LinkError> errorCodeAfter(BusStep step, BusOutcome outcome) {
    switch (step) {
    case BusStep::Start:
        return outcome == BusOutcome::Ok ? LinkError::None : LinkError::InterfaceBoard;
    case BusStep::ByteWrite:
        if (outcome == BusOutcome::NotAcknowledged || outcome == BusOutcome::TimedOut) {
            return LinkError::MonitorNotConnected;
        }
        return std::nullopt;
    case BusStep::ByteRead:
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace velmora::link
