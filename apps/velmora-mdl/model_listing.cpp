#include "apps/velmora-mdl/model_listing.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "model/image_layout.h"
#include "model/item_kinds.h"
#include "model/item_names.h"

namespace velmora::apps::mdl {

using namespace velmora::model;

namespace {

constexpr std::size_t kBytesPerRow = 8;
constexpr std::size_t kItemsPerPage = 0x40;
constexpr std::size_t kServicePage = 2;

struct ListedLine {
    int number = 0;
    std::optional<std::uint16_t> address;  // none for a line the compile never processed
    std::vector<std::uint8_t> bytes;
    std::string_view text;
};

struct ListedChunk {
    std::uint8_t id = 0;
    std::uint16_t position = 0;
    std::uint8_t length = 0;
};

struct ListedItem {
    std::size_t code = 0;
    std::int16_t kind = 0;
    std::string shownIn;  // "items", "functions" or "none"
    std::string name;
};

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::vector<ListedLine> listLines(const ModelDescription& model, std::string_view source) {
    std::vector<ListedLine> lines;
    std::size_t start = 0;
    int number = 0;
    while (start < source.size()) {
        std::size_t end = source.find('\n', start);
        if (end == std::string_view::npos) end = source.size();
        std::string_view text = source.substr(start, end - start);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        lines.push_back({++number, std::nullopt, {}, text});
        start = end + 1;
    }
    for (const LineEmission& emission : model.compileTrace().emissions()) {
        if (emission.line < 1 || static_cast<std::size_t>(emission.line) > lines.size()) continue;
        ListedLine& line = lines[static_cast<std::size_t>(emission.line) - 1];
        line.address = emission.address;
        for (std::size_t i = 0; i < emission.length; ++i) {
            const std::size_t position = std::size_t{emission.address} + i;
            if (position >= model.imageLength()) break;
            line.bytes.push_back(model.modelImage[position]);
        }
    }
    return lines;
}

std::vector<ListedChunk> listChunks(const ModelDescription& model) {
    std::vector<ListedChunk> chunks;
    std::size_t position = 0;
    while (position + 1 < model.imageLength()) {
        const std::uint8_t length = model.modelImage[position + 1];
        chunks.push_back({model.modelImage[position], static_cast<std::uint16_t>(position), length});
        if (length == 0) break;
        position += length;
    }
    return chunks;
}

std::string_view chunkName(std::uint8_t id) {
    static constexpr std::string_view kNames[] = {"",         "__NAME",  "__PAGE", "__STD_GD",
                                                  "__STD_COLOR", "__ALL_GD", "__ALL_COLOR", "__VCP",
                                                  "__KEY",    "__AUTO",  "__MAX",  "__REV"};
    return id < std::size(kNames) && id > 0 ? kNames[id] : "?";
}

// Whether the console lists a VCP item: its page is shown, chunk 07 names its
// code, and it is the first entry of its page for that code.
bool vcpItemShown(const ModelDescription& model, std::size_t code) {
    const ItemEntry& entry = model.itemTable[code];
    if (entry.arg == kProtectedVcp) return false;
    const auto payload = model.findChunk(chunk::Vcp);
    if (!payload) return false;
    bool listed = false;
    for (std::size_t i = 0; i < model.imageByte(*payload) && !listed; ++i) {
        listed = model.imageByte(*payload + 1 + 2 * i) == entry.arg;
    }
    const std::size_t first = code / kItemsPerPage * kItemsPerPage;
    for (std::size_t other = first; other < code; ++other) {
        if (model.itemTable[other].kind == item_kind::VcpUp && model.itemTable[other].arg == entry.arg) return false;
    }
    return listed;
}

std::vector<ListedItem> listItems(const ModelDescription& model) {
    std::vector<ListedItem> items;
    const std::size_t pages = static_cast<std::size_t>(model.pageCount());
    for (std::size_t code = 0; code < ModelDescription::kItemCount; ++code) {
        const ItemEntry& entry = model.itemTable[code];
        if (entry.kind == item_kind::None) continue;
        ListedItem item{code, entry.kind, "none", {}};
        const bool pageShown = code / kItemsPerPage < pages;
        if (entry.kind == item_kind::VcpUp || entry.kind == item_kind::VcpDown) {
            item.name = vcpItemName(model, entry, static_cast<std::uint8_t>(entry.arg));
            if (pageShown && entry.kind == item_kind::VcpUp && vcpItemShown(model, code)) item.shownIn = "items";
        } else if (isServiceItemKind(entry.kind)) {
            item.name = model.imageText(static_cast<std::uint16_t>(entry.ref));
            if (pageShown && code / kItemsPerPage == kServicePage) item.shownIn = "items";
        } else {
            // The function list drops the leading blanks of the built-in
            // names; their trailing blanks do not show.
            const std::string name = functionName(model, entry);
            const std::size_t first = name.find_first_not_of(' ');
            if (first != std::string::npos) item.name = name.substr(first, name.find_last_not_of(' ') + 1 - first);
            if (pageShown && !item.name.empty()) item.shownIn = "functions";
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string bytesText(const std::vector<std::uint8_t>& bytes, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < bytes.size() && i < from + kBytesPerRow; ++i) {
        if (i > from) text += ' ';
        text += hex(bytes[i], 2);
    }
    return text;
}

}  // namespace

std::string listingText(const ModelDescription& model, std::string_view source) {
    std::string out = "LINE  ADDR  BYTES                    SOURCE\n";
    for (const ListedLine& line : listLines(model, source)) {
        std::string number = std::to_string(line.number);
        out += std::string(number.size() < 4 ? 4 - number.size() : 0, ' ') + number + "  ";
        out += line.address ? hex(*line.address, 4) : "    ";
        out += "  " + padded(bytesText(line.bytes, 0), 3 * kBytesPerRow) + " ";
        out += std::string(line.text) + "\n";
        for (std::size_t from = kBytesPerRow; from < line.bytes.size(); from += kBytesPerRow) {
            out += "            " + bytesText(line.bytes, from) + "\n";
        }
    }
    out += "\nSYMBOL                           VALUE  LINE\n";
    const CompileTrace& trace = model.compileTrace();
    for (std::size_t row = 0; row < static_cast<std::size_t>(model.symbolCount); ++row) {
        const Symbol& symbol = model.symbolTable[row];
        out += padded(std::string(symbol.name.view()), 32) + " " + hex(static_cast<std::uint16_t>(symbol.value), 4) +
               "h " + std::to_string(trace.symbolLine(row)) + "\n";
    }
    out += "\nCHUNK NAME         POSITION LENGTH\n";
    for (const ListedChunk& chunk : listChunks(model)) {
        out += padded(hex(chunk.id, 2) + "h", 6) + padded(std::string(chunkName(chunk.id)), 13) +
               padded(hex(chunk.position, 4) + "h", 9) +
               (chunk.length == 0 ? std::string("0 (last)") : std::to_string(chunk.length)) + "\n";
    }
    out += "\nITEM KIND LIST       NAME\n";
    for (const ListedItem& item : listItems(model)) {
        out += padded(hex(static_cast<unsigned>(item.code), 2) + "h", 5) +
               padded(hex(static_cast<std::uint16_t>(item.kind), 2) + "h", 5) + padded(item.shownIn, 11) +
               item.name + "\n";
    }
    return out;
}

nlohmann::json listingToJson(const ModelDescription& model, std::string_view source) {
    nlohmann::json lines = nlohmann::json::array();
    for (const ListedLine& line : listLines(model, source)) {
        nlohmann::json bytes = nlohmann::json::array();
        for (std::uint8_t byte : line.bytes) bytes.push_back(byte);
        lines.push_back({{"line", line.number},
                         {"address", line.address ? nlohmann::json(*line.address) : nlohmann::json()},
                         {"bytes", std::move(bytes)},
                         {"text", line.text}});
    }
    nlohmann::json symbols = nlohmann::json::array();
    for (std::size_t row = 0; row < static_cast<std::size_t>(model.symbolCount); ++row) {
        const Symbol& symbol = model.symbolTable[row];
        symbols.push_back({{"name", symbol.name.view()},
                           {"value", static_cast<std::uint16_t>(symbol.value)},
                           {"line", model.compileTrace().symbolLine(row)}});
    }
    nlohmann::json chunks = nlohmann::json::array();
    for (const ListedChunk& chunk : listChunks(model)) {
        chunks.push_back({{"id", chunk.id},
                          {"name", chunkName(chunk.id)},
                          {"position", chunk.position},
                          {"length", chunk.length}});
    }
    nlohmann::json items = nlohmann::json::array();
    for (const ListedItem& item : listItems(model)) {
        items.push_back({{"code", item.code},
                         {"kind", static_cast<std::uint16_t>(item.kind)},
                         {"list", item.shownIn},
                         {"name", item.name}});
    }
    return {{"lines", std::move(lines)}, {"symbols", std::move(symbols)}, {"chunks", std::move(chunks)},
            {"items", std::move(items)}};
}

}  // namespace velmora::apps::mdl
