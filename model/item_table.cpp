// The chunk directory and the item table: which item code does what, under
// which name, built from chunk 08 (__KEY) and the SERVICE_KEY and
// SERVICE_VCP blocks.
#include <string>

#include "model/image_layout.h"
#include "model/model_description.h"

namespace velmora::model {

namespace {

using Table = std::array<ItemEntry, ModelDescription::kItemCount>;

void setVcpPair(Table& table, std::size_t code, std::int16_t vcp) {
    table[code] = {item_kind::VcpUp, vcp, 0};
    table[code + 1] = {item_kind::VcpDown, vcp, 0};
}

void setFunction(Table& table, std::size_t code, std::int16_t function) {
    table[code] = {function, 0, function};
}

// Items every model has on its first two pages unless chunk 08 redefines them.
Table defaultItemTable() {
    Table table{};
    const std::int16_t geometry[] = {0x20, 0x22, 0x30, 0x32, 0x24, 0x42, 0x40, 0x3C, 0x26, 0x44, 0xD8};
    for (std::size_t i = 0; i < std::size(geometry); ++i) setVcpPair(table, 2 * i, geometry[i]);
    setFunction(table, 0x18, opcode::ModeSave);
    setFunction(table, 0x19, opcode::StandardModeDump);
    setFunction(table, 0x1A, opcode::AllModeSave);
    setFunction(table, 0x1B, opcode::UserDelete);
    const std::int16_t extra[] = {0x28, 0x38, 0x46, 0x3A, 0xF0, 0xEE, 0x56};
    for (std::size_t i = 0; i < std::size(extra); ++i) setVcpPair(table, 0x20 + 2 * i, extra[i]);
    setVcpPair(table, 0x30, 0x58);
    setVcpPair(table, 0x32, 0x2A);
    setFunction(table, 0x3B, opcode::UserDelete2);
    const std::int16_t color[] = {0x16, 0x18, 0x1A, 0x6C, 0x6E, 0x70, 0x12, 0x10, 0xF6, 0xF4};
    for (std::size_t i = 0; i < std::size(color); ++i) setVcpPair(table, 0x40 + 2 * i, color[i]);
    setFunction(table, 0x54, opcode::Channel1);
    setFunction(table, 0x55, opcode::Channel2);
    setFunction(table, 0x56, opcode::Channel3);
    setFunction(table, 0x58, opcode::ColorSave);
    setFunction(table, 0x59, opcode::StandardColorDump);
    setFunction(table, 0x5A, opcode::AllColorSave);
    setFunction(table, 0x5B, opcode::UserDelete);
    setFunction(table, 0x75, opcode::Channel4);
    setFunction(table, 0x7B, opcode::UserDelete2);
    return table;
}

// Function opcodes that have a display name of their own.
bool isNamedFunction(std::uint8_t code) {
    switch (code) {
    case opcode::ShiftKey:
    case opcode::ModeSave:
    case opcode::UserDelete2:
    case opcode::StandardColorDump:
    case opcode::AllColorSave:
    case opcode::StandardModeDump:
    case opcode::ColorSave:
    case opcode::AllModeSave:
    case opcode::UserDelete:
    case opcode::Channel1:
    case opcode::Channel2:
    case opcode::Channel3:
    case opcode::Channel4:
    case opcode::Degauss:
        return true;
    default:
        return false;
    }
}

std::string serviceSlotsTaken(std::size_t refused, const char* block) {
    return std::to_string(refused) + " " + block + " record(s) not registered: all " +
           std::to_string(ModelDescription::kServiceSlotCount) + " service slots (88h to BEh) are taken\n";
}

}  // namespace

std::optional<std::uint16_t> ModelDescription::FindChunk(std::uint8_t id) const {
    const std::size_t end = imageLength();
    std::size_t position = 0;
    // Every step moves forward, and the walk stays inside the written image
    // even when the model never ends its chain with a zero length.
    while (position + 1 < end) {
        const std::uint8_t length = modelImage[position + 1];
        if (modelImage[position] == id) return static_cast<std::uint16_t>(position + 2);
        if (length == 0) return std::nullopt;
        position += length;
    }
    return std::nullopt;
}

std::uint16_t ModelDescription::NameReference(std::uint16_t position) const {
    const std::uint8_t code = imageByte(position);
    std::size_t length = 0;
    switch (code) {
    case opcode::SetVcp:
    case opcode::SetVcpOnly:
        length = 3;
        break;
    case opcode::SetVcpUp:
    case opcode::SetVcpDown:
        length = 2;
        break;
    case opcode::SetReply:
    case opcode::SetOnly:
        length = 2 + (imageByte(position + 1) & 0x7F);
        break;
    case opcode::UserTable:
    case opcode::UserTableS:
        length = 4 + (imageByte(position + 2) & 0x7F);
        break;
    case opcode::TestVcp:
        length = 4 + (imageByte(position + 3) & 0x7F);
        break;
    case opcode::Delay:
    case opcode::Sound:
        return name_ref::Unnamed;
    case opcode::TestColor:
        return opcode::TestColor;
    default:
        return isNamedFunction(code) ? code : 0;
    }
    // The item's name text follows the command's last operand.
    return static_cast<std::uint16_t>(name_ref::ImageText + position + length);
}

void ModelDescription::BuildItemTable() {
    itemTable = defaultItemTable();
    const std::optional<std::uint16_t> payload = FindChunk(chunk::Key);
    if (!payload) return;
    const std::size_t end = imageLength();
    std::size_t entryPosition = *payload;
    while (entryPosition < end) {
        const std::uint8_t code = imageByte(entryPosition);
        if (code == kItemListEnd) break;
        const std::uint8_t count = imageByte(entryPosition + 1);
        const std::size_t positions = entryPosition + 2;
        const std::uint16_t firstCommand = imageWord(positions);
        const std::uint8_t firstOpcode = count > 0 ? imageByte(firstCommand) : 0;
        ItemEntry& entry = itemTable[code];

        if (firstOpcode == opcode::SetVcpUp || firstOpcode == opcode::SetVcpDown) {
            // A VCP item: the name follows the VCP code, "H-POSITION up" shows as H-POSITION.
            entry.kind = firstOpcode;
            entry.arg = imageByte(firstCommand + 1);
            entry.ref = static_cast<std::int16_t>(firstCommand + 2);
            cutUpSuffix(static_cast<std::uint16_t>(firstCommand + 2));
        } else {
            entry.kind = item_kind::Script;
            entry.arg = static_cast<std::int16_t>(entryPosition + 1);
            std::optional<std::size_t> keyRow;
            for (std::size_t row = 0; row < keyNameCount && !keyRow; ++row) {
                if (keyNames[row].code == code) keyRow = row;
            }
            if (keyRow) {
                entry.ref = static_cast<std::int16_t>(name_ref::KeyName + *keyRow);
            } else if (count == 1) {
                entry.ref = static_cast<std::int16_t>(NameReference(firstCommand));
            } else if (entry.ref == 0) {
                for (std::size_t i = 0; i < count && entry.ref == 0; ++i) {
                    entry.ref = static_cast<std::int16_t>(NameReference(imageWord(positions + 2 * i)));
                }
            }
        }
        entryPosition = positions + 2 * std::size_t{count};
    }
}

void ModelDescription::cutUpSuffix(std::uint16_t position) {
    const std::string_view name = imageText(position);
    std::size_t cut = name.find(" up");
    if (cut == std::string_view::npos) cut = name.find(" UP");
    if (cut != std::string_view::npos) modelImage[position + cut] = 0;
}

std::optional<std::uint8_t> ModelDescription::takeServiceSlot() {
    for (std::size_t code = kFirstServiceSlot; code <= kLastServiceSlot; code += 2) {
        if (itemTable[code].kind == item_kind::None) return static_cast<std::uint8_t>(code);
    }
    return std::nullopt;
}

void ModelDescription::RegisterServiceKeys() {
    const std::uint16_t block = LookupSymbol("SERVICE_KEY");
    if (block == kNotFound || imageByte(block) == 0) return;
    const std::size_t end = imageLength();
    std::size_t refused = 0;
    std::size_t firstRefused = 0;
    std::size_t record = block;
    while (record < end && imageByte(record) != 0xFF) {
        const std::size_t countPosition = record + imageText(record).size() + 1;
        const std::uint8_t count = imageByte(countPosition);
        if (const auto slot = takeServiceSlot()) {
            itemTable[*slot] = {item_kind::ServiceKey, static_cast<std::int16_t>(countPosition),
                                static_cast<std::int16_t>(record)};
        } else if (refused++ == 0) {
            firstRefused = record;
        }
        record = countPosition + 1 + 2 * std::size_t{count};
    }
    if (refused > 0) reportErrorAtPosition(firstRefused, serviceSlotsTaken(refused, "SERVICE_KEY"));
}

void ModelDescription::RegisterServiceItems() {
    const std::uint16_t block = LookupSymbol("SERVICE_VCP");
    if (block == kNotFound) return;
    const std::size_t end = imageLength();
    std::size_t refused = 0;
    std::size_t firstRefused = 0;
    std::size_t record = block;
    while (record < end && imageByte(record) != 0) {
        const std::size_t typePosition = record + imageText(record).size() + 1;
        const std::uint8_t memoryType = imageByte(typePosition);
        // A VCP code for memory type 0, else a high byte (page or device) and an address.
        const std::uint16_t address =
            memoryType == 0 ? imageByte(typePosition + 1)
                            : static_cast<std::uint16_t>(imageByte(typePosition + 1) << 8 | imageByte(typePosition + 2));
        if (const auto slot = takeServiceSlot()) {
            itemTable[*slot] = {static_cast<std::int16_t>(item_kind::ServiceVcp - memoryType),
                                static_cast<std::int16_t>(address), static_cast<std::int16_t>(record)};
        } else if (refused++ == 0) {
            firstRefused = record;
        }
        record = typePosition + (memoryType == 0 ? 2 : 3);
    }
    if (refused > 0) reportErrorAtPosition(firstRefused, serviceSlotsTaken(refused, "SERVICE_VCP"));
}

}  // namespace velmora::model
