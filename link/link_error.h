#pragma once
#include <cstdint>
#include <string_view>

namespace velmora::link {

// Why the last exchange failed. Cleared by every START; kept readable after
// a failed transaction so that callers can stop a batch of requests.
enum class LinkError : std::int32_t {
    None = 0,                 // no error, or one without a code (checksum, reception)
    InterfaceBoard = 1,       // a line did not follow during START: no board
    MonitorNotConnected = 2,  // a byte was not acknowledged
    NoResponse = 3,           // the monitor never began its reply (slave mode)
};

constexpr std::string_view linkErrorName(LinkError error) {
    switch (error) {
    case LinkError::None: return "None";
    case LinkError::InterfaceBoard: return "InterfaceBoard";
    case LinkError::MonitorNotConnected: return "MonitorNotConnected";
    case LinkError::NoResponse: return "NoResponse";
    }
    return "?";
}

}  // namespace velmora::link
