#pragma once
#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "node_machine.h"

namespace velmora::tests::nodes {

// What a run of velmora-jigctl through the nodes must end with: no time-out,
// the exit status, a part of each stream, and with --json one member's value.
struct ExpectedOutcome {
    const char* name;
    int status;
    const std::string& out;  // expected within standard output
    const std::string& err;  // expected within standard error
    const char* jsonKey;     // empty: no JSON member checked
    int jsonValue;
};

inline void expectOutcome(const ProcessResult& result, const ExpectedOutcome& expected) {
    const std::string shown = std::string(expected.name) + "\nout: " + result.out + "\nerr: " + result.err;
    EXPECT_FALSE(result.timedOut) << shown;
    EXPECT_EQ(result.status, expected.status) << shown;
    EXPECT_NE(result.out.find(expected.out), std::string::npos) << shown;
    EXPECT_NE(result.err.find(expected.err), std::string::npos) << shown;
    if (*expected.jsonKey == '\0') return;
    const auto document = nlohmann::json::parse(result.out, nullptr, false);
    ASSERT_TRUE(document.is_object()) << shown;
    EXPECT_EQ(document.value(expected.jsonKey, -1), expected.jsonValue) << shown;
}

}  // namespace velmora::tests::nodes
