#include "console/write_password.h"

namespace velmora::console {

std::string raisedPasswordText(std::string_view typed) {
    std::string text(typed.substr(0, kPasswordTextLimit));
    for (std::size_t i = 0; i < text.size() && i < kPasswordRaisedLength; ++i) {
        text[i] = static_cast<char>(static_cast<unsigned char>(text[i]) + 1);
    }
    return text;
}

bool applyPassword(std::string_view typed, link::ProgramFlags& flags, platform::MessageSink& messages) {
    // The whole raised text is compared, so a character that wraps round to
    // a zero byte cannot end the comparison early.
    if (raisedPasswordText(typed) == kPasswordComparisonValue) {
        flags.writeEnabled = 1;
        return true;
    }
    messages.showMessage(kWrongPasswordText, kWrongPasswordCaption);
    return false;
}

std::string windowTitle(const link::ProgramFlags& flags) {
    std::string title(kWindowTitle);
    if (flags.writeEnabled == 0) title += kReadingOnlySuffix;
    return title;
}

}  // namespace velmora::console
