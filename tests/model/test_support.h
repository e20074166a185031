#pragma once
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/model_description.h"

namespace velmora::model::testing {

// A model text of these lines followed by a closing "end" line, since the
// last line of a model text is never read.
std::string modelText(std::initializer_list<std::string_view> lines);

std::unique_ptr<ModelDescription> compileText(std::string_view text);
std::unique_ptr<ModelDescription> compileLines(std::initializer_list<std::string_view> lines);

// The written part of the image.
std::vector<std::uint8_t> imageBytes(const ModelDescription& model);
// The error report split into its lines.
std::vector<std::string> errorLines(const ModelDescription& model);

std::string readFile(const std::string& path);

// A directory under the system's temporary directory, removed at the end.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    // The directory path, ending in '/'.
    const std::string& path() const { return path_; }
    void write(const std::string& name, std::string_view contents) const;

private:
    std::string path_;
};

}  // namespace velmora::model::testing
