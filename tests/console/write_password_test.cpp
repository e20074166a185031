// The write password and the window title that shows the mode.
#include "console/write_password.h"

#include <gtest/gtest.h>

namespace velmora::console {
namespace {

struct PasswordCase {
    const char* typed;
    bool accepted;
};

TEST(ApplyPassword, OnlyTheFourCharactersOpenWriting) {
    const PasswordCase cases[] = {
        {"Vm23", true},
        {"Vm23x", false},      // a fifth character
        {"vm23", false},       // letter case counts
        {"Vm2", false},
        {"", false},
        {"Wn34", false},       // the stored value is not the password
        {"Vm23\xFF", false},   // raised to a zero byte, which must not end the comparison
    };
    for (const PasswordCase& c : cases) {
        link::ProgramFlags flags;
        flags.writeEnabled = 0;
        platform::RecordingMessageSink messages;
        EXPECT_EQ(applyPassword(c.typed, flags, messages), c.accepted) << '"' << c.typed << '"';
        EXPECT_EQ(flags.writeEnabled, c.accepted ? 1 : 0) << '"' << c.typed << '"';
        if (c.accepted) {
            EXPECT_TRUE(messages.messages.empty());
        } else {
            EXPECT_EQ(messages.messages,
                      (std::vector<platform::RecordedMessage>{{"Password is not correct.", "Password"}}))
                << '"' << c.typed << '"';
        }
    }
}

TEST(ApplyPassword, WrongPasswordKeepsWriteModeOn) {
    link::ProgramFlags flags;
    platform::RecordingMessageSink messages;
    EXPECT_FALSE(applyPassword("nope", flags, messages));
    EXPECT_EQ(flags.writeEnabled, 1);
}

TEST(RaisedPasswordText, RaisesTheFirstTenOfAtMost98Characters) {
    const std::string typed(120, 'a');
    const std::string raised = raisedPasswordText(typed);
    EXPECT_EQ(raised, std::string(10, 'b') + std::string(88, 'a'));
}

TEST(WindowTitle, ShowsTheMode) {
    link::ProgramFlags flags;
    EXPECT_EQ(windowTitle(flags), "Velmora Monitor A/S Jig 2.3a");
    flags.writeEnabled = 0;
    EXPECT_EQ(windowTitle(flags), "Velmora Monitor A/S Jig 2.3a(Reading & Adjusting only)");
}

}  // namespace
}  // namespace velmora::console
