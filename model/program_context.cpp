#include "model/program_context.h"

#include "link/jig_link.h"

namespace velmora::model {

ProgramContext::ProgramContext(platform::LinkPlatform linkPlatform)
    : ProgramContext(linkPlatform, [&linkPlatform](const link::ProgramFlags& programFlags) {
          return std::make_unique<link::JigLink>(linkPlatform, programFlags);
      }) {}

ProgramContext::ProgramContext(platform::LinkPlatform linkPlatform, const LinkMaker& makeLink)
    : platform(linkPlatform),
      ownedLink_(makeLink(flags)),
      link(*ownedLink_),
      interpreter(link, model, flags, platform.clock) {
    // No model yet: a link that must ask before factory requests asks.
    link.expectMonitors({}, {});
}

int ProgramContext::loadModel(const std::string& path) {
    model.modelPath = path;
    const int loaded = model.LoadModelFile();
    if (loaded != 0 && model.protocolReplyMode) link.setReplyMode(*model.protocolReplyMode);
    link.expectMonitors(model.monitorIdentities(), model.modelName);
    return loaded;
}

}  // namespace velmora::model
