#pragma once
#include <optional>
#include <string>
#include <vector>

namespace velmora::apps::jigctl::testing {

struct ProcessResult {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs velmora-jigctl with these arguments, standard input from /dev/null
// (or holding `input`), and collects both output streams.
ProcessResult runJigctl(const std::vector<std::string>& arguments, const std::string& input = {});

// The same with these variables ("NAME=VALUE") added to, or replacing in,
// the environment. Every run gets XDG_DATA_HOME set to a folder of this
// test program's own, which already holds a backup of the bench monitor's
// EEPROM, so that a writing command makes none; a test that wants its own
// backups passes XDG_DATA_HOME here.
ProcessResult runJigctlWith(const std::vector<std::string>& arguments, const std::vector<std::string>& environment);

// The same, but sends SIGINT (Ctrl-C) once standard error holds `marker`
// `count` times; gives up waiting after ten seconds and lets it finish.
ProcessResult runJigctlInterrupted(const std::vector<std::string>& arguments, const std::string& marker,
                                   std::size_t count);

// The arguments as one line, for failure messages.
std::string joined(const std::vector<std::string>& arguments);
// The path of a sample model shipped in models/.
std::string sampleModel(const std::string& name);

// What velmora-jigctl with these arguments (one shell word string, output
// to /dev/null) writes to a terminal, as script(1) gives it one; nothing
// when script(1) is not installed. `file` is removed afterwards.
std::optional<std::string> shownOnTerminal(const std::string& arguments, const std::string& file);

// Whether `text` holds `part`.
bool contains(const std::string& text, const std::string& part);
// A whole file's bytes; empty when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace velmora::apps::jigctl::testing
