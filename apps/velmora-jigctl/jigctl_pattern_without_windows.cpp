// The pattern command of a build without the windows (Qt).
#include "apps/velmora-jigctl/jigctl_commands.h"
#include "apps/velmora-jigctl/jigctl_pattern.h"

namespace velmora::apps::jigctl {

int runPattern(const Invocation&, const model::ModelDescription&, std::ostream&, std::ostream& err) {
    err << "velmora-jigctl: pattern: this velmora-jigctl was built without the windows (Qt), which show the "
           "patterns; build it with -DVELMORA_WITH_QT=ON\n";
    return kExitOperationFailed;
}

}  // namespace velmora::apps::jigctl
