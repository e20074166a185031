#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// Every message box of the program goes through this interface: the window
// layer shows a modal box with one OK button, tests record the calls.
// An empty caption means "no caption of its own": the box carries the
// program's name.
// The caption of every box that reports a failure.
inline constexpr std::string_view kErrorCaption = "Error";

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(std::string_view text, std::string_view caption) = 0;
};

struct RecordedMessage {
    std::string text;
    std::string caption;
    bool operator==(const RecordedMessage&) const = default;
};

// Keeps every message in order; used by tests and by the command-line tools.
class RecordingMessageSink : public MessageSink {
public:
    void showMessage(std::string_view text, std::string_view caption) override {
        messages.push_back({std::string(text), std::string(caption)});
    }
    std::vector<RecordedMessage> messages;
};

}  // namespace velmora::platform
