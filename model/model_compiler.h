#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/model_description.h"
#include "model/symbol_index.h"

namespace velmora::model {

struct SourceLine;

// Compiles a model text into a ModelDescription: the two passes over the
// lines, the directives, expressions and symbols, then the post-processing
// steps (timing decoding, item table, service keys and items). It owns the
// working state of a compile (current line, symbol index, the "image full"
// and "symbol table full" marks) and writes the error report; the
// description keeps only what the compile produced.
//
// A compiler lives for one operation on one description; making one indexes
// the symbols the description already holds, so that a lookup after a
// compile finds them.
class ModelCompiler {
public:
    explicit ModelCompiler(ModelDescription& model);
    ModelCompiler(const ModelCompiler&) = delete;
    ModelCompiler& operator=(const ModelCompiler&) = delete;

    // Reads and compiles the file named by the description's modelPath. 1
    // when the file was read whole and compiled (compile faults are in the
    // error report), 0 when it could not be read; the description is then
    // left unchanged.
    [[nodiscard]] int loadModelFile();
    // Compiles a model text exactly as loadModelFile does after reading it.
    void compileText(std::string_view text);

    std::int32_t evaluateExpression(std::string_view text);
    std::uint16_t lookupSymbol(std::string_view name);
    std::int32_t parseNumber(std::string_view text);
    int readDirective(std::string_view comment);

    void buildItemTable();
    void registerServiceKeys();
    void registerServiceItems();
    int decodeTimings();

private:
    enum class Pass { Addresses, Bytes };

    // Appends one message to the error report and sets the flag; the trace
    // records it with the current line, and with the column of `subject`
    // (the offending text) when that is found in the line.
    void reportError(std::string_view message, std::string_view subject = {});
    // A fault whose error report keeps its established words while the
    // placed report says what is wrong in words of its own.
    void reportError(std::string_view message, std::string_view placedText, std::string_view subject);
    // The same for messages that carry "line N: " in the error report.
    void reportLineError(std::string_view message);
    // A report found after the passes, about the bytes at an image position.
    void reportErrorAtPosition(std::size_t position, std::string_view message);
    // Records a directive's concern (empty: none) as a warning of the line.
    void warnAboutDirective(const std::string& concern);
    void appendToErrorText(std::string_view message);
    void resetForCompile();
    void runPass(std::string_view text, Pass pass);
    void countLine(const SourceLine& line);
    void emitLine(const SourceLine& line);
    void defineSymbol(std::string_view label, std::int32_t value);
    void emitByte(std::uint8_t value);
    void writeTerminator();
    std::string linePrefix() const;
    void storeKeyName(std::int32_t code, std::string_view name);
    void cutUpSuffix(std::uint16_t position);
    std::optional<std::uint8_t> takeServiceSlot();

    ModelDescription& model_;
    SymbolIndex symbolIndex_;
    bool symbolTableFullReported_ = false;
    int currentLine_ = 0;  // source line being compiled, 0 outside a compile
    std::string_view currentLineText_;  // its text, while the passes run
};

}  // namespace velmora::model
