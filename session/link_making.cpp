#include "session/link_making.h"

#include "link/jig_link.h"

namespace velmora::session {

namespace {

template <class... Ways>
struct Overloaded : Ways... {
    using Ways::operator()...;
};
template <class... Ways>
Overloaded(Ways...) -> Overloaded<Ways...>;

}  // namespace

std::unique_ptr<link::MonitorLink> makeLink(const LinkWay& way, const link::ProgramFlags& flags) {
    return std::visit(
        Overloaded{
            [&flags](const JigWay& jig) -> std::unique_ptr<link::MonitorLink> {
                return std::make_unique<link::JigLink>(jig.platform, flags);
            },
            [&flags](const ChannelWay& channel) -> std::unique_ptr<link::MonitorLink> {
                return std::make_unique<link::DisplayChannelLink>(channel.port, channel.clock, channel.messages,
                                                                  flags, channel.timing);
            },
        },
        way);
}

}  // namespace velmora::session
