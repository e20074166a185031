// Reply reception in SlaveReceive mode: the monitor becomes bus master and
// writes its reply to the PC. The PC only polls the status register in a
// tight loop (one read, one comparison) with the interrupt shield held, and
// acknowledges every byte by pulling SDA itself.
#include "link/bus_wiring.h"
#include "link/jig_transport.h"

namespace velmora::link {

namespace {

enum class Reception { Complete, Failed };

class SlaveReceiver {
public:
    SlaveReceiver(platform::PortIo& port, std::span<std::uint8_t, kReplyBufferSize> buffer)
        : port_(port), buffer_(buffer) {}

    // Runs the whole reception; sets `noResponse` when the monitor never began.
    Reception run(bool& noResponse) {
        noResponse = false;
        // expects: the monitor pulls SCL low to begin its message
        std::int32_t budget = kReplyStartReads;
        if (!waitWithin(kSclStatus, false, budget)) {
            noResponse = true;
            return Reception::Failed;
        }
        // Ends at the STOP, at a time-out, or at the 300th byte.
        for (;;) {
            std::uint8_t byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const BitResult result = receiveBit();
                if (result == BitResult::MessageEnd) return Reception::Complete;
                if (result == BitResult::Failed) return Reception::Failed;
                byte = static_cast<std::uint8_t>((byte << 1) | (result == BitResult::One ? 1 : 0));
            }
            if (!acknowledge()) return Reception::Failed;
            buffer_[static_cast<std::size_t>(count_)] = byte;
            if (++count_ >= kSlaveReplyLimit) return Reception::Failed;
        }
    }

    [[nodiscard]] std::int32_t count() const { return count_; }

private:
    enum class BitResult { Zero, One, MessageEnd, Failed };

    std::uint8_t read() { return port_.read8(platform::kStatusPort); }

    // One data bit, with one budget for all its waits.
    BitResult receiveBit() {
        std::int32_t budget = kReplyBitReads;
        std::uint8_t lastStatus = 0;
        // expects: SCL high, the bit valid on SDA
        bool sclHigh = false;
        while (budget > 0) {
            --budget;
            lastStatus = read();
            if ((lastStatus & kSclStatus) != 0) {
                sclHigh = true;
                break;
            }
        }
        if (!sclHigh) return BitResult::Failed;

        for (;;) {
            // expects: any change of the whole status byte
            std::uint8_t status = lastStatus;
            while (budget > 0) {
                --budget;
                status = read();
                if (status != lastStatus) break;
            }
            if ((status & kSclStatus) == 0) {
                // SCL fell: the bit is what SDA showed while SCL was high.
                return (lastStatus & kSdaStatus) != 0 ? BitResult::One : BitResult::Zero;
            }
            if ((status & kSdaStatus) != 0) {
                // SDA rose with SCL high (STOP), another status bit moved, or
                // nothing changed for the rest of the budget: the message is over.
                return BitResult::MessageEnd;
            }
            // SDA fell with SCL high: a (repeated) START. Keep waiting, but a
            // bus left in that state once the budget is gone ends as a failure.
            if (budget == 0) return BitResult::Failed;
            lastStatus = status;
        }
    }

    // Pull SDA for the acknowledge clock, then let it go.
    bool acknowledge() {
        port_.write8(platform::kDataPort, kSdaData);
        std::int32_t budget = kReplyBitReads;
        bool ok = waitWithin(kSclStatus, true, budget) && waitWithin(kSclStatus, false, budget);
        if (ok) port_.write8(platform::kDataPort, 0x00);
        return ok;
    }

    bool waitWithin(std::uint8_t mask, bool level, std::int32_t& budget) {
        while (budget > 0) {
            --budget;
            if (((read() & mask) != 0) == level) return true;
        }
        return false;
    }

    platform::PortIo& port_;
    std::span<std::uint8_t, kReplyBufferSize> buffer_;
    std::int32_t count_ = 0;
};

}  // namespace

bool JigTransport::receiveReplyAsSlave() {
    if (bus_.errorFlag()) return false;
    SlaveReceiver receiver(platform_.port, engine_.buffer());
    Reception outcome;
    bool noResponse = false;
    {
        platform::ShieldGuard shield(platform_.shield);
        outcome = receiver.run(noResponse);
    }
    // The receiver writes the data register directly; the shadow is left as
    // it was, and the next primitive rewrites the register from it.
    if (noResponse) engine_.setErrorCode(LinkError::NoResponse);
    const auto received = static_cast<std::size_t>(receiver.count());
    engine_.tally().bytesOnBus += static_cast<std::int64_t>(received);
    for (std::size_t i = 0; i < received; ++i) engine_.appendHexByte(engine_.buffer()[i]);
    if (outcome == Reception::Failed || !engine_.checksumHolds(received)) {
        bus_.setErrorFlag();
        return false;
    }
    engine_.acceptReply(received);
    return true;
}

}  // namespace velmora::link
