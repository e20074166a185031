#include "model/model_warnings.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>

#include "model/builtin_names.h"
#include "model/feature_interpreter.h"
#include "model/image_layout.h"
#include "model/timing_tables.h"

namespace velmora::model {

namespace {

constexpr std::size_t kModeTableDescriptorBytes = 8;
constexpr std::uint8_t kServiceKeyEnd = 0xFF;
// Room of a request after the fixed bytes of the two user table requests.
constexpr std::size_t kUserTableRoom = FeatureInterpreter::kMaxPayload - 4;
constexpr std::size_t kModeUserTableRoom = FeatureInterpreter::kMaxPayload - 2;

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*Xh", digits, value);
    return text;
}

class WarningFinder {
public:
    WarningFinder(const ModelDescription& model, WarningOptions options)
        : model_(model), trace_(model.compileTrace()), options_(options) {}

    std::vector<ModelWarning> run() {
        checkModeTables(chunk::AllGeometry, "05 (__ALL_GD)");
        checkModeTables(chunk::AllColor, "06 (__ALL_COLOR)");
        checkScripts();
        checkVcpList();
        checkKeyNames();
        checkTiming();
        if (options_.unusedLabels) checkUnusedSymbols();
        for (const SourceDiagnostic& concern : trace_.warnings()) {
            warnings_.push_back({concern.line, concern.text, false});
        }
        std::stable_sort(warnings_.begin(), warnings_.end(),
                         [](const ModelWarning& a, const ModelWarning& b) { return a.line < b.line; });
        return std::move(warnings_);
    }

private:
    void warn(int line, std::string text) { warnings_.push_back({line, std::move(text)}); }
    void warnAt(std::size_t position, std::string text) { warn(trace_.lineOfPosition(position), std::move(text)); }
    bool inside(std::size_t position, std::size_t count) const { return position + count <= model_.imageLength(); }

    // The mode-table save refuses a descriptor whose columns exceed what it
    // keeps per column, or whose lists lie outside the image.
    void checkModeTables(std::uint8_t id, const std::string& chunkName) {
        const auto payload = model_.findChunk(id);
        if (!payload) return;
        const std::size_t count = model_.imageByte(*payload);
        for (std::size_t d = 0; d < count; ++d) {
            const std::size_t at = *payload + 1 + kModeTableDescriptorBytes * d;
            const std::string which = "mode table " + std::to_string(d + 1) + " of chunk " + chunkName;
            if (!inside(at, kModeTableDescriptorBytes)) {
                warnAt(*payload, which + ": its descriptor lies past the end of the image");
                return;
            }
            const std::size_t columns = model_.imageByte(at);
            const std::size_t rows = model_.imageByte(at + 1);
            if (columns > FeatureInterpreter::kSavedColumns) {
                warnAt(at, which + " has " + std::to_string(columns) + " columns: the save sends at most " +
                               std::to_string(FeatureInterpreter::kSavedColumns));
            }
            if (!inside(model_.imageWord(at + 2), columns) || !inside(model_.imageWord(at + 4), columns * rows) ||
                !inside(model_.imageWord(at + 6), rows)) {
                warnAt(at, which + ": its codes, values or mode numbers lie past the end of the image");
            }
        }
    }

    // Every script of chunk 08 and of the SERVICE_KEY block, position by position.
    void checkScripts() {
        if (const auto payload = model_.findChunk(chunk::Key)) {
            std::size_t entry = *payload;
            while (entry < model_.imageLength() && model_.imageByte(entry) != kItemListEnd) {
                const std::size_t count = model_.imageByte(entry + 1);
                checkPositions(entry + 2, count);
                entry += 2 + 2 * count;
            }
        }
        const auto block = findSymbol("SERVICE_KEY");
        if (!block || model_.imageByte(*block) == 0) return;
        std::size_t record = *block;
        while (record < model_.imageLength() && model_.imageByte(record) != kServiceKeyEnd) {
            const std::size_t countPosition = record + model_.imageText(record).size() + 1;
            const std::size_t count = model_.imageByte(countPosition);
            checkPositions(countPosition + 1, count);
            record = countPosition + 1 + 2 * count;
        }
    }

    void checkPositions(std::size_t first, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t wordAt = first + 2 * i;
            const std::uint16_t position = model_.imageWord(wordAt);
            if (!inside(wordAt, 2)) {
                warnAt(first, "the script's command positions run past the end of the image");
                return;
            }
            if (position >= model_.imageLength()) {
                warnAt(wordAt, "command position " + hex(position, 4) + " lies outside the written image (" +
                                   std::to_string(model_.imageLength()) + " bytes)");
            } else if (position == 0 || model_.imageByte(position) == 0) {
                warnAt(wordAt, "command position " + hex(position, 4) +
                                   (position == 0 ? " is 0" : " points at a zero byte") +
                                   ": the command is passed over");
            } else if (checkedCommands_.insert(position).second) {
                checkCommand(position);
            }
        }
    }

