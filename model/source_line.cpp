#include "model/source_line.h"

#include <algorithm>

#include "model/model_description.h"
#include "model/text_rules.h"

namespace velmora::model {

namespace {

// Outside single quotes the first run of blanks becomes one comma (it
// separates the keyword from its operands) and later runs vanish; inside
// quotes every character is kept.
void normaliseStatement(std::string_view raw, std::string& out) {
    out.clear();
    bool inQuote = false;
    bool inBlankRun = false;
    bool firstRunSeen = false;
    for (char c : raw) {
        if (inQuote) {
            out += c;
            if (c == '\'') inQuote = false;
            continue;
        }
        if (isBlank(c)) {
            if (!firstRunSeen && !inBlankRun) out += ',';
            inBlankRun = true;
            continue;
        }
        if (inBlankRun) {
            firstRunSeen = true;
            inBlankRun = false;
        }
        if (c == '\'') inQuote = true;
        out += c;
    }
}

}  // namespace

void splitLine(std::string_view line, SourceLine& out) {
    out.label = {};
    out.statement.clear();
    out.comment = {};
    out.labelTooLong = out.statementTooLong = out.commentTooLong = false;
    if (line.empty() || line.front() == '$') return;

    std::size_t i = 0;
    if (line.front() != ';' && !isBlank(line.front())) {
        while (i < line.size() && !isBlank(line[i])) ++i;
        out.label = line.substr(0, i);
        if (out.label.back() == ':') out.label.remove_suffix(1);
        out.labelTooLong = out.label.size() > kNameFieldLength;
        if (out.label.size() > ModelDescription::kLabelLength) {
            out.label = out.label.substr(0, ModelDescription::kLabelLength);
        }
    }
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i >= line.size()) return;

    const std::size_t semicolon = line.find(';', i);
    const std::string_view raw =
        line.substr(i, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - i);
    normaliseStatement(raw, out.statement);
    if (out.statement.size() > ModelDescription::kStatementLength) {
        out.statement.clear();
        out.statementTooLong = true;
    }
    if (semicolon != std::string_view::npos) {
        out.comment = line.substr(semicolon + 1);
        if (out.comment.size() > ModelDescription::kCommentLength) {
            out.comment = {};
            out.commentTooLong = true;
        }
    }
}

bool LineWalker::next(std::string_view& line) {
    if (position_ >= text_.size()) return false;
    const std::size_t lineFeed = text_.find('\n', position_);
    if (lineFeed == std::string_view::npos) return false;
    const std::size_t following = lineFeed + 1;
    if (following >= text_.size()) return false;
    line = text_.substr(position_, lineFeed - position_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    position_ = following;
    ++lineNumber_;
    return true;
}

void StatementFields::skipCommas() {
    while (position_ < text_.size() && text_[position_] == ',') ++position_;
}

std::string_view StatementFields::next() {
    const std::size_t start = position_;
    const std::size_t comma = text_.find(',', start);
    position_ = comma == std::string_view::npos ? text_.size() : comma;
    const std::string_view field = text_.substr(start, position_ - start);
    skipCommas();
    return field;
}

std::size_t operandSlots(std::string_view statement) {
    return static_cast<std::size_t>(std::count(statement.begin(), statement.end(), ','));
}

}  // namespace velmora::model
