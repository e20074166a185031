#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::model {

// One report of a compile with the place it comes from. `line` is 1-based,
// 0 when the report belongs to no line; `column` is 1-based, 0 when unknown.
// `text` is the report without the line prefix and the line end that the
// error text carries.
struct SourceDiagnostic {
    int line = 0;
    int column = 0;
    std::string text;
};

// The bytes one processed source line emitted in the second pass: `length`
// bytes from `address` (a line without db/dw emits none).
struct LineEmission {
    int line = 0;
    std::uint16_t address = 0;
    std::uint16_t length = 0;
};

// What a compile records about where things came from in the source: the
// line and column of each report, the address and bytes of each line, where
// each symbol was defined and how often it was used, and the lines of the
// TIMING and KEY directives. The error text that the console shows is kept
// apart and stays as it is; tools for model authors read this record.
class CompileTrace {
public:
    static constexpr std::size_t kDiagnosticCapacity = 1000;
    static constexpr std::size_t kLineCapacity = 100000;
    static constexpr std::size_t kSymbolCapacity = 1000;
    static constexpr std::size_t kKeyNameCapacity = 200;
    static constexpr std::size_t kWarningCapacity = 100;

    void clear();

    void addDiagnostic(int line, int column, std::string_view text);
    // Reports beyond the capacity are counted, not kept.
    std::size_t droppedDiagnostics() const { return droppedDiagnostics_; }
    const std::vector<SourceDiagnostic>& diagnostics() const { return diagnostics_; }

    // A directive whose value the compile takes in a way the author may not
    // mean (an unknown PROTOCOL, a VER that is no number). Not an error: the
    // file compiles as before. Warnings beyond the capacity are not kept.
    void addWarning(int line, std::string_view text);
    const std::vector<SourceDiagnostic>& warnings() const { return warnings_; }

    void recordEmission(int line, std::uint16_t address, std::size_t length);
    const std::vector<LineEmission>& emissions() const { return emissions_; }
    // The line whose bytes hold an image position (the last line that wrote
    // it); 0 when no line did.
    int lineOfPosition(std::size_t position) const;

    void recordSymbolDefinition(std::size_t row, int line);
    void recordSymbolUse(std::size_t row);
    int symbolLine(std::size_t row) const;
    std::size_t symbolUses(std::size_t row) const;

    void recordTimingDirective(int line) { timingDirectiveLine_ = line; }
    // Line of the last TIMING directive, 0 without one.
    int timingDirectiveLine() const { return timingDirectiveLine_; }
    void recordKeyName(std::size_t row, int line);
    int keyNameLine(std::size_t row) const;

private:
    std::vector<SourceDiagnostic> diagnostics_;
    std::size_t droppedDiagnostics_ = 0;
    std::vector<SourceDiagnostic> warnings_;
    std::vector<LineEmission> emissions_;
    std::vector<int> symbolLines_;
    std::vector<std::size_t> symbolUses_;
    std::vector<int> keyNameLines_;
    int timingDirectiveLine_ = 0;
};

}  // namespace velmora::model
