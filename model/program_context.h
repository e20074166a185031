#pragma once
#include <functional>
#include <memory>
#include <string>

#include "link/monitor_link.h"
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
    // Makes the link to the monitor from the program's flags.
    using LinkMaker = std::function<std::unique_ptr<link::MonitorLink>(const link::ProgramFlags&)>;

    // The jig on the platform's parallel port.
    explicit ProgramContext(platform::LinkPlatform platform);
    // Another way to the monitor (a display channel); the platform gives
    // the clock and the message boxes, its port is not used.
    ProgramContext(platform::LinkPlatform platform, const LinkMaker& makeLink);
    ProgramContext(const ProgramContext&) = delete;
    ProgramContext& operator=(const ProgramContext&) = delete;

    // Compiles the model file at `path` into `model` and gives the link the
    // reply mode its PROTOCOL directive chose (a model without one keeps the
    // present mode). Returns LoadModelFile's result: 0 when the file could not
    // be read, which leaves model and mode as they were.
    int loadModel(const std::string& path);

    platform::LinkPlatform platform;
    link::ProgramFlags flags;
    // The device the link works on when the program was told one (--port),
    // shown beside the window's title; empty for the default parallel port.
    std::string portName;

private:
    std::unique_ptr<link::MonitorLink> ownedLink_;

public:
    link::MonitorLink& link;
    ModelDescription model;
    FeatureInterpreter interpreter;
};

}  // namespace velmora::model
