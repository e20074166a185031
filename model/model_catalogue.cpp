#include "model/model_catalogue.h"

#include <algorithm>
#include <string_view>

#include "model/text_rules.h"
#include "platform/files.h"

namespace velmora::model {

std::optional<std::string> readModelTitle(const std::string& directory, const std::string& fileName) {
    const platform::FileRead head = platform::readFilePrefix(directory + fileName, kTitleProbeLength);
    if (!head.ok) return std::nullopt;
    // The bytes are read as a text: a zero byte ends it.
    std::string_view text(head.bytes);
    text = text.substr(0, text.find('\0'));

    std::string_view name;
    constexpr std::string_view kMarker = "[MODEL,";
    const std::size_t marker = text.find(kMarker);
    if (marker != std::string_view::npos) {
        const std::size_t start = marker + kMarker.size();
        const std::size_t close = text.find(']', start);
        if (close != std::string_view::npos) name = text.substr(start, close - start);
    }
    std::string title(name);
    title += " - ";
    title += fileName;
    if (title.size() > kTitleCapacity) title.resize(kTitleCapacity);
    return title;
}

void ModelCatalogue::discover(const std::string& directory) {
    build(directory, platform::listFilesWithExtension(directory, ".mdl"));
}

void ModelCatalogue::build(const std::string& directory, const std::vector<std::string>& fileNames) {
    fileNames_.clear();
    entries_.clear();
    overflow_ = 0;
    for (const std::string& fileName : fileNames) {
        if (fileNames_.size() >= kCapacity) {
            ++overflow_;
            continue;
        }
        std::optional<std::string> title = readModelTitle(directory, fileName);
        if (!title) continue;
        entries_.push_back({std::move(*title), fileNames_.size()});
        fileNames_.push_back(fileName);
    }
    // Equal texts keep their enumeration order.
    std::stable_sort(entries_.begin(), entries_.end(), [](const CatalogueEntry& a, const CatalogueEntry& b) {
        return compareIgnoringCase(a.displayText, b.displayText) < 0;
    });
}

}  // namespace velmora::model
