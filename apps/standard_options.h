#pragma once
#include <string_view>

// --help and --version, which every program answers on standard output with
// exit status 0 before it opens a window, a port or a file: a technician
// without a display, or a package check, can still ask.
namespace velmora::apps {

enum class StandardRequest { None, Help, Version };

// The first --help (or -h) or --version of the command line; options end at
// "--".
inline StandardRequest standardRequest(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") break;
        if (argument == "--help" || argument == "-h") return StandardRequest::Help;
        if (argument == "--version") return StandardRequest::Version;
    }
    return StandardRequest::None;
}

// "--name=value" as the option and its value; another word as itself.
struct OptionWord {
    std::string_view name;
    std::string_view value;
    bool hasValue = false;
};

inline OptionWord splitOption(std::string_view word) {
    const std::size_t equals = word.find('=');
    if (!word.starts_with("--") || equals == std::string_view::npos) return {word, {}, false};
    return {word.substr(0, equals), word.substr(equals + 1), true};
}

}  // namespace velmora::apps
