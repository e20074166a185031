// The two passes over a model text: pass 1 gives every label its address or
// constant, pass 2 emits the db/dw bytes into the model image and reads the
// directives in comments. The post-processing steps follow. Then the error
// report the compile writes.
#include "model/model_compiler.h"

#include <string>

#include "model/source_line.h"
#include "model/text_rules.h"
#include "platform/files.h"

namespace velmora::model {

namespace {

enum class Keyword { None, Db, Dw, Define, Set, Public, End, Other };

Keyword classify(std::string_view field) {
    if (field.empty()) return Keyword::None;
    if (equalsIgnoringCase(field, "db")) return Keyword::Db;
    if (equalsIgnoringCase(field, "dw")) return Keyword::Dw;
    if (equalsIgnoringCase(field, "define")) return Keyword::Define;
    if (equalsIgnoringCase(field, "set")) return Keyword::Set;
    if (equalsIgnoringCase(field, "public")) return Keyword::Public;
    if (equalsIgnoringCase(field, "end")) return Keyword::End;
    return Keyword::Other;
}

bool isQuoted(std::string_view operand) { return !operand.empty() && operand.front() == '\''; }

// The characters between a quoted operand's first and last character.
std::string_view quotedText(std::string_view operand) {
    return operand.size() < 2 ? std::string_view{} : operand.substr(1, operand.size() - 2);
}

// Bytes a db operand adds: one, or one per character of a quoted string.
std::size_t operandWidth(std::string_view operand) {
    return isQuoted(operand) ? quotedText(operand).size() : 1;
}

bool isNameCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// 1-based column of `subject` in a line: its first occurrence that stands
// apart from neighbouring name characters; 0 when there is none.
int columnOf(std::string_view line, std::string_view subject) {
    if (subject.empty()) return 0;
    for (std::size_t at = line.find(subject); at != std::string_view::npos; at = line.find(subject, at + 1)) {
        const std::size_t end = at + subject.size();
        const bool apartBefore = at == 0 || !isNameCharacter(line[at - 1]) || !isNameCharacter(subject.front());
        const bool apartAfter = end >= line.size() || !isNameCharacter(line[end]) || !isNameCharacter(subject.back());
        if (apartBefore && apartAfter) return static_cast<int>(at + 1);
    }
    return 0;
}

}  // namespace

ModelCompiler::ModelCompiler(ModelDescription& model) : model_(model) {
    for (std::int32_t row = 0; row < model_.symbolCount; ++row) {
        const auto at = static_cast<std::size_t>(row);
        symbolIndex_.add(model_.symbolTable[at].name.view(), at);
    }
}

int ModelCompiler::loadModelFile() {
    model_.lastLoadFailure_.clear();
    if (model_.modelPath.size() > ModelDescription::kModelPathCapacity) {
        model_.lastLoadFailure_ =
            "model path longer than " + std::to_string(ModelDescription::kModelPathCapacity) + " characters";
        return 0;
    }
    const platform::FileRead file = platform::readWholeFile(model_.modelPath);
    if (!file.ok) {
        model_.lastLoadFailure_ = file.failure;
        return 0;
    }
    if (file.bytes.empty()) {
        model_.lastLoadFailure_ = model_.modelPath + ": the file is empty";
        return 0;
    }
    compileText(file.bytes);
    return 1;
}

void ModelCompiler::compileText(std::string_view text) {
    resetForCompile();
    runPass(text, Pass::Addresses);
    runPass(text, Pass::Bytes);
    currentLineText_ = {};
    // Reports of the timing decoding concern the TIMING directive.
    currentLine_ = model_.trace_.timingDirectiveLine();
    decodeTimings();
    currentLine_ = 0;
    buildItemTable();
    registerServiceKeys();
    registerServiceItems();
}

void ModelCompiler::resetForCompile() {
    model_.version = 0.0;
    model_.locationCounter = 0;
    model_.symbolCount = 0;
    model_.oldVersion = 0;
    model_.modelName.clear();
    model_.timingLabel.clear();
    model_.timingFamily.clear();
    model_.timingOffset = 0;
    model_.keyNameCount = 0;
    model_.protocolReplyMode.reset();
    model_.monitorCount = 0;
    // A fresh image: bytes of the previous model must not show through
    // beyond the end of this one.
    model_.modelImage.fill(0);
    symbolIndex_.clear();
    model_.imageFull_ = false;
    symbolTableFullReported_ = false;
    currentLine_ = 0;
    currentLineText_ = {};
    model_.trace_.clear();
}

void ModelCompiler::runPass(std::string_view text, Pass pass) {
    model_.locationCounter = 0;
    LineWalker walker(text);
    SourceLine line;
    std::string_view raw;
    while (walker.next(raw)) {
        currentLine_ = walker.lineNumber();
        currentLineText_ = raw;
        splitLine(raw, line);
        if (pass == Pass::Addresses) {
            countLine(line);
        } else {
            const std::uint16_t address = model_.locationCounter;
            emitLine(line);
            model_.trace_.recordEmission(currentLine_, address,
                                         static_cast<std::uint16_t>(model_.locationCounter - address));
        }
    }
}

void ModelCompiler::countLine(const SourceLine& line) {
    if (line.statementTooLong) {
        reportLineError("statement longer than " + std::to_string(ModelDescription::kStatementLength) +
                    " characters is ignored\n");
    }
    if (line.label.empty() && line.statement.empty()) return;

    StatementFields fields(line.statement);
    const std::string_view keywordText = fields.next();
    const Keyword keyword = classify(keywordText);
    // The error report gives these words for every line pass 1 refuses.
    const std::string duplicated = std::string(line.label) + " is duplicated \n";

    if (!line.label.empty()) {
        if (line.labelTooLong) {
            reportLineError("label " + std::string(line.label) + " is longer than " +
                        std::to_string(kNameFieldLength) + " characters and is not defined\n");
        } else if (symbolIndex_.findIgnoringCase(line.label)) {
            reportError(duplicated, line.label);
            return;
        } else if (keyword == Keyword::Define || keyword == Keyword::Set) {
            const std::string_view valueText = fields.next();
            if (valueText.empty()) {
                reportError(duplicated,
                            std::string(keywordText) + " without a value: " + std::string(line.label) +
                                " is not defined",
                            line.label);
                return;
            }
            defineSymbol(line.label, parseNumber(valueText));
            return;
        } else {
            defineSymbol(line.label, model_.locationCounter);
        }
    }
    if (keyword == Keyword::Define || keyword == Keyword::Set) return;

    std::size_t count = 0;
    const std::size_t slots = operandSlots(line.statement);
    for (std::size_t i = 0; i < slots; ++i) count += operandWidth(fields.next());

    switch (keyword) {
    case Keyword::Db:
        model_.locationCounter = static_cast<std::uint16_t>(model_.locationCounter + count);
        break;
    case Keyword::Dw:
        model_.locationCounter = static_cast<std::uint16_t>(model_.locationCounter + 2 * count);
        break;
    case Keyword::Other:
        reportError(duplicated,
                    "unknown keyword " + std::string(keywordText) +
                        ": the line is ignored (valid: db, dw, define, set, public, end)",
                    keywordText);
        break;
    default:
        break;
    }
}

void ModelCompiler::emitLine(const SourceLine& line) {
    if (line.commentTooLong) {
        reportLineError("comment longer than " + std::to_string(ModelDescription::kCommentLength) +
                    " characters is ignored\n");
    }
    if (!line.comment.empty()) readDirective(line.comment);
    if (line.statement.empty()) return;

    StatementFields fields(line.statement);
    const Keyword keyword = classify(fields.next());
    if (keyword != Keyword::Db && keyword != Keyword::Dw) return;

    // One operand per comma; a statement with fewer fields than commas
    // evaluates the missing ones as empty (0).
    const std::size_t slots = operandSlots(line.statement);
    for (std::size_t i = 0; i < slots; ++i) {
        const std::string_view operand = fields.next();
        if (keyword == Keyword::Db && isQuoted(operand)) {
            for (char c : quotedText(operand)) emitByte(static_cast<std::uint8_t>(c));
            // Strings carry a terminating zero that the next byte overwrites.
            writeTerminator();
        } else if (keyword == Keyword::Db) {
            emitByte(static_cast<std::uint8_t>(evaluateExpression(operand) & 0xFF));
        } else {
            const auto word = static_cast<std::uint16_t>(evaluateExpression(operand) & 0xFFFF);
            emitByte(static_cast<std::uint8_t>(word & 0xFF));
            emitByte(static_cast<std::uint8_t>(word >> 8));
        }
    }
}

void ModelCompiler::defineSymbol(std::string_view label, std::int32_t value) {
    if (static_cast<std::size_t>(model_.symbolCount) >= ModelDescription::kSymbolCapacity) {
        if (!symbolTableFullReported_) {
            symbolTableFullReported_ = true;
            reportLineError("symbol table full (" + std::to_string(ModelDescription::kSymbolCapacity) +
                        " symbols): label " + std::string(label) + " and later ones are not defined\n");
        }
        return;
    }
    Symbol& symbol = model_.symbolTable[static_cast<std::size_t>(model_.symbolCount)];
    symbol.name.assign(label);
    symbol.value = value;
    symbolIndex_.add(label, static_cast<std::size_t>(model_.symbolCount));
    model_.trace_.recordSymbolDefinition(static_cast<std::size_t>(model_.symbolCount), currentLine_);
    ++model_.symbolCount;
}

void ModelCompiler::emitByte(std::uint8_t value) {
    if (!model_.imageFull_ && model_.locationCounter < ModelDescription::kImageCapacity) {
        model_.modelImage[model_.locationCounter] = value;
    } else if (!model_.imageFull_) {
        // Once full, nothing more is written, even if the counter wraps.
        model_.imageFull_ = true;
        reportLineError("model image full (" + std::to_string(ModelDescription::kImageCapacity) +
                    " bytes): later bytes are not written\n");
    }
    model_.locationCounter = static_cast<std::uint16_t>(model_.locationCounter + 1);
}

void ModelCompiler::writeTerminator() {
    if (!model_.imageFull_ && model_.locationCounter < ModelDescription::kImageCapacity) {
        model_.modelImage[model_.locationCounter] = 0;
    }
}

void ModelCompiler::reportError(std::string_view message, std::string_view subject) {
    model_.trace_.addDiagnostic(currentLine_, columnOf(currentLineText_, subject), message);
    appendToErrorText(message);
}

void ModelCompiler::reportError(std::string_view message, std::string_view placedText, std::string_view subject) {
    model_.trace_.addDiagnostic(currentLine_, columnOf(currentLineText_, subject), placedText);
    appendToErrorText(message);
}

void ModelCompiler::reportLineError(std::string_view message) {
    model_.trace_.addDiagnostic(currentLine_, 0, message);
    appendToErrorText(linePrefix() + std::string(message));
}

void ModelCompiler::reportErrorAtPosition(std::size_t position, std::string_view message) {
    model_.trace_.addDiagnostic(model_.trace_.lineOfPosition(position), 0, message);
    appendToErrorText(message);
}

void ModelCompiler::appendToErrorText(std::string_view message) {
    model_.errorFlag = true;
    // The reader of the report empties the text; a new report starts then.
    if (model_.errorTextFull_ && !model_.errorText.empty()) return;
    model_.errorTextFull_ = false;
    if (model_.errorText.size() + message.size() > ModelDescription::kErrorTextCapacity) {
        // A broken file can produce a message per line; keep the report readable.
        model_.errorText += "(further errors are not listed)\n";
        model_.errorTextFull_ = true;
        return;
    }
    model_.errorText.append(message);
}

std::string ModelCompiler::linePrefix() const {
    return currentLine_ > 0 ? "line " + std::to_string(currentLine_) + ": " : std::string();
}

}  // namespace velmora::model
