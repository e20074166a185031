#pragma once
#include <string>

#include "link/jig_link.h"
#include "link/program_flags.h"
#include "model/feature_interpreter.h"
#include "model/model_description.h"
#include "platform/link_platform.h"

namespace velmora::model {

// The program's long-lived objects, made once at start in this order and
// passed by reference to whatever needs them: the program-wide flags, the
// link (its creation resets the bus), the compiled model and the
// interpreter. Each program (the window, the command-line tools) and each
// test owns one.
class ProgramContext {
public:
    explicit ProgramContext(platform::LinkPlatform platform);
    ProgramContext(const ProgramContext&) = delete;
    ProgramContext& operator=(const ProgramContext&) = delete;

    // Compiles the model file at `path` into `model` and gives the link the
    // reply mode its PROTOCOL directive chose (a model without one keeps the
    // present mode). Returns LoadModelFile's result: 0 when the file could not
    // be read, which leaves model and mode as they were.
    int loadModel(const std::string& path);

    platform::LinkPlatform platform;
    link::ProgramFlags flags;
    link::JigLink link;
    ModelDescription model;
    FeatureInterpreter interpreter;
};

}  // namespace velmora::model
