#include "tools/model_capabilities.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "model/image_layout.h"

namespace velmora::tools {

namespace {

bool hasVcpItem(const model::ModelDescription& model, std::uint8_t code) {
    return std::any_of(model.itemTable.begin(), model.itemTable.end(), [code](const model::ItemEntry& entry) {
        return entry.kind == model::item_kind::VcpUp && entry.arg == code;
    });
}

}  // namespace

std::string capabilitiesOfModel(const model::ModelDescription& model) {
    std::vector<std::uint8_t> codes;
    if (const auto chunk = model.findChunk(model::chunk::Vcp)) {
        const std::size_t count = model.imageByte(*chunk);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t code = model.imageByte(*chunk + 1 + 2 * i);
            if (hasVcpItem(model, code) && std::find(codes.begin(), codes.end(), code) == codes.end()) {
                codes.push_back(code);
            }
        }
    }
    // A name with parentheses would end the segment early.
    std::string name = model.modelName.empty() ? std::string("VELMORA CRT") : std::string(model.modelName);
    std::replace(name.begin(), name.end(), '(', '[');
    std::replace(name.begin(), name.end(), ')', ']');
    std::string text = "(prot(monitor)type(crt)model(" + name + ")cmds(01 02 03 0C E3 F3)vcp(";
    for (std::size_t i = 0; i < codes.size(); ++i) {
        char code[4];
        std::snprintf(code, sizeof code, i == 0 ? "%02X" : " %02X", codes[i]);
        text += code;
    }
    return text + ")mccs_ver(2.1))";
}

}  // namespace velmora::tools
