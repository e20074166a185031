#include "tools/memory_dialog_common.h"

#include <cstdio>

namespace velmora::tools {

RangeBoxTexts rangeBoxTexts(const MemoryRange& range) {
    char fromAddress[16];
    char toAddress[16];
    std::snprintf(fromAddress, sizeof fromAddress, "%02X", static_cast<unsigned>(range.fromAddress));
    std::snprintf(toAddress, sizeof toAddress, "%02X", static_cast<unsigned>(range.toAddress));
    return {std::to_string(range.fromPage), fromAddress, std::to_string(range.toPage), toAddress};
}

std::string cantOpenFileText(std::string_view fileName) {
    return "Can't Open File : " + std::string(fileName);
}

std::string cantWriteFileText(std::string_view fileName, std::string_view reason) {
    return "Can't Write File : " + std::string(fileName) + " (" + std::string(reason) + ")";
}

}  // namespace velmora::tools
