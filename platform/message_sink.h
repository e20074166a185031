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

// A question's answer; CannotAsk where nobody is there to answer (the
// command line), so that the caller refuses and says why.
enum class Answer { Yes, No, CannotAsk };

// The button Enter presses in a question: No where Yes does what cannot be
// taken back, Yes where No would (writing the EEPROM without a backup).
enum class DefaultButton { No, Yes };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(std::string_view text, std::string_view caption) = 0;
    // A modal question with Yes and No.
    virtual Answer askYesNo(std::string_view text, std::string_view caption, DefaultButton defaultButton) {
        (void)text;
        (void)caption;
        (void)defaultButton;
        return Answer::CannotAsk;
    }
};

struct RecordedMessage {
    std::string text;
    std::string caption;
    DefaultButton defaultButton = DefaultButton::No;  // of a question
    bool operator==(const RecordedMessage&) const = default;
};

// Keeps every message in order; used by tests and by the command-line tools.
class RecordingMessageSink : public MessageSink {
public:
    void showMessage(std::string_view text, std::string_view caption) override {
        messages.push_back({std::string(text), std::string(caption)});
    }
    Answer askYesNo(std::string_view text, std::string_view caption, DefaultButton defaultButton) override {
        questions.push_back({std::string(text), std::string(caption), defaultButton});
        return answer;
    }
    std::vector<RecordedMessage> messages;
    std::vector<RecordedMessage> questions;
    Answer answer = Answer::CannotAsk;  // what every question gets
};

}  // namespace velmora::platform
