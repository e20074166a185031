#pragma once
#include <memory>
#include <optional>

#include "link/monitor_link.h"

namespace velmora::apps::jigctl {

// Ctrl-C: the handler only sets a flag; the command looks at it between
// bytes and requests, finishes what is on the bus and says how far it got.
void catchInterrupt();
[[nodiscard]] bool interrupted();

// The exit status of a command stopped by Ctrl-C, as a shell reports a
// process ended by SIGINT.
inline constexpr int kExitInterrupted = 130;

// The program's link as the command line uses it: every call goes to the
// link it wraps, but
// - once Ctrl-C was pressed nothing more is sent (a request is refused
//   before it reaches the bus, as if it had failed), so a running function
//   or script stops after the request in flight;
// - it remembers whether the last exchange failed, so that a failure the
//   link gives error code 0 (a wrong checksum, a garbled or short reply)
//   can be told from an exchange that went through.
class WatchedLink final : public link::MonitorLink {
public:
    explicit WatchedLink(std::unique_ptr<link::MonitorLink> inner) : inner_(std::move(inner)) {}

    [[nodiscard]] const std::uint8_t* transact(std::span<std::uint8_t> request, std::int32_t replyArgument) override;
    [[nodiscard]] std::size_t replyPayloadLength() const override { return inner_->replyPayloadLength(); }
    [[nodiscard]] bool isWriteProtected(std::span<const std::uint8_t> request) const override {
        return inner_->isWriteProtected(request);
    }
    [[nodiscard]] link::LinkError errorCode() const override { return inner_->errorCode(); }
    void setErrorCode(link::LinkError code) override { inner_->setErrorCode(code); }
    [[nodiscard]] link::ReplyMode replyMode() const override { return inner_->replyMode(); }
    void setReplyMode(link::ReplyMode mode) override { inner_->setReplyMode(mode); }
    [[nodiscard]] const std::uint8_t* readEepromBlock(std::int32_t block) override;
    [[nodiscard]] const std::uint8_t* transferEepromBlock(std::int32_t block) override;
    bool busReset() override { return inner_->busReset(); }
    void transcriptOn() override { inner_->transcriptOn(); }
    void transcriptOff() override { inner_->transcriptOff(); }
    void appendText(std::string_view text) override { inner_->appendText(text); }
    [[nodiscard]] std::string_view transcriptText() const override { return inner_->transcriptText(); }
    [[nodiscard]] std::int32_t transcriptLength() const override { return inner_->transcriptLength(); }
    [[nodiscard]] const link::LinkCounters& counters() const override { return inner_->counters(); }
    [[nodiscard]] link::JigTransport* jigControls() override { return inner_->jigControls(); }
    void expectMonitors(std::span<const link::MonitorIdentity> monitors, std::string_view modelName) override {
        inner_->expectMonitors(monitors, modelName);
    }
    void allowAnyMonitor() override { inner_->allowAnyMonitor(); }

    // The code a failed command's JSON gives: the link's error code; 4 for
    // a failed exchange the link leaves at 0; 0 when the last exchange went
    // through (the monitor's answer meant failure); nothing when no
    // exchange took place.
    [[nodiscard]] std::optional<int> failureCode() const;

private:
    const std::uint8_t* watch(const std::uint8_t* result);

    std::unique_ptr<link::MonitorLink> inner_;
    bool exchanged_ = false;
    bool lastFailed_ = false;
};

}  // namespace velmora::apps::jigctl
