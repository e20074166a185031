#pragma once
#include <string>
#include <vector>

#include "model/model_description.h"

namespace velmora::model {

// Something that compiles but cannot work as written when the monitor runs
// it. `line` is the source line it concerns, 0 when it belongs to none.
struct ModelWarning {
    int line = 0;
    std::string text;
    // Found by reading the image: after a compile error the bytes may not
    // be where the author put them, and such a warning may only follow from
    // the error. Warnings about a directive's own text stand on their own.
    bool mayFollowFromErrors = true;
};

struct WarningOptions {
    bool unusedLabels = false;  // labels and constants that nothing refers to
};

// Reads a compiled model (its image, tables and compile trace) and lists
// what the interpreter, the console or the timing decoding would refuse or
// pass over: mode tables wider than a save can send, user tables longer than
// a request, scripts that use a missing chunk or point outside the image or
// at a zero byte, VCP codes listed twice in chunk 07, KEY names for items
// that do not exist, a TIMING directive that decodes nothing; and the
// directive values the compile noted (an unknown PROTOCOL, a VER that is no
// number, a TIMING offset outside a byte). Ordered by line.
std::vector<ModelWarning> findWarnings(const ModelDescription& model, WarningOptions options = {});

}  // namespace velmora::model
