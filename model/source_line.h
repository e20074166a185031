#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::model {

// The fields of one model file line. Views point into the model text and
// live as long as it does.
struct SourceLine {
    std::string_view label;   // without its trailing ':'
    std::string statement;    // normalised: "db  A, B" becomes "db,A,B"
    std::string_view comment; // after the first ';'
    bool labelTooLong = false;      // longer than a symbol name may be
    bool statementTooLong = false;  // refused; `statement` is left empty
    bool commentTooLong = false;    // refused; `comment` is left empty
};

// Splits one line (without its line feed or the carriage return before it)
// into label, statement and comment. A line that starts with '$' gives
// empty fields.
void splitLine(std::string_view line, SourceLine& out);

// Walks the lines of a model text. A line is given out only when a line
// feed ends it and at least one byte follows that line feed, so the last
// line of a text is never processed.
class LineWalker {
public:
    explicit LineWalker(std::string_view text) : text_(text) {}
    // The next line to process, without its line feed and the carriage
    // return before it; false at the end of the pass.
    bool next(std::string_view& line);
    // 1-based number of the line last given out.
    int lineNumber() const { return lineNumber_; }

private:
    std::string_view text_;
    std::size_t position_ = 0;
    int lineNumber_ = 0;
};

// Reads the comma-separated fields of a normalised statement: leading commas
// are skipped, a field runs to the next comma, and the commas after it are
// skipped. Commas split quoted strings too.
class StatementFields {
public:
    explicit StatementFields(std::string_view statement) : text_(statement) { skipCommas(); }
    // The next field; empty when none is left.
    std::string_view next();
    bool atEnd() const { return position_ >= text_.size(); }

private:
    void skipCommas();
    std::string_view text_;
    std::size_t position_ = 0;
};

// Number of commas in a statement: the number of operands a db or dw line
// has after its keyword.
std::size_t operandSlots(std::string_view statement);

}  // namespace velmora::model
