#pragma once
#include <string>
#include <vector>

namespace velmora::apps::jigctl::testing {

struct ProcessResult {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs velmora-jigctl with these arguments, standard input from /dev/null,
// and collects both output streams.
ProcessResult runJigctl(const std::vector<std::string>& arguments);

}  // namespace velmora::apps::jigctl::testing
