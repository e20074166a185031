// The monitor requests of the feature interpreter: VCP read and write,
// service commands, table requests and one-byte memory access.
#include "model/feature_interpreter.h"
#include "model/monitor_requests.h"

namespace velmora::model {

using namespace request;

FeatureInterpreter::FeatureInterpreter(link::MonitorLink& link, const ModelDescription& model,
                                       const link::ProgramFlags& flags, platform::Clock& clock)
    : link_(link), model_(model), flags_(flags), clock_(clock) {}

link::ReplyView FeatureInterpreter::send(const link::Request& outgoing, std::int32_t replyArgument) {
    // The request array holds the longest payload a Request can carry.
    static_assert(std::tuple_size_v<decltype(request)> >= link::kHeaderBytes + link::Request::kMaxPayload + 1);
    (void)outgoing.writeInto(request);
    lastReply = link_.transact(request, replyArgument);
    return lastReplyView();
}

link::ReplyView FeatureInterpreter::lastReplyView() const { return {lastReply, link_.replyPayloadLength()}; }

void FeatureInterpreter::wait(std::int32_t ms) { clock_.sleepMilliseconds(ms); }

bool FeatureInterpreter::ReadVcp() {
    const link::ReplyView reply = send(link::Request{kGetVcp, vcpCode}, kReadVcpReply);
    // A reply too short for the value is a failed read: the buffer's later
    // bytes are left from an earlier reply.
    if (!reply.carries(kVcpReplyPayload) || reply.opcode() != kGetVcpReply || reply.result() != 0x00 ||
        reply.payload(kVcpReplyCode) != vcpCode) {
        return false;
    }
    // Maximum and present value are 16-bit, high byte first; the adjustable
    // range is a byte, so the low bytes count.
    maximum = *reply.payload(kVcpReplyMaximumLow);
    current = *reply.payload(kVcpReplyCurrentLow);
    return true;
}

bool FeatureInterpreter::SetVcp() {
    return send(link::Request{kSetVcp, vcpCode, 0x00, current}, kNoReply).received();
}

bool FeatureInterpreter::SendServiceCommand(std::uint8_t code) {
    return serviceAccepted(send(link::Request{code}, kServiceReply));
}

bool FeatureInterpreter::serviceAccepted(const link::ReplyView& reply) {
    const std::optional<std::uint8_t> result = reply.result();
    return result && *result != kServiceFailed;
}

bool FeatureInterpreter::sendTableRequest(std::uint8_t mode, std::span<const std::uint8_t> values) {
    if (values.size() + 2 > kMaxPayload) return false;
    link::Request table{kTableRequest, mode};
    for (std::uint8_t value : values) (void)table.append(value);
    const link::ReplyView reply = send(table, kTableReply);
    return reply.carries(kResultReplyPayload) && reply.opcode() == kTableReplyOpcode && reply.result() == mode;
}

const std::uint8_t* FeatureInterpreter::ReadMemory(std::uint8_t address, std::uint8_t count) {
    const link::Request read =
        flags_.eepromAccessMode == link::EepromAccessMode::ByPage
            ? link::Request{kMemoryReadByPage, count == 1 ? kMemorySubCode : kMemorySubCodeBlock, page, address}
            : link::Request{kMemoryReadByDevice, count, static_cast<std::uint8_t>(kEepromDevice | (2 * page)),
                            address};
    const link::ReplyView reply = send(read, kMemoryReply);
    if (reply.received() && !reply.carries(kMemoryReplyPayload)) {
        lastReply = nullptr;  // no byte in it: a failed read
        return nullptr;
    }
    return lastReply;
}

bool FeatureInterpreter::WriteMemory(std::uint8_t address, std::uint8_t value, std::uint8_t count) {
    const bool byPage = flags_.eepromAccessMode == link::EepromAccessMode::ByPage;
    const link::Request write =
        byPage && count == 1
            ? link::Request{kMemoryWriteByPage, kMemorySubCode, page, address, value}
            : link::Request{kMemoryWriteByDevice, count,
                            !byPage && count == 1 ? static_cast<std::uint8_t>(kEepromDevice | (2 * page)) : page,
                            address, value};
    return send(write, kMemoryReply).received();
}

std::optional<std::uint8_t> FeatureInterpreter::memoryByte() const {
    return lastReplyView().payload(kMemoryReplyByte);
}

std::optional<VcpReading> FeatureInterpreter::readVcpValue(std::uint8_t code) {
    if (!readVcpOf(code)) return std::nullopt;
    return VcpReading{current, maximum};
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
