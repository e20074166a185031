// The commands of the model image and the built-in factory functions.
#include <cstdio>
#include <string>
#include <vector>

#include "model/feature_interpreter.h"
#include "model/image_layout.h"
#include "model/monitor_requests.h"

namespace velmora::model {

using namespace request;

namespace {

// One mode-table descriptor of chunk 05 or 06.
struct ModeTable {
    std::uint8_t columns = 0;
    std::uint8_t rows = 0;
    std::uint16_t codes = 0;
    std::uint16_t table = 0;
    std::uint16_t modes = 0;
};

bool liesInside(const ModelDescription& model, std::size_t position, std::size_t count) {
    return position + count <= model.imageLength();
}

std::string hexText(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*Xh", digits, value);
    return text;
}

std::string chunkText(std::uint8_t id) { return "chunk " + hexText(id, 2).substr(0, 2); }

}  // namespace

bool FeatureInterpreter::operandsAvailable(std::size_t count) {
    if (liesInside(model_, operandCursor_, count)) return true;
    return refuse("the operands of the command at " + hexText(commandPosition_, 4) +
                  " run past the end of the model image (" + std::to_string(model_.imageLength()) + " bytes)");
}

bool FeatureInterpreter::refuse(const std::string& why) {
    // Written as a line of its own, so that it cannot be read as bus traffic.
    link_.appendText("NOTE: " + why + ", nothing is sent\r\n");
    return false;
}

std::uint8_t FeatureInterpreter::nextOperand() { return model_.imageByte(operandCursor_++); }

bool FeatureInterpreter::runScript(std::span<const std::uint16_t> positions) {
    for (std::uint16_t position : positions) {
        const std::uint8_t opcode = model_.imageByte(position);
        if (position == 0 || opcode == 0) continue;
        operandCursor_ = static_cast<std::uint16_t>(position + 1);
        commandPosition_ = position;
        if (!runCommand(opcode)) return false;
    }
    return true;
}

bool FeatureInterpreter::runScriptAt(std::uint16_t countPosition) {
    const std::uint8_t count = model_.imageByte(countPosition);
    if (!liesInside(model_, countPosition + 1u, 2u * count)) {
        return refuse("the " + std::to_string(count) + " command positions of the script at " +
                      hexText(countPosition, 4) + " run past the end of the model image");
    }
    std::vector<std::uint16_t> positions;
    for (std::size_t i = 0; i < count; ++i) {
        positions.push_back(model_.imageWord(countPosition + 1 + 2 * i));
    }
    return runScript(positions);
}

bool FeatureInterpreter::runItem(std::int16_t kind, std::int16_t arg) {
    if (kind == item_kind::Script || kind == item_kind::ServiceKey) {
        return runScriptAt(static_cast<std::uint16_t>(arg));
    }
    return runCommand(static_cast<std::uint8_t>(kind & 0xFF));
}

bool FeatureInterpreter::runCommand(std::uint8_t opcode) {
    switch (opcode) {
    case opcode::SetVcp: {
        if (!operandsAvailable(2)) return false;
        const std::uint8_t code = nextOperand();
        const std::uint8_t value = nextOperand();
        if (!setVcp(code, value)) return false;
        wait(kSettleWaitMs);
        // A control the monitor clamps reads back its maximum.
        return readVcpHeld(code) && (held_.current == value || held_.current == held_.maximum);
    }
    case opcode::SetVcpUp:
    case opcode::SetVcpDown:
    case opcode::Sound:
        return true;
    case opcode::SetReply:
        return runWrittenRequest(kServiceWaitMs, true);
    case opcode::SetVcpOnly: {
        if (!operandsAvailable(2)) return false;
        const std::uint8_t code = nextOperand();
        return setVcp(code, nextOperand());
    }
    case opcode::Delay: {
        if (!operandsAvailable(2)) return false;
        const std::uint8_t a = nextOperand();
        wait(a * nextOperand());
        return true;
    }
    case opcode::UserTable:
        return runUserTable();
    case opcode::UserTableS:
        return runUserTableToMode();
    case opcode::TestVcp:
        return runTestVcp();
    case opcode::TestColor:
        return runTestColor();
    case opcode::SetOnly:
        return runWrittenRequest(kNoReply, false);
    case opcode::ModeSave:
        return sendServiceCommand(model_.oldVersion != 0 ? kModeSaveOld : kModeSave);
    case opcode::UserDelete2:
        return runUserDelete2();
    case opcode::StandardColorDump:
        return runStandardDump(chunk::StandardColor);
    case opcode::AllColorSave:
        return runModeTableSave(chunk::AllColor);
    case opcode::StandardModeDump:
        return runStandardDump(chunk::StandardGeometry);
    case opcode::ColorSave:
        return sendServiceCommand(kColorSave);
    case opcode::AllModeSave:
        return runModeTableSave(chunk::AllGeometry);
    case opcode::UserDelete:
        return sendServiceCommand(kUserDelete);
    case opcode::Channel1:
    case opcode::Channel2:
    case opcode::Channel3:
    case opcode::Channel4:
        return runChannel(static_cast<std::uint8_t>(opcode - opcode::Channel1));
    case opcode::Degauss:
        return runDegauss();
    default:
        return refuse("opcode " + hexText(opcode, 2) + " is no command");
    }
}

bool FeatureInterpreter::refuseUserTable(std::size_t count, std::size_t room) {
    return refuse("the user table of " + std::to_string(count) + " values is longer than a request can hold (" +
                  std::to_string(room) + ")");
}

// __SET_REPLY and __SETONLY: a request written out in the script, length
// byte first, sent as it stands.
bool FeatureInterpreter::runWrittenRequest(std::int32_t replyWaitMs, bool needsReply) {
    if (!operandsAvailable(1)) return false;
    const std::uint8_t lengthByte = nextOperand();
    const std::size_t length = lengthByte & 0x7F;
    if (!operandsAvailable(length)) return false;
    link::Request written = link::Request::withLengthByte(lengthByte);
    for (std::size_t i = 0; i < length; ++i) (void)written.append(nextOperand());
    const link::ReplyView reply = send(written, replyWaitMs);
    if (!needsReply) return reply.received();
    return serviceAccepted(reply);
}

// __USER_TBL (v, n, p, n values): the user table of VCP v, values relative to
// the monitor's present value.
bool FeatureInterpreter::runUserTable() {
    if (!operandsAvailable(3)) return false;
    const std::uint8_t code = nextOperand();
    const std::size_t count = nextOperand() & 0x7F;
    const std::uint8_t parameter = nextOperand();
    if (!operandsAvailable(count)) return false;
    if (count + 4 > kMaxPayload) return refuseUserTable(count, kMaxPayload - 4);
    if (code != kNoVcp && !readVcpHeld(code)) return false;
    link::Request table{kUserTableOpcode, kUserTableSubCode, code, parameter};
    for (std::size_t i = 0; i < count; ++i) (void)table.append(relativeValue(code, held_, nextOperand()));
    return serviceAccepted(send(table, kServiceWaitMs));
}

// __USER_TBL_S (v, n, mode, n values): one table request for a mode.
bool FeatureInterpreter::runUserTableToMode() {
    if (!operandsAvailable(3)) return false;
    const std::uint8_t code = nextOperand();
    const std::size_t count = nextOperand() & 0x7F;
    const std::uint8_t mode = nextOperand();
    if (!operandsAvailable(count)) return false;
    if (count + 2 > kMaxPayload) return refuseUserTable(count, kMaxPayload - 2);
    if (code != kNoVcp && !readVcpHeld(code)) return false;
    std::vector<std::uint8_t> values;
    for (std::size_t i = 0; i < count; ++i) values.push_back(relativeValue(code, held_, nextOperand()));
    return sendTableRequest(mode, values);
}

// __TESTVCP (v, d, n, n values): steps VCP v through the values, d x 10 ms apart.
bool FeatureInterpreter::runTestVcp() {
    if (!operandsAvailable(3)) return false;
    const std::uint8_t code = nextOperand();
    const std::uint8_t delay = nextOperand();
    const std::size_t count = nextOperand() & 0x7F;
    if (!operandsAvailable(count)) return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (!setVcp(code, nextOperand())) return false;
        wait(delay * kScriptDelayUnitMs);
    }
    return true;
}

