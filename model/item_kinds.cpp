#include "model/item_kinds.h"

#include "model/monitor_requests.h"

namespace velmora::model {

bool isServiceMemoryKind(std::int16_t kind) {
    return kind >= item_kind::FirstMemory && kind <= item_kind::DeviceMemory;
}

bool isServiceItemKind(std::int16_t kind) { return isServiceMemoryKind(kind) || kind == item_kind::ServiceVcp; }


bool isReadableMemoryKind(std::int16_t kind) { return kind == item_kind::DeviceMemory; }

bool isFunctionKind(std::int16_t kind) {
    return kind != item_kind::None && kind != item_kind::VcpUp && kind != item_kind::VcpDown &&
           kind != item_kind::ServiceVcp && !isServiceMemoryKind(kind);
}

std::uint8_t memoryItemPage(std::int16_t kind, std::int16_t code) {
    const int high = (static_cast<std::uint16_t>(code) >> 8) & 0xFF;
    if (kind == item_kind::DeviceMemory) return static_cast<std::uint8_t>((high - request::kEepromDevice) / 2);
    return static_cast<std::uint8_t>(high);
}

std::uint8_t memoryItemCount(std::int16_t kind) { return static_cast<std::uint8_t>(item_kind::ServiceVcp - kind); }

}  // namespace velmora::model
