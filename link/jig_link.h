#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/command_packet.h"
#include "link/link_counters.h"
#include "link/link_error.h"
#include "link/link_transcript.h"
#include "link/monitor_link.h"
#include "link/program_flags.h"
#include "link/reply_mode.h"
#include "platform/link_platform.h"

namespace velmora::link {

inline constexpr std::int32_t kDefaultBusDelayCount = 100;
inline constexpr std::int32_t kLineReadBackReads = 2000;    // per line change
inline constexpr std::int32_t kReplyStartReads = 400000;    // slave receiver: first SCL low
inline constexpr std::int32_t kReplyBitReads = 50000;       // slave receiver: per bit / ack
inline constexpr std::int32_t kSlaveReplyLimit = 300;       // bytes; reaching it fails
inline constexpr std::int32_t kTransactionAttempts = 3;

// The link to the monitor through the interface board on the parallel port:
// bit-banged I2C with read-back of every line, DDC2Bi command packets with
// write protection, retries and both reply modes, EDID/EEPROM block reads and
// the DDC1 stream, and the transcript of what passed on the bus.
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

    // --- bus primitives (level true = released/high) ---
    bool senseSda();
    bool senseScl();
    bool setScl(bool level);
    bool setSda(bool level);
    void releaseSda();
    void busDelay(std::int32_t units);
    void waitMilliseconds(std::int32_t ms);
    bool start();
    bool stop();
    bool writeByte(std::uint8_t value);
    bool readByte(std::uint8_t& value, bool last);
    bool busReset() override;

    // --- transcript ---
    void transcriptOn() override { transcript_.turnOn(); }
    void transcriptOff() override { transcript_.turnOff(); }
    void appendText(std::string_view text) override { transcript_.appendText(text); }
    void appendHexByte(std::uint8_t value) { transcript_.appendHexByte(value); }
    [[nodiscard]] std::string_view transcriptText() const override { return transcript_.text(); }
    [[nodiscard]] std::int32_t transcriptLength() const override { return transcript_.length(); }

    // --- error state and settings ---
    void clearErrorFlag() { errorFlag_ = false; }
    [[nodiscard]] bool errorFlag() const { return errorFlag_; }
    [[nodiscard]] LinkError errorCode() const override { return errorCode_; }
    void setErrorCode(LinkError code) override { errorCode_ = code; }
    [[nodiscard]] ReplyMode replyMode() const override { return replyMode_; }
    void setReplyMode(ReplyMode mode) override { replyMode_ = mode; }
    [[nodiscard]] std::int32_t busDelayCount() const { return busDelayCount_; }
    void setBusDelayCount(std::int32_t count) { busDelayCount_ = count; }
    [[nodiscard]] std::uint8_t dataShadow() const { return dataShadow_; }
    [[nodiscard]] const LinkCounters& counters() const override { return counters_; }
    [[nodiscard]] JigLink* jigLink() override { return this; }

    // --- command packets ---
    // Sends `request` (a CommandPacket: bytes 0, 1 and the checksum are filled
    // in place) and, unless replyArgument is 0, receives the reply. Returns the
    // reply buffer or nullptr. A request whose length byte needs more bytes
    // than `request` has is refused without touching the bus.
    [[nodiscard]] const std::uint8_t* transact(std::span<std::uint8_t> request,
                                               std::int32_t replyArgument) override;
    [[nodiscard]] bool isWriteProtected(std::span<const std::uint8_t> request) const override;
    bool readReplyAsMaster();
    bool receiveReplyAsSlave();

    // --- EDID and EEPROM ---
    // A bus reset (which switches the transcript off), then the block read.
    [[nodiscard]] const std::uint8_t* readEepromBlock(std::int32_t block) override;
    // The block read alone, for a caller that has reset the bus itself and
    // wants the transfer in the transcript.
    [[nodiscard]] const std::uint8_t* transferEepromBlock(std::int32_t block) override;
    std::uint16_t measureSdaRun();
    [[nodiscard]] const std::uint8_t* readEdidDdc1();

    [[nodiscard]] std::span<const std::uint8_t, kReplyBufferSize> replyBuffer() const {
        return replyBuffer_;
    }
    // Payload bytes the last reply really carried: its length byte's count,
    // cut to what arrived before the checksum. 0 when the last transaction
    // read no reply or failed, and after an EEPROM or EDID read. Callers
    // compare it with the bytes their request needs, so that nothing is
    // taken from an earlier reply left in the buffer.
    [[nodiscard]] std::size_t replyPayloadLength() const override;

private:
    void writeData(std::uint8_t value);
    std::uint8_t readStatus();
    bool waitForLine(std::uint8_t statusMask, bool level);
    bool runAttempt(std::span<std::uint8_t> request, std::int32_t replyArgument);
    void reportFailure();

    platform::LinkPlatform platform_;
    const ProgramFlags& flags_;

    std::uint8_t dataShadow_ = 0;
    bool errorFlag_ = false;
    ReplyMode replyMode_ = ReplyMode::SlaveReceive;
    LinkError errorCode_ = LinkError::None;
    LinkTranscript transcript_;
    LinkCounters counters_;
    std::int32_t busDelayCount_ = kDefaultBusDelayCount;

    std::array<std::uint8_t, kReplyBufferSize> replyBuffer_{};
    std::size_t replyBytesReceived_ = 0;  // bytes 0.. of the last reply, checksum included

    // DDC1 run timer, kept for the life of the link.
    bool ddc1ReferenceTaken_ = false;
    bool ddc1ReferenceLevel_ = false;
    std::int32_t ddc1LastChange_ = 0;
};

}  // namespace velmora::link
