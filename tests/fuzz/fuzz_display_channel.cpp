// The display-channel link driven through what the program asks of it, with
// an adapter that answers every I2C_RDWR call as the input says: success or
// an errno, a driver that reports fewer or more messages than it was given,
// and for every read any bytes at all (any source, length byte and
// checksum, replies short or long; the rest of a read is all ones, as from
// a device that has stopped driving SDA). Input, one byte stream taken in
// the order the link makes its calls:
//   byte 0   bit 0: the fast timing (else DDC/CI's 40 ms and 50 ms waits)
//            bit 1: write-enabled mode
//            bit 2: the transcript on from the start
//   then up to kMaxOperations operations, each an operation byte
//            bits 0-2 modulo 5: 0 read VCP (code), 1 set VCP (code, value,
//            reply argument), 2 EDID block (block as a signed byte;
//            bit 3: the read without the bus reset), 3 a VCP read in
//            SlaveReceive mode, which is refused, 4 a request as a script
//            writes it (length byte, payload, reply argument; bit 3: the
//            packet one byte short)
//            bit 6: the transcript switched on before the operation
//            and the bytes the operation takes, the adapter's answers to
//            its calls interleaved where the link makes them:
//   a call   outcome byte: low nibble 0 success, 1-7 ENXIO, EREMOTEIO,
//            ETIMEDOUT, EIO, EBUSY, EAGAIN, EINTR, 8 one message fewer
//            reported, 9 one more, 10-15 success; bit 7: the monitor puts
//            the right checksum where its length byte says (so that good
//            replies of every length are common)
//            for each read message: a count, then that many reply bytes
//            (the bytes are delivered even when the call fails, as a driver
//            may leave part of a read in the buffer)
// A missing byte reads as 0. Whatever the adapter says, the link must keep
// its contract: the request on the bus framed and checksummed, at most
// three attempts, the DDC/CI waits kept on the virtual clock, success only
// for a reply whose checksum is right, a payload length no longer than the
// bytes read and taken from this reply only, the error code and the one
// message of a failure, refusals that send nothing, and a bounded
// transcript. Nothing here is costly to make, so every input gets a fresh
// link, and a finding reproduces from its input alone.
#include <linux/i2c.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

#include "bench/bench_time.h"
#include "link/display_channel_link.h"
#include "platform/i2c_dev_port.h"
#include "platform/message_sink.h"

namespace {

using namespace velmora;

void require(bool condition) {
    if (!condition) std::abort();
}

constexpr int kMaxOperations = 12;
constexpr std::uint8_t kDdcCiDevice = 0x37;
constexpr std::int64_t kNanosecondsPerMs = 1'000'000;

class InputStream {
public:
    InputStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t take() { return at_ < size_ ? data_[at_++] : 0; }
    [[nodiscard]] bool exhausted() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::uint8_t xorOf(std::uint8_t seed, std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) seed ^= byte;
    return seed;
}

// One I2C_RDWR call as the adapter saw and answered it.
struct Message {
    std::uint16_t address;
    bool read;
    const std::uint8_t* buffer;
    std::vector<std::uint8_t> bytes;  // written, or delivered into the buffer
};

struct Call {
    std::int64_t atNanoseconds;
    int error;  // as the port reports it: 0 when every message went through
    std::vector<Message> messages;
};

constexpr int kOutcomeErrors[] = {0, ENXIO, EREMOTEIO, ETIMEDOUT, EIO, EBUSY, EAGAIN, EINTR};

class ScriptedAdapter final : public platform::I2cKernel {
public:
    static constexpr int kDescriptor = 5;

    ScriptedAdapter(InputStream& input, bench::VirtualClock& clock, link::DisplayChannelTiming timing)
        : input_(input), clock_(clock), timing_(timing) {}

    // Where the link's buffer lies: every read must land inside it.
    std::span<const std::uint8_t> replyBuffer;
    std::vector<Call> calls;

    int openNode(const char*) override { return kDescriptor; }
    void closeNode(int) override {}

