#include "session/program_context.h"

namespace velmora::session {

ProgramContext::ProgramContext(std::unique_ptr<WayParts> way, platform::Clock& programClock,
                               const LinkMaker& makeLink)
    : way_(std::move(way)),
      clock(programClock),
      ownedLink_(makeLink(flags)),
      link(*ownedLink_),
      interpreter(link, model, flags, clock) {
    // No model yet: a link that must ask before factory requests asks.
    link.expectMonitors({}, {});
}

int ProgramContext::loadModel(const std::string& path) {
    model.modelPath = path;
    const int loaded = model.loadModelFile();
    if (loaded != 0 && model.protocolReplyMode) link.setReplyMode(*model.protocolReplyMode);
    link.expectMonitors(model.monitorIdentities(), model.modelName);
    return loaded;
}

}  // namespace velmora::session
