// The command-packet transaction and the EDID/EEPROM block read over an
// i2c-dev adapter: each request, reply and block is one combined transfer.
#include "link/display_channel_link.h"

#include <algorithm>
#include <cerrno>

#include "link/failure_report.h"

namespace velmora::link {

namespace {

// The adapter's errors that mean an address or a byte was not acknowledged.
bool isNotAcknowledged(int errorNumber) {
    return errorNumber == ENXIO || errorNumber == EREMOTEIO || errorNumber == EIO;
}

std::int32_t millisecondsSince(std::int32_t now, std::int32_t then) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(then));
}

}  // namespace

DisplayChannelLink::DisplayChannelLink(platform::I2cDevPort& port, platform::Clock& clock,
                                       platform::MessageSink& messages, const ProgramFlags& flags,
                                       DisplayChannelTiming timing)
    : port_(port), clock_(clock), messages_(messages), flags_(flags), timing_(timing) {}

const std::uint8_t* DisplayChannelLink::transact(std::span<std::uint8_t> request, std::int32_t replyArgument) {
    if (request.size() < kHeaderBytes || request.size() < requestSize(request[2])) return nullptr;

    if (isWriteProtected(request)) {
        appendText("Password is required \r\n");
        messages_.showMessage("Password is required", "");
        return nullptr;
    }
    if (replyMode_ == ReplyMode::SlaveReceive) {
        appendText(kSlaveReceiveRefusal);
        appendText("\r\n");
        messages_.showMessage(kSlaveReceiveRefusal, "");
        errorCode_ = LinkError::InterfaceBoard;
        return nullptr;
    }

    replyBytesReceived_ = 0;
    ++counters_.transactions;
    request[0] = kMonitorAddress;
    request[1] = kHostAddressMasterRead;
    replyBuffer_[0] = kHostAddress;
    replyBuffer_[1] = kMonitorAddress;

    for (std::int32_t attempt = 0; attempt < kTransactionAttempts; ++attempt) {
        if (runAttempt(request, replyArgument)) {
            appendText("OK.\r\n");
            return replyBuffer_.data();
        }
        appendText("Error!!\r\n");
    }
    reportFailure();
    return nullptr;
}

bool DisplayChannelLink::isWriteProtected(std::span<const std::uint8_t> request) const {
    return flags_.writeEnabled == 0 && isProtectedRequest(request);
}

bool DisplayChannelLink::runAttempt(std::span<std::uint8_t> request, std::int32_t replyArgument) {
    ++counters_.attempts;
    appendText("PC:");
    replyBytesReceived_ = 0;
    errorCode_ = LinkError::None;
    const std::size_t end = kHeaderBytes + payloadLength(request[2]);
    request[end] = xorChecksum(request.first(end));
    if (!sendRequest(request.first(end + 1))) return false;
    if (replyArgument == 0) return true;
    appendText("MON:");
    sleep(std::max(replyArgument, timing_.replyWaitMinimumMs));
    return readReply();
}

void DisplayChannelLink::awaitRequestGap() {
    if (!requestSent_ || timing_.requestGapMs <= 0) return;
    const std::int32_t waited = millisecondsSince(clock_.milliseconds(), lastRequestEnd_);
    if (waited < timing_.requestGapMs) sleep(timing_.requestGapMs - std::max(waited, 0));
}

void DisplayChannelLink::sleep(std::int32_t ms) {
    if (ms <= 0) return;
    counters_.waitMilliseconds += ms;
    clock_.sleepMilliseconds(ms);
}

void DisplayChannelLink::recordFailedTransfer(std::span<const std::uint8_t> bytes, int errorNumber) {
    // An address nobody acknowledged ends the transfer after its first byte,
    // as the jig's transcript shows it; any other failure is not placed.
    const std::size_t shown = errorNumber == ENXIO ? 1 : bytes.size();
    for (std::size_t i = 0; i < shown && i < bytes.size(); ++i) appendHexByte(bytes[i]);
}

