#include "console/page_lists.h"

#include <cstdio>

#include "model/image_layout.h"
#include "model/item_kinds.h"
#include "model/item_names.h"

namespace velmora::console {

namespace {

bool readAllowed(link::MonitorLink& link) { return link.errorCode() == link::LinkError::None; }

std::string textAt(const model::ModelDescription& model, std::int16_t position) {
    return std::string(model.imageText(static_cast<std::uint16_t>(position)));
}

// An item whose read fails, or that is not read, shows the value held from
// the last read before it, as the interpreter's register held it.
void addVcpItems(int page, const model::ModelDescription& model, model::FeatureInterpreter& interpreter,
                 link::MonitorLink& link, model::VcpReading& shown, PageLists& lists) {
    const auto chunk = model.findChunk(model::chunk::Vcp);
    if (!chunk) return;
    const std::size_t count = model.imageByte(*chunk);
    const std::size_t first = static_cast<std::size_t>(page) * kEntriesPerPage;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t code = model.imageByte(*chunk + 1 + 2 * i);
        for (std::size_t item = first; item < first + kEntriesPerPage; ++item) {
            const model::ItemEntry& entry = model.itemTable[item];
            if (entry.kind != model::item_kind::VcpUp || entry.arg != code || code == model::kProtectedVcp) continue;
            if (readAllowed(link)) shown = interpreter.readVcp(code).value_or(shown);
            lists.items.push_back(
                {model::vcpItemName(model, entry, code), code, entry.kind, shown.current, shown.maximum});
            break;
        }
    }
}

void addServiceItems(const model::ModelDescription& model, model::FeatureInterpreter& interpreter,
                     link::MonitorLink& link, model::VcpReading& shown, PageLists& lists) {
    const std::size_t first = std::size_t{kServicePage} * kEntriesPerPage;
    for (std::size_t item = first; item < first + kEntriesPerPage; ++item) {
        const model::ItemEntry& entry = model.itemTable[item];
        if (entry.kind == model::item_kind::ServiceVcp) {
            const auto code = static_cast<std::uint8_t>(entry.arg & 0xFF);
            if (readAllowed(link)) shown = interpreter.readVcp(code).value_or(shown);
            lists.items.push_back({textAt(model, entry.ref), code, entry.kind, shown.current, shown.maximum});
        } else if (model::isServiceMemoryKind(entry.kind)) {
            if (model::isReadableMemoryKind(entry.kind) && readAllowed(link)) {
                const auto address = static_cast<std::uint8_t>(entry.arg & 0xFF);
                const auto page = model::memoryItemPage(entry.kind, entry.arg);
                shown.current = interpreter.readMemory(page, address).value_or(shown.current);
            }
            shown.maximum = 255;
            lists.items.push_back({textAt(model, entry.ref), entry.arg, entry.kind, shown.current, 255});
        }
    }
}

void addFunctions(int page, const model::ModelDescription& model, PageLists& lists) {
    const std::size_t first = static_cast<std::size_t>(page) * kEntriesPerPage;
    for (std::size_t item = first; item < first + kEntriesPerPage; ++item) {
        const model::ItemEntry& entry = model.itemTable[item];
        if (!model::isFunctionKind(entry.kind)) continue;
        const std::string name = model::functionName(model, entry);
        if (name.empty()) continue;
        lists.functions.push_back({functionEntryText(lists.functions.size(), name), entry.kind, entry.arg});
    }
}

}  // namespace

PageLists buildPageLists(int page, const model::ModelDescription& model,
                         model::FeatureInterpreter& interpreter, link::MonitorLink& link) {
    PageLists lists;
    if (page < 0 || page >= kPageCount) return lists;
    link.setErrorCode(link::LinkError::None);
    model::VcpReading shown = interpreter.heldValue();
    addVcpItems(page, model, interpreter, link, shown, lists);
    if (page == kServicePage) addServiceItems(model, interpreter, link, shown, lists);
    addFunctions(page, model, lists);
    return lists;
}

std::string hexByte(int value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value) & 0xFFu);
    return text;
}

std::string valueText(int value) {
    char text[32];
    std::snprintf(text, sizeof text, "%3d (%sh)", value, hexByte(value).c_str());
    return text;
}

std::string functionEntryText(std::size_t entriesBefore, std::string_view name) {
    const auto start = name.find_first_not_of(' ');
    name = start == std::string_view::npos ? std::string_view{} : name.substr(start);
    // "@1: " .. "@0: " for the first ten entries (Alt+digit runs them),
    // four blanks after.
    std::string text = "    ";
    if (entriesBefore < 10) {
        text[0] = '@';
        text[1] = static_cast<char>('0' + (entriesBefore + 1) % 10);
        text[2] = ':';
    }
    text += name;
    return text;
}

}  // namespace velmora::console