    int combinedTransfer(int descriptor, i2c_rdwr_ioctl_data& data) override {
        require(descriptor == kDescriptor && data.msgs != nullptr && data.nmsgs >= 1 &&
                data.nmsgs <= I2C_RDWR_IOCTL_MAX_MSGS);
        Call call{clock_.nanoseconds(), 0, {}};
        const std::uint8_t outcome = input_.take();
        for (__u32 i = 0; i < data.nmsgs; ++i) {
            i2c_msg& message = data.msgs[i];
            const bool read = (message.flags & I2C_M_RD) != 0;
            require((message.flags & ~I2C_M_RD) == 0 && message.addr <= 0x7F);
            require(message.len > 0 && message.buf != nullptr);
            Message seen{message.addr, read, message.buf, {}};
            if (read) {
                require(message.buf >= replyBuffer.data() &&
                        message.buf + message.len <= replyBuffer.data() + replyBuffer.size());
                deliver(message, outcome);
            }
            seen.bytes.assign(message.buf, message.buf + message.len);
            call.messages.push_back(std::move(seen));
        }
        if (call.messages.size() == 1 && call.messages[0].address == kDdcCiDevice && !call.messages[0].read) {
            checkRequestGap(call);
        }
        const int kind = outcome & 0x0F;
        const auto count = static_cast<int>(data.nmsgs);
        int result = count;
        if (kind < 8) {
            result = kOutcomeErrors[kind] == 0 ? count : -kOutcomeErrors[kind];
        } else if (kind == 8) {
            result = count - 1;
        } else if (kind == 9) {
            result = count + 1;
        }
        call.error = result < 0 ? -result : (result == count ? 0 : EIO);
        // An exchange with the monitor; a block read, even one whose block
        // number lands on the monitor's address, is none.
        if (call.messages.size() == 1 && call.messages[0].address == kDdcCiDevice) {
            lastDdcCiNanoseconds_ = call.atNanoseconds;
        }
        calls.push_back(std::move(call));
        return result;
    }

private:
    void deliver(i2c_msg& message, std::uint8_t outcome) {
        const std::size_t given = std::min<std::size_t>(input_.take(), message.len);
        std::size_t i = 0;
        for (; i < given; ++i) message.buf[i] = input_.take();
        for (; i < message.len; ++i) message.buf[i] = 0xFF;
        // A monitor that frames its reply right: the checksum after the
        // payload its length byte counts, when the read reaches that far.
        if ((outcome & 0x80) != 0 && message.addr == kDdcCiDevice && message.len >= 2) {
            const std::size_t at = 2u + (message.buf[1] & 0x7Fu);
            if (at < message.len) message.buf[at] = xorOf(link::kHostAddress, std::span(message.buf, at));
        }
    }

    // DDC/CI asks for a pause between the end of one exchange with the
    // monitor and the next request; the link's clock counts whole
    // milliseconds, so it may fall short by less than one.
    void checkRequestGap(const Call& call) const {
        if (lastDdcCiNanoseconds_ < 0 || timing_.requestGapMs <= 0) return;
        require(call.atNanoseconds - lastDdcCiNanoseconds_ > (timing_.requestGapMs - 1) * kNanosecondsPerMs);
    }

    InputStream& input_;
    bench::VirtualClock& clock_;
    link::DisplayChannelTiming timing_;
    std::int64_t lastDdcCiNanoseconds_ = -1;
};

constexpr std::int32_t kReplyArguments[] = {
    0, 1, 30, 100, 1000, -1, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};

struct Session {
    Session(InputStream& in, bool fast, bool writeEnabled)
        : input(in),
          timing(fast ? link::kFastTiming : link::kDdcCiTiming),
          adapter(input, clock, timing),
          port(adapter),
          link(port, clock, messages, flags, timing) {
        flags.writeEnabled = writeEnabled ? 1 : 0;
        require(port.open("/dev/i2c-4") == 0);
        adapter.replyBuffer = link.replyBuffer();
        link.setReplyMode(link::ReplyMode::MasterRead);
    }

