#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velmora::model {

inline constexpr std::size_t kTitleCapacity = 299;      // characters of a display text
inline constexpr std::size_t kTitleProbeLength = 100;   // bytes of a file read for its title

// Display text of one model file: the name in the file's first
// "[MODEL,name]" marker (within its first 100 bytes, blanks kept) followed by
// " - " and the file name; an empty name when there is no marker. At most
// 299 characters. Nothing when the file cannot be read.
[[nodiscard]] std::optional<std::string> readModelTitle(const std::string& directory, const std::string& fileName);

// One entry of the model selector: its text and the catalogue row it loads.
struct CatalogueEntry {
    std::string displayText;
    std::size_t catalogueIndex = 0;
};

// The model files of the program's directory. Rows keep the directory's
// enumeration order; the entries are sorted by display text without regard
// to case, each naming its row, so that selecting an entry loads its file.
class ModelCatalogue {
public:
    static constexpr std::size_t kCapacity = 500;

    // Lists the directory's .mdl files and reads their titles.
    void discover(const std::string& directory);
    // Builds the catalogue from file names in enumeration order. Files that
    // cannot be read are left out; names beyond the capacity are counted in
    // `overflow()` and left out.
    void build(const std::string& directory, const std::vector<std::string>& fileNames);

    const std::vector<std::string>& fileNames() const { return fileNames_; }
    const std::vector<CatalogueEntry>& entries() const { return entries_; }
    std::size_t overflow() const { return overflow_; }
    bool empty() const { return fileNames_.empty(); }

private:
    std::vector<std::string> fileNames_;
    std::vector<CatalogueEntry> entries_;
    std::size_t overflow_ = 0;
};

}  // namespace velmora::model
