#include "link/monitor_identity.h"

#include <cstdio>

#include "link/command_packet.h"

namespace velmora::link {

namespace {

constexpr std::uint8_t kGetVcp = 0x01;
constexpr std::uint8_t kSetVcp = 0x03;
constexpr std::uint8_t kCapabilities = 0xF3;
constexpr std::uint8_t kFirstMakerVcp = 0xE0;

}  // namespace

std::string identityText(const MonitorIdentity& identity) {
    char text[16];
    std::snprintf(text, sizeof text, "%c%c%c %04Xh", identity.manufacturer[0], identity.manufacturer[1],
                  identity.manufacturer[2], static_cast<unsigned>(identity.product));
    return text;
}

MonitorIdentity identityFromEdid(std::span<const std::uint8_t, 4> bytes) {
    const unsigned packed = static_cast<unsigned>(bytes[0]) << 8 | bytes[1];
    MonitorIdentity identity;
    for (int i = 0; i < 3; ++i) {
        const unsigned letter = (packed >> (10 - 5 * i)) & 0x1F;
        identity.manufacturer[static_cast<std::size_t>(i)] =
            letter >= 1 && letter <= 26 ? static_cast<char>('A' + letter - 1) : '?';
    }
    identity.product = static_cast<std::uint16_t>(bytes[2] | bytes[3] << 8);
    return identity;
}

bool isFactoryRequest(std::span<const std::uint8_t> request) {
    if (request.size() <= kHeaderBytes) return false;
    const std::size_t length = payloadLength(request[2]);
    if (length == 0 || request.size() < kHeaderBytes + length) return false;
    // A single byte is a service command, whatever its code.
    const std::uint8_t opcode = request[kHeaderBytes];
    if (opcode == kGetVcp && length == 2) return false;
    if (opcode == kCapabilities && length == 3) return false;
    if (opcode == kSetVcp && length == 4) return request[kHeaderBytes + 1] >= kFirstMakerVcp;
    return true;
}

}  // namespace velmora::link
