#include "apps/velmora-jigctl/jigctl_output.h"

#include <algorithm>
#include <array>
#include <vector>

#include "tools/crt_on_time.h"
#include "tools/memory_dialog_common.h"
#include "model/image_layout.h"
#include "model/item_kinds.h"
#include "model/item_names.h"

namespace velmora::apps::jigctl {

using namespace velmora::tools;

namespace {

constexpr std::array<std::string_view, console::kPageCount> kPageNames{"Geometry", "Color", "Extra 1",
                                                                        "Extra 2"};
constexpr std::size_t kItemNameColumn = 32;
constexpr std::size_t kCodeColumn = 6;
constexpr int kListPageBytes = 256;
constexpr std::size_t kTimingLeftColumn = 34;

std::vector<std::string> lines(std::string_view text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            result.emplace_back(text.substr(start));
            break;
        }
        result.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) text.resize(width, ' ');
    return text;
}

}  // namespace

void StreamMessageSink::showMessage(std::string_view text, std::string_view caption) {
    const bool result = caption == kSuccessCaption || caption == kCrtOnTimeCaption;
    if (result) {
        out_ << text << "\n";
        return;
    }
    // A message of several lines keeps its prefix on each.
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (!line.empty()) err_ << "velmora-jigctl: " << command_ << ": " << line << "\n";
        start = end + 1;
    }
}

ProgramLineStream::LineBuffer::int_type ProgramLineStream::LineBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (traits_type::to_char_type(c) != '\n') {
        line_ += traits_type::to_char_type(c);
        return c;
    }
    constexpr std::string_view platformPrefix = "velmora: ";
    std::string_view line = line_;
    if (line.starts_with(platformPrefix)) line.remove_prefix(platformPrefix.size());
    target_ << "velmora-jigctl: " << line << "\n";
    line_.clear();
    return c;
}

std::string terminalText(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        result += text[i];
    }
    return result;
}

std::vector<int> functionItemCodes(int page, const model::ModelDescription& model) {
    std::vector<int> codes;
    const int first = page * console::kEntriesPerPage;
    for (int item = first; item < first + console::kEntriesPerPage; ++item) {
        const model::ItemEntry& entry = model.itemTable[static_cast<std::size_t>(item)];
        if (model::isFunctionKind(entry.kind) && !model::functionName(model, entry).empty()) codes.push_back(item);
    }
    return codes;
}

std::string pageListsText(int page, const console::PageLists& lists, std::span<const int> functionItems) {
    const bool known = page >= 0 && page < console::kPageCount;
    std::string text = std::string(known ? kPageNames[static_cast<std::size_t>(page)] : "?") + "\n";
    text += "  Items\n";
    for (const auto& item : lists.items) {
        const std::string code =
            model::isServiceMemoryKind(item.kind)
                ? std::to_string(model::memoryItemPage(item.kind, item.code)) + ":" +
                      console::hexByte(static_cast<std::uint16_t>(item.code) % kListPageBytes)
                : console::hexByte(item.code);
        text += "    " + padded(code, kCodeColumn) + padded(item.name, kItemNameColumn) +
                console::valueText(item.current) + "\n";
    }
    text += "  Functions\n";
    for (std::size_t i = 0; i < lists.functions.size(); ++i) {
        const std::string code = i < functionItems.size() ? console::hexByte(functionItems[i]) : "--";
        text += "    " + padded(code, kCodeColumn) + lists.functions[i].text + "\n";
    }
    return text;
}

std::string presetTimingText(const PresetTimingTexts& texts) {
    std::string text = texts.modelName + "\n";
    text += padded(std::string(kTimingLeftHeading), kTimingLeftColumn) + std::string(kTimingRightHeading) + "\n";
    const auto left = lines(texts.left);
    const auto right = lines(texts.right);
    for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
        std::string line = i < left.size() ? left[i] : std::string();
        if (i < right.size() && !right[i].empty()) line = padded(line, kTimingLeftColumn) + right[i];
        text += line + "\n";
    }
    return text;
}

}  // namespace velmora::apps::jigctl
