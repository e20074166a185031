// velmora-jigctl: the program's monitor operations from the command line,
// on the parallel port's jig or on the virtual bench. See --help.
#include <iostream>
#include <string>
#include <vector>

#include "tools/cli/jigctl_arguments.h"
#include "tools/cli/jigctl_commands.h"

int main(int argc, char** argv) {
    using namespace velmora::tools::cli;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedArguments parsed = parseArguments(arguments);
    if (!parsed.invocation) {
        std::cerr << "velmora-jigctl: " << parsed.error << " (see --help)\n";
        return kExitUsage;
    }
    if (parsed.invocation->command == Command::Help) {
        std::cout << usageText();
        return kExitSuccess;
    }
    return runInvocation(*parsed.invocation, std::cout, std::cerr);
}
