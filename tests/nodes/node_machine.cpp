#include "node_machine.h"
#include "node_drivers.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "bench/bench_i2c_adapter.h"
#include "bench/virtual_bench.h"
#include "platform/port_io.h"

extern char** environ;

namespace velmora::tests::nodes {

namespace fs = std::filesystem;

namespace {

// What answers on each node of machine.umockdev.
struct NodeWiring {
    const char* device;
    NodeKind kind;
    mode_t mode;  // as a distribution's udev rules leave it
};

constexpr NodeWiring kNodes[] = {
    {"parport0", NodeKind::ParallelPort, 0660},  // root:lp
    {"i2c-0", NodeKind::SmBus, 0600},            // i801: the memory modules' SPD
    {"i2c-1", NodeKind::SmBus, 0600},            // piix4
    {"i2c-2", NodeKind::Monitor, 0600},          // i915 gmbus dpb, HDMI-A-1 connected
    {"i2c-3", NodeKind::EmptyBus, 0600},         // i915 gmbus vga, nothing plugged in
    {"i2c-4", NodeKind::BoardEeprom, 0600},      // amdgpu SMU: the card's RAS EEPROM
    {"i2c-5", NodeKind::Monitor, 0600},          // amdgpu DM, DP-1 connected
    {"i2c-6", NodeKind::EmptyBus, 0600},         // nouveau, DVI-I-1 disconnected
    {"i2c-7", NodeKind::SlaveOnly, 0600},        // NVIDIA's own driver, a monitor on it
    {"i2c-8", NodeKind::EmptyBus, 0600},         // i2c-tiny-usb, nothing wired
};

bool hasBenchMonitor(NodeKind kind) {
    return kind == NodeKind::ParallelPort || kind == NodeKind::Monitor || kind == NodeKind::SlaveOnly;
}

}  // namespace

namespace {

// machine.umockdev without its comment lines, which umockdev does not read.
std::string machineDescription() {
    std::ifstream file(VELMORA_NODE_MACHINE);
    if (!file) throw std::runtime_error("cannot read " + std::string(VELMORA_NODE_MACHINE));
    std::string text;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.starts_with('#')) text += line + "\n";
    }
    const auto first = text.find_first_not_of('\n');
    return first == std::string::npos ? std::string() : text.substr(first);
}

// A file for one output stream of a program, removed again when done.
class CaptureFile {
public:
    CaptureFile() {
        char pattern[] = "/tmp/velmora_node_output_XXXXXX";
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

// umockdev writes the tree file by file and replaces files safely, which
// costs a disk flush each on a disk-backed /tmp: the tree goes to memory
// when there is a tmpfs for it. GLib reads TMPDIR once per process.
UMockdevTestbed* newTestbed() {
    const bool unset = ::getenv("TMPDIR") == nullptr;
    if (unset && ::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
    UMockdevTestbed* testbed = umockdev_testbed_new();
    if (unset) ::unsetenv("TMPDIR");
    return testbed;
}

}  // namespace

struct NodeMachine::Testbed {
    UMockdevTestbed* testbed = newTestbed();
    std::atomic<pid_t> program{0};
    ~Testbed() { g_object_unref(testbed); }
};

NodeMachine::NodeMachine() : testbed_(std::make_unique<Testbed>()) {
    root_ = umockdev_testbed_get_root_dir(testbed_->testbed);
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_->testbed, machineDescription().c_str(), &error)) {
        const std::string message = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("machine.umockdev: " + message);
    }
    for (const NodeWiring& wiring : kNodes) {
        auto node = std::make_unique<Node>();
        node->device = wiring.device;
        node->kind = wiring.kind;
        node->program = &testbed_->program;
        node->nodeFile = root_ + "/dev/" + wiring.device;
        if (hasBenchMonitor(wiring.kind)) {
            node->bench = std::make_unique<bench::VirtualBench>();
            node->adapter = std::make_unique<bench::BenchI2cAdapter>(*node->bench);
            (void)node->adapter->openNode(("/dev/" + node->device).c_str());
        }
        for (std::size_t i = 0; i < node->eeprom.size(); ++i) node->eeprom[i] = static_cast<std::uint8_t>(i * 7 + 3);
        node->handler = newDriver(*node);
        const std::string path = "/dev/" + node->device;
        if (!umockdev_testbed_attach_ioctl(testbed_->testbed, path.c_str(), node->handler, &error)) {
            const std::string message = error != nullptr ? error->message : "unknown error";
            g_clear_error(&error);
            throw std::runtime_error("cannot attach a handler to " + path + ": " + message);
        }
        ::chmod(node->nodeFile.c_str(), wiring.mode);
        std::error_code ignored;
        node->nodeTarget = fs::canonical(node->nodeFile, ignored);
        nodes_.emplace(wiring.device, std::move(node));
    }
}

NodeMachine::~NodeMachine() {
    for (auto& [name, node] : nodes_) {
        std::vector<std::thread> late;
        {
            std::lock_guard lock(node->mutex);
            late.swap(node->lateAnswers);
        }
        for (std::thread& thread : late) thread.join();
    }
    // The testbed goes first: its worker thread calls into the nodes.
    for (auto& [name, node] : nodes_) {
        umockdev_testbed_detach_ioctl(testbed_->testbed, ("/dev/" + name).c_str(), nullptr);
    }
    testbed_.reset();
    for (auto& [name, node] : nodes_) {
        for (GObject* client : node->unanswered) {
            umockdev_ioctl_client_complete(UMOCKDEV_IOCTL_CLIENT(client), -1, EINTR);
            g_object_unref(client);
        }
        g_object_unref(node->handler);
    }
}

