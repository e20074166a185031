#include "link/failure_report.h"

#include <string_view>

namespace velmora::link {

namespace {

struct FailureReport {
    LinkError code;
    std::string_view transcriptLine;
    std::string_view message;  // empty: no message box
};

constexpr FailureReport kFailureReports[] = {
    {LinkError::InterfaceBoard, "Check Connection of Interface board\r\n", "Check Connection of Interface board"},
    {LinkError::MonitorNotConnected, "Monitor is not Connected\r\n", "Monitor is not Connected"},
    {LinkError::NoResponse, "No response from Monitor\r\n", ""},
};

}  // namespace

void reportLinkFailure(LinkError code, LinkTranscript& transcript, platform::MessageSink& messages) {
    for (const FailureReport& report : kFailureReports) {
        if (report.code != code) continue;
        transcript.appendText(report.transcriptLine);
        if (!report.message.empty()) messages.showMessage(report.message, "");
    }
}

}  // namespace velmora::link
