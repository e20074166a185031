// Bracketed directives in comments: [MODEL,..], [PROTOCOL,..], [TIMING,..],
// [VER,..] and [KEY,..].
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

}  // namespace

int ModelCompiler::ReadDirective(std::string_view comment) {
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
        }
        return 1;
    }
    if (startsWithIgnoringCase(keyword, "VER")) {
        model_.version = leadingFloat(parts->arguments);
        model_.oldVersion = model_.version < 1.0 ? 1 : 0;
        return 1;
    }
    if (startsWithIgnoringCase(keyword, "KEY")) {
        if (!parts->hasSecondComma) return 0;
        const std::int32_t code = EvaluateExpression(parts->first);
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
