// velmora-jigctl: the program's monitor operations from the command line,
// on the parallel port's jig or on the virtual bench. See --help.
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "apps/velmora-jigctl/jigctl_arguments.h"
#include "apps/velmora-jigctl/jigctl_commands.h"
#include "apps/velmora-jigctl/jigctl_json.h"

int main(int argc, char** argv) {
    using namespace velmora::apps::jigctl;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    ParsedArguments parsed = parseArguments(arguments);
    if (!parsed.invocation) {
        // A script that asked for JSON gets its refusal as JSON too.
        const auto end = std::find(arguments.begin(), arguments.end(), "--");
        if (std::find(arguments.begin(), end, "--json") != end) {
            std::cout << jsonLine(errorJson(parsed.error, std::nullopt)) << "\n";
        }
        std::cerr << "velmora-jigctl: " << parsed.error << " (see --help)\n";
        return kExitUsage;
    }
    if (parsed.invocation->command == Command::Help) {
        std::cout << usageText();
        return kExitSuccess;
    }
    if (parsed.invocation->command == Command::Version) {
        std::cout << versionText();
        return kExitSuccess;
    }
    parsed.invocation->progress = ::isatty(STDERR_FILENO) == 1;
    return runInvocation(*parsed.invocation, std::cout, std::cerr);
}
