#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "link/monitor_link.h"
#include "link/request_reply.h"
#include "link/program_flags.h"
#include "model/model_description.h"
#include "platform/clock.h"

namespace velmora::model {

// A VCP value as a Get VCP reply gave it.
struct VcpReading {
    std::uint8_t current = 0;
    std::uint8_t maximum = 0;
    bool operator==(const VcpReading&) const = default;
};

// The value to send for a relative byte of a user or mode table: the
// monitor's present value of `code` moved by `delta` (80h and up decrease by
// 100h - delta, stopping at 0; below 80h increase, stopping at the maximum).
// For code FFh (no VCP) the byte is sent as it stands.
[[nodiscard]] std::uint8_t relativeValue(std::uint8_t code, VcpReading present, std::uint8_t delta);

// Executes the commands of the compiled model image against the monitor and
// offers the monitor requests the rest of the program builds on: read and
// write a VCP value, send a service command, read and write one byte of the
// monitor's memory. Every request goes through MonitorLink::transact, one at a
// time; the fixed waits between steps are real sleeps. Each request takes its
// code, value or memory cell as arguments and returns what the monitor said;
// the state the scripts need between their steps stays inside.
class FeatureInterpreter {
public:
    static constexpr std::size_t kSavedColumns = 50;
    static constexpr std::size_t kMaxPayload = 127;
    // Told by the long built-in functions (the standard dumps and the
    // mode-table saves, many seconds on a real monitor) once with no step
    // done and then after every step, with the steps of the whole function
    // known before its first request; not for a function without steps. It
    // only watches: it sends nothing and waits for nothing.
    using StepWatcher = std::function<void(std::size_t done, std::size_t total)>;

    FeatureInterpreter(link::MonitorLink& link, const ModelDescription& model,
                       const link::ProgramFlags& flags, platform::Clock& clock);
    FeatureInterpreter(const FeatureInterpreter&) = delete;
    FeatureInterpreter& operator=(const FeatureInterpreter&) = delete;

    // --- monitor requests ---
    // The present value and maximum of a VCP control, which the interpreter
    // then holds; nothing when the monitor gave no valid reply for it.
    [[nodiscard]] std::optional<VcpReading> readVcp(std::uint8_t code);
    // True when the request went through (no reply is read).
    [[nodiscard]] bool setVcp(std::uint8_t code, std::uint8_t value);
    [[nodiscard]] bool sendServiceCommand(std::uint8_t code);
    // The byte at `address` of memory page `page` (`count` bytes asked for,
    // the first returned); nothing without a reply or when the reply is too
    // short to hold it. The request form follows the flags' EEPROM access mode.
    [[nodiscard]] std::optional<std::uint8_t> readMemory(std::uint8_t page, std::uint8_t address,
                                                         std::uint8_t count = 1);
    // True when the request went through.
    [[nodiscard]] bool writeMemory(std::uint8_t page, std::uint8_t address, std::uint8_t value,
                                   std::uint8_t count = 1);
    // The value the interpreter last read or sent: what a read gave, or the
    // value of the last VCP or memory write (its maximum is the last read's).
    // A failed read leaves it as it was; the console shows it for an item
    // whose read failed.
    [[nodiscard]] VcpReading heldValue() const { return held_; }

    // --- scripts and built-in functions ---
    // Runs the commands at these image positions in order; a position of 0,
    // or one holding a 0 byte, is passed over. Stops at the first failure.
    [[nodiscard]] bool runScript(std::span<const std::uint16_t> positions);
    // Runs the script whose count byte n lies at `countPosition`, followed by
    // n positions low byte first (an item table entry of kind FEh or FDh).
    [[nodiscard]] bool runScriptAt(std::uint16_t countPosition);
    // What RUN does with an item table entry: a script for kinds FEh and FDh,
    // otherwise the built-in function whose opcode is the kind's low byte.
    [[nodiscard]] bool runItem(std::int16_t kind, std::int16_t arg);
    // Puts `watcher` (may be empty) in place and returns the one before.
    StepWatcher watchSteps(StepWatcher watcher);

private:
    // Writes `outgoing` into the request packet and sends it.
    link::ReplyView send(const link::Request& outgoing, std::int32_t replyArgument);
    // A service-style reply that came and carries a result byte other than
    // EEh. A reply too short to hold the result byte is no success: the
    // buffer's byte there is the checksum or left from an earlier reply.
    [[nodiscard]] static bool serviceAccepted(const link::ReplyView& reply);
    bool sendTableRequest(std::uint8_t mode, std::span<const std::uint8_t> values);
    // readVcp for a script step, which looks at the held value after it.
    bool readVcpHeld(std::uint8_t code);
    void wait(std::int32_t ms);
    void reportSteps(std::size_t done, std::size_t total) const;

    // Runs one command; its operands are read from the operand cursor.
    bool runCommand(std::uint8_t opcode);
    // Whether `count` operands follow in the image; when not, the refusal is
    // noted in the transcript.
    bool operandsAvailable(std::size_t count);
    // Notes in the link transcript why the interpreter refuses a command
    // without sending it; false, for the caller to return.
    bool refuse(const std::string& why);
    std::uint8_t nextOperand();

    bool runWrittenRequest(std::int32_t replyWaitMs, bool needsReply);
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

    VcpReading held_;
    // Per-column values kept by the mode-table save.
    std::array<VcpReading, kSavedColumns> saved_{};
    // Image position of the next operand of the command being executed.
    std::uint16_t operandCursor_ = 0;
    // Image position of the command being executed, for the notes.
    std::uint16_t commandPosition_ = 0;
    // The request being built: room for the longest payload.
    std::array<std::uint8_t, kMaxPayload + 4> request_{};
    StepWatcher stepWatcher_;
    link::MonitorLink& link_;
    const ModelDescription& model_;
    const link::ProgramFlags& flags_;
    platform::Clock& clock_;
};

}  // namespace velmora::model
