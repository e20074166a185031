// EDID files as technicians share them, and the JSON object a production
// line reads: what is accepted, what is refused and why, and the exact set
// of keys with their types.
#include <gtest/gtest.h>

#include <map>

#include "bench/edid_eeprom.h"
#include "tools/edid_input.h"
#include "tools/edid_json.h"

namespace velmora::tools {
namespace {

std::string benchBlock() {
    const auto block = bench::benchEdidBaseBlock();
    return {block.begin(), block.end()};
}

std::vector<std::uint8_t> bytesOf(const std::string& block) { return {block.begin(), block.end()}; }

std::string hexOf(const std::string& bytes, const char* separator, std::size_t perLine) {
    std::string text;
    static const char* digits = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        text += digits[b >> 4];
        text += digits[b & 15];
        text += (i + 1) % perLine == 0 ? "\n" : separator;
    }
    return text;
}

struct InputRow {
    std::string name;
    std::string contents;
    std::size_t bytes;    // 0: refused
    std::string refusal;  // part of the reason
};

void PrintTo(const InputRow& row, std::ostream* out) { *out << row.name; }

class EdidInput : public testing::TestWithParam<InputRow> {};

TEST_P(EdidInput, AcceptsOrRefusesWithAReason) {
    const InputRow& row = GetParam();
    const EdidBytes input = edidBytesFromContents(row.contents);
    EXPECT_EQ(input.ok, row.bytes != 0) << input.refusal;
    EXPECT_EQ(input.bytes.size(), row.bytes);
    if (row.bytes != 0) {
        EXPECT_EQ(std::string(input.bytes.begin(), input.bytes.begin() + 128), benchBlock());
    } else {
        EXPECT_NE(input.refusal.find(row.refusal), std::string::npos) << input.refusal;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, EdidInput,
    testing::Values(
        InputRow{"RawBlock", benchBlock(), 128, ""},
        InputRow{"RawWithExtension", benchBlock() + std::string(128, '\x02'), 256, ""},
        InputRow{"HexRows", hexOf(benchBlock(), " ", 16), 128, ""},
        InputRow{"HexRunTogetherWithTabsAndCrLf", "\t" + hexOf(benchBlock(), "", 32) + "\r\n\r\n", 128, ""},
        InputRow{"HexUpperCase", "00FFFFFFFFFFFF00" + hexOf(benchBlock().substr(8), " ", 8), 128, ""},
        InputRow{"RawShort", benchBlock().substr(0, 127), 0, "only 127"},
        InputRow{"HexShort", hexOf(benchBlock().substr(0, 100), " ", 16), 0, "only 100"},
        InputRow{"Empty", "", 0, "only 0"},
        InputRow{"HexLoneDigit", hexOf(benchBlock(), " ", 16) + "a", 0, "lone digit after byte 128"},
        InputRow{"HexSplitPair", "0 0" + hexOf(benchBlock().substr(1), " ", 16), 0, "lone digit after byte 0"},
        InputRow{"NoHeader", std::string(128, '\x00'), 0, "no EDID header"},
        InputRow{"HeaderOneByteOff", std::string("\x00\xFF\xFF\xFF\xFF\xFF\xFE\x00", 8) + benchBlock().substr(8), 0, "no EDID header"},
        InputRow{"TooLong", benchBlock() + std::string(256 * 128, '\xFF'), 0, "more than 32768 bytes"}),
    [](const auto& info) { return info.param.name; });

TEST(EdidFile, RefusalNamesTheFile) {
    const EdidBytes missing = readEdidFile("/nonexistent/monitor.bin");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.refusal.rfind("/nonexistent/monitor.bin: ", 0), 0u) << missing.refusal;
}

// The JSON object: exactly these keys, each of this type.
enum class Type { Boolean, Number, String, StringOrNull, NumberOrNull, Object, ObjectOrNull, Array };

bool hasType(const nlohmann::json& value, Type type) {
    switch (type) {
    case Type::Boolean: return value.is_boolean();
    case Type::Number: return value.is_number();
    case Type::String: return value.is_string();
    case Type::StringOrNull: return value.is_string() || value.is_null();
    case Type::NumberOrNull: return value.is_number() || value.is_null();
    case Type::Object: return value.is_object();
    case Type::ObjectOrNull: return value.is_object() || value.is_null();
    case Type::Array: return value.is_array();
    }
    return false;
}

void expectSchema(const nlohmann::json& object, const std::map<std::string, Type>& schema, const std::string& where) {
    ASSERT_TRUE(object.is_object()) << where;
    EXPECT_EQ(object.size(), schema.size()) << where << object.dump();
    for (const auto& [key, type] : schema) {
        ASSERT_TRUE(object.contains(key)) << where << " lacks " << key;
        EXPECT_TRUE(hasType(object[key], type)) << where << "." << key << " = " << object[key].dump();
    }
}

TEST(EdidJson, ExactlyTheListedKeysAndTypes) {
    using enum Type;
    const std::map<std::string, Type> top{
        {"headerValid", Boolean},      {"checksumValid", Boolean},      {"version", String},
        {"manufacturer", String},      {"productCode", Number},         {"serialNumber", Number},
        {"week", Number},              {"year", Number},                {"analog", Boolean},
        {"screenWidthCm", Number},     {"screenHeightCm", Number},      {"gamma", NumberOrNull},
        {"dpms", Object},              {"establishedTimings", Array},   {"standardTimings", Array},
        {"detailedTimings", Array},    {"displayName", StringOrNull},   {"displaySerial", StringOrNull},
        {"text", Array},               {"rangeLimits", ObjectOrNull},   {"extensionCount", Number}};
    const std::map<std::string, Type> mode{{"width", Number}, {"height", Number}, {"refreshHz", Number}};
    std::map<std::string, Type> detailed;
    for (const char* key : {"pixelClockMHz", "hActive", "hBlank", "vActive", "vBlank", "hFrontPorch", "hSyncWidth",
                            "vFrontPorch", "vSyncWidth", "widthMm", "heightMm", "hFreqKHz", "vFreqHz"}) {
        detailed[key] = Number;
    }
    detailed["interlaced"] = Boolean;
    const std::map<std::string, Type> limits{{"minVFreqHz", Number},  {"maxVFreqHz", Number},
                                             {"minHFreqKHz", Number}, {"maxHFreqKHz", Number},
                                             {"maxPixelClockMHz", Number}};

    // The bench block, and the same with gamma not given, no range limits
    // (tag changed to text) and a text descriptor: the nullable keys both ways.
    std::string other = benchBlock();
    other[23] = '\xFF';
    other[72 + 3] = '\xFE';
    for (const std::string& block : {benchBlock(), other}) {
        const nlohmann::json json = edidJson(*decodeEdid(bytesOf(block)).edid);
        expectSchema(json, top, "edid");
        expectSchema(json["dpms"], {{"standby", Boolean}, {"suspend", Boolean}, {"activeOff", Boolean}}, "dpms");
        for (const char* list : {"establishedTimings", "standardTimings"}) {
            for (const auto& entry : json[list]) expectSchema(entry, mode, list);
        }
        for (const auto& entry : json["detailedTimings"]) expectSchema(entry, detailed, "detailedTimings");
        for (const auto& entry : json["text"]) EXPECT_TRUE(entry.is_string());
        if (!json["rangeLimits"].is_null()) expectSchema(json["rangeLimits"], limits, "rangeLimits");
    }
    const nlohmann::json bench = edidJson(*decodeEdid(bytesOf(benchBlock())).edid);
    EXPECT_EQ(bench["version"], "1.3");
    EXPECT_EQ(bench["manufacturer"], "VLM");
    EXPECT_EQ(bench["standardTimings"][0], (nlohmann::json{{"width", 1024}, {"height", 768}, {"refreshHz", 85}}));
    EXPECT_EQ(bench["establishedTimings"].size(), 15u);
    EXPECT_EQ(bench["rangeLimits"]["maxPixelClockMHz"], 230);
    const nlohmann::json changed = edidJson(*decodeEdid(bytesOf(other)).edid);
    EXPECT_TRUE(changed["gamma"].is_null());
    EXPECT_TRUE(changed["rangeLimits"].is_null());
    ASSERT_EQ(changed["text"].size(), 1u);
}

}  // namespace
}  // namespace velmora::tools