// __TESTCOLOR (d): all cut-offs and gains to 0, then each in turn to full
// while the one before it goes back to 0.
bool FeatureInterpreter::runTestColor() {
    if (!operandsAvailable(1)) return false;
    const std::uint8_t delay = nextOperand();
    for (std::uint8_t code : kTestColors) {
        if (!setVcp(code, 0)) return false;
        wait(kStepWaitMs);
    }
    for (std::size_t i = 0; i < kTestColors.size(); ++i) {
        if (!setVcp(kTestColors[i], 0xFF)) return false;
        wait(kStepWaitMs);
        if (!setVcp(kTestColors[(i + 5) % kTestColors.size()], 0)) return false;
        wait(delay * kScriptDelayUnitMs);
    }
    return true;
}

bool FeatureInterpreter::runChannel(std::uint8_t channel) {
    if (model_.oldVersion != 0) {
        return sendServiceCommand(static_cast<std::uint8_t>(kChannelOneOld - 2 * channel));
    }
    if (!setVcp(kColorChannel, channel)) return false;
    wait(kSettleWaitMs);
    return readVcpHeld(kColorChannel) && held_.current == channel;
}

bool FeatureInterpreter::runUserDelete2() {
    if (!sendServiceCommand(kUserDelete)) return false;
    if (!setVcp(kBrightness, 0xFF)) return false;
    wait(kUserDeleteWaitMs);
    return readVcpHeld(kBrightness) && (held_.current == 0xFF || held_.current == held_.maximum);
}

