// The command-packet transaction and the EDID read over an i2c-dev adapter:
// each request, reply and block is one combined transfer.
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

// Errors another attempt cannot cure: the adapter cannot do the transfer, or
// a driver holds the address.
bool isLasting(int errorNumber) {
    return errorNumber == EOPNOTSUPP || errorNumber == EINVAL || errorNumber == EBUSY || errorNumber == EBADF;
}

std::int32_t millisecondsSince(std::int32_t now, std::int32_t then) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(then));
}

constexpr std::size_t kGetVcpReplyReadBytes = 12;  // 6E 88 02 result code type max(2) current(2) checksum, and one
constexpr std::size_t kReplyReadBytesDefault = 40;
constexpr std::uint8_t kReadByDeviceOpcode = 0x60;
constexpr std::uint8_t kGetVcpOpcode = 0x01;

constexpr std::string_view kNoReplyMessage =
    "The monitor took the request but sent no reply: it may need longer waits (velmora-jigctl "
    "--ddcci-wait-scale) or have DDC/CI switched off in its on-screen menu.";

}  // namespace

std::size_t replyReadBytes(std::span<const std::uint8_t> request) {
    if (request.size() <= kHeaderBytes) return kReplyReadBytesDefault;
    switch (request[kHeaderBytes]) {
    case kGetVcpOpcode: return kGetVcpReplyReadBytes;
    case kReadByDeviceOpcode:
        // 0x61, count, device, address, then count bytes, in the frame.
        if (request.size() > kHeaderBytes + 1) {
            const std::size_t count = request[kHeaderBytes + 1];
            return std::clamp<std::size_t>(count + 4 + 3 + 1, kReplyReadBytesDefault,
                                           DisplayChannelLink::kReplyReadBytes);
        }
        return kReplyReadBytesDefault;
    default: return kReplyReadBytesDefault;
    }
}

DisplayChannelLink::DisplayChannelLink(platform::I2cDevPort& port, platform::Clock& clock,
                                       platform::MessageSink& messages, const ProgramFlags& flags,
                                       DisplayChannelTiming timing)
    : port_(port), clock_(clock), messages_(messages), flags_(flags), timing_(timing) {
    timing_.waitScalePercent = std::clamp(timing_.waitScalePercent, 1, kMaxWaitScalePercent);
}

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
    if (isFactoryRequest(request) && !monitorIsExpected()) {
        errorCode_ = LinkError::InterfaceBoard;  // a batch stops here
        return nullptr;
    }

    replyBytesReceived_ = 0;
    ++counters_.transactions;
    request[0] = kMonitorAddress;
    request[1] = kHostAddressMasterRead;
    replyBuffer_[0] = kHostAddress;
    replyBuffer_[1] = kMonitorAddress;

    for (std::int32_t attempt = 0; attempt < kTransactionAttempts; ++attempt) {
        if (runAttempt(request, replyArgument, attempt)) {
            appendText("OK.\r\n");
            return replyBuffer_.data();
        }
        appendText("Error!!\r\n");
        if (failure_ == Failure::Adapter && isLasting(adapterError_)) break;
    }
    reportFailure();
    return nullptr;
}

void DisplayChannelLink::expectMonitors(std::span<const MonitorIdentity> monitors, std::string_view modelName) {
    monitorsExpected_ = true;
    expectedCount_ = std::min(monitors.size(), expected_.size());
    std::copy_n(monitors.begin(), expectedCount_, expected_.begin());
    modelName_ = modelName.empty() ? std::string("chosen") : std::string(modelName);
    confirmed_ = false;
}

bool DisplayChannelLink::monitorIsExpected() {
    if (!monitorsExpected_ || anyMonitor_ || confirmed_) return true;
    const std::span<const MonitorIdentity> expected(expected_.data(), expectedCount_);
    std::string models;
    for (const MonitorIdentity& identity : expected) models += (models.empty() ? "" : ", ") + identityText(identity);

    std::string monitor;
    if (readEdidBytes(0, 8, std::span(replyBuffer_.data(), 4))) {
        const MonitorIdentity found = identityFromEdid(std::span<const std::uint8_t, 4>(replyBuffer_.data(), 4));
        if (std::find(expected.begin(), expected.end(), found) != expected.end()) {
            confirmed_ = true;
            appendText("\r\n");
            return true;
        }
        monitor = "the monitor on " + port_.path() + " is " + identityText(found);
    } else {
        monitor = "the monitor on " + port_.path() + " gives no EDID, so it cannot be told apart";
    }
    appendText("\r\n");
    const std::string reason =
        monitor + ", and the model " + modelName_ +
        (expected.empty() ? " names no monitor it is made for (an [EDID,MFG,PRODUCT] directive)"
                          : " is made for " + models);
    const platform::Answer answer = messages_.askYesNo(
        "Factory requests (service commands, scripts, memory writes) can upset another monitor: " + reason +
            ". Send them to this monitor anyway?",
        "");
    if (answer == platform::Answer::Yes) {
        confirmed_ = true;
        return true;
    }
    const std::string refusal = "Factory request not sent: " + reason +
                                ". Choose this monitor's model, or say --any-monitor if you are sure.";
    appendText(refusal);
    appendText("\r\n");
    if (answer == platform::Answer::CannotAsk) messages_.showMessage(refusal, "");
    return false;
}

