#include <gtest/gtest.h>

#include "platform/port_choice.h"

namespace velmora::platform {
namespace {

// What --port names, by node where it exists and by name where it does not.
TEST(PortChoice, ByMajorNumberOrByName) {
    struct Row {
        const char* text;
        PortKind kind;
        const char* device;
    };
    for (const Row& row : {Row{"i2c-97", PortKind::DisplayChannel, "/dev/i2c-97"},
                           Row{"/dev/i2c-97", PortKind::DisplayChannel, "/dev/i2c-97"},
                           Row{"/nowhere/i2c-4", PortKind::DisplayChannel, "/nowhere/i2c-4"},
                           Row{"parport3", PortKind::Jig, "/dev/parport3"},
                           Row{"/dev/parport7", PortKind::Jig, "/dev/parport7"},
                           Row{"/dev/null", PortKind::Unknown, "/dev/null"},  // a character device of major 1
                           Row{"/dev", PortKind::Unknown, "/dev"},
                           Row{"i2c-", PortKind::Unknown, "/dev/i2c-"},
                           Row{"i2c-4a", PortKind::Unknown, "/dev/i2c-4a"},
                           Row{"lp0", PortKind::Unknown, "/dev/lp0"},
                           Row{"", PortKind::Unknown, ""}}) {
        const PortChoice choice = choosePort(row.text);
        EXPECT_EQ(choice.kind, row.kind) << row.text;
        EXPECT_EQ(choice.device, row.device) << row.text;
    }
}

}  // namespace
}  // namespace velmora::platform
