#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::model {

// Installed models, relative to the program's directory (bin/ beside share/).
inline constexpr std::string_view kInstalledModelFolder = "../share/velmora-jig/models/";
// The user's own models, relative to the user's data folder.
inline constexpr std::string_view kUserModelFolder = "velmora-jig/models/";

// The folders searched for model files, in order, each ending in '/'. The
// program's own directory is always first; it is also the folder named when
// no model is found anywhere.
struct ModelFolders {
    // Only the program's own directory.
    ModelFolders(std::string programDirectory);  // NOLINT: a directory is a search order of one
    ModelFolders(std::string programDirectory, std::vector<std::string> furtherFolders);

    std::string programDirectory;
    std::vector<std::string> searchOrder;
};

// The order of a built or installed program: its own directory (the build
// tree keeps the sample models there), the installed models beside it, then
// the user's models under `userDataHome` (left out when that is empty).
// Paths are normalised ("/usr/bin/../share/" becomes "/usr/share/").
[[nodiscard]] ModelFolders programModelFolders(const std::string& programDirectory, const std::string& userDataHome);

// The first folder of the search order that holds a .mdl file.
[[nodiscard]] std::optional<std::string> firstFolderWithModels(const ModelFolders& folders);

// The model file a command line names. A text with a '/' or naming an
// existing file is a path and returned as it is. Otherwise it is a model
// name: the first folder in the search order holding NAME or NAME.mdl
// (compared without regard to case) gives the file. Nothing when no folder
// has it.
[[nodiscard]] std::optional<std::string> findModelFile(const std::string& nameOrPath, const ModelFolders& folders);

}  // namespace velmora::model
