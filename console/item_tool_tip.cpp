#include "console/item_tool_tip.h"

#include <cstdio>

#include "link/mccs_features.h"
#include "model/image_layout.h"

namespace velmora::console {

std::string itemToolTip(const ItemRecord& item) {
    if (item.kind != model::item_kind::VcpUp && item.kind != model::item_kind::ServiceVcp) return {};
    const auto code = static_cast<std::uint8_t>(item.code & 0xFF);
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "VCP %02Xh: ", code);
    std::string tip = prefix + std::string(link::mccsFeatureName(code));
    if (const auto feature = link::mccsFeature(code)) {
        tip += ", " + std::string(link::featureKindName(feature->kind)) + (feature->readOnly ? ", read-only" : "");
    }
    return tip;
}

}  // namespace velmora::console
