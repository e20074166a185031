#include "process_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

extern char** environ;

namespace velmora::apps::jigctl::testing {

namespace {

// A file for one output stream, removed again when done.
class CaptureFile {
public:
    CaptureFile() {
        char pattern[] = "/tmp/jigctl_output_XXXXXX";
        fd_ = ::mkstemp(pattern);
        path_ = pattern;
    }
    ~CaptureFile() {
        if (fd_ >= 0) ::close(fd_);
        ::unlink(path_.c_str());
    }
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    [[nodiscard]] int fd() const { return fd_; }
    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] std::string text() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace

namespace {

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

// The environment of every run: this process's, with the overrides.
std::vector<std::string> environmentWith(const std::vector<std::string>& overrides) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string text = *variable;
        const std::string name = text.substr(0, text.find('=') + 1);
        bool replaced = false;
        for (const std::string& given : overrides) replaced = replaced || given.starts_with(name);
        if (!replaced) variables.push_back(text);
    }
    variables.insert(variables.end(), overrides.begin(), overrides.end());
    return variables;
}

ProcessResult run(const std::vector<std::string>& arguments, const std::string& input, const std::string& marker,
                  std::size_t count, const std::vector<std::string>& environment = {}) {
    CaptureFile in;
    CaptureFile out;
    CaptureFile err;
    if (!input.empty()) std::ofstream(in.path(), std::ios::binary) << input;
    std::vector<std::string> words{VELMORA_JIGCTL};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.empty() ? "/dev/null" : in.path().c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.fd(), 1);
    posix_spawn_file_actions_adddup2(&actions, err.fd(), 2);
    pid_t pid = 0;
    ProcessResult result;
    std::vector<std::string> variables = environmentWith(environment);
    std::vector<char*> envp;
    for (auto& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.err = "could not start " + words[0];
        return result;
    }
    if (!marker.empty()) {
        constexpr int kPolls = 10000;  // 1 ms apart
        for (int poll = 0; poll < kPolls && occurrences(err.text(), marker) < count; ++poll) ::usleep(1000);
        ::kill(pid, SIGINT);
    }
    int status = 0;
    pid_t waited = -1;
    do {
        waited = ::waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.out = out.text();
    result.err = err.text();
    return result;
}

// The data home every run of this test program shares: made on first use,
// with a backup of the bench monitor, and removed when the program ends. Set
// in this process's own environment, so that the programs started through a
// shell get it too. ctest runs each test as a process of its own and makes
// that backup once beforehand (VELMORA_TEST_BACKUP_SEED, a data home); it
// is copied here, since reading the whole EEPROM of the bench takes most of
// a second in the sanitizer build. Run directly, the program makes it here
// with one write of its own.
class SharedDataHome {
public:
    SharedDataHome() {
        char pattern[] = "/tmp/jigctl_data_XXXXXX";
        if (::mkdtemp(pattern) == nullptr) return;
        path_ = pattern;
        ::setenv("XDG_DATA_HOME", path_.c_str(), 1);
        if (!copiedSeed()) (void)run({"--bench", "write-mem", "0", "00", "0x11"}, {}, {}, 0);
    }
    ~SharedDataHome() {
        if (!path_.empty()) (void)std::system(("rm -rf '" + path_ + "'").c_str());
    }
    SharedDataHome(const SharedDataHome&) = delete;
    SharedDataHome& operator=(const SharedDataHome&) = delete;

private:
    bool copiedSeed() const {
        const char* seed = std::getenv("VELMORA_TEST_BACKUP_SEED");
        if (seed == nullptr || !std::filesystem::is_directory(seed)) return false;
        std::error_code error;
        std::filesystem::copy(seed, path_, std::filesystem::copy_options::recursive, error);
        return !error;
    }

    std::string path_;
};

void useSharedDataHome() { static const SharedDataHome home; }

}  // namespace

ProcessResult runJigctl(const std::vector<std::string>& arguments, const std::string& input) {
    useSharedDataHome();
    return run(arguments, input, {}, 0);
}

ProcessResult runJigctlWith(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
    useSharedDataHome();
    return run(arguments, {}, {}, 0, environment);
}

ProcessResult runJigctlInterrupted(const std::vector<std::string>& arguments, const std::string& marker,
                                   std::size_t count) {
    useSharedDataHome();
    return run(arguments, {}, marker, count);
}

std::string joined(const std::vector<std::string>& arguments) {
    std::string text;
    for (const auto& argument : arguments) text += argument + " ";
    return text;
}

std::string sampleModel(const std::string& name) { return std::string(VELMORA_SAMPLE_MODELS_DIR) + name; }

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<std::string> shownOnTerminal(const std::string& arguments, const std::string& file) {
    useSharedDataHome();
    if (std::system("command -v script >/dev/null 2>&1") != 0) return std::nullopt;
    const std::string command = "script -qec '" + std::string(VELMORA_JIGCTL) + " " + arguments + " " + file +
                                " >/dev/null' /dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string shown;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) shown.append(buffer, n);
    if (::pclose(pipe) != 0) shown += "\n(script ended with a failure)";
    std::remove(file.c_str());
    return shown;
}

}  // namespace velmora::apps::jigctl::testing
