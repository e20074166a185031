// The two passes over a model text: pass 1 gives every label its address or
// constant, pass 2 emits the db/dw bytes into the model image and reads the
// directives in comments. The post-processing steps follow.
#include <string>

#include "model/model_description.h"
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

}  // namespace

int ModelDescription::LoadModelFile() {
    lastLoadFailure_.clear();
    if (modelPath.size() > kModelPathCapacity) {
        lastLoadFailure_ = "model path longer than " + std::to_string(kModelPathCapacity) + " characters";
        return 0;
    }
    const platform::FileRead file = platform::readWholeFile(modelPath);
    if (!file.ok) {
        lastLoadFailure_ = file.failure;
        return 0;
    }
    if (file.bytes.empty()) {
        lastLoadFailure_ = modelPath + ": the file is empty";
        return 0;
    }
    CompileText(file.bytes);
    return 1;
}

void ModelDescription::CompileText(std::string_view text) {
    resetForCompile();
    runPass(text, Pass::Addresses);
    runPass(text, Pass::Bytes);
    currentLineText_ = {};
    // Reports of the timing decoding concern the TIMING directive.
    currentLine_ = trace_.timingDirectiveLine();
    DecodeTimings();
    currentLine_ = 0;
    BuildItemTable();
    RegisterServiceKeys();
    RegisterServiceItems();
}

void ModelDescription::resetForCompile() {
    version = 0.0;
    locationCounter = 0;
    symbolCount = 0;
    oldVersion = 0;
    modelName.clear();
    timingLabel.clear();
    timingFamily.clear();
    timingOffset = 0;
    keyNameCount = 0;
    protocolReplyMode.reset();
    // A fresh image: bytes of the previous model must not show through
    // beyond the end of this one.
    modelImage.fill(0);
    symbolIndex_.clear();
    imageFull_ = false;
    symbolTableFullReported_ = false;
    currentLine_ = 0;
    currentLineText_ = {};
    trace_.clear();
}

void ModelDescription::runPass(std::string_view text, Pass pass) {
    locationCounter = 0;
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
            const std::uint16_t address = locationCounter;
            emitLine(line);
            trace_.recordEmission(currentLine_, address, static_cast<std::uint16_t>(locationCounter - address));
        }
    }
}

void ModelDescription::countLine(const SourceLine& line) {
    if (line.statementTooLong) {
        reportLineError("statement longer than " + std::to_string(kStatementLength) +
                    " characters is ignored\n");
    }
    if (line.label.empty() && line.statement.empty()) return;

    StatementFields fields(line.statement);
    const Keyword keyword = classify(fields.next());
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
                reportError(duplicated, line.label);
                return;
            }
            defineSymbol(line.label, ParseNumber(valueText));
            return;
        } else {
            defineSymbol(line.label, locationCounter);
        }
    }
    if (keyword == Keyword::Define || keyword == Keyword::Set) return;

    std::size_t count = 0;
    const std::size_t slots = operandSlots(line.statement);
    for (std::size_t i = 0; i < slots; ++i) count += operandWidth(fields.next());

    switch (keyword) {
    case Keyword::Db:
        locationCounter = static_cast<std::uint16_t>(locationCounter + count);
        break;
    case Keyword::Dw:
        locationCounter = static_cast<std::uint16_t>(locationCounter + 2 * count);
        break;
    case Keyword::Other:
        reportError(duplicated, line.label);
        break;
    default:
        break;
    }
}

void ModelDescription::emitLine(const SourceLine& line) {
    if (line.commentTooLong) {
        reportLineError("comment longer than " + std::to_string(kCommentLength) +
                    " characters is ignored\n");
    }
    if (!line.comment.empty()) ReadDirective(line.comment);
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
            emitByte(static_cast<std::uint8_t>(EvaluateExpression(operand) & 0xFF));
        } else {
            const auto word = static_cast<std::uint16_t>(EvaluateExpression(operand) & 0xFFFF);
            emitByte(static_cast<std::uint8_t>(word & 0xFF));
            emitByte(static_cast<std::uint8_t>(word >> 8));
        }
    }
}

void ModelDescription::defineSymbol(std::string_view label, std::int32_t value) {
    if (static_cast<std::size_t>(symbolCount) >= kSymbolCapacity) {
        if (!symbolTableFullReported_) {
            symbolTableFullReported_ = true;
            reportLineError("symbol table full (" + std::to_string(kSymbolCapacity) +
                        " symbols): label " + std::string(label) + " and later ones are not defined\n");
        }
        return;
    }
    Symbol& symbol = symbolTable[static_cast<std::size_t>(symbolCount)];
    symbol.name.assign(label);
    symbol.value = value;
    symbolIndex_.add(label, static_cast<std::size_t>(symbolCount));
    trace_.recordSymbolDefinition(static_cast<std::size_t>(symbolCount), currentLine_);
    ++symbolCount;
}

void ModelDescription::emitByte(std::uint8_t value) {
    if (!imageFull_ && locationCounter < kImageCapacity) {
        modelImage[locationCounter] = value;
    } else if (!imageFull_) {
        // Once full, nothing more is written, even if the counter wraps.
        imageFull_ = true;
        reportLineError("model image full (" + std::to_string(kImageCapacity) +
                    " bytes): later bytes are not written\n");
    }
    locationCounter = static_cast<std::uint16_t>(locationCounter + 1);
}

void ModelDescription::writeTerminator() {
    if (!imageFull_ && locationCounter < kImageCapacity) modelImage[locationCounter] = 0;
}

}  // namespace velmora::model