bool FeatureInterpreter::runDegauss() {
    // Both steps are sent whatever the first gave; the outcome is not judged.
    (void)setVcp(kDegaussStep1, 1);
    wait(kStepWaitMs);
    (void)setVcp(kDegaussStep2, 1);
    return true;
}

// Chunk 03/04: count n, position of n VCP codes, position of n values.
bool FeatureInterpreter::runStandardDump(std::uint8_t chunkId) {
    const auto chunkAt = model_.findChunk(chunkId);
    if (!chunkAt) return true;
    const std::uint8_t count = model_.imageByte(*chunkAt);
    const std::uint16_t codes = model_.imageWord(*chunkAt + 1u);
    const std::uint16_t values = model_.imageWord(*chunkAt + 3u);
    if (!liesInside(model_, *chunkAt, 5) || !liesInside(model_, codes, count) ||
        !liesInside(model_, values, count)) {
        return refuse(chunkText(chunkId) + ": its codes or values lie past the end of the model image");
    }
    reportSteps(0, count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t code = model_.imageByte(codes + i);
        const std::uint8_t value = model_.imageByte(values + i);
        if (!setVcp(code, value)) return false;
        wait(kStepWaitMs);
        if (!readVcpHeld(code) || (held_.current != value && held_.current != held_.maximum)) return false;
        wait(kStepWaitMs);
        reportSteps(i + 1, count);
    }
    return true;
}

// Chunk 05/06: count m, then m descriptors of 8 bytes. Every mode's values are
// offsets to the monitor's present values of the columns' controls; each
// mode's corrected values go to the monitor in one table request.
bool FeatureInterpreter::runModeTableSave(std::uint8_t chunkId) {
    const auto chunkAt = model_.findChunk(chunkId);
    if (!chunkAt) return true;
    const std::uint8_t count = model_.imageByte(*chunkAt);
    if (!liesInside(model_, *chunkAt + 1u, 8u * count)) {
        return refuse(chunkText(chunkId) + ": its " + std::to_string(count) +
                      " mode tables lie past the end of the model image");
    }

    // Every descriptor is checked before anything is sent. Each column read
    // and each mode's table request is one step of the progress.
    std::vector<ModeTable> tables;
    std::size_t steps = 0;
    for (std::size_t d = 0; d < count; ++d) {
        const std::size_t at = *chunkAt + 1 + 8 * d;
        ModeTable table{model_.imageByte(at), model_.imageByte(at + 1), model_.imageWord(at + 2),
                        model_.imageWord(at + 4), model_.imageWord(at + 6)};
        const std::string which = "mode table " + std::to_string(d + 1) + " of " + chunkText(chunkId);
        if (table.columns > kSavedColumns) {
            return refuse(which + " has " + std::to_string(table.columns) + " columns, at most " +
                          std::to_string(kSavedColumns) + " can be sent");
        }
        if (!liesInside(model_, table.codes, table.columns) ||
            !liesInside(model_, table.table, std::size_t{table.columns} * table.rows) ||
            !liesInside(model_, table.modes, table.rows)) {
            return refuse(which + ": its codes, values or mode numbers lie past the end of the model image");
        }
        tables.push_back(table);
        for (std::size_t j = 0; j < table.columns; ++j) {
            if (model_.imageByte(table.codes + j) != kNoVcp) ++steps;
        }
        steps += table.rows;
    }

    std::size_t done = 0;
    reportSteps(done, steps);
    for (const ModeTable& table : tables) {
        for (std::size_t j = 0; j < table.columns; ++j) {
            const std::uint8_t code = model_.imageByte(table.codes + j);
            if (code == kNoVcp) continue;
            if (!readVcpHeld(code)) return false;
            saved_[j] = held_;
            reportSteps(++done, steps);
        }
        for (std::size_t i = 0; i < table.rows; ++i) {
            std::vector<std::uint8_t> values;
            for (std::size_t j = 0; j < table.columns; ++j) {
                // A column's value is also the held one afterwards, as if read last.
                held_ = saved_[j];
                values.push_back(relativeValue(model_.imageByte(table.codes + j), held_,
                                               model_.imageByte(table.table + i * table.columns + j)));
            }
            if (!sendTableRequest(model_.imageByte(table.modes + i), values)) return false;
            wait(kStepWaitMs);
            reportSteps(++done, steps);
        }
    }
    return true;
}

}  // namespace velmora::model
