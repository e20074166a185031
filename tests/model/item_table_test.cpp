// Chunks, the item table, name references and the service blocks.
#include <functional>

#include <gtest/gtest.h>

#include "model/image_layout.h"
#include "test_support.h"

namespace velmora::model::testing {
namespace {

// The four-page example model with one named VCP pair and a function item.
const std::initializer_list<std::string_view> kExampleModel = {
    "; [MODEL,CX-17]",
    "; [VER,1.2]",
    "DIR  db __PAGE,3,4",
    "     db __KEY,0",
    "     db PAGE1+0,1",
    "     dw HUP",
    "     db PAGE1+1,1",
    "     dw HDN",
    "     db PAGE1+18h,2",
    "     dw SAVE,PAUSE",
    "     db 0FFh",
    "HUP  db __SETVCP_UP,V_HPOSI,'H-POSITION up',0",
    "HDN  db __SETVCP_DOWN,V_HPOSI,'H-POSITION down',0",
    "SAVE db _GD_SAVE_",
    "PAUSE db __DELAY,10,50",
};

ItemEntry entry(int kind, int arg, int ref) {
    return {static_cast<std::int16_t>(kind), static_cast<std::int16_t>(arg), static_cast<std::int16_t>(ref)};
}

TEST(ItemTable, ExampleModelGivesPagesVcpPairAndFunction) {
    const auto model = compileLines(kExampleModel);
    EXPECT_FALSE(model->errorFlag) << model->errorText;
    EXPECT_EQ(model->modelName, "CX-17");
    EXPECT_EQ(model->pageCount(), 4);

    const std::uint16_t hup = model->lookupSymbol("HUP");
    const std::uint16_t hdn = model->lookupSymbol("HDN");
    EXPECT_EQ(model->itemTable[0x00], entry(0x21, 0x20, hup + 2));
    EXPECT_EQ(model->imageText(hup + 2), "H-POSITION");
    EXPECT_EQ(model->itemTable[0x01], entry(0x22, 0x20, hdn + 2));
    EXPECT_EQ(model->imageText(hdn + 2), "H-POSITION down");
    // Item 18 keeps the default name reference of MODE SAVE; arg is its count byte.
    const ItemEntry& save = model->itemTable[0x18];
    EXPECT_EQ(save.kind, 0xFE);
    EXPECT_EQ(save.ref, 0x81);
    EXPECT_EQ(model->imageByte(save.arg), 2);
    EXPECT_EQ(model->imageWord(save.arg + 1), model->lookupSymbol("SAVE"));
    EXPECT_EQ(model->imageWord(save.arg + 3), model->lookupSymbol("PAUSE"));
    // Untouched defaults, and nothing on pages 3 and 4.
    EXPECT_EQ(model->itemTable[0x02], entry(0x21, 0x22, 0));
    EXPECT_EQ(model->itemTable[0x53], entry(0x22, 0xF4, 0));
    EXPECT_EQ(model->itemTable[0x75], entry(0x96, 0, 0x96));
    for (std::size_t code = 0x80; code < 0x100; ++code) EXPECT_EQ(model->itemTable[code], ItemEntry{}) << code;
}

TEST(ItemTable, WithoutKeyChunkOnlyDefaultsAndTwoPages) {
    const auto model = compileLines({"     db __NAME,0,'X',0"});
    EXPECT_EQ(model->pageCount(), 2);
    EXPECT_EQ(model->itemTable[0x18], entry(0x81, 0, 0x81));
    EXPECT_EQ(model->itemTable[0x1C], ItemEntry{});
}

// One chunk-08 entry for code 1Ch (no default) listing the given commands.
std::unique_ptr<ModelDescription> compileItem(std::string_view positions, std::string_view count,
                                              std::initializer_list<std::string_view> commands,
                                              std::string_view directive = "; none") {
    std::string text = std::string(directive) + "\n     db __KEY,0\n     db PAGE1+1Ch," + std::string(count) +
                       "\n     dw " + std::string(positions) + "\n     db 0FFh\n";
    for (std::string_view command : commands) text += std::string(command) + "\n";
    text += "     end\n";
    return compileText(text);
}

TEST(ItemTable, NameReferenceOfScriptItems) {
    const struct {
        std::string_view positions;
        std::string_view count;
        std::string_view directive;
        std::function<int(ModelDescription&)> ref;
    } rows[] = {
        // A single command names the item.
        {"C1", "1", "; none", [](ModelDescription& m) { return 0x8000 + m.lookupSymbol("C1") + 3; }},
        {"C2", "1", "; none", [](ModelDescription&) { return 0x3FFF; }},
        {"C4", "1", "; none", [](ModelDescription&) { return 0x87; }},
        // Several commands: the first that has a name reference.
        {"C3,C1", "2", "; none", [](ModelDescription& m) { return 0x8000 + m.lookupSymbol("C1") + 3; }},
        {"C3,C5", "2", "; none", [](ModelDescription&) { return 0; }},
        // A KEY directive for the code wins.
        {"C1", "1", "; [KEY,1Bh,OTHER CODE]",
         [](ModelDescription& m) { return 0x8000 + m.lookupSymbol("C1") + 3; }},
        {"C1", "1", "; [KEY,1Ch,SCRIPT]", [](ModelDescription&) { return 0x4000; }},
    };
    for (const auto& row : rows) {
        const auto model = compileItem(row.positions, row.count,
                                       {"C1   db __SETVCP,V_HPOSI,80h,'CENTRE',0", "C2   db __DELAY,1,2",
                                        "C3   db 10h", "C4   db _ALL_GD_SAVE_", "C5   db 88h"},
                                       row.directive);
        EXPECT_EQ(model->itemTable[0x1C].kind, 0xFE) << row.positions << " " << row.directive;
        EXPECT_EQ(static_cast<std::uint16_t>(model->itemTable[0x1C].ref), row.ref(*model))
            << row.positions << " " << row.directive;
    }
}

TEST(ItemTable, NameReferenceByOpcode) {
    // Each command is followed by 'N' so the name position is visible.
    const struct {
        std::string_view command;
        int offset;  // -1: no image name; else the name follows after this many bytes
        int code;
    } rows[] = {
        {"db 20h,1,2", 3, 0},        {"db 21h,1", 2, 0},         {"db 22h,1", 2, 0},
        {"db 23h,83h,1,2,3", 5, 0},  {"db 24h,1,2", 3, 0},       {"db 25h,1,2", -1, 0x3FFF},
        {"db 26h", -1, 0x3FFF},      {"db 27h,1,82h,3,4,5", 6, 0}, {"db 28h,1,2,3,4,5", 6, 0},
        {"db 29h,1,2,3,4,5,6", 7, 0}, {"db 2Ah,5", -1, 0x2A},    {"db 2Bh,81h,1", 3, 0},
        {"db 0F0h", -1, 0xF0},       {"db 0A1h", -1, 0xA1},      {"db 88h", -1, 0},
        {"db 80h", -1, 0},           {"db 1Fh", -1, 0},          {"db 96h", -1, 0x96},
    };
    for (const auto& row : rows) {
        const auto model = compileLines({"     db 0", "CMD  " + std::string(row.command) + ",'N',0"});
        // Skip the leading zero byte so the command does not sit at position 0.
        const std::uint16_t expected = row.offset < 0 ? row.code : 0x8000 + 1 + row.offset;
        EXPECT_EQ(model->nameReference(1), expected) << row.command;
    }
}

TEST(ItemTable, VcpItemNameLosesItsUpSuffix) {
    const struct {
        std::string_view name;
        std::string_view shown;
    } rows[] = {
        {"CONTRAST up", "CONTRAST"},    {"H-SIZE UP", "H-SIZE"},  {"BACK UP up", "BACK UP"},
        {"SETUP", "SETUP"},             {"up", "up"},             {"A upper", "A"},
    };
    for (const auto& row : rows) {
        const auto model = compileItem("C1,C2", "2", {"C1   db __SETVCP_UP,V_CONTR,'" + std::string(row.name) + "',0",
                                                      "C2   db _GD_SAVE_"});
        EXPECT_EQ(model->itemTable[0x1C], entry(0x21, 0x12, model->lookupSymbol("C1") + 2)) << row.name;
        EXPECT_EQ(model->imageText(model->itemTable[0x1C].ref), row.shown) << row.name;
    }
}

TEST(ItemTable, VcpItemIgnoresKeyDirective) {
    const auto model = compileItem("C1", "1", {"C1   db __SETVCP_DOWN,V_BRIGH,0"}, "; [KEY,PAGE1+1Ch,NAMED]");
    EXPECT_EQ(model->itemTable[0x1C].kind, 0x22);
    EXPECT_EQ(model->itemTable[0x1C].arg, 0x10);
}

TEST(ItemTable, LaterEntryReplacesEarlierButKeepsItsName) {
    const auto model = compileLines({
        "     db __KEY,0",
        "     db 1Ch,1",
        "     dw C1",
        "     db 1Ch,2",
        "     dw C2,C3",
        "     db 1Dh,0",
        "     db 0FFh",
        "C1   db __SETONLY,81h,1,'FIRST',0",
        "C2   db __SOUND",
        "C3   db __SETVCP,V_HPOSI,1,'SECOND',0",
    });
    const ItemEntry& item = model->itemTable[0x1C];
    EXPECT_EQ(item.arg, model->findChunk(0x08).value() + 5);   // the second entry's count byte
    EXPECT_EQ(model->imageText(item.ref & 0x3FFF), "FIRST");
    // An entry without commands becomes an unnamed script.
    EXPECT_EQ(model->itemTable[0x1D], entry(0xFE, model->findChunk(0x08).value() + 11, 0));
}

// Service blocks after a small item chunk.
std::unique_ptr<ModelDescription> compileServices(std::initializer_list<std::string_view> lines) {
    std::string text = "     db __KEY,0\n     db PAGE3+8,1\n     dw CMD\n     db 0FFh\nCMD  db __SOUND\n";
    for (std::string_view line : lines) text += std::string(line) + "\n";
    text += "     end\n";
    return compileText(text);
}

TEST(ServiceBlocks, KeysAndItemsTakeFreeEvenSlots) {
    const auto model = compileServices({
        "SERVICE_KEY db 'RESET',0,1",
        "     dw CMD",
        "     db 'TWICE',0,2",
        "     dw CMD,CMD",
        "     db 0FFh",
        "SERVICE_VCP db 'SUB',0,0,12h",
        "     db 'EEPROM',0,1,0A2h,10h",
        "     db 'OTHER',0,2,3,4",
        "     db 0",
    });
    EXPECT_FALSE(model->errorFlag) << model->errorText;
    const std::uint16_t keys = model->lookupSymbol("SERVICE_KEY");
    const std::uint16_t items = model->lookupSymbol("SERVICE_VCP");
    EXPECT_EQ(model->itemTable[0x88].kind, 0xFE);   // taken by chunk 08
    EXPECT_EQ(model->itemTable[0x8A], entry(0xFD, keys + 6, keys));
    EXPECT_EQ(model->itemTable[0x8C], entry(0xFD, keys + 15, keys + 9));
    EXPECT_EQ(model->itemTable[0x8E], entry(0xFC, 0x12, items));
    EXPECT_EQ(model->itemTable[0x90], entry(0xFB, static_cast<std::int16_t>(0xA210), items + 6));
    EXPECT_EQ(model->itemTable[0x92], entry(0xFA, 0x0304, items + 16));
    EXPECT_EQ(model->itemTable[0x94], ItemEntry{});
    EXPECT_EQ(model->imageText(model->itemTable[0x8C].ref), "TWICE");
}

TEST(ServiceBlocks, EmptyOrMissingBlocksAddNothing) {
    for (const auto& lines : {std::initializer_list<std::string_view>{"SERVICE_KEY db 0FFh,'X',0,0"},
                              std::initializer_list<std::string_view>{"SERVICE_KEY db 0", "SERVICE_VCP db 0"},
                              std::initializer_list<std::string_view>{"OTHER db 0"}}) {
        const auto model = compileServices(lines);
        EXPECT_FALSE(model->errorFlag) << model->errorText;
        for (std::size_t code = 0x8A; code <= 0xBE; code += 2) EXPECT_EQ(model->itemTable[code], ItemEntry{});
    }
}

TEST(ServiceBlocks, RecordsBeyondThe28SlotsAreRefused) {
    std::string text = "SERVICE_VCP db 'A',0,0,1\n";
    for (int i = 0; i < 30; ++i) text += "     db 'A',0,0," + std::to_string(i + 2) + "\n";
    text += "     db 0\n     end\n";
    const auto model = compileText(text);
    for (std::size_t code = 0x88; code <= 0xBE; code += 2) EXPECT_EQ(model->itemTable[code].kind, 0xFC) << code;
    EXPECT_EQ(model->itemTable[0xBE].arg, 28);
    EXPECT_EQ(model->itemTable[0xC0], ItemEntry{});
    EXPECT_EQ(model->errorText, "3 SERVICE_VCP record(s) not registered: all 28 service slots (88h to BEh) are taken\n");
}

TEST(FindChunk, WalksTheChainInsideTheWrittenImage) {
    const struct {
        std::string_view line;
        std::uint8_t id;
        std::optional<std::uint16_t> payload;
    } rows[] = {
        {"db 1,3,9, 2,3,4, 8,0", 2, 5},
        {"db 1,3,9, 2,3,4, 8,0", 8, 8},
        {"db 1,3,9, 2,0,4, 8,0", 8, std::nullopt},    // chunk 02 ends the chain
        {"db 1,3,9, 2,3,4, 8,0", 5, std::nullopt},
        {"db 1,1,1,1,1,1", 7, std::nullopt},          // a chain that never ends
        {"db 1,250,0", 0, std::nullopt},              // a length that jumps out of the image
        {"db 1", 1, std::nullopt},                    // no room for a length byte
    };
    for (const auto& row : rows) {
        const auto model = compileLines({"     " + std::string(row.line)});
        EXPECT_EQ(model->findChunk(row.id), row.payload) << row.line << " id " << int(row.id);
    }
}

}  // namespace
}  // namespace velmora::model::testing
