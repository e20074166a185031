// The monitor requests of the feature interpreter: VCP read and write,
// service commands, table requests and one-byte memory access.
#include "model/feature_interpreter.h"
#include "model/monitor_requests.h"

namespace velmora::model {

using namespace request;

FeatureInterpreter::FeatureInterpreter(link::MonitorLink& link, const ModelDescription& model,
                                       const link::ProgramFlags& flags, platform::Clock& clock)
    : link_(link), model_(model), flags_(flags), clock_(clock) {}

const std::uint8_t* FeatureInterpreter::send(std::size_t payloadLength, std::int32_t replyArgument) {
    request[2] = static_cast<std::uint8_t>(0x80 | payloadLength);
    lastReply = link_.transact(request, replyArgument);
    return lastReply;
}

void FeatureInterpreter::wait(std::int32_t ms) { clock_.sleepMilliseconds(ms); }

bool FeatureInterpreter::ReadVcp() {
    request[3] = kGetVcp;
    request[4] = vcpCode;
    const std::uint8_t* reply = send(2, kReadVcpReply);
    // A reply too short for the value is a failed read: the buffer's later
    // bytes are left from an earlier reply.
    if (reply == nullptr || link_.replyPayloadLength() < kVcpReplyPayload || reply[3] != kGetVcpReply || reply[4] != 0x00 || reply[5] != vcpCode) {
        return false;
    }
    // Maximum and present value are 16-bit, high byte first; the adjustable
    // range is a byte, so the low bytes count.
    maximum = reply[8];
    current = reply[10];
    return true;
}

bool FeatureInterpreter::SetVcp() {
    request[3] = kSetVcp;
    request[4] = vcpCode;
    request[5] = 0x00;
    request[6] = current;
    return send(4, kNoReply) != nullptr;
}

bool FeatureInterpreter::SendServiceCommand(std::uint8_t code) {
    request[3] = code;
    return serviceAccepted(send(1, kServiceReply));
}

bool FeatureInterpreter::serviceAccepted(const std::uint8_t* reply) const {
    return reply != nullptr && link_.replyPayloadLength() >= kResultReplyPayload && reply[4] != kServiceFailed;
}

bool FeatureInterpreter::sendTableRequest(std::uint8_t mode, std::span<const std::uint8_t> values) {
    if (values.size() + 2 > kMaxPayload) return false;
    request[3] = kTableRequest;
    request[4] = mode;
    for (std::size_t i = 0; i < values.size(); ++i) request[5 + i] = values[i];
    const std::uint8_t* reply = send(values.size() + 2, kTableReply);
    return reply != nullptr && link_.replyPayloadLength() >= kResultReplyPayload && reply[3] == kTableReplyOpcode &&
           reply[4] == mode;
}

const std::uint8_t* FeatureInterpreter::ReadMemory(std::uint8_t address, std::uint8_t count) {
    if (flags_.eepromAccessMode == link::EepromAccessMode::ByPage) {
        request[3] = kMemoryReadByPage;
        request[4] = count == 1 ? kMemorySubCode : kMemorySubCodeBlock;
        request[5] = page;
    } else {
        request[3] = kMemoryReadByDevice;
        request[4] = count;
        request[5] = static_cast<std::uint8_t>(kEepromDevice | (2 * page));
    }
    request[6] = address;
    const std::uint8_t* reply = send(4, kMemoryReply);
    if (reply != nullptr && link_.replyPayloadLength() < kMemoryReplyPayload) {
        lastReply = nullptr;  // no byte in it: a failed read
        return nullptr;
    }
    return reply;
}

bool FeatureInterpreter::WriteMemory(std::uint8_t address, std::uint8_t value, std::uint8_t count) {
    const bool byPage = flags_.eepromAccessMode == link::EepromAccessMode::ByPage;
    if (byPage && count == 1) {
        request[3] = kMemoryWriteByPage;
        request[4] = kMemorySubCode;
        request[5] = page;
    } else {
        request[3] = kMemoryWriteByDevice;
        request[4] = count;
        request[5] = !byPage && count == 1 ? static_cast<std::uint8_t>(kEepromDevice | (2 * page)) : page;
    }
    request[6] = address;
    request[7] = value;
    return send(5, kMemoryReply) != nullptr;
}

std::uint8_t FeatureInterpreter::ComputeValue(std::uint8_t delta) const {
    if (vcpCode == 0xFF) return delta;
    if (delta >= 0x80) {
        const int decrease = 0x100 - delta;
        return decrease > current ? 0 : static_cast<std::uint8_t>(current - decrease);
    }
    const int sum = current + delta;
    return sum > maximum ? maximum : static_cast<std::uint8_t>(sum);
}

bool FeatureInterpreter::setVcpTo(std::uint8_t code, std::uint8_t value) {
    vcpCode = code;
    current = value;
    return SetVcp();
}

bool FeatureInterpreter::readVcpOf(std::uint8_t code) {
    vcpCode = code;
    return ReadVcp();
}

}  // namespace velmora::model