bool DisplayChannelLink::isWriteProtected(std::span<const std::uint8_t> request) const {
    return flags_.writeEnabled == 0 && isProtectedRequest(request);
}

std::int32_t DisplayChannelLink::replyWaitMs(std::int32_t replyArgument, std::int32_t attempt) const {
    std::int64_t wait = std::max(replyArgument, timing_.replyWaitMinimumMs);
    if (timing_.doublingWaits) wait <<= std::clamp(attempt, 0, 4);
    wait = wait * timing_.waitScalePercent / 100;
    return static_cast<std::int32_t>(std::min<std::int64_t>(wait, 60'000));
}

bool DisplayChannelLink::runAttempt(std::span<std::uint8_t> request, std::int32_t replyArgument, std::int32_t attempt) {
    ++counters_.attempts;
    appendText("PC:");
    replyBytesReceived_ = 0;
    errorCode_ = LinkError::None;
    failure_ = Failure::None;
    const std::size_t end = kHeaderBytes + payloadLength(request[2]);
    request[end] = xorChecksum(request.first(end));
    if (!sendRequest(request.first(end + 1))) return false;
    if (replyArgument == 0) return true;
    appendText("MON:");
    sleep(replyWaitMs(replyArgument, attempt));
    return readReply(replyReadBytes(request));
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
        failure_ = isNotAcknowledged(error) ? Failure::RequestNotTaken : Failure::Adapter;
        adapterError_ = error;
        return false;
    }
    counters_.bytesOnBus += static_cast<std::int64_t>(request.size());
    for (const std::uint8_t byte : request) appendHexByte(byte);
    appendText("_E");
    return true;
}

bool DisplayChannelLink::readReply(std::size_t readBytes) {
    appendText("S_");
    appendHexByte(kMonitorAddress | 1);
    readBytes = std::clamp<std::size_t>(readBytes, 3, kReplyReadBytes);
    std::fill_n(replyBuffer_.begin() + 1, readBytes, 0xFF);
    const platform::I2cSegment segment{kDdcCiDevice, true, std::span(replyBuffer_.data() + 1, readBytes)};
    const int error = port_.transfer(std::span(&segment, 1));
    lastRequestEnd_ = clock_.milliseconds();
    if (error != 0) {
        // 0x6F not acknowledged (no reply ready) is the jig's unacknowledged
        // address byte; a held line while reading carries no code there either.
        errorCode_ = isNotAcknowledged(error) ? LinkError::MonitorNotConnected : LinkError::None;
        failure_ = error == ENXIO ? Failure::NoReply : isNotAcknowledged(error) ? Failure::RequestNotTaken : Failure::Adapter;
        adapterError_ = error;
        return false;
    }
    counters_.bytesOnBus += static_cast<std::int64_t>(1 + readBytes);
    // Some adapters report no missing acknowledge on a read: the lines float
    // high and every byte reads FFh. That is no reply at all.
    if (std::all_of(replyBuffer_.begin() + 1, replyBuffer_.begin() + 1 + static_cast<std::ptrdiff_t>(readBytes),
                    [](std::uint8_t byte) { return byte == 0xFF; })) {
        errorCode_ = LinkError::MonitorNotConnected;
        failure_ = Failure::NoReply;
        return false;
    }
    // Some monitors send their source address twice.
    if (replyBuffer_[1] == kMonitorAddress && replyBuffer_[2] == kMonitorAddress) {
        std::copy_n(replyBuffer_.begin() + 2, readBytes - 1, replyBuffer_.begin() + 1);
        replyBuffer_[readBytes] = 0xFF;
    }
    // The jig reads up to the checksum that the length byte announces (only
    // its low seven bits count after adding the frame), and at least the
    // source, the length byte and the checksum.
    const std::size_t last = std::max<std::size_t>((replyBuffer_[2] + 3u) & 0x7Fu, 3);
    const std::size_t shown = std::min(last, readBytes);
    for (std::size_t i = 1; i <= shown; ++i) appendHexByte(replyBuffer_[i]);
    appendText("_E");
    failure_ = Failure::BadReply;
    if (last > readBytes) {
        // Longer than any reply to this request: not the monitor's.
        appendText("Too long");
        return false;
    }
    if (xorChecksum(std::span<const std::uint8_t>(replyBuffer_.data(), last + 1)) != 0) {
        appendText("Checksum");
        return false;
    }
    // A reply that sums right but is not from the monitor, or has no length
    // flag, is noise on the bus.
    if (replyBuffer_[1] != kMonitorAddress || (replyBuffer_[2] & 0x80) == 0) {
        appendText("Garbled");
        return false;
    }
    if (replyBuffer_[2] == kNullReplyLength) {
        appendText("Busy");
        failure_ = Failure::Busy;
        errorCode_ = LinkError::NoResponse;
        return false;
    }
    failure_ = Failure::None;
    replyBytesReceived_ = last + 1;
    return true;
}

// The jig's words where the jig would meet the same failure, so that a
// technician reads the same whichever way the monitor is connected; the
// adapter's own failures and a silent monitor get words that name the remedy.
void DisplayChannelLink::reportFailure() {
    switch (failure_) {
    case Failure::Adapter:
        if (isNotAcknowledged(adapterError_)) break;
        errorCode_ = LinkError::InterfaceBoard;
        {
            const std::string text = platform::describeI2cFailure(port_.path(), adapterError_);
            appendText(text);
            appendText("\r\n");
            messages_.showMessage(text, "");
        }
        return;
    case Failure::NoReply:
        appendText(kNoReplyMessage);
        appendText("\r\n");
        messages_.showMessage(kNoReplyMessage, "");
        return;
    default: break;
    }
    reportLinkFailure(errorCode_, *this, messages_);
}

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

bool DisplayChannelLink::readEdidBytes(std::int32_t segment, std::uint8_t offset, std::span<std::uint8_t> bytes) {
    auto segmentNumber = static_cast<std::uint8_t>(segment);
    std::uint8_t wordAddress = offset;
    platform::I2cSegment segments[3] = {
        {kSegmentPointerDevice, false, std::span(&segmentNumber, 1)},
        {kEdidDevice, false, std::span(&wordAddress, 1)},
        {kEdidDevice, true, bytes},
    };
    // Segment 0 without the pointer: monitors without E-DDC do not
    // acknowledge 0x30.
    const std::span<const platform::I2cSegment> transfer =
        segment == 0 ? std::span<const platform::I2cSegment>(segments + 1, 2) : std::span<const platform::I2cSegment>(segments, 3);
    appendText("S_");
    if (segment != 0) {
        appendHexByte(kSegmentPointerDevice << 1);
        appendHexByte(segmentNumber);
        appendText("S_");
    }
    const int error = port_.transfer(transfer);
    if (error != 0) {
        // As the jig's record of a device that answers neither address.
        appendHexByte(kEdidDevice << 1);
        appendText("S_");
        appendHexByte(kEdidDevice << 1 | 1);
        errorCode_ = LinkError::MonitorNotConnected;
        return false;
    }
    counters_.bytesOnBus += static_cast<std::int64_t>(3 + bytes.size() + (segment != 0 ? 2 : 0));
    appendHexByte(kEdidDevice << 1);
    appendHexByte(wordAddress);
    appendText("S_");
    appendHexByte(kEdidDevice << 1 | 1);
    for (const std::uint8_t byte : bytes) appendHexByte(byte);
    appendText("_E");
    return true;
}

int DisplayChannelLink::announcedEdidBlocks() {
    // Byte 126 of the base block counts the extension blocks.
    if (!readEdidBytes(0, 126, std::span(replyBuffer_.data(), 1))) return 0;
    return 1 + replyBuffer_[0];
}

const std::uint8_t* DisplayChannelLink::transferEepromBlock(std::int32_t block) {
    replyBytesReceived_ = 0;
    errorCode_ = LinkError::None;
    if (block < 0 || block > kMaxEdidBlock) {
        errorCode_ = LinkError::MonitorNotConnected;
        return nullptr;
    }
    constexpr std::size_t kBlockBytes = kEepromBlockBytes / 2;
    // Block 0 and the one after it, as the jig reads device 0xA0.
    if (block == 0) {
        return readEdidBytes(0, 0, std::span(replyBuffer_.data(), kEepromBlockBytes)) ? replyBuffer_.data() : nullptr;
    }
    const int announced = announcedEdidBlocks();
    if (announced <= block) {
        if (errorCode_ == LinkError::None) {
            appendText("EDID block " + std::to_string(block) + " not announced");
            errorCode_ = LinkError::MonitorNotConnected;
        }
        return nullptr;
    }
    // Block N at segment N / 2, offset 0 or 80h; the block after it too
    // when the EDID announces it, otherwise its half reads FFh.
    std::fill(replyBuffer_.begin(), replyBuffer_.begin() + kEepromBlockBytes, 0xFF);
    for (int part = 0; part < 2 && block + part < announced; ++part) {
        const int number = block + part;
        const auto offset = static_cast<std::uint8_t>((number % 2) * kBlockBytes);
        const std::span<std::uint8_t> bytes(replyBuffer_.data() + static_cast<std::size_t>(part) * kBlockBytes, kBlockBytes);
        if (!readEdidBytes(number / 2, offset, bytes)) return nullptr;
    }
    return replyBuffer_.data();
}

}  // namespace velmora::link