NodeMachine::Node& NodeMachine::node(std::string_view device) const {
    const auto found = nodes_.find(device);
    if (found == nodes_.end()) throw std::invalid_argument("no node " + std::string(device));
    return *found->second;
}

NodeFaults& NodeMachine::faults(std::string_view device) { return node(device).faults; }

void NodeMachine::setMode(std::string_view device, mode_t mode) { ::chmod(node(device).nodeFile.c_str(), mode); }

NodeRecord NodeMachine::record(std::string_view device) const {
    const Node& found = node(device);
    std::lock_guard lock(found.mutex);
    return found.record;
}

bench::VirtualBench* NodeMachine::bench(std::string_view device) { return node(device).bench.get(); }

std::vector<std::string> NodeMachine::monitorRequests(std::string_view device) const {
    const Node& found = node(device);
    std::lock_guard lock(found.mutex);
    return found.bench ? found.bench->log.requestPayloads() : std::vector<std::string>{};
}

ProcessResult NodeMachine::run(const std::string& program, const std::vector<std::string>& arguments,
                               std::chrono::milliseconds limit, const std::vector<std::string>& environment) {
    return runUntil(program, arguments, {}, limit, environment);
}

ProcessResult NodeMachine::runUntil(const std::string& program, const std::vector<std::string>& arguments,
                                    const std::function<bool()>& done, std::chrono::milliseconds limit,
                                    const std::vector<std::string>& environment) {
    CaptureFile out;
    CaptureFile err;
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    // The given variables replace inherited ones of the same name (getenv
    // finds the first).
    const auto overridden = [&environment](std::string_view variable) {
        const std::string_view name = variable.substr(0, variable.find('=') + 1);
        return name == "LD_PRELOAD=" || std::any_of(environment.begin(), environment.end(), [&](const std::string& given) {
                   return std::string_view(given).starts_with(name);
               });
    };
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view text = *variable;
        if (!overridden(text) && !text.starts_with("XDG_DATA_HOME=")) variables.emplace_back(text);
    }
    variables.emplace_back("LD_PRELOAD=libumockdev-preload.so.0");
    // EEPROM backups (and any other user data) stay inside the machine.
    if (!overridden("XDG_DATA_HOME=")) variables.emplace_back("XDG_DATA_HOME=" + root_);
    variables.insert(variables.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (auto& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    ProcessResult result;
    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // An ordinary user: the node's file mode decides, as for the
        // technician's account (a root shell would open anything).
        if (::geteuid() == 0) {
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        }
        const int input = ::open("/dev/null", O_RDONLY);
        ::dup2(input, 0);
        ::dup2(out.fd(), 1);
        ::dup2(err.fd(), 2);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (pid < 0) {
        result.err = "could not start " + program;
        return result;
    }
    testbed_->program = pid;
    int status = 0;
    for (;;) {
        const pid_t waited = ::waitpid(pid, &status, WNOHANG);
        if (waited == pid) break;
        if (waited < 0 && errno != EINTR) break;
        const bool finished = done && done();
        if (finished || std::chrono::steady_clock::now() - started > limit) {
            result.timedOut = !finished;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    testbed_->program = 0;
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    if (!result.timedOut && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.out = out.text();
    result.err = err.text();
    return result;
}

std::size_t NodeRecord::count(unsigned long request) const {
    std::size_t n = 0;
    for (const NodeCall& call : calls) n += call.request == request ? 1 : 0;
    return n;
}

std::size_t NodeRecord::messagesOnTheBus() const {
    std::size_t n = 0;
    for (const NodeCall& call : calls) {
        if (call.request == I2C_RDWR || call.request == NodeCall::kRead || call.request == NodeCall::kWrite) {
            if (call.onTheBus) n += call.messages.size();
        }
    }
    return n;
}

std::string NodeRecord::requestNames() const {
    std::vector<unsigned long> seen;
    std::string names;
    for (const NodeCall& call : calls) {
        if (std::find(seen.begin(), seen.end(), call.request) != seen.end()) continue;
        seen.push_back(call.request);
        names += (names.empty() ? "" : " ") + requestName(call.request);
    }
    return names;
}

std::string requestName(unsigned long request) {
    struct Name {
        unsigned long request;
        const char* name;
    };
    static const Name names[] = {
        {PPCLAIM, "PPCLAIM"},       {PPRELEASE, "PPRELEASE"},   {PPEXCL, "PPEXCL"},
        {PPWDATA, "PPWDATA"},       {PPRDATA, "PPRDATA"},       {PPRSTATUS, "PPRSTATUS"},
        {PPWCONTROL, "PPWCONTROL"}, {PPRCONTROL, "PPRCONTROL"}, {I2C_RDWR, "I2C_RDWR"},
        {I2C_FUNCS, "I2C_FUNCS"},   {I2C_SLAVE, "I2C_SLAVE"},   {I2C_SLAVE_FORCE, "I2C_SLAVE_FORCE"},
        {I2C_SMBUS, "I2C_SMBUS"},   {NodeCall::kRead, "read"},  {NodeCall::kWrite, "write"},
    };
    for (const Name& name : names) {
        if (name.request == request) return name.name;
    }
    std::ostringstream hex;
    hex << "0x" << std::hex << request;
    return hex.str();
}

}  // namespace velmora::tests::nodes