    InputStream& input;
    bench::VirtualClock clock;
    link::DisplayChannelTiming timing;
    ScriptedAdapter adapter;
    platform::I2cDevPort port;
    platform::RecordingMessageSink messages;
    link::ProgramFlags flags;
    link::DisplayChannelLink link;
};

bool isOnlyMessage(const Session& s, std::size_t before, std::string_view text) {
    return s.messages.messages.size() == before + 1 && s.messages.messages.back().text == text;
}

// Whether `call` is the read of a reply: one message from 0x6F into the
// buffer just past its byte 0, no longer than a reply to `request` reaches.
bool isReplyRead(const Session& s, const Call& call, std::span<const std::uint8_t> request) {
    return call.messages.size() == 1 && call.messages[0].address == kDdcCiDevice && call.messages[0].read &&
           call.messages[0].buffer == s.link.replyBuffer().data() + 1 &&
           call.messages[0].bytes.size() == std::max<std::size_t>(link::replyReadBytes(request), 3) &&
           call.messages[0].bytes.size() <= link::DisplayChannelLink::kReplyReadBytes;
}

// The reply as the monitor meant it: a source byte sent twice counts once.
std::vector<std::uint8_t> meantReply(const std::vector<std::uint8_t>& read) {
    if (read.size() >= 2 && read[0] == link::kMonitorAddress && read[1] == link::kMonitorAddress) {
        std::vector<std::uint8_t> meant(read.begin() + 1, read.end());
        meant.push_back(0xFF);
        return meant;
    }
    return read;
}

// Whether the bytes read are a reply to take: read up to the checksum the
// length byte announces (its low seven bits counting after adding the
// frame, and at least source, length byte and checksum) and no further than
// the read reached, with a right checksum, from 0x6E, with the length flag,
// and not the null message of a busy monitor.
bool replyAccepted(std::span<const std::uint8_t> read) {
    const std::size_t count = std::max<std::size_t>((read[1] + 3u) & 0x7Fu, 3);
    return count <= read.size() && xorOf(link::kHostAddress, read.first(count)) == 0 &&
           read[0] == link::kMonitorAddress && (read[1] & 0x80) != 0 && read[1] != link::kNullReplyLength;
}

// Adapter errors that another attempt cannot cure end the attempts at once.
bool isLasting(int error) { return error == EOPNOTSUPP || error == EINVAL || error == EBUSY || error == EBADF; }

void transact(Session& s, std::span<std::uint8_t> request, std::int32_t replyArgument) {
    const std::vector<std::uint8_t> original(request.begin(), request.end());
    const std::size_t callsBefore = s.adapter.calls.size();
    const std::size_t messagesBefore = s.messages.messages.size();
    const link::LinkCounters countersBefore = s.link.counters();
    const link::LinkError codeBefore = s.link.errorCode();
    const std::uint8_t* reply = s.link.transact(request, replyArgument);
    const std::span<const Call> calls = std::span(s.adapter.calls).subspan(callsBefore);
    const bool unchanged = std::equal(request.begin(), request.end(), original.begin()) &&
                           s.link.counters().transactions == countersBefore.transactions;

    // Refusals send nothing and leave the request as it was.
    if (request.size() < link::kHeaderBytes || request.size() < link::requestSize(request[2])) {
        require(reply == nullptr && calls.empty() && unchanged && s.messages.messages.size() == messagesBefore &&
                s.link.errorCode() == codeBefore);
        return;
    }
    const auto payload = request.subspan(link::kHeaderBytes, link::payloadLength(request[2]));
    if (s.flags.writeEnabled == 0 && link::isProtectedPayload(payload)) {
        require(reply == nullptr && calls.empty() && unchanged && isOnlyMessage(s, messagesBefore, "Password is required"));
        return;
    }
    if (s.link.replyMode() == link::ReplyMode::SlaveReceive) {
        require(reply == nullptr && calls.empty() && unchanged &&
                isOnlyMessage(s, messagesBefore, link::kSlaveReceiveRefusal) &&
                s.link.errorCode() == link::LinkError::InterfaceBoard);
        return;
    }

    // On the bus: the packet framed for MasterRead, checksum and all.
    const std::size_t end = link::kHeaderBytes + payload.size();
    require(request[0] == link::kMonitorAddress && request[1] == link::kHostAddressMasterRead &&
            xorOf(0, request.first(end + 1)) == 0);
    const std::span<const std::uint8_t> body = request.subspan(1, end);

    // Walk the attempts the adapter's answers call for.
    std::size_t next = 0;
    int attempts = 0;
    bool succeeded = false;
    bool notAcknowledged = false;  // the last attempt's request or 0x6F address not acknowledged
    bool otherFailure = false;     // the last attempt's read failed in another way
    const Call* replyCall = nullptr;
    int lastError = 0;
    std::int64_t lastWaitNs = 0;
    while (attempts < link::kTransactionAttempts && !succeeded && !isLasting(lastError)) {
        ++attempts;
        notAcknowledged = otherFailure = false;
        require(next < calls.size());
        const Call& sent = calls[next++];
        require(sent.messages.size() == 1 && sent.messages[0].address == kDdcCiDevice && !sent.messages[0].read &&
                std::ranges::equal(sent.messages[0].bytes, body));
        lastError = sent.error;
        if (sent.error != 0) {
            notAcknowledged = sent.error == ENXIO || sent.error == EREMOTEIO || sent.error == EIO;
            otherFailure = !notAcknowledged;
            continue;
        }
        if (replyArgument == 0) {
            succeeded = true;
            break;
        }
        require(next < calls.size());
        const Call& read = calls[next++];
        require(isReplyRead(s, read, request));
        // The monitor gets its time to prepare the reply (a minute at most),
        // and no less at a further attempt than at the one before.
        const std::int64_t waitMs = std::min(std::max(replyArgument, s.timing.replyWaitMinimumMs), 60'000);
        const std::int64_t waitedNs = read.atNanoseconds - sent.atNanoseconds;
        require(waitedNs >= waitMs * kNanosecondsPerMs);
        if (s.timing.doublingWaits) require(waitedNs >= lastWaitNs);
        lastWaitNs = waitedNs;
        lastError = read.error;
        if (read.error != 0) {
            notAcknowledged = read.error == ENXIO || read.error == EREMOTEIO || read.error == EIO;
            otherFailure = !notAcknowledged;
            continue;
        }
        // All ones is nobody driving the lines: no reply, as a missing acknowledge.
        const std::vector<std::uint8_t>& bytes = read.messages[0].bytes;
        if (std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte == 0xFF; })) {
            notAcknowledged = true;
            continue;
        }
        replyCall = &read;
        succeeded = replyAccepted(meantReply(bytes));
    }
    require(next == calls.size());
    require(s.link.counters().transactions == countersBefore.transactions + 1 &&
            s.link.counters().attempts == countersBefore.attempts + attempts);

