// A graphics card's i2c-dev adapter as the engine's transport, and the EDID
// read over it: each request, reply and block is one combined transfer.
#include "link/display_channel_transport.h"

#include <algorithm>
#include <cerrno>

#include "link/elapsed_time.h"
#include "link/transaction_engine.h"

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
                                           DisplayChannelTransport::kReplyReadBytes);
        }
        return kReplyReadBytesDefault;
    default: return kReplyReadBytesDefault;
    }
}

DisplayChannelTransport::DisplayChannelTransport(TransactionEngine& engine, platform::I2cDevPort& port,
                                                 platform::Clock& clock, DisplayChannelTiming timing)
    : engine_(engine), port_(port), clock_(clock), timing_(timing) {
    timing_.waitScalePercent = std::clamp(timing_.waitScalePercent, 1, kMaxWaitScalePercent);
}

bool DisplayChannelTransport::admits(std::span<const std::uint8_t> request) {
    if (engine_.replyMode() == ReplyMode::SlaveReceive) {
        tell(kSlaveReceiveRefusal);
        engine_.setErrorCode(LinkError::InterfaceBoard);
        return false;
    }
    if (isFactoryRequest(request) && !monitorIsExpected()) {
        engine_.setErrorCode(LinkError::InterfaceBoard);  // a batch stops here
        return false;
    }
    return true;
}

void DisplayChannelTransport::tell(std::string_view text) {
    engine_.appendText(text);
    engine_.appendText("\r\n");
    engine_.messages().showMessage(text, "");
}

bool DisplayChannelTransport::failureIsLasting() const {
    return failure_ == Failure::Adapter && isLasting(adapterError_);
}

void DisplayChannelTransport::expectMonitors(std::span<const MonitorIdentity> monitors, std::string_view modelName) {
    monitorsExpected_ = true;
    expectedCount_ = std::min(monitors.size(), expected_.size());
    std::copy_n(monitors.begin(), expectedCount_, expected_.begin());
    modelName_ = modelName.empty() ? std::string("chosen") : std::string(modelName);
    confirmed_ = false;
}

bool DisplayChannelTransport::monitorIsExpected() {
    const std::span<std::uint8_t, kReplyBufferSize> reply = engine_.buffer();
    if (!monitorsExpected_ || anyMonitor_ || confirmed_) return true;
    const std::span<const MonitorIdentity> expected(expected_.data(), expectedCount_);
    std::string models;
    for (const MonitorIdentity& identity : expected) models += (models.empty() ? "" : ", ") + identityText(identity);

    std::string monitor;
    if (readEdidBytes(0, 8, std::span(reply.data(), 4))) {
        const MonitorIdentity found = identityFromEdid(std::span<const std::uint8_t, 4>(reply.data(), 4));
        if (std::find(expected.begin(), expected.end(), found) != expected.end()) {
            confirmed_ = true;
            engine_.appendText("\r\n");
            return true;
        }
        monitor = "the monitor on " + port_.path() + " is " + identityText(found);
    } else {
        monitor = "the monitor on " + port_.path() + " gives no EDID, so it cannot be told apart";
    }
    engine_.appendText("\r\n");
    const std::string reason =
        monitor + ", and the model " + modelName_ +
        (expected.empty() ? " names no monitor it is made for (an [EDID,MFG,PRODUCT] directive)"
                          : " is made for " + models);
    const platform::Answer answer = engine_.messages().askYesNo(
        "Factory requests (service commands, scripts, memory writes) can upset another monitor: " + reason +
            ". Send them to this monitor anyway?",
        "", platform::DefaultButton::No);
    if (answer == platform::Answer::Yes) {
        confirmed_ = true;
        return true;
    }
    const std::string refusal = "Factory request not sent: " + reason +
                                ". Choose this monitor's model, or say --any-monitor if you are sure.";
    engine_.appendText(refusal);
    engine_.appendText("\r\n");
    if (answer == platform::Answer::CannotAsk) engine_.messages().showMessage(refusal, "");
    return false;
}

