#include "console/page_lists.h"

#include <cstdio>

#include "model/image_layout.h"
#include "model/item_names.h"
#include "model/monitor_requests.h"

namespace velmora::console {

namespace {

constexpr std::int16_t kDeviceMemoryKind = 0xFB;  // memory type 1: device byte A0h + 2 x page
constexpr std::int16_t kFirstMemoryKind = 0xA0;
constexpr std::uint8_t kProtectedVcp = 0xE6;      // never listed

bool readAllowed(link::MonitorLink& link) { return link.errorCode() == link::LinkError::None; }

std::string textAt(const model::ModelDescription& model, std::int16_t position) {
    return std::string(model.imageText(static_cast<std::uint16_t>(position)));
}

void addVcpItems(int page, const model::ModelDescription& model, model::FeatureInterpreter& interpreter,
                 link::MonitorLink& link, PageLists& lists) {
    const auto chunk = model.FindChunk(model::chunk::Vcp);
    if (!chunk) return;
    const std::size_t count = model.imageByte(*chunk);
    const std::size_t first = static_cast<std::size_t>(page) * kEntriesPerPage;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t code = model.imageByte(*chunk + 1 + 2 * i);
        for (std::size_t item = first; item < first + kEntriesPerPage; ++item) {
            const model::ItemEntry& entry = model.itemTable[item];
            if (entry.kind != model::item_kind::VcpUp || entry.arg != code || code == kProtectedVcp) continue;
            if (readAllowed(link)) {
                interpreter.vcpCode = code;
                (void)interpreter.ReadVcp();
            }
            lists.items.push_back({model::vcpItemName(model, entry, code), code, entry.kind, interpreter.current,
                                   interpreter.maximum});
            break;
        }
    }
}

void addServiceItems(const model::ModelDescription& model, model::FeatureInterpreter& interpreter,
                     link::MonitorLink& link, PageLists& lists) {
    const std::size_t first = std::size_t{kServicePage} * kEntriesPerPage;
    for (std::size_t item = first; item < first + kEntriesPerPage; ++item) {
        const model::ItemEntry& entry = model.itemTable[item];
        if (entry.kind == model::item_kind::ServiceVcp) {
            interpreter.vcpCode = static_cast<std::uint8_t>(entry.arg & 0xFF);
            if (readAllowed(link)) (void)interpreter.ReadVcp();
            lists.items.push_back({textAt(model, entry.ref), interpreter.vcpCode, entry.kind,
                                   interpreter.current, interpreter.maximum});
        } else if (isServiceMemoryKind(entry.kind)) {
            interpreter.page = memoryItemPage(entry.kind, entry.arg);
            interpreter.lastReply = nullptr;
            if (entry.kind == kDeviceMemoryKind && readAllowed(link)) {
                if (interpreter.ReadMemory(static_cast<std::uint8_t>(entry.arg & 0xFF), 1) != nullptr) {
                    interpreter.current = interpreter.memoryByte().value_or(interpreter.current);
                }
            }
            interpreter.maximum = 255;
            lists.items.push_back({textAt(model, entry.ref), entry.arg, entry.kind, interpreter.current, 255});
        }
    }
}

bool isListedFunction(std::int16_t kind) {
    return kind != model::item_kind::None && kind != model::item_kind::VcpUp &&
           kind != model::item_kind::VcpDown && !isServiceMemoryKind(kind) &&
           kind != model::item_kind::ServiceVcp;
}

void addFunctions(int page, const model::ModelDescription& model, PageLists& lists) {
    const std::size_t first = static_cast<std::size_t>(page) * kEntriesPerPage;
    for (std::size_t item = first; item < first + kEntriesPerPage; ++item) {
        const model::ItemEntry& entry = model.itemTable[item];
        if (!isListedFunction(entry.kind)) continue;
        const std::string name = model::functionName(model, entry);
        if (name.empty()) continue;
        lists.functions.push_back({functionEntryText(lists.functions.size(), name), entry.kind, entry.arg});
    }
}

}  // namespace

bool isServiceMemoryKind(std::int16_t kind) { return kind >= kFirstMemoryKind && kind <= kDeviceMemoryKind; }

bool isVcpKind(std::int16_t kind) { return kind <= model::item_kind::VcpDown || kind == model::item_kind::ServiceVcp; }

std::uint8_t memoryItemPage(std::int16_t kind, std::int16_t code) {
    const int high = (static_cast<std::uint16_t>(code) >> 8) & 0xFF;
    if (kind == kDeviceMemoryKind) return static_cast<std::uint8_t>((high - 0xA0) / 2);
    return static_cast<std::uint8_t>(high);
}

PageLists buildPageLists(int page, const model::ModelDescription& model,
                         model::FeatureInterpreter& interpreter, link::MonitorLink& link) {
    PageLists lists;
    if (page < 0 || page >= kPageCount) return lists;
    link.setErrorCode(link::LinkError::None);
    addVcpItems(page, model, interpreter, link, lists);
    if (page == kServicePage) addServiceItems(model, interpreter, link, lists);
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