    if (succeeded) {
        require(reply == s.link.replyBuffer().data() && s.link.errorCode() == link::LinkError::None);
        require(reply[0] == link::kHostAddress && s.messages.messages.size() == messagesBefore);
        const std::size_t carried = s.link.replyPayloadLength();
        if (replyArgument == 0) {
            require(reply[1] == link::kMonitorAddress && carried == 0);
            return;
        }
        // Only what this reply brought, checksum included, and all its
        // payload while the length byte counts no further than a read reaches.
        const std::vector<std::uint8_t> read = meantReply(replyCall->messages[0].bytes);
        const std::size_t announced = read[1] & 0x7Fu;
        require(carried + link::kHeaderBytes <= read.size());
        require(carried == (announced <= 124 ? announced : 0));
        require(std::equal(reply + 1, reply + carried + 4, read.begin()));
        require(xorOf(0, std::span(reply, carried + 4)) == 0);
        return;
    }
    require(reply == nullptr && s.link.replyPayloadLength() == 0);
    // A failure's code: nothing acknowledged, the adapter's own failure
    // (with words that name the remedy), a busy monitor, or a bad reply.
    const link::LinkError code = s.link.errorCode();
    if (notAcknowledged) require(code == link::LinkError::MonitorNotConnected);
    if (otherFailure) require(code == link::LinkError::InterfaceBoard);
    if (!notAcknowledged && !otherFailure) require(code == link::LinkError::None || code == link::LinkError::NoResponse);
    if (code == link::LinkError::MonitorNotConnected || code == link::LinkError::InterfaceBoard) {
        require(s.messages.messages.size() == messagesBefore + 1);
    } else {
        require(s.messages.messages.size() == messagesBefore);
    }
}

// Whether `call` reads from the EDID at 0x50: the segment pointer at 0x30
// first for a segment above 0, the word address, then the bytes.
bool isEdidReadOf(const Call& call, std::uint8_t segment, std::uint8_t offset, std::size_t count);

bool isEdidRead(const Session& s, const Call& call, std::uint8_t segment, std::uint8_t offset, std::size_t count) {
    return isEdidReadOf(call, segment, offset, count) && call.messages.back().buffer == s.link.replyBuffer().data();
}

// The same, into any buffer: for the EDID's 128-byte blocks.
bool isEdidReadOf(const Call& call, std::uint8_t segment, std::uint8_t offset, std::size_t count) {
    const std::size_t first = segment == 0 ? 0 : 1;
    if (call.messages.size() != first + 2) return false;
    if (segment != 0 && (call.messages[0].address != 0x30 || call.messages[0].read ||
                         call.messages[0].bytes != std::vector<std::uint8_t>{segment})) {
        return false;
    }
    const auto& word = call.messages[first];
    const auto& bytes = call.messages[first + 1];
    return word.address == 0x50 && !word.read && word.bytes == std::vector<std::uint8_t>{offset} &&
           bytes.address == 0x50 && bytes.read && bytes.bytes.size() == count;
}

