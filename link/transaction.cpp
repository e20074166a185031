// The command-packet transaction: protection test, framing, three attempts,
// reply reception in either mode, and the words shown when it fails.
#include <algorithm>

#include "link/failure_report.h"
#include "link/jig_link.h"

namespace velmora::link {

bool JigLink::isWriteProtected(std::span<const std::uint8_t> request) const {
    return flags_.writeEnabled == 0 && isProtectedRequest(request);
}

const std::uint8_t* JigLink::transact(std::span<std::uint8_t> request,
                                      std::int32_t replyArgument) {
    // A request array too short for its own length byte is a caller's fault;
    // refusing it keeps the checksum write inside the array.
    if (request.size() < kHeaderBytes || request.size() < requestSize(request[2])) return nullptr;

    if (isWriteProtected(request)) {
        appendText("Password is required \r\n");
        platform_.messages.showMessage("Password is required", "");
        return nullptr;
    }

    replyBytesReceived_ = 0;
    ++counters_.transactions;
    request[0] = kMonitorAddress;
    request[1] = replyMode_ == ReplyMode::MasterRead ? kHostAddressMasterRead : kHostAddress;
    replyBuffer_[0] = kHostAddress;
    replyBuffer_[1] = kMonitorAddress;

    for (std::int32_t attempt = 0; attempt < kTransactionAttempts; ++attempt) {
        if (runAttempt(request, replyArgument)) {
            appendText("OK.\r\n");
            return replyBuffer_.data();
        }
        appendText("Error!!\r\n");
        if (errorCode_ == LinkError::InterfaceBoard) break;
    }
    reportFailure();
    return nullptr;
}

bool JigLink::runAttempt(std::span<std::uint8_t> request, std::int32_t replyArgument) {
    ++counters_.attempts;
    appendText("PC:");
    replyBytesReceived_ = 0;
    start();
    const std::size_t n = payloadLength(request[2]);
    std::uint8_t checksum = 0;
    for (std::size_t i = 0; i < kHeaderBytes + n; ++i) {
        writeByte(request[i]);  // no-op once a byte has failed
        checksum ^= request[i];
    }
    request[kHeaderBytes + n] = checksum;
    writeByte(checksum);
    stop();

    if (replyArgument != 0 && !bus_.errorFlag()) {
        appendText("MON:");
        if (replyMode_ == ReplyMode::MasterRead) {
            waitMilliseconds(replyArgument);
            readReplyAsMaster();
        } else {
            receiveReplyAsSlave();
        }
    }
    return !bus_.errorFlag();
}

void JigLink::reportFailure() { reportLinkFailure(errorCode_, *this, platform_.messages); }

bool JigLink::readReplyAsMaster() {
    start();
    // Always the monitor's read address, 0x6F: the buffer's byte 1 holds
    // whatever a failed attempt read there.
    writeByte(kMonitorAddress | 1);
    // The length byte (read second) decides how many follow; only its low
    // seven bits count after adding the three bytes around the payload.
    std::size_t i = 1;
    bool readOk = readByte(replyBuffer_[1], false);
    while (readOk) {
        ++i;
        const std::size_t end = static_cast<std::size_t>((replyBuffer_[2] + 3) & 0x7F);
        if (i < end || i < 3) {
            readOk = readByte(replyBuffer_[i], false);
        } else {
            break;
        }
    }
    readByte(replyBuffer_[i], true);  // the checksum, not acknowledged
    stop();
    if (bus_.errorFlag()) return false;
    if (xorChecksum(std::span<const std::uint8_t>(replyBuffer_.data(), i + 1)) != 0) {
        appendText("Checksum");
        bus_.setErrorFlag();
        return false;
    }
    replyBytesReceived_ = i + 1;
    return true;
}

std::size_t JigLink::replyPayloadLength() const {
    // Source, length byte and checksum around the payload, and byte 0.
    constexpr std::size_t kFrameBytes = kHeaderBytes + 1;
    if (replyBytesReceived_ < kFrameBytes) return 0;
    return std::min(payloadLength(replyBuffer_[2]), replyBytesReceived_ - kFrameBytes);
}

}  // namespace velmora::link
