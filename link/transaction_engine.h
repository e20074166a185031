#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/command_packet.h"
#include "link/link_counters.h"
#include "link/link_error.h"
#include "link/link_transcript.h"
#include "link/link_transport.h"
#include "link/monitor_link.h"
#include "link/program_flags.h"
#include "link/reply_mode.h"
#include "platform/message_sink.h"

namespace velmora::link {

inline constexpr std::int32_t kTransactionAttempts = 3;

// Where the ways to the monitor part company inside a transaction.
struct EngineRules {
    // Whether each attempt clears the error code as it begins. The jig's
    // START clears it instead (and so do its bus steps and block reads); a
    // transport without a START of its own needs the engine to do it.
    bool clearErrorCodeEachAttempt = false;
    // Whether an attempt that finds no interface board is the last one: a
    // missing board gives one attempt and one message, not three.
    bool stopAtInterfaceBoard = false;
};

inline constexpr EngineRules kJigRules{.clearErrorCodeEachAttempt = false, .stopAtInterfaceBoard = true};
inline constexpr EngineRules kDisplayChannelRules{.clearErrorCodeEachAttempt = true, .stopAtInterfaceBoard = false};

// The DDC/CI transaction, once for every way to the monitor: the reply
// buffer, the transcript, the counters, the error code, the reply mode, the
// write protection, the attempts and the words shown when they all fail,
// over a LinkTransport that moves the bytes. A link is this engine with its
// transport and what else it can do (EDID blocks, the monitor check).
class TransactionEngine : public MonitorLink {
public:
    // Keeps `transport` (which may be built after the engine) and calls it
    // only from transact.
    TransactionEngine(LinkTransport& transport, platform::MessageSink& messages, const ProgramFlags& flags,
                      EngineRules rules);
    TransactionEngine(const TransactionEngine&) = delete;
    TransactionEngine& operator=(const TransactionEngine&) = delete;

    // --- command packets ---
    [[nodiscard]] const std::uint8_t* transact(std::span<std::uint8_t> request,
                                               std::int32_t replyArgument) override;
    [[nodiscard]] bool isWriteProtected(std::span<const std::uint8_t> request) const override;
    [[nodiscard]] std::size_t replyPayloadLength() const override;
    [[nodiscard]] std::span<const std::uint8_t, kReplyBufferSize> replyBuffer() const { return replyBuffer_; }

    // --- EDID and EEPROM ---
    // The link's bus reset, then the block transfer.
    [[nodiscard]] const std::uint8_t* readEepromBlock(std::int32_t block) override {
        busReset();
        return transferEepromBlock(block);
    }

    // --- transcript ---
    void transcriptOn() override { transcript_.turnOn(); }
    void transcriptOff() override { transcript_.turnOff(); }
    void appendText(std::string_view text) override { transcript_.appendText(text); }
    void appendHexByte(std::uint8_t value) { transcript_.appendHexByte(value); }
    [[nodiscard]] std::string_view transcriptText() const override { return transcript_.text(); }
    [[nodiscard]] std::int32_t transcriptLength() const override { return transcript_.length(); }

    // --- error state and settings ---
    [[nodiscard]] LinkError errorCode() const override { return errorCode_; }
    void setErrorCode(LinkError code) override { errorCode_ = code; }
    [[nodiscard]] ReplyMode replyMode() const override { return replyMode_; }
    void setReplyMode(ReplyMode mode) override { replyMode_ = mode; }
    [[nodiscard]] const LinkCounters& counters() const override { return counters_; }

    // --- for the transports ---
    [[nodiscard]] LinkTranscript& transcript() { return transcript_; }
    [[nodiscard]] LinkCounters& tally() { return counters_; }
    [[nodiscard]] std::span<std::uint8_t, kReplyBufferSize> buffer() { return replyBuffer_; }
    [[nodiscard]] platform::MessageSink& messages() { return messages_; }
    // Whether the first `frameBytes` bytes of the buffer XOR to 0; says
    // "Checksum" in the transcript when they do not.
    bool checksumHolds(std::size_t frameBytes);
    // The buffer holds a reply of `frameBytes` bytes from byte 0, checksum
    // included.
    void acceptReply(std::size_t frameBytes) { replyBytesReceived_ = frameBytes; }
    // The buffer holds no command reply any more (a block read used it).
    void forgetReply() { replyBytesReceived_ = 0; }

private:
    bool runAttempt(std::span<std::uint8_t> request, std::int32_t replyArgument, std::int32_t attempt);

    LinkTransport& transport_;
    platform::MessageSink& messages_;
    const ProgramFlags& flags_;
    EngineRules rules_;

    LinkTranscript transcript_;
    LinkCounters counters_;
    ReplyMode replyMode_ = ReplyMode::SlaveReceive;
    LinkError errorCode_ = LinkError::None;
    std::array<std::uint8_t, kReplyBufferSize> replyBuffer_{};
    std::size_t replyBytesReceived_ = 0;  // bytes 0.. of the last reply, checksum included
};

}  // namespace velmora::link
