#include "link/command_packet.h"

#include <algorithm>

namespace velmora::link {

std::uint8_t xorChecksum(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t byte : bytes) sum ^= byte;
    return sum;
}

bool isProtectedRequest(std::span<const std::uint8_t> request) {
    if (request.size() <= kHeaderBytes) return false;
    const std::size_t n = std::min(payloadLength(request[2]), request.size() - kHeaderBytes);
    return isProtectedPayload(request.subspan(kHeaderBytes, n));
}

bool isProtectedPayload(std::span<const std::uint8_t> payload) {
    if (payload.empty()) return false;
    const std::uint8_t opcode = payload[0];
    const bool hasSubCode = payload.size() >= 2;
    switch (opcode) {
    case 0x62: return true;
    case 0xC0: return !hasSubCode || payload[1] != 0x0B;
    case 0x03: return hasSubCode && payload[1] == kProtectedVcp;
    default: return false;
    }
}

}  // namespace velmora::link
