#include "tools/memory_writing_functions.h"

#include "model/image_layout.h"

namespace velmora::tools {

namespace {

// Built-in functions (the item kind's low byte) that store or erase.
constexpr std::uint8_t kModeSave = 0x81;
constexpr std::uint8_t kUserDelete2 = 0x82;
constexpr std::uint8_t kAllColorSave = 0x84;
constexpr std::uint8_t kColorSave = 0x86;
constexpr std::uint8_t kAllModeSave = 0x87;
constexpr std::uint8_t kUserDelete = 0x89;

// Script commands.
constexpr std::uint8_t kSetReply = 0x23;
constexpr std::uint8_t kUserTable = 0x27;
constexpr std::uint8_t kUserTableToMode = 0x28;
constexpr std::uint8_t kSetOnly = 0x2B;

// First payload bytes of requests.
constexpr std::uint8_t kVendorRequest = 0xC0;
constexpr std::uint8_t kOnTimeRead = 0x0B;
constexpr std::uint8_t kDeviceMemoryWrite = 0x62;
constexpr std::uint8_t kTableRequest = 0x52;

bool builtInWritesMemory(std::uint8_t opcode) {
    switch (opcode) {
    case kModeSave:
    case kUserDelete2:
    case kAllColorSave:
    case kColorSave:
    case kAllModeSave:
    case kUserDelete: return true;
    default: return false;
    }
}

// A request written out in the script: length byte L, then L AND 7Fh bytes.
bool writtenRequestWritesMemory(const model::ModelDescription& model, std::size_t operands) {
    const std::size_t length = model.imageByte(operands) & 0x7Fu;
    if (length == 0) return false;
    const std::uint8_t first = model.imageByte(operands + 1);
    if (length == 1) return serviceCodeWritesMemory(first);
    if (first == kVendorRequest) return model.imageByte(operands + 2) != kOnTimeRead;
    return first == kDeviceMemoryWrite || first == kTableRequest;
}

bool commandWritesMemory(const model::ModelDescription& model, std::size_t position) {
    switch (model.imageByte(position)) {
    case kSetReply:
    case kSetOnly: return writtenRequestWritesMemory(model, position + 1);
    case kUserTable:
    case kUserTableToMode: return true;
    default: return false;
    }
}

}  // namespace

bool serviceCodeWritesMemory(std::uint8_t code) {
    return code == 0x0C || code == 0x58 || code == 0x7D || code == 0x50;
}

bool functionWritesMemory(const model::ModelDescription& model, std::int16_t kind, std::int16_t arg) {
    if (kind != model::item_kind::Script && kind != model::item_kind::ServiceKey) {
        return builtInWritesMemory(static_cast<std::uint8_t>(kind & 0xFF));
    }
    const auto countPosition = static_cast<std::uint16_t>(arg);
    const std::size_t count = model.imageByte(countPosition);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = countPosition + 1u + 2u * i;
        if (at + 1 >= model.imageLength()) break;
        const std::uint16_t position = model.imageWord(at);
        if (position != 0 && commandWritesMemory(model, position)) return true;
    }
    return false;
}

}  // namespace velmora::tools