void readBlock(Session& s, std::int32_t block, bool withBusReset) {
    const std::size_t callsBefore = s.adapter.calls.size();
    const std::size_t messagesBefore = s.messages.messages.size();
    const std::uint8_t* result = withBusReset ? s.link.readEepromBlock(block) : s.link.transferEepromBlock(block);
    const std::span<const Call> calls = std::span(s.adapter.calls).subspan(callsBefore);
    // Only the EDID's own addresses are read; a block outside the 256 that
    // E-DDC can name reads nothing.
    constexpr std::size_t kBlockBytes = link::kEepromBlockBytes / 2;
    if (block < 0 || block > link::DisplayChannelLink::kMaxEdidBlock) {
        require(calls.empty() && result == nullptr);
    } else if (block == 0) {
        require(calls.size() == 1 && isEdidRead(s, calls[0], 0, 0x00, link::kEepromBlockBytes));
        require((calls[0].error == 0) == (result != nullptr));
        if (result != nullptr) {
            require(std::ranges::equal(std::span(result, link::kEepromBlockBytes), calls[0].messages[1].bytes));
        }
    } else {
        // The base block's extension count first; then block N and the one
        // after it, each from its segment and offset, as far as announced.
        require(!calls.empty() && isEdidRead(s, calls[0], 0, 126, 1));
        const int announced = calls[0].error == 0 ? 1 + calls[0].messages[1].bytes[0] : 0;
        std::size_t next = 1;
        bool failed = calls[0].error != 0 || announced <= block;
        for (int number = block; !failed && number < block + 2 && number < announced; ++number) {
            require(next < calls.size());
            const auto offset = static_cast<std::uint8_t>((number % 2) * kBlockBytes);
            const Call& read = calls[next++];
            require(read.messages.back().buffer == s.link.replyBuffer().data() + (number - block) * kBlockBytes);
            require(isEdidReadOf(read, static_cast<std::uint8_t>(number / 2), offset, kBlockBytes));
            failed = read.error != 0;
        }
        require(next == calls.size());
        require(failed == (result == nullptr));
    }
    if (result != nullptr) require(s.link.errorCode() == link::LinkError::None);
    else require(s.link.errorCode() == link::LinkError::MonitorNotConnected);
    // The buffer holds no command reply any more.
    require(s.link.replyPayloadLength() == 0 && s.messages.messages.size() == messagesBefore);
    if (withBusReset) require(s.link.transcriptLength() == -1);
}

void checkTranscript(const Session& s) {
    const std::int32_t length = s.link.transcriptLength();
    if (length < 0) {
        require(length == -1 && s.link.transcriptText().empty());
    } else {
        require(static_cast<std::size_t>(length) == s.link.transcriptText().size() &&
                length < link::LinkTranscript::kCapacity);
    }
}

void runOperation(Session& s, std::uint8_t operation) {
    InputStream& in = s.input;
    if ((operation & 0x40) != 0) s.link.transcriptOn();
    const bool variant = (operation & 0x08) != 0;
    switch ((operation & 0x07) % 5) {
    case 0: {
        std::array<std::uint8_t, 6> request{0, 0, 0x82, 0x01, in.take(), 0};
        transact(s, request, 30);
        break;
    }
    case 1: {
        std::array<std::uint8_t, 8> request{0, 0, 0x84, 0x03, in.take(), 0x00, in.take(), 0};
        transact(s, request, kReplyArguments[in.take() & 0x07]);
        break;
    }
    case 2:
        readBlock(s, static_cast<std::int8_t>(in.take()), !variant);
        break;
    case 3: {
        s.link.setReplyMode(link::ReplyMode::SlaveReceive);
        std::array<std::uint8_t, 6> request{0, 0, 0x82, 0x01, in.take(), 0};
        transact(s, request, 30);
        s.link.setReplyMode(link::ReplyMode::MasterRead);
        break;
    }
    default: {
        std::array<std::uint8_t, link::requestSize(0x7F)> request{};
        request[2] = in.take();
        const std::size_t size = link::requestSize(request[2]) - (variant ? 1 : 0);
        for (std::size_t i = link::kHeaderBytes; i + 1 < size; ++i) request[i] = in.take();
        transact(s, std::span(request.data(), size), kReplyArguments[in.take() & 0x07]);
        break;
    }
    }
    checkTranscript(s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputStream input(data, size);
    const std::uint8_t setup = input.take();
    Session session(input, (setup & 0x01) != 0, (setup & 0x02) != 0);
    if ((setup & 0x04) != 0) session.link.transcriptOn();
    for (int i = 0; i < kMaxOperations && !input.exhausted(); ++i) runOperation(session, input.take());
    return 0;
}