    void checkCommand(std::size_t at) {
        const std::uint8_t code = model_.imageByte(at);
        const auto operand = [&](std::size_t i) { return model_.imageByte(at + 1 + i); };
        const std::optional<std::size_t> length = commandBytes(code, operand);
        switch (code) {
        case opcode::UserTable:
        case opcode::UserTableS: {
            const std::size_t values = operand(1) & 0x7F;
            const std::size_t room = code == opcode::UserTable ? kUserTableRoom : kModeUserTableRoom;
            if (values > room) {
                warnAt(at, "user table of " + std::to_string(values) + " values is longer than a request can hold (" +
                               std::to_string(room) + ")");
            }
            break;
        }
        case opcode::StandardColorDump:
            needChunk(at, chunk::StandardColor, "STND COLOR DUMP", "04 (__STD_COLOR)");
            break;
        case opcode::AllColorSave:
            needChunk(at, chunk::AllColor, "ALL COLOR SAVE", "06 (__ALL_COLOR)");
            break;
        case opcode::StandardModeDump:
            needChunk(at, chunk::StandardGeometry, "STND MODE DUMP", "03 (__STD_GD)");
            break;
        case opcode::AllModeSave:
            needChunk(at, chunk::AllGeometry, "ALL MODE SAVE", "05 (__ALL_GD)");
            break;
        default:
            if (!length && code != opcode::Sound && !isFunctionOpcode(code)) {
                warnAt(at, "command at " + hex(static_cast<unsigned>(at), 4) + " has opcode " + hex(code, 2) +
                               ", which no command has: RUN fails there");
                return;
            }
            break;
        }
        if (length && !inside(at, *length)) {
            warnAt(at, "the operands of the command at " + hex(static_cast<unsigned>(at), 4) +
                           " run past the end of the image");
        }
    }

    void needChunk(std::size_t at, std::uint8_t id, const char* function, const char* chunkName) {
        if (model_.findChunk(id)) return;
        warnAt(at, std::string(function) + " uses chunk " + chunkName + ", which the model lacks: it does nothing");
    }

    // The console lists an item once for every time chunk 07 names its code.
    void checkVcpList() {
        const auto payload = model_.findChunk(chunk::Vcp);
        if (!payload) return;
        const std::size_t count = model_.imageByte(*payload);
        std::set<std::uint8_t> seen;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = *payload + 1 + 2 * i;
            if (!inside(at, 1)) {
                warnAt(*payload, "chunk 07 (__VCP) lists " + std::to_string(count) +
                                     " codes but ends with the image after " + std::to_string(i));
                return;
            }
            const std::uint8_t code = model_.imageByte(at);
            if (!seen.insert(code).second) {
                warnAt(at, "VCP code " + hex(code, 2) + " is listed twice in chunk 07 (__VCP): the item list shows it twice");
            }
        }
    }

    void checkKeyNames() {
        for (std::size_t row = 0; row < model_.keyNameCount; ++row) {
            const KeyName& key = model_.keyNames[row];
            const bool exists = key.code >= 0 && static_cast<std::size_t>(key.code) < ModelDescription::kItemCount &&
                                model_.itemTable[static_cast<std::size_t>(key.code)].kind != item_kind::None;
            if (!exists) {
                warn(trace_.keyNameLine(row), "KEY name " + std::string(key.name.view()) + " is for item " +
                                                  hex(static_cast<unsigned>(key.code) & 0xFFFF, 2) +
                                                  ", which does not exist");
            }
        }
    }

    void checkTiming() {
        const auto payload = model_.findChunk(chunk::AllGeometry);
        const int line = trace_.timingDirectiveLine();
        if (line == 0) {
            if (payload) warnAt(*payload - 2, "chunk 05 (__ALL_GD) without a TIMING directive: no timings are listed");
            return;
        }
        if (model_.timingLabel.empty()) {
            warnings_.push_back({line, "TIMING directive without a family, label and offset: no timings are decoded",
                                 false});
            return;
        }
        if (!isTimingFamily(model_.timingFamily)) {
            warnings_.push_back({line,
                                 "TIMING family \"" + model_.timingFamily +
                                     "\" is not one whose modes are decoded (valid: " + timingFamilyNames() + ")",
                                 false});
            return;
        }
        if (!payload) {
            warn(line, "TIMING directive, but the model has no chunk 05 (__ALL_GD): no timings are decoded");
            return;
        }
        const auto table = findSymbol(model_.timingLabel);
        if (!table) return;  // the compile reported the missing name
        const std::size_t count = model_.imageByte(*payload);
        for (std::size_t d = 0; d < count; ++d) {
            if (model_.imageWord(*payload + 1 + kModeTableDescriptorBytes * d + 4) == *table) return;
        }
        warn(line, "TIMING label " + model_.timingLabel + " is no mode table of chunk 05 (__ALL_GD)");
    }

    void checkUnusedSymbols() {
        for (std::size_t row = 0; row < static_cast<std::size_t>(model_.symbolCount); ++row) {
            if (trace_.symbolUses(row) > 0) continue;
            warn(trace_.symbolLine(row),
                 "label " + std::string(model_.symbolTable[row].name.view()) + " is defined but never used");
        }
    }

    // A name's value as the compile sees it, without reporting anything.
    std::optional<std::uint16_t> findSymbol(std::string_view name) const {
        for (std::size_t row = 0; row < static_cast<std::size_t>(model_.symbolCount); ++row) {
            if (model_.symbolTable[row].name.view() == name) {
                return static_cast<std::uint16_t>(model_.symbolTable[row].value);
            }
        }
        if (name == "SERVICE_KEY" || name == "SERVICE_VCP") return std::nullopt;
        return findBuiltinName(name);
    }

    const ModelDescription& model_;
    const CompileTrace& trace_;
    WarningOptions options_;
    std::vector<ModelWarning> warnings_;
    std::set<std::size_t> checkedCommands_;
};

}  // namespace

std::vector<ModelWarning> findWarnings(const ModelDescription& model, WarningOptions options) {
    return WarningFinder(model, options).run();
}

}  // namespace velmora::model
