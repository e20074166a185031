#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "link/monitor_link.h"
#include "link/request_reply.h"
#include "link/program_flags.h"
#include "model/model_description.h"
#include "platform/clock.h"

namespace velmora::model {

// Executes the commands of the compiled model image against the monitor and
// offers the monitor requests the rest of the program builds on: read and
// write a VCP value, send a service command, read and write one byte of the
// monitor's memory. Every request goes through MonitorLink::transact, one at a
// time; the fixed waits between steps are real sleeps.
//
// `vcpCode`, `current` and `maximum` are the register through which every VCP
// read and write passes: callers set `vcpCode` (and `current` before SetVcp)
// and read `current` and `maximum` after ReadVcp. A failed read leaves them
// as they were. `page` selects the memory page of the next memory request.
// A VCP value as a Get VCP reply gave it.
struct VcpReading {
    std::uint8_t current = 0;
    std::uint8_t maximum = 0;
};

class FeatureInterpreter {
public:
    static constexpr std::size_t kSavedColumns = 50;
    static constexpr std::size_t kMaxPayload = 127;

    FeatureInterpreter(link::MonitorLink& link, const ModelDescription& model,
                       const link::ProgramFlags& flags, platform::Clock& clock);
    FeatureInterpreter(const FeatureInterpreter&) = delete;
    FeatureInterpreter& operator=(const FeatureInterpreter&) = delete;

    std::uint8_t page = 0;
    std::uint8_t vcpCode = 0;
    std::uint8_t current = 0;
    std::uint8_t maximum = 0;
    std::array<std::uint8_t, kSavedColumns> savedCurrent{};
    std::array<std::uint8_t, kSavedColumns> savedMaximum{};
    // Image position of the next operand of the command being executed.
    std::uint16_t operandCursor = 0;
    // The request being built: room for the longest payload.
    std::array<std::uint8_t, kMaxPayload + 4> request{};
    // The reply of the last request, or nullptr.
    const std::uint8_t* lastReply = nullptr;

    // Runs the commands at these image positions in order; a position of 0,
    // or one holding a 0 byte, is passed over. Stops at the first failure.
    [[nodiscard]] bool RunScript(std::span<const std::uint16_t> positions);
    // Runs the script whose count byte n lies at `countPosition`, followed by
    // n positions low byte first (an item table entry of kind FEh or FDh).
    [[nodiscard]] bool RunScriptAt(std::uint16_t countPosition);
    // Runs one command; its operands are read from the operand cursor.
    [[nodiscard]] bool RunCommand(std::uint8_t opcode);
    // What RUN does with an item table entry: a script for kinds FEh and FDh,
    // otherwise the built-in function whose opcode is the kind's low byte.
    [[nodiscard]] bool RunItem(std::int16_t kind, std::int16_t arg);

    [[nodiscard]] bool ReadVcp();
    [[nodiscard]] bool SetVcp();
    [[nodiscard]] bool SendServiceCommand(std::uint8_t code);
    // The reply (the byte read is reply byte 7), or nullptr; also nullptr
    // for a reply too short to hold the byte.
    [[nodiscard]] const std::uint8_t* ReadMemory(std::uint8_t address, std::uint8_t count);
    // The byte the last reply carries where ReadMemory's reply holds it;
    // nothing when there is no reply or it is too short.
    [[nodiscard]] std::optional<std::uint8_t> memoryByte() const;
    // The last reply, bounded by what it really carried.
    [[nodiscard]] link::ReplyView lastReplyView() const;
    // ReadVcp of `code` (the register is set as ReadVcp sets it); nothing
    // when the read failed.
    [[nodiscard]] std::optional<VcpReading> readVcpValue(std::uint8_t code);
    [[nodiscard]] bool WriteMemory(std::uint8_t address, std::uint8_t value, std::uint8_t count);
    // Turns a relative table byte into the value to send, from the present
    // `current` and `maximum` of `vcpCode`.
    [[nodiscard]] std::uint8_t ComputeValue(std::uint8_t delta) const;

private:
    // Writes `outgoing` into `request`, sends it and keeps its reply in lastReply.
    link::ReplyView send(const link::Request& outgoing, std::int32_t replyArgument);
    // A service-style reply that came and carries a result byte other than
    // EEh. A reply too short to hold the result byte is no success: the
    // buffer's byte there is the checksum or left from an earlier reply.
    [[nodiscard]] static bool serviceAccepted(const link::ReplyView& reply);
    bool sendTableRequest(std::uint8_t mode, std::span<const std::uint8_t> values);
    bool setVcpTo(std::uint8_t code, std::uint8_t value);
    bool readVcpOf(std::uint8_t code);
    void wait(std::int32_t ms);

    // Whether `count` operands follow in the image; when not, the refusal is
    // noted in the transcript.
    bool operandsAvailable(std::size_t count);
    // Notes in the link transcript why the interpreter refuses a command
    // without sending it; false, for the caller to return.
    bool refuse(const std::string& why);
    std::uint8_t nextOperand();

    bool runWrittenRequest(std::int32_t replyArgument, bool needsReply);
    bool runUserTable();
    bool refuseUserTable(std::size_t count, std::size_t room);
    bool runUserTableToMode();
    bool runTestVcp();
    bool runTestColor();
    bool runChannel(std::uint8_t channel);
    bool runUserDelete2();
    bool runDegauss();
    bool runStandardDump(std::uint8_t chunkId);
    bool runModeTableSave(std::uint8_t chunkId);

    // Image position of the command being executed, for the notes.
    std::uint16_t commandPosition_ = 0;
    link::MonitorLink& link_;
    const ModelDescription& model_;
    const link::ProgramFlags& flags_;
    platform::Clock& clock_;
};

}  // namespace velmora::model
