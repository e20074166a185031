#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/bit_bang_bus.h"
#include "link/command_packet.h"
#include "link/link_counters.h"
#include "link/link_error.h"
#include "link/link_transcript.h"
#include "link/monitor_link.h"
#include "link/program_flags.h"
#include "link/reply_mode.h"
#include "platform/link_platform.h"

namespace velmora::link {

inline constexpr std::int32_t kReplyStartReads = 400000;    // slave receiver: first SCL low
inline constexpr std::int32_t kReplyBitReads = 50000;       // slave receiver: per bit / ack
inline constexpr std::int32_t kSlaveReplyLimit = 300;       // bytes; reaching it fails
inline constexpr std::int32_t kTransactionAttempts = 3;

// The link to the monitor through the interface board on the parallel port:
// the bit-banged bus (BitBangBus), DDC2Bi command packets with write
// protection, retries and both reply modes, EDID/EEPROM block reads and the
// DDC1 stream, and the transcript of what passed on the bus.
//
// One instance for the whole program, owned by the application context.
// Making it resets the bus. Operations return true (or the reply buffer) on
// success; after a failure the error flag and error code stay readable until
// the next START.
class JigLink final : public MonitorLink {
public:
    JigLink(platform::LinkPlatform platform, const ProgramFlags& flags);
    JigLink(const JigLink&) = delete;
    JigLink& operator=(const JigLink&) = delete;

    // --- bus primitives (level true = released/high), on the bit-banged bus ---
    bool senseSda() { return bus_.senseSda(); }
    bool senseScl() { return bus_.senseScl(); }
    bool setScl(bool level) { return bus_.setScl(level); }
    bool setSda(bool level) { return bus_.setSda(level); }
    void releaseSda() { bus_.releaseSda(); }
    void busDelay(std::int32_t units) { bus_.busDelay(units); }
    void waitMilliseconds(std::int32_t ms);
    // START, byte write and byte read leave the error code their outcome
    // calls for (errorCodeAfter).
    bool start();
    bool stop() { return bus_.stop(); }
    bool writeByte(std::uint8_t value);
    bool readByte(std::uint8_t& value, bool last);
    bool busReset() override { return bus_.reset(); }
    [[nodiscard]] BusOutcome lastByteOutcome() const { return bus_.lastByteOutcome(); }

    // --- transcript ---
    void transcriptOn() override { transcript_.turnOn(); }
    void transcriptOff() override { transcript_.turnOff(); }
    void appendText(std::string_view text) override { transcript_.appendText(text); }
    void appendHexByte(std::uint8_t value) { transcript_.appendHexByte(value); }
    [[nodiscard]] std::string_view transcriptText() const override { return transcript_.text(); }
    [[nodiscard]] std::int32_t transcriptLength() const override { return transcript_.length(); }

    // --- error state and settings ---
    void clearErrorFlag() { bus_.clearErrorFlag(); }
    [[nodiscard]] bool errorFlag() const { return bus_.errorFlag(); }
    [[nodiscard]] LinkError errorCode() const override { return errorCode_; }
    void setErrorCode(LinkError code) override { errorCode_ = code; }
    [[nodiscard]] ReplyMode replyMode() const override { return replyMode_; }
    void setReplyMode(ReplyMode mode) override { replyMode_ = mode; }
    [[nodiscard]] std::int32_t busDelayCount() const { return bus_.busDelayCount(); }
    void setBusDelayCount(std::int32_t count) { bus_.setBusDelayCount(count); }
    [[nodiscard]] std::uint8_t dataShadow() const { return bus_.dataShadow(); }
    [[nodiscard]] const LinkCounters& counters() const override { return counters_; }
    [[nodiscard]] JigLink* jigLink() override { return this; }
    // The board reaches only the monitor on the bench, the one the
    // technician connected: every request goes to it.
    void expectMonitors(std::span<const MonitorIdentity>, std::string_view) override {}
    void allowAnyMonitor() override {}

    // --- command packets ---
    [[nodiscard]] const std::uint8_t* transact(std::span<std::uint8_t> request,
                                               std::int32_t replyArgument) override;
    [[nodiscard]] bool isWriteProtected(std::span<const std::uint8_t> request) const override;
    bool readReplyAsMaster();
    bool receiveReplyAsSlave();

    // --- EDID and EEPROM ---
    [[nodiscard]] const std::uint8_t* readEepromBlock(std::int32_t block) override;
    [[nodiscard]] const std::uint8_t* transferEepromBlock(std::int32_t block) override;
    std::uint16_t measureSdaRun();
    [[nodiscard]] const std::uint8_t* readEdidDdc1();

    [[nodiscard]] std::span<const std::uint8_t, kReplyBufferSize> replyBuffer() const {
        return replyBuffer_;
    }
    [[nodiscard]] std::size_t replyPayloadLength() const override;

private:
    void noteOutcome(BusStep step, BusOutcome outcome);
    bool runAttempt(std::span<std::uint8_t> request, std::int32_t replyArgument);
    void reportFailure();

    platform::LinkPlatform platform_;
    const ProgramFlags& flags_;

    LinkTranscript transcript_;
    LinkCounters counters_;
    BitBangBus bus_;  // after the transcript and counters it writes to
    ReplyMode replyMode_ = ReplyMode::SlaveReceive;
    LinkError errorCode_ = LinkError::None;

    std::array<std::uint8_t, kReplyBufferSize> replyBuffer_{};
    std::size_t replyBytesReceived_ = 0;  // bytes 0.. of the last reply, checksum included

    // DDC1 run timer, kept for the life of the link.
    bool ddc1ReferenceTaken_ = false;
    bool ddc1ReferenceLevel_ = false;
    std::int32_t ddc1LastChange_ = 0;
};

}  // namespace velmora::link