bool DisplayChannelLink::sendRequest(std::span<const std::uint8_t> request) {
    awaitRequestGap();
    appendText("S_");
    // The packet's first byte, 0x6E, is the address byte of the transfer;
    // the rest, at most the longest packet less that byte, is its message.
    std::array<std::uint8_t, requestSize(0x7F) - 1> body{};
    const std::size_t bodyLength = request.size() - 1;
    std::copy(request.begin() + 1, request.end(), body.begin());
    const platform::I2cSegment segment{kDdcCiDevice, false, std::span(body.data(), bodyLength)};
    const int error = port_.transfer(std::span(&segment, 1));
    requestSent_ = true;
    lastRequestEnd_ = clock_.milliseconds();
    if (error != 0) {
        recordFailedTransfer(request, error);
        errorCode_ = LinkError::MonitorNotConnected;
        return false;
    }
    counters_.bytesOnBus += static_cast<std::int64_t>(request.size());
    for (const std::uint8_t byte : request) appendHexByte(byte);
    appendText("_E");
    return true;
}

bool DisplayChannelLink::readReply() {
    appendText("S_");
    appendHexByte(kMonitorAddress | 1);
    const platform::I2cSegment segment{kDdcCiDevice, true, std::span(replyBuffer_.data() + 1, kReplyReadBytes)};
    const int error = port_.transfer(std::span(&segment, 1));
    lastRequestEnd_ = clock_.milliseconds();
    if (error != 0) {
        // 0x6F not acknowledged (no reply ready) is the jig's unacknowledged
        // address byte; a held line while reading carries no code there either.
        errorCode_ = isNotAcknowledged(error) ? LinkError::MonitorNotConnected : LinkError::None;
        return false;
    }
    counters_.bytesOnBus += static_cast<std::int64_t>(1 + kReplyReadBytes);
    // The jig reads up to the checksum that the length byte announces (only
    // its low seven bits count after adding the frame), and at least the
    // source, the length byte and the checksum.
    const std::size_t last = std::max<std::size_t>((replyBuffer_[2] + 3u) & 0x7Fu, 3);
    for (std::size_t i = 1; i <= last; ++i) appendHexByte(replyBuffer_[i]);
    appendText("_E");
    if (xorChecksum(std::span<const std::uint8_t>(replyBuffer_.data(), last + 1)) != 0) {
        appendText("Checksum");
        return false;
    }
    replyBytesReceived_ = last + 1;
    return true;
}

// The jig's words: a technician reads the same failure whichever way the
// monitor is connected.
void DisplayChannelLink::reportFailure() { reportLinkFailure(errorCode_, *this, messages_); }

std::size_t DisplayChannelLink::replyPayloadLength() const {
    constexpr std::size_t kFrameBytes = kHeaderBytes + 1;
    if (replyBytesReceived_ < kFrameBytes) return 0;
    return std::min(payloadLength(replyBuffer_[2]), replyBytesReceived_ - kFrameBytes);
}

bool DisplayChannelLink::busReset() {
    transcriptOff();
    return true;
}

const std::uint8_t* DisplayChannelLink::readEepromBlock(std::int32_t block) {
    busReset();
    return transferEepromBlock(block);
}

const std::uint8_t* DisplayChannelLink::transferEepromBlock(std::int32_t block) {
    replyBytesReceived_ = 0;
    errorCode_ = LinkError::None;
    const auto writeAddress = static_cast<std::uint8_t>(0xA0u + 2u * static_cast<std::uint32_t>(block));
    const auto readAddress = static_cast<std::uint8_t>(writeAddress | 1);
    std::uint8_t wordAddress = 0x00;
    const platform::I2cSegment segments[] = {
        {static_cast<std::uint8_t>(writeAddress >> 1), false, std::span(&wordAddress, 1)},
        {static_cast<std::uint8_t>(writeAddress >> 1), true, std::span(replyBuffer_.data(), kEepromBlockBytes)},
    };
    appendText("S_");
    const int error = port_.transfer(segments);
    if (error != 0) {
        // As the jig's record of a device that answers neither address.
        appendHexByte(writeAddress);
        appendText("S_");
        appendHexByte(readAddress);
        errorCode_ = LinkError::MonitorNotConnected;
        return nullptr;
    }
    counters_.bytesOnBus += static_cast<std::int64_t>(3 + kEepromBlockBytes);
    appendHexByte(writeAddress);
    appendHexByte(wordAddress);
    appendText("S_");
    appendHexByte(readAddress);
    for (std::size_t i = 0; i < kEepromBlockBytes; ++i) appendHexByte(replyBuffer_[i]);
    appendText("_E");
    return replyBuffer_.data();
}

}  // namespace velmora::link
