// Bracketed directives in comments: [MODEL,..], [PROTOCOL,..], [TIMING,..],
// [VER,..], [KEY,..] and [EDID,..] (the monitors the model is made for).
#include <optional>
#include <string>

#include "model/model_compiler.h"
#include "model/text_rules.h"

namespace velmora::model {

namespace {

constexpr auto npos = std::string_view::npos;

// The parts of "[keyword,first,second,third]" as the directive finder sees
// them: only commas before the closing bracket count, and arguments are
// taken exactly as written, blanks included.
struct DirectiveParts {
    std::string keyword;          // blanks removed
    std::string_view arguments;   // everything between the first comma and ']'
    std::string_view first;       // to the second comma or ']'
    std::string_view second;      // to the third comma or ']'
    std::string_view third;       // from the third comma to ']'
    std::string_view afterSecondComma;  // from the second comma to ']', further commas included
    bool hasSecondComma = false;
    bool hasThirdComma = false;
};

std::optional<DirectiveParts> findDirective(std::string_view comment) {
    const std::size_t open = comment.find('[');
    const std::size_t close = comment.find(']');
    if (open == npos || close == npos || close < open) return std::nullopt;
    const std::size_t comma1 = comment.find(',', open);
    if (comma1 == npos || comma1 > close) return std::nullopt;
    std::size_t comma2 = comment.find(',', comma1 + 1);
    if (comma2 != npos && comma2 > close) comma2 = npos;
    std::size_t comma3 = npos;
    if (comma2 != npos) {
        comma3 = comment.find(',', comma2 + 1);
        if (comma3 != npos && comma3 > close) comma3 = npos;
    }
    const auto between = [&](std::size_t from, std::size_t to) { return comment.substr(from + 1, to - from - 1); };

    DirectiveParts parts;
    for (char c : between(open, comma1)) {
        if (!isBlank(c)) parts.keyword += c;
    }
    parts.arguments = between(comma1, close);
    parts.hasSecondComma = comma2 != npos;
    parts.hasThirdComma = comma3 != npos;
    parts.first = between(comma1, parts.hasSecondComma ? comma2 : close);
    if (parts.hasSecondComma) {
        parts.second = between(comma2, parts.hasThirdComma ? comma3 : close);
        parts.afterSecondComma = between(comma2, close);
    }
    if (parts.hasThirdComma) parts.third = between(comma3, close);
    return parts;
}

// Whether a directive's argument starts with a number after leading
// blanks, as the VER directive reads it.
bool startsWithNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i < text.size() && text[i] == '.') ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// Why a PROTOCOL argument may not say what its author meant; empty when it
// names a protocol. Arguments that begin with DDC2Bi select MasterRead,
// every other one SlaveReceive; DDC2B and SLAVE are the names model files
// give that mode (a blank before them changes nothing).
std::string protocolConcern(std::string_view argument) {
    if (startsWithIgnoringCase(argument, "DDC2Bi") || equalsIgnoringCase(argument, "DDC2B") ||
        equalsIgnoringCase(argument, "SLAVE")) {
        return {};
    }
    const std::string quoted = "PROTOCOL \"" + std::string(argument) + "\"";
    std::string_view trimmed = argument;
    while (!trimmed.empty() && isBlank(trimmed.front())) trimmed.remove_prefix(1);
    if (trimmed.size() < argument.size()) {
        if (!startsWithIgnoringCase(trimmed, "DDC2Bi")) return {};
        return quoted + " begins with a blank, so it is not DDC2Bi: the monitor is taken to reply as bus master "
                        "(SlaveReceive); write [PROTOCOL,DDC2Bi] without the blank";
    }
    return quoted + " is not known: the monitor is taken to reply as bus master (SlaveReceive); "
                    "valid: DDC2Bi (MasterRead), DDC2B or SLAVE (SlaveReceive)";
}

// Why a TIMING offset may not be the byte its author meant; empty when it is.
std::string timingOffsetConcern(std::string_view argument) {
    std::size_t i = 0;
    while (i < argument.size() && isBlank(argument[i])) ++i;
    if (i < argument.size() && (argument[i] == '+' || argument[i] == '-')) ++i;
    if (i == argument.size() || argument[i] < '0' || argument[i] > '9') {
        return "TIMING offset \"" + std::string(argument) + "\" is not a decimal number: 0 is used";
    }
    const std::int32_t offset = leadingInteger(argument);
    if (offset < 0 || offset > 0xFF) {
        return "TIMING offset " + std::to_string(offset) + " is outside 0 to 255: its low 8 bits (" +
               std::to_string(offset & 0xFF) + ") are used";
    }
    return {};
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// "VLM" and "1734" (or 1734h, 0x1734): three letters, up to four hex digits.
std::optional<link::MonitorIdentity> parseMonitorIdentity(std::string_view maker, std::string_view product) {
    maker = trimmed(maker);
    product = trimmed(product);
    if (maker.size() != 3) return std::nullopt;
    link::MonitorIdentity identity;
    for (std::size_t i = 0; i < 3; ++i) {
        const char letter = static_cast<char>(maker[i] & ~0x20);
        if (letter < 'A' || letter > 'Z') return std::nullopt;
        identity.manufacturer[i] = letter;
    }
    if (product.starts_with("0x") || product.starts_with("0X")) product.remove_prefix(2);
    else if (!product.empty() && (product.back() == 'h' || product.back() == 'H')) product.remove_suffix(1);
    if (product.empty() || product.size() > 4) return std::nullopt;
    unsigned value = 0;
    for (const char c : product) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : -1;
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    identity.product = static_cast<std::uint16_t>(value);
    return identity;
}

}  // namespace

void ModelCompiler::warnAboutDirective(const std::string& concern) {
    if (!concern.empty()) model_.trace_.addWarning(currentLine_, concern);
}

int ModelCompiler::readDirective(std::string_view comment) {
    const std::optional<DirectiveParts> parts = findDirective(comment);
    if (!parts) return 0;
    const std::string& keyword = parts->keyword;

    // A keyword names a directive when it begins with the directive's name,
    // so [Version,0.9] is a VER directive.
    if (startsWithIgnoringCase(keyword, "MODEL")) {
        model_.modelName.assign(parts->arguments.substr(0, ModelDescription::kModelNameCapacity));
        return 1;
    }
    if (startsWithIgnoringCase(keyword, "PROTOCOL")) {
        model_.protocolReplyMode = startsWithIgnoringCase(parts->arguments, "DDC2Bi") ? link::ReplyMode::MasterRead
                                                                               : link::ReplyMode::SlaveReceive;
        warnAboutDirective(protocolConcern(parts->arguments));
        return 1;
    }
    if (startsWithIgnoringCase(keyword, "TIMING")) {
        model_.trace_.recordTimingDirective(currentLine_);
        if (parts->hasSecondComma) {
            if (parts->first.size() > ModelDescription::kTimingTextCapacity) {
                reportLineError("TIMING family longer than " + std::to_string(ModelDescription::kTimingTextCapacity) +
                            " characters is ignored\n");
            } else {
                model_.timingFamily.assign(parts->first);
            }
        }
        if (parts->hasThirdComma) {
            if (parts->second.size() > ModelDescription::kTimingTextCapacity) {
                reportLineError("TIMING label longer than " + std::to_string(ModelDescription::kTimingTextCapacity) +
                            " characters is ignored\n");
            } else {
                model_.timingLabel.assign(parts->second);
            }
            model_.timingOffset = static_cast<std::uint8_t>(leadingInteger(parts->third) & 0xFF);
            warnAboutDirective(timingOffsetConcern(parts->third));
        }
        return 1;
    }
    if (startsWithIgnoringCase(keyword, "VER")) {
        model_.version = leadingFloat(parts->arguments);
        model_.oldVersion = model_.version < 1.0 ? 1 : 0;
        if (!startsWithNumber(parts->arguments)) {
            warnAboutDirective("VER \"" + std::string(parts->arguments) +
                               "\" is not a number: version 0 is used, which selects the older command forms");
        }
        return 1;
    }
    if (startsWithIgnoringCase(keyword, "EDID")) {
        const std::optional<link::MonitorIdentity> identity = parseMonitorIdentity(parts->first, parts->second);
        if (!identity || !parts->hasSecondComma) {
            warnAboutDirective("EDID \"" + std::string(parts->arguments) +
                               "\" is ignored: write [EDID,VLM,1734], the EDID's three-letter manufacturer code and "
                               "its product code in hexadecimal");
            return 0;
        }
        if (model_.monitorCount == model_.monitors.size()) {
            warnAboutDirective("EDID " + link::identityText(*identity) + " is ignored: a model names at most " +
                               std::to_string(model_.monitors.size()) + " monitors");
            return 0;
        }
        model_.monitors[model_.monitorCount++] = *identity;
        return 1;
    }
    if (startsWithIgnoringCase(keyword, "KEY")) {
        if (!parts->hasSecondComma) return 0;
        const std::int32_t code = evaluateExpression(parts->first);
        if (code & ModelDescription::kNotFound) return 0;
        if (model_.keyNameCount >= ModelDescription::kKeyNameCapacity) {
            reportLineError("key name table full (" + std::to_string(ModelDescription::kKeyNameCapacity) + " names): " +
                        std::string(parts->afterSecondComma) + " is not stored\n");
            return 0;
        }
        storeKeyName(code, parts->afterSecondComma);
        return 1;
    }
    return 0;
}

void ModelCompiler::storeKeyName(std::int32_t code, std::string_view name) {
    model_.trace_.recordKeyName(model_.keyNameCount, currentLine_);
    KeyName& entry = model_.keyNames[model_.keyNameCount];
    if (!entry.name.assign(name)) {
        reportLineError("key name " + std::string(name) + " cut to " + std::to_string(kNameFieldLength) +
                    " characters\n");
    }
    entry.code = code;
    ++model_.keyNameCount;
}

}  // namespace velmora::model
