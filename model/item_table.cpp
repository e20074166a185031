// The chunk directory and the item table: which item code does what, under
// which name, built from chunk 08 (__KEY) and the SERVICE_KEY and
// SERVICE_VCP blocks.
#include <string>

#include "model/image_layout.h"
#include "model/model_compiler.h"

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

std::string serviceSlotsTaken(std::size_t refused, const char* block) {
    return std::to_string(refused) + " " + block + " record(s) not registered: all " +
           std::to_string(ModelDescription::kServiceSlotCount) + " service slots (88h to BEh) are taken\n";
}

}  // namespace

void ModelCompiler::buildItemTable() {
    model_.itemTable = defaultItemTable();
    const std::optional<std::uint16_t> payload = model_.findChunk(chunk::Key);
    if (!payload) return;
    const std::size_t end = model_.imageLength();
    std::size_t entryPosition = *payload;
    while (entryPosition < end) {
        const std::uint8_t code = model_.imageByte(entryPosition);
        if (code == kItemListEnd) break;
        const std::uint8_t count = model_.imageByte(entryPosition + 1);
        const std::size_t positions = entryPosition + 2;
        const std::uint16_t firstCommand = model_.imageWord(positions);
        const std::uint8_t firstOpcode = count > 0 ? model_.imageByte(firstCommand) : 0;
        ItemEntry& entry = model_.itemTable[code];

        if (firstOpcode == opcode::SetVcpUp || firstOpcode == opcode::SetVcpDown) {
            // A VCP item: the name follows the VCP code, "H-POSITION up" shows as H-POSITION.
            entry.kind = firstOpcode;
            entry.arg = model_.imageByte(firstCommand + 1);
            entry.ref = static_cast<std::int16_t>(firstCommand + 2);
            cutUpSuffix(static_cast<std::uint16_t>(firstCommand + 2));
        } else {
            entry.kind = item_kind::Script;
            entry.arg = static_cast<std::int16_t>(entryPosition + 1);
            std::optional<std::size_t> keyRow;
            for (std::size_t row = 0; row < model_.keyNameCount && !keyRow; ++row) {
                if (model_.keyNames[row].code == code) keyRow = row;
            }
            if (keyRow) {
                entry.ref = static_cast<std::int16_t>(name_ref::KeyName + *keyRow);
            } else if (count == 1) {
                entry.ref = static_cast<std::int16_t>(model_.nameReference(firstCommand));
            } else if (entry.ref == 0) {
                for (std::size_t i = 0; i < count && entry.ref == 0; ++i) {
                    entry.ref = static_cast<std::int16_t>(model_.nameReference(model_.imageWord(positions + 2 * i)));
                }
            }
        }
        entryPosition = positions + 2 * std::size_t{count};
    }
}

void ModelCompiler::cutUpSuffix(std::uint16_t position) {
    const std::string_view name = model_.imageText(position);
    std::size_t cut = name.find(" up");
    if (cut == std::string_view::npos) cut = name.find(" UP");
    if (cut != std::string_view::npos) model_.modelImage[position + cut] = 0;
}

std::optional<std::uint8_t> ModelCompiler::takeServiceSlot() {
    for (std::size_t code = kFirstServiceSlot; code <= kLastServiceSlot; code += 2) {
        if (model_.itemTable[code].kind == item_kind::None) return static_cast<std::uint8_t>(code);
    }
    return std::nullopt;
}

void ModelCompiler::registerServiceKeys() {
    const std::uint16_t block = lookupSymbol("SERVICE_KEY");
    if (block == ModelDescription::kNotFound || model_.imageByte(block) == 0) return;
    const std::size_t end = model_.imageLength();
    std::size_t refused = 0;
    std::size_t firstRefused = 0;
    std::size_t record = block;
    while (record < end && model_.imageByte(record) != 0xFF) {
        const std::size_t countPosition = record + model_.imageText(record).size() + 1;
        const std::uint8_t count = model_.imageByte(countPosition);
        if (const auto slot = takeServiceSlot()) {
            model_.itemTable[*slot] = {item_kind::ServiceKey, static_cast<std::int16_t>(countPosition),
                                static_cast<std::int16_t>(record)};
        } else if (refused++ == 0) {
            firstRefused = record;
        }
        record = countPosition + 1 + 2 * std::size_t{count};
    }
    if (refused > 0) reportErrorAtPosition(firstRefused, serviceSlotsTaken(refused, "SERVICE_KEY"));
}

void ModelCompiler::registerServiceItems() {
    const std::uint16_t block = lookupSymbol("SERVICE_VCP");
    if (block == ModelDescription::kNotFound) return;
    const std::size_t end = model_.imageLength();
    std::size_t refused = 0;
    std::size_t firstRefused = 0;
    std::size_t record = block;
    while (record < end && model_.imageByte(record) != 0) {
        const std::size_t typePosition = record + model_.imageText(record).size() + 1;
        const std::uint8_t memoryType = model_.imageByte(typePosition);
        // A VCP code for memory type 0, else a high byte (page or device) and an address.
        const std::uint16_t address =
            memoryType == 0 ? model_.imageByte(typePosition + 1)
                            : static_cast<std::uint16_t>(model_.imageByte(typePosition + 1) << 8 |
                                                         model_.imageByte(typePosition + 2));
        if (const auto slot = takeServiceSlot()) {
            model_.itemTable[*slot] = {static_cast<std::int16_t>(item_kind::ServiceVcp - memoryType),
                                static_cast<std::int16_t>(address), static_cast<std::int16_t>(record)};
        } else if (refused++ == 0) {
            firstRefused = record;
        }
        record = typePosition + (memoryType == 0 ? 2 : 3);
    }
    if (refused > 0) reportErrorAtPosition(firstRefused, serviceSlotsTaken(refused, "SERVICE_VCP"));
}

}  // namespace velmora::model
