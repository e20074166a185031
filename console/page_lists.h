#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/monitor_link.h"
#include "model/feature_interpreter.h"
#include "model/model_description.h"

namespace velmora::console {

inline constexpr int kPageCount = 4;
inline constexpr int kEntriesPerPage = 0x40;
inline constexpr std::uint8_t kServicePage = 2;  // "Extra 1" lists the service items

// One entry of the item list: an adjustable value.
struct ItemRecord {
    std::string name;
    std::int16_t code = 0;     // VCP code, or the whole arg of a memory item
    std::int16_t kind = 0;
    std::int16_t current = 0;  // 0..255
    std::int16_t maximum = 0;  // 0..255; 255 for memory items
};

// One entry of the function list: something RUN executes.
struct FunctionRecord {
    std::string text;  // four-character prefix, then the name
    std::int16_t kind = 0;
    std::int16_t code = 0;  // the item table entry's arg
};

struct PageLists {
    std::vector<ItemRecord> items;
    std::vector<FunctionRecord> functions;
};

// Builds both lists of page 0..3 and reads every listed value from the
// monitor: VCP items in the order of chunk 07, then on "Extra 1" the service
// VCP and memory items in item code order; the functions in item code order
// with their Alt+digit prefixes. The link's error code is set to 0 first and
// no value is read once it is non-zero, so a missing monitor is reported
// once per fill; unread values show what the interpreter held.
PageLists buildPageLists(int page, const model::ModelDescription& model,
                         model::FeatureInterpreter& interpreter, link::MonitorLink& link);

// "%3d (%sh)": the value in decimal, then its low byte in hex.
std::string valueText(int value);
// Two upper-case hexadecimal digits of the value's low byte.
std::string hexByte(int value);

// The text a function entry stores: the name without its leading blanks,
// after "@1: " .. "@9: ", "@0: " for the first ten entries, four blanks after.
std::string functionEntryText(std::size_t entriesBefore, std::string_view name);

}  // namespace velmora::console
