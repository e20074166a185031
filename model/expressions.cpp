// Numbers, names and the +/- expressions of db, dw and KEY operands.
#include <string>

#include "model/builtin_names.h"
#include "model/hex_text.h"
#include "model/model_compiler.h"
#include "model/text_rules.h"

namespace velmora::model {

std::int32_t ModelCompiler::parseNumber(std::string_view text) {
    if (!text.empty() && (text.back() == 'h' || text.back() == 'H')) {
        text.remove_suffix(1);
        return static_cast<std::int32_t>(parseHexText(text));
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            std::string message(text);
            message += " is not decimal number\n";
            reportError(message, text);
            break;
        }
    }
    return leadingInteger(text);
}

std::uint16_t ModelCompiler::lookupSymbol(std::string_view name) {
    // Labels are unique without regard to case, so at most one row can match
    // the name exactly; it is the one the case-folded index finds.
    if (const auto row = symbolIndex_.findIgnoringCase(name)) {
        const Symbol& symbol = model_.symbolTable[*row];
        if (symbol.name.view() == name) {
            model_.trace_.recordSymbolUse(*row);
            return static_cast<std::uint16_t>(symbol.value);
        }
    }
    if (const auto value = findBuiltinName(name)) return *value;
    // A model may leave the two service blocks out.
    if (name == "SERVICE_KEY" || name == "SERVICE_VCP") return ModelDescription::kNotFound;
    std::string message(name);
    message += " is not found \n";
    reportError(message, name);
    return ModelDescription::kNotFound;
}

std::int32_t ModelCompiler::evaluateExpression(std::string_view text) {
    if (text.empty()) return 0;
    // Unsigned arithmetic: a sum that leaves 32 bits wraps instead of being undefined.
    std::uint32_t sum = 0;
    std::size_t start = 0;
    bool negateFirst = false;
    if (text.front() == '-') {
        negateFirst = true;
        start = 1;
    }
    char joiner = '+';
    bool first = true;
    while (true) {
        const std::size_t end = text.find_first_of("+-", start);
        const std::string_view term =
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        const bool isNumber = !term.empty() && term.front() >= '0' && term.front() <= '9';
        const std::uint32_t value =
            isNumber ? static_cast<std::uint32_t>(parseNumber(term)) : lookupSymbol(term);
        if (first) {
            sum = negateFirst ? 0u - value : value;
            first = false;
        } else {
            sum = joiner == '+' ? sum + value : sum - value;
        }
        if (end == std::string_view::npos) break;
        joiner = text[end];
        start = end + 1;
    }
    return static_cast<std::int32_t>(sum);
}

}  // namespace velmora::model
