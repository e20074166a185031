// Reads arbitrary bytes as a monitor's capabilities string, then makes a
// model from what was read and compiles it as the console would. Besides
// the sanitizers' findings, a problem placed outside the string, a feature
// listed twice, or a made model that does not compile cleanly aborts the
// run: whatever a monitor sends, the model made from it is a clean start.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/capabilities_parser.h"
#include "model/model_description.h"
#include "model/model_warnings.h"
#include "tools/model_from_capabilities.h"

using namespace velmora;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const link::CapabilitiesReading reading = link::parseCapabilities(raw);
    require(reading.capabilities.has_value() == reading.refusal.empty());
    if (!reading.capabilities) return 0;
    const link::Capabilities& capabilities = *reading.capabilities;
    require(capabilities.raw == raw);
    for (const link::CapabilityProblem& problem : capabilities.problems) require(problem.offset <= size);
    for (std::size_t i = 0; i < capabilities.features.size(); ++i) {
        for (std::size_t j = i + 1; j < capabilities.features.size(); ++j) {
            require(capabilities.features[i].code != capabilities.features[j].code);
        }
    }
    model::ModelDescription made;
    made.compileText(tools::modelFromCapabilities(capabilities, "from the fuzzer"));
    require(!made.errorFlag);
    require(model::findWarnings(made, model::WarningOptions{true}).empty());
    return 0;
}
