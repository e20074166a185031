#pragma once
#include <ostream>

#include "apps/velmora-jigctl/jigctl_arguments.h"

namespace velmora::model {
class ModelDescription;
}

namespace velmora::apps::jigctl {

// pattern NAME --mode N: sets the model's mode N on an output of the X11
// display, shows the pattern, and puts the output's mode back. Exit 0 after
// the mode is back; 2 for a refused mode or a bad pattern, mode or output;
// 1 when the display cannot set it or the new mode was not kept in time;
// 130 after a signal (the mode is back then too).
int runPattern(const Invocation& invocation, const model::ModelDescription& model, std::ostream& out,
               std::ostream& err);

}  // namespace velmora::apps::jigctl
