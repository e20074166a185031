#pragma once
#include <string>
#include <string_view>

#include "link/program_flags.h"
#include "platform/message_sink.h"

namespace velmora::console {

// The password is never stored as typed: the program keeps it with every
// character code raised by one, and raises what the user types the same way
// before comparing.
inline constexpr std::string_view kPasswordComparisonValue = "Wn34";

inline constexpr std::size_t kPasswordTextLimit = 98;  // characters taken from the field
inline constexpr std::size_t kPasswordRaisedLength = 10;  // characters raised before comparing

inline constexpr std::string_view kWrongPasswordText = "Password is not correct.";
inline constexpr std::string_view kWrongPasswordCaption = "Password";

inline constexpr std::string_view kWindowTitle = "Velmora Monitor A/S Jig 2.3a";
inline constexpr std::string_view kReadingOnlySuffix = "(Reading & Adjusting only)";

// What the comparison sees of a typed text: at most 98 characters, the
// first ten raised by one (8-bit, wrapping).
[[nodiscard]] std::string raisedPasswordText(std::string_view typed);

// "Apply" in the Password for Writing dialog: a matching text turns the
// write-enabled mode on; any other shows "Password is not correct." and
// leaves the mode as it was. True when the password matched.
bool applyPassword(std::string_view typed, link::ProgramFlags& flags, platform::MessageSink& messages);

// The main window's caption for the present mode.
[[nodiscard]] std::string windowTitle(const link::ProgramFlags& flags);

}  // namespace velmora::console
