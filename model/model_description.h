#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/monitor_identity.h"
#include "link/reply_mode.h"
#include "model/bounded_text.h"
#include "model/compile_trace.h"
#include "model/timing_tables.h"

namespace velmora::model {

// What one item code does (see item_table.cpp for the meaning per kind).
struct ItemEntry {
    std::int16_t kind = 0;
    std::int16_t arg = 0;
    std::int16_t ref = 0;
    bool operator==(const ItemEntry&) const = default;
};

inline constexpr std::size_t kNameFieldLength = 31;

// A display name for an item code, from a KEY directive.
struct KeyName {
    BoundedText<kNameFieldLength> name;
    std::int32_t code = 0;
};

// A label or constant; its value is read back as an unsigned 16-bit number.
struct Symbol {
    BoundedText<kNameFieldLength> name;
    std::int32_t value = 0;
};

// The compiled form of one model file: its settings, symbols, emitted image,
// item table and decoded timings, with the readers of the image. One
// instance is owned by the application and compiled in place on every model
// selection and Reload; ModelCompiler does the compiling, and the compile
// operations here hand the description to it.
class ModelDescription {
public:
    static constexpr std::size_t kModelPathCapacity = 255;
    static constexpr std::size_t kModelNameCapacity = 100;
    static constexpr std::size_t kTimingTextCapacity = 255;
    static constexpr std::size_t kKeyNameCapacity = 200;
    static constexpr std::size_t kItemCount = 256;
    static constexpr std::size_t kTimingCapacity = 32;
    static constexpr std::size_t kImageCapacity = 2000;
    static constexpr std::size_t kSymbolCapacity = 1000;
    static constexpr std::size_t kLabelLength = 49;
    static constexpr std::size_t kStatementLength = 299;
    static constexpr std::size_t kCommentLength = 299;
    static constexpr std::size_t kServiceSlotCount = 28;
    static constexpr std::size_t kErrorTextCapacity = 32768;
    // lookupSymbol's "not found"; also bit 15 of an expression naming a missing name.
    static constexpr std::uint16_t kNotFound = 0x8000;

    std::string modelPath;
    std::string modelName;
    double version = 0.0;
    std::int32_t oldVersion = 0;
    std::string timingFamily;
    std::string timingLabel;
    std::uint8_t timingOffset = 0;
    std::array<KeyName, kKeyNameCapacity> keyNames{};
    std::uint16_t keyNameCount = 0;
    std::array<ItemEntry, kItemCount> itemTable{};
    // Up to 32 timings, ended by an entry whose hFreqKHz is 0.0.
    std::array<TimingEntry, kTimingCapacity + 1> timingEntries{};
    std::array<std::uint8_t, kImageCapacity> modelImage{};
    std::uint16_t locationCounter = 0;
    std::array<Symbol, kSymbolCapacity> symbolTable{};
    std::int32_t symbolCount = 0;

    // Compile error report: set and appended by the compiler, shown and
    // cleared by whoever started the compile.
    bool errorFlag = false;
    std::string errorText;

    // The reply mode a PROTOCOL directive chose in the last compile; nothing
    // when the model has no such directive (the link keeps its mode).
    std::optional<link::ReplyMode> protocolReplyMode;

    // The monitors the model is made for, from its [EDID,MFG,PRODUCT]
    // directives: factory requests go to no other monitor unasked.
    std::array<link::MonitorIdentity, link::kMaxModelMonitors> monitors{};
    std::size_t monitorCount = 0;
    [[nodiscard]] std::span<const link::MonitorIdentity> monitorIdentities() const { return {monitors.data(), monitorCount}; }

    // --- compiling: each hands the description to a ModelCompiler ---
    // Reads and compiles the file named by modelPath. 1 when the file was
    // read whole and compiled (compile faults are in the error report), 0
    // when it could not be read; the description is then left unchanged.
    [[nodiscard]] int loadModelFile();
    // Compiles a model text exactly as loadModelFile does after reading it.
    void compileText(std::string_view text);
    // Why the last loadModelFile returned 0 (empty after a success).
    const std::string& lastLoadFailure() const { return lastLoadFailure_; }

    std::int32_t evaluateExpression(std::string_view text);
    std::uint16_t lookupSymbol(std::string_view name);
    std::int32_t parseNumber(std::string_view text);
    int readDirective(std::string_view comment);

    // --- readers ---
    // Payload position of the first chunk with this identifier, walking the
    // chunk chain from position 0 and never beyond the written image.
    std::optional<std::uint16_t> findChunk(std::uint8_t id) const;
    // Name reference of the command at an image position.
    std::uint16_t nameReference(std::uint16_t position) const;

    // Number of adjustment pages: the first byte of chunk 02, 2 without it.
    int pageCount() const;
    // Decoded timings before the end mark.
    std::size_t timingCount() const;

    // Where the last compile's reports, bytes, symbols and directives came
    // from in the source (for tools that point authors at their lines).
    const CompileTrace& compileTrace() const { return trace_; }

    // Bytes emitted by the last compile (the image is cleared before each).
    std::size_t imageLength() const;
    // The image byte at a position; 0 outside the written image.
    std::uint8_t imageByte(std::size_t position) const;
    // The zero-terminated text at a position, never reaching past the
    // written image; empty outside it.
    std::string_view imageText(std::size_t position) const;
    // The 16-bit value stored low byte first at a position.
    std::uint16_t imageWord(std::size_t position) const;

private:
    // The compiler fills the record, its report and its trace.
    friend class ModelCompiler;

    std::string lastLoadFailure_;
    bool imageFull_ = false;  // the last compile ran past the image's capacity
    // The report reached its capacity; kept until its reader empties the text.
    bool errorTextFull_ = false;
    CompileTrace trace_;
};

}  // namespace velmora::model
