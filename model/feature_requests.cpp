// The monitor requests of the feature interpreter: VCP read and write,
// service commands, table requests and one-byte memory access.
#include <utility>

#include "model/feature_interpreter.h"
#include "model/monitor_requests.h"

namespace velmora::model {

using namespace request;

std::uint8_t relativeValue(std::uint8_t code, VcpReading present, std::uint8_t delta) {
    if (code == kNoVcp) return delta;
    if (delta >= 0x80) {
        const int decrease = 0x100 - delta;
        return decrease > present.current ? 0 : static_cast<std::uint8_t>(present.current - decrease);
    }
    const int sum = present.current + delta;
    return sum > present.maximum ? present.maximum : static_cast<std::uint8_t>(sum);
}

FeatureInterpreter::FeatureInterpreter(link::MonitorLink& link, const ModelDescription& model,
                                       const link::ProgramFlags& flags, platform::Clock& clock)
    : link_(link), model_(model), flags_(flags), clock_(clock) {}

link::ReplyView FeatureInterpreter::send(const link::Request& outgoing, std::int32_t replyArgument) {
    // The request array holds the longest payload a Request can carry.
    static_assert(std::tuple_size_v<decltype(request_)> >= link::kHeaderBytes + link::Request::kMaxPayload + 1);
    (void)outgoing.writeInto(request_);
    const std::uint8_t* reply = link_.transact(request_, replyArgument);
    return {reply, link_.replyPayloadLength()};
}

void FeatureInterpreter::wait(std::int32_t ms) { clock_.sleepMilliseconds(ms); }

FeatureInterpreter::StepWatcher FeatureInterpreter::watchSteps(StepWatcher watcher) {
    return std::exchange(stepWatcher_, std::move(watcher));
}

void FeatureInterpreter::reportSteps(std::size_t done, std::size_t total) const {
    // A function with nothing to do has no progress to show.
    if (stepWatcher_ && total > 0) stepWatcher_(done, total);
}

std::optional<VcpReading> FeatureInterpreter::readVcp(std::uint8_t code) {
    const link::ReplyView reply = send(link::Request{kGetVcp, code}, kReadVcpWaitMs);
    // A reply too short for the value is a failed read: the buffer's later
    // bytes are left from an earlier reply.
    if (!reply.carries(kVcpReplyPayload) || reply.opcode() != kGetVcpReply || reply.result() != 0x00 ||
        reply.payload(kVcpReplyCode) != code) {
        return std::nullopt;
    }
    // Maximum and present value are 16-bit, high byte first; the adjustable
    // range is a byte, so the low bytes count.
    held_ = VcpReading{*reply.payload(kVcpReplyCurrentLow), *reply.payload(kVcpReplyMaximumLow)};
    return held_;
}

bool FeatureInterpreter::readVcpHeld(std::uint8_t code) { return readVcp(code).has_value(); }

bool FeatureInterpreter::setVcp(std::uint8_t code, std::uint8_t value) {
    held_.current = value;
    return send(link::Request{kSetVcp, code, 0x00, value}, kNoReply).received();
}

bool FeatureInterpreter::sendServiceCommand(std::uint8_t code) {
    return serviceAccepted(send(link::Request{code}, kServiceWaitMs));
}

bool FeatureInterpreter::serviceAccepted(const link::ReplyView& reply) {
    const std::optional<std::uint8_t> result = reply.result();
    return result && *result != kServiceFailed;
}

bool FeatureInterpreter::sendTableRequest(std::uint8_t mode, std::span<const std::uint8_t> values) {
    if (values.size() + 2 > kMaxPayload) return false;
    link::Request table{kTableRequest, mode};
    for (std::uint8_t value : values) (void)table.append(value);
    const link::ReplyView reply = send(table, kTableWaitMs);
    return reply.carries(kResultReplyPayload) && reply.opcode() == kTableReplyOpcode && reply.result() == mode;
}

std::optional<std::uint8_t> FeatureInterpreter::readMemory(std::uint8_t page, std::uint8_t address,
                                                           std::uint8_t count) {
    const link::Request read =
        flags_.eepromAccessMode == link::EepromAccessMode::ByPage
            ? link::Request{kMemoryReadByPage, count == 1 ? kMemorySubCode : kMemorySubCodeBlock, page, address}
            : link::Request{kMemoryReadByDevice, count, static_cast<std::uint8_t>(kEepromDevice | (2 * page)),
                            address};
    const link::ReplyView reply = send(read, kMemoryWaitMs);
    // A reply too short to hold the byte is a failed read.
    if (!reply.carries(kMemoryReplyPayload)) return std::nullopt;
    return reply.payload(kMemoryReplyByte);
}

bool FeatureInterpreter::writeMemory(std::uint8_t page, std::uint8_t address, std::uint8_t value,
                                     std::uint8_t count) {
    const bool byPage = flags_.eepromAccessMode == link::EepromAccessMode::ByPage;
    const link::Request write =
        byPage && count == 1
            ? link::Request{kMemoryWriteByPage, kMemorySubCode, page, address, value}
            : link::Request{kMemoryWriteByDevice, count,
                            !byPage && count == 1 ? static_cast<std::uint8_t>(kEepromDevice | (2 * page)) : page,
                            address, value};
    held_.current = value;
    return send(write, kMemoryWaitMs).received();
}

}  // namespace velmora::model