std::int32_t DisplayChannelTransport::replyWaitMs(std::int32_t replyArgument, std::int32_t attempt) const {
    std::int64_t wait = std::max(replyArgument, timing_.replyWaitMinimumMs);
    if (timing_.doublingWaits) wait <<= std::clamp(attempt, 0, 4);
    wait = wait * timing_.waitScalePercent / 100;
    return static_cast<std::int32_t>(std::min<std::int64_t>(wait, 60'000));
}

bool DisplayChannelTransport::readReply(std::span<const std::uint8_t> request, std::int32_t replyArgument,
                                        std::int32_t attempt) {
    sleep(replyWaitMs(replyArgument, attempt));
    return readReplyBytes(replyReadBytes(request));
}

void DisplayChannelTransport::awaitRequestGap() {
    if (!requestSent_ || timing_.requestGapMs <= 0) return;
    const std::int32_t waited = millisecondsSince(clock_.milliseconds(), lastRequestEnd_);
    if (waited < timing_.requestGapMs) sleep(timing_.requestGapMs - std::max(waited, 0));
}

void DisplayChannelTransport::sleep(std::int32_t ms) {
    if (ms <= 0) return;
    engine_.tally().waitMilliseconds += ms;
    clock_.sleepMilliseconds(ms);
}

void DisplayChannelTransport::recordFailedTransfer(std::span<const std::uint8_t> bytes, int errorNumber) {
    // An address nobody acknowledged ends the transfer after its first byte,
    // as the jig's transcript shows it; any other failure is not placed.
    const std::size_t shown = errorNumber == ENXIO ? 1 : bytes.size();
    for (std::size_t i = 0; i < shown && i < bytes.size(); ++i) engine_.appendHexByte(bytes[i]);
}

bool DisplayChannelTransport::sendRequest(std::span<const std::uint8_t> request) {
    failure_ = Failure::None;
    awaitRequestGap();
    engine_.appendText("S_");
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
        engine_.setErrorCode(LinkError::MonitorNotConnected);
        failure_ = isNotAcknowledged(error) ? Failure::RequestNotTaken : Failure::Adapter;
        adapterError_ = error;
        return false;
    }
    engine_.tally().bytesOnBus += static_cast<std::int64_t>(request.size());
    for (const std::uint8_t byte : request) engine_.appendHexByte(byte);
    engine_.appendText("_E");
    return true;
}

bool DisplayChannelTransport::readReplyBytes(std::size_t readBytes) {
    const std::span<std::uint8_t, kReplyBufferSize> reply = engine_.buffer();
    engine_.appendText("S_");
    engine_.appendHexByte(kMonitorAddress | 1);
    readBytes = std::clamp<std::size_t>(readBytes, 3, kReplyReadBytes);
    std::fill_n(reply.begin() + 1, readBytes, 0xFF);
    const platform::I2cSegment segment{kDdcCiDevice, true, std::span(reply.data() + 1, readBytes)};
    const int error = port_.transfer(std::span(&segment, 1));
    lastRequestEnd_ = clock_.milliseconds();
    if (error != 0) {
        // 0x6F not acknowledged (no reply ready) is the jig's unacknowledged
        // address byte; a held line while reading carries no code there either.
        engine_.setErrorCode(isNotAcknowledged(error) ? LinkError::MonitorNotConnected : LinkError::None);
        failure_ = error == ENXIO ? Failure::NoReply : isNotAcknowledged(error) ? Failure::RequestNotTaken : Failure::Adapter;
        adapterError_ = error;
        return false;
    }
    engine_.tally().bytesOnBus += static_cast<std::int64_t>(1 + readBytes);
    // Some adapters report no missing acknowledge on a read: the lines float
    // high and every byte reads FFh. That is no reply at all.
    if (std::all_of(reply.begin() + 1, reply.begin() + 1 + static_cast<std::ptrdiff_t>(readBytes),
                    [](std::uint8_t byte) { return byte == 0xFF; })) {
        engine_.setErrorCode(LinkError::MonitorNotConnected);
        failure_ = Failure::NoReply;
        return false;
    }
    // Some monitors send their source address twice.
    if (reply[1] == kMonitorAddress && reply[2] == kMonitorAddress) {
        std::copy_n(reply.begin() + 2, readBytes - 1, reply.begin() + 1);
        reply[readBytes] = 0xFF;
    }
    // The jig reads up to the checksum that the length byte announces (only
    // its low seven bits count after adding the frame), and at least the
    // source, the length byte and the checksum.
    const std::size_t last = std::max<std::size_t>((reply[2] + 3u) & 0x7Fu, 3);
    const std::size_t shown = std::min(last, readBytes);
    for (std::size_t i = 1; i <= shown; ++i) engine_.appendHexByte(reply[i]);
    engine_.appendText("_E");
    failure_ = Failure::BadReply;
    if (last > readBytes) {
        // Longer than any reply to this request: not the monitor's.
        engine_.appendText("Too long");
        return false;
    }
    if (!engine_.checksumHolds(last + 1)) return false;
    // A reply that sums right but is not from the monitor, or has no length
    // flag, is noise on the bus.
    if (reply[1] != kMonitorAddress || (reply[2] & 0x80) == 0) {
        engine_.appendText("Garbled");
        return false;
    }
    if (reply[2] == kNullReplyLength) {
        engine_.appendText("Busy");
        failure_ = Failure::Busy;
        engine_.setErrorCode(LinkError::NoResponse);
        return false;
    }
    failure_ = Failure::None;
    engine_.acceptReply(last + 1);
    return true;
}

// The jig's words where the jig would meet the same failure, so that a
// technician reads the same whichever way the monitor is connected; the
// adapter's own failures and a silent monitor get words that name the remedy.
bool DisplayChannelTransport::reportOwnFailure() {
    switch (failure_) {
    case Failure::Adapter:
        if (isNotAcknowledged(adapterError_)) break;
        engine_.setErrorCode(LinkError::InterfaceBoard);
        tell(platform::describeI2cFailure(port_.path(), adapterError_));
        return true;
    case Failure::NoReply:
        tell(kNoReplyMessage);
        return true;
    default: break;
    }
    return false;
}

bool DisplayChannelTransport::readEdidBytes(std::int32_t segment, std::uint8_t offset, std::span<std::uint8_t> bytes) {
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
    engine_.appendText("S_");
    if (segment != 0) {
        engine_.appendHexByte(kSegmentPointerDevice << 1);
        engine_.appendHexByte(segmentNumber);
        engine_.appendText("S_");
    }
    const int error = port_.transfer(transfer);
    if (error != 0) {
        // As the jig's record of a device that answers neither address.
        engine_.appendHexByte(kEdidDevice << 1);
        engine_.appendText("S_");
        engine_.appendHexByte(kEdidDevice << 1 | 1);
        engine_.setErrorCode(LinkError::MonitorNotConnected);
        return false;
    }
    engine_.tally().bytesOnBus += static_cast<std::int64_t>(3 + bytes.size() + (segment != 0 ? 2 : 0));
    engine_.appendHexByte(kEdidDevice << 1);
    engine_.appendHexByte(wordAddress);
    engine_.appendText("S_");
    engine_.appendHexByte(kEdidDevice << 1 | 1);
    for (const std::uint8_t byte : bytes) engine_.appendHexByte(byte);
    engine_.appendText("_E");
    return true;
}

int DisplayChannelTransport::announcedEdidBlocks() {
    const std::span<std::uint8_t, kReplyBufferSize> reply = engine_.buffer();
    // Byte 126 of the base block counts the extension blocks.
    if (!readEdidBytes(0, 126, std::span(reply.data(), 1))) return 0;
    return 1 + reply[0];
}

const std::uint8_t* DisplayChannelTransport::transferEepromBlock(std::int32_t block) {
    const std::span<std::uint8_t, kReplyBufferSize> reply = engine_.buffer();
    engine_.forgetReply();
    engine_.setErrorCode(LinkError::None);
    if (block < 0 || block > kMaxEdidBlock) {
        engine_.setErrorCode(LinkError::MonitorNotConnected);
        return nullptr;
    }
    constexpr std::size_t kBlockBytes = kEepromBlockBytes / 2;
    // Block 0 and the one after it, as the jig reads device 0xA0.
    if (block == 0) {
        return readEdidBytes(0, 0, std::span(reply.data(), kEepromBlockBytes)) ? reply.data() : nullptr;
    }
    const int announced = announcedEdidBlocks();
    if (announced <= block) {
        if (engine_.errorCode() == LinkError::None) {
            engine_.appendText("EDID block " + std::to_string(block) + " not announced");
            engine_.setErrorCode(LinkError::MonitorNotConnected);
        }
        return nullptr;
    }
    // Block N at segment N / 2, offset 0 or 80h; the block after it too
    // when the EDID announces it, otherwise its half reads FFh.
    std::fill(reply.begin(), reply.begin() + kEepromBlockBytes, 0xFF);
    for (int part = 0; part < 2 && block + part < announced; ++part) {
        const int number = block + part;
        const auto offset = static_cast<std::uint8_t>((number % 2) * kBlockBytes);
        const std::span<std::uint8_t> bytes(reply.data() + static_cast<std::size_t>(part) * kBlockBytes, kBlockBytes);
        if (!readEdidBytes(number / 2, offset, bytes)) return nullptr;
    }
    return reply.data();
}

}  // namespace velmora::link
