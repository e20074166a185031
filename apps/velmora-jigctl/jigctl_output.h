#pragma once
#include <ostream>
#include <streambuf>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "console/page_lists.h"
#include "model/model_description.h"
#include "platform/message_sink.h"
#include "tools/preset_timing_text.h"

namespace velmora::apps::jigctl {

// The message boxes of the program as lines of text: completed transfers
// ("OK") and the on-time readout on standard output, everything else (the
// link's reports, refusals, errors) on standard error after
// "velmora-jigctl: COMMAND: ".
class StreamMessageSink : public platform::MessageSink {
public:
    StreamMessageSink(std::ostream& out, std::ostream& err, std::string command)
        : out_(out), err_(err), command_(std::move(command)) {}
    void showMessage(std::string_view text, std::string_view caption) override;

private:
    std::ostream& out_;
    std::ostream& err_;
    std::string command_;
};

// A stream for the platform's own reports (the parallel port that cannot
// be opened, read or written), which begin "velmora: ": each line goes on
// to `target` as "velmora-jigctl: ..." like the program's other messages.
class ProgramLineStream : public std::ostream {
public:
    explicit ProgramLineStream(std::ostream& target) : std::ostream(&buffer_), buffer_(target) {}

private:
    class LineBuffer : public std::streambuf {
    public:
        explicit LineBuffer(std::ostream& target) : target_(target) {}

    protected:
        int_type overflow(int_type c) override;

    private:
        std::ostream& target_;
        std::string line_;
    };
    LineBuffer buffer_;
};

// The window's CR LF line breaks as a terminal's LF.
std::string terminalText(std::string_view text);

// The item codes of a page's functions, in the order the function list
// shows them (the list keeps the entry's argument; run takes the code).
std::vector<int> functionItemCodes(int page, const model::ModelDescription& model);

// One page's lists under its tab name: each item with its VCP code (as
// read-vcp takes it) or PAGE:ADDR (as read-mem takes it) and its value,
// each function with its item code (as run takes it; "--" where there is
// none).
std::string pageListsText(int page, const console::PageLists& lists, std::span<const int> functionItems);

// The Preset Timing window as text: the model's name, the headings, then
// both columns side by side, line for line.
std::string presetTimingText(const tools::PresetTimingTexts& texts);

}  // namespace velmora::apps::jigctl
