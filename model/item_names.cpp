#include "model/item_names.h"

#include "model/image_layout.h"
#include "model/standard_names.h"

namespace velmora::model {

namespace {

std::string textAt(const ModelDescription& model, std::int16_t position) {
    return std::string(model.imageText(static_cast<std::uint16_t>(position)));
}

}  // namespace

std::string vcpItemName(const ModelDescription& model, const ItemEntry& entry, std::uint8_t code) {
    if (entry.ref != 0) {
        std::string own = textAt(model, entry.ref);
        if (!own.empty()) return own;
    }
    if (auto standard = standardVcpName(code)) return std::string(*standard);
    return std::string(kUnknownVcpName);
}

std::string functionName(const ModelDescription& model, const ItemEntry& entry) {
    const auto ref = static_cast<std::uint16_t>(entry.ref);
    if (entry.kind == item_kind::ServiceKey) return textAt(model, entry.ref);
    if (ref & name_ref::ImageText) return std::string(model.imageText(ref & name_ref::PositionMask));
    if (ref & name_ref::KeyName) {
        const std::size_t row = ref & 0xFF;
        if (row >= model.keyNameCount || row >= model.keyNames.size()) return {};
        return std::string(model.keyNames[row].name.view());
    }
    return std::string(standardFunctionName(static_cast<std::uint8_t>(ref & 0xFF)));
}

}  // namespace velmora::model
