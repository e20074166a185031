#include "model/program_context.h"

namespace velmora::model {

ProgramContext::ProgramContext(platform::LinkPlatform linkPlatform)
    : platform(linkPlatform),
      link(platform, flags),
      interpreter(link, model, flags, platform.clock) {}

int ProgramContext::loadModel(const std::string& path) {
    model.modelPath = path;
    const int loaded = model.LoadModelFile();
    if (loaded != 0 && model.protocolReplyMode) link.setReplyMode(*model.protocolReplyMode);
    return loaded;
}

}  // namespace velmora::model
