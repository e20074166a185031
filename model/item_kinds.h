#pragma once
#include <cstdint>

#include "link/command_packet.h"
#include "model/image_layout.h"

// What an item table entry's kind makes of it: a VCP control, a byte of the
// monitor's memory, or a function that RUN executes. The console's lists,
// its value adjustment, velmora-jigctl and the model listing all ask here.
namespace velmora::model {

namespace item_kind {
// Kinds A0h..FBh are bytes of the monitor's memory; FCh - kind is the
// memory type, the count of its requests.
inline constexpr std::int16_t FirstMemory = 0xA0;
// Memory type 1: the code's high byte is an I2C device byte A0h + 2 x page.
// The only memory kind whose value is read from the monitor.
inline constexpr std::int16_t DeviceMemory = 0xFB;
}  // namespace item_kind

// Never listed: only write-enabled mode may set it.
inline constexpr std::uint8_t kProtectedVcp = link::kProtectedVcp;

[[nodiscard]] bool isServiceMemoryKind(std::int16_t kind);   // A0h..FBh
[[nodiscard]] bool isServiceItemKind(std::int16_t kind);     // A0h..FCh: memory bytes and service VCPs
[[nodiscard]] bool isReadableMemoryKind(std::int16_t kind);  // FBh
// A function RUN executes: any kind that is neither empty, a VCP control
// nor a memory byte (scripts FEh/FDh and the built-in functions).
[[nodiscard]] bool isFunctionKind(std::int16_t kind);

// The memory page of a service memory item: the high byte of its code, or
// for kind FBh the page its device byte names.
[[nodiscard]] std::uint8_t memoryItemPage(std::int16_t kind, std::int16_t code);
// The count of a memory item's requests: its memory type, FCh - kind.
[[nodiscard]] std::uint8_t memoryItemCount(std::int16_t kind);

}  // namespace velmora::model
