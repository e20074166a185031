// The command-packet transaction: protection test, framing, the attempts,
// and the words shown when they all fail.
#include "link/transaction_engine.h"

#include <algorithm>

#include "link/failure_report.h"

namespace velmora::link {

TransactionEngine::TransactionEngine(LinkTransport& transport, platform::MessageSink& messages,
                                     const ProgramFlags& flags, EngineRules rules)
    : transport_(transport), messages_(messages), flags_(flags), rules_(rules) {}

bool TransactionEngine::isWriteProtected(std::span<const std::uint8_t> request) const {
    return flags_.writeEnabled == 0 && isProtectedRequest(request);
}

const std::uint8_t* TransactionEngine::transact(std::span<std::uint8_t> request, std::int32_t replyArgument) {
    // A request array too short for its own length byte is a caller's fault;
    // refusing it keeps the checksum write inside the array.
    if (request.size() < kHeaderBytes || request.size() < requestSize(request[2])) return nullptr;

    if (isWriteProtected(request)) {
        appendText("Password is required \r\n");
        messages_.showMessage("Password is required", "");
        return nullptr;
    }
    if (!transport_.admits(request)) return nullptr;

    replyBytesReceived_ = 0;
    ++counters_.transactions;
    request[0] = kMonitorAddress;
    request[1] = replyMode_ == ReplyMode::MasterRead ? kHostAddressMasterRead : kHostAddress;
    replyBuffer_[0] = kHostAddress;
    replyBuffer_[1] = kMonitorAddress;

    for (std::int32_t attempt = 0; attempt < kTransactionAttempts; ++attempt) {
        if (runAttempt(request, replyArgument, attempt)) {
            appendText("OK.\r\n");
            return replyBuffer_.data();
        }
        appendText("Error!!\r\n");
        if (rules_.stopAtInterfaceBoard && errorCode_ == LinkError::InterfaceBoard) break;
        if (transport_.failureIsLasting()) break;
    }
    if (!transport_.reportOwnFailure()) reportLinkFailure(errorCode_, transcript_, messages_);
    return nullptr;
}

bool TransactionEngine::runAttempt(std::span<std::uint8_t> request, std::int32_t replyArgument,
                                   std::int32_t attempt) {
    ++counters_.attempts;
    appendText("PC:");
    replyBytesReceived_ = 0;
    if (rules_.clearErrorCodeEachAttempt) errorCode_ = LinkError::None;
    const std::size_t end = kHeaderBytes + payloadLength(request[2]);
    request[end] = xorChecksum(request.first(end));
    if (!transport_.sendRequest(request.first(end + 1))) return false;
    if (replyArgument == 0) return true;
    appendText("MON:");
    if (replyMode_ == ReplyMode::MasterRead) return transport_.readReply(request, replyArgument, attempt);
    return transport_.receiveAsSlave();
}

bool TransactionEngine::checksumHolds(std::size_t frameBytes) {
    if (xorChecksum(std::span<const std::uint8_t>(replyBuffer_.data(), frameBytes)) == 0) return true;
    appendText("Checksum");
    return false;
}

std::size_t TransactionEngine::replyPayloadLength() const {
    // Source, length byte and checksum around the payload, and byte 0.
    constexpr std::size_t kFrameBytes = kHeaderBytes + 1;
    if (replyBytesReceived_ < kFrameBytes) return 0;
    return std::min(payloadLength(replyBuffer_[2]), replyBytesReceived_ - kFrameBytes);
}

}  // namespace velmora::link
