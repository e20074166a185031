#include "apps/velmora-jigctl/jigctl_watched_link.h"

#include <csignal>

#include "apps/velmora-jigctl/jigctl_json.h"

namespace velmora::apps::jigctl {

namespace {

volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void onInterrupt(int) { interruptRequested = 1; }

}  // namespace

void catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Waits and port accesses go on where they were: the byte in flight
    // is finished before the command looks at the flag.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool interrupted() { return interruptRequested != 0; }

const std::uint8_t* WatchedLink::watch(const std::uint8_t* result) {
    exchanged_ = true;
    lastFailed_ = result == nullptr;
    return result;
}

const std::uint8_t* WatchedLink::transact(std::span<std::uint8_t> request, std::int32_t replyArgument) {
    if (interrupted()) return nullptr;
    // A request refused for want of write permission never reaches the bus.
    if (inner_->isWriteProtected(request)) return inner_->transact(request, replyArgument);
    return watch(inner_->transact(request, replyArgument));
}

const std::uint8_t* WatchedLink::readEepromBlock(std::int32_t block) {
    if (interrupted()) return nullptr;
    return watch(inner_->readEepromBlock(block));
}

const std::uint8_t* WatchedLink::transferEepromBlock(std::int32_t block) {
    if (interrupted()) return nullptr;
    return watch(inner_->transferEepromBlock(block));
}

std::optional<int> WatchedLink::failureCode() const {
    if (inner_->errorCode() != link::LinkError::None) return static_cast<int>(inner_->errorCode());
    if (!exchanged_) return std::nullopt;
    return lastFailed_ ? kBadReplyCode : 0;
}

}  // namespace velmora::apps::jigctl
