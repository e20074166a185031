#pragma once
#include <functional>
#include <memory>
#include <string>

#include "link/monitor_link.h"
#include "link/program_flags.h"
#include "model/feature_interpreter.h"
#include "model/model_description.h"
#include "platform/clock.h"

namespace velmora::session {

// What a link stands on (a parallel port, a display channel's node, the
// machine's clock): kept by the context for as long as the link lives.
class WayParts {
public:
    virtual ~WayParts() = default;
};

// The program's long-lived objects, made once at start in this order and
// passed by reference to whatever needs them: the program-wide flags, the
// link (its creation resets the bus), the compiled model and the
// interpreter. openWayToMonitor makes one for each program (the window, the
// command-line tools) and each test.
class ProgramContext {
public:
    // Makes the link to the monitor from the program's flags.
    using LinkMaker = std::function<std::unique_ptr<link::MonitorLink>(const link::ProgramFlags&)>;

    // `clock` gives the interpreter's and the console's waits; `way`
    // (may be empty) is what the link made by `makeLink` works on.
    ProgramContext(std::unique_ptr<WayParts> way, platform::Clock& clock, const LinkMaker& makeLink);
    ProgramContext(const ProgramContext&) = delete;
    ProgramContext& operator=(const ProgramContext&) = delete;

    // Compiles the model file at `path` into `model` and gives the link the
    // reply mode its PROTOCOL directive chose (a model without one keeps the
    // present mode). Returns loadModelFile's result: 0 when the file could not
    // be read, which leaves model and mode as they were.
    int loadModel(const std::string& path);

private:
    std::unique_ptr<WayParts> way_;

public:
    platform::Clock& clock;
    link::ProgramFlags flags;
    // Mirrors the main window's Auto Reading box, 1 at start: the lists are
    // read again after RUN, and the Memory & Edid window reads its page
    // when it opens.
    int autoReading = 1;
    // The device the link works on when the program was told one (--port),
    // shown beside the window's title; empty for the default parallel port.
    std::string portName;

private:
    std::unique_ptr<link::MonitorLink> ownedLink_;

public:
    link::MonitorLink& link;
    model::ModelDescription model;
    model::FeatureInterpreter interpreter;
};

}  // namespace velmora::session
