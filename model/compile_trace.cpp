#include "model/compile_trace.h"

namespace velmora::model {

namespace {

std::string_view trimmedRight(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

void CompileTrace::clear() {
    diagnostics_.clear();
    droppedDiagnostics_ = 0;
    warnings_.clear();
    emissions_.clear();
    symbolLines_.clear();
    symbolUses_.clear();
    keyNameLines_.clear();
    timingDirectiveLine_ = 0;
}

void CompileTrace::addDiagnostic(int line, int column, std::string_view text) {
    if (diagnostics_.size() >= kDiagnosticCapacity) {
        ++droppedDiagnostics_;
        return;
    }
    diagnostics_.push_back({line, column, std::string(trimmedRight(text))});
}

void CompileTrace::addWarning(int line, std::string_view text) {
    if (warnings_.size() < kWarningCapacity) warnings_.push_back({line, 0, std::string(text)});
}

void CompileTrace::recordEmission(int line, std::uint16_t address, std::size_t length) {
    if (emissions_.size() >= kLineCapacity) return;
    emissions_.push_back({line, address, static_cast<std::uint16_t>(length)});
}

int CompileTrace::lineOfPosition(std::size_t position) const {
    for (auto it = emissions_.rbegin(); it != emissions_.rend(); ++it) {
        if (position >= it->address && position < std::size_t{it->address} + it->length) return it->line;
    }
    return 0;
}

void CompileTrace::recordSymbolDefinition(std::size_t row, int line) {
    if (row >= kSymbolCapacity) return;
    if (symbolLines_.size() <= row) {
        symbolLines_.resize(row + 1, 0);
        symbolUses_.resize(row + 1, 0);
    }
    symbolLines_[row] = line;
    symbolUses_[row] = 0;
}

void CompileTrace::recordSymbolUse(std::size_t row) {
    if (row < symbolUses_.size()) ++symbolUses_[row];
}

int CompileTrace::symbolLine(std::size_t row) const { return row < symbolLines_.size() ? symbolLines_[row] : 0; }

std::size_t CompileTrace::symbolUses(std::size_t row) const {
    return row < symbolUses_.size() ? symbolUses_[row] : 0;
}

void CompileTrace::recordKeyName(std::size_t row, int line) {
    if (row >= kKeyNameCapacity) return;
    if (keyNameLines_.size() <= row) keyNameLines_.resize(row + 1, 0);
    keyNameLines_[row] = line;
}

int CompileTrace::keyNameLine(std::size_t row) const { return row < keyNameLines_.size() ? keyNameLines_[row] : 0; }

}  // namespace velmora::model
