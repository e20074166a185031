#include "node_machine.h"

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

// What i2c-dev's I2C_FUNCS gives for each kind of adapter.
unsigned long functionality(NodeKind kind) {
    constexpr unsigned long smbus = I2C_FUNC_SMBUS_QUICK | I2C_FUNC_SMBUS_BYTE | I2C_FUNC_SMBUS_BYTE_DATA |
                                    I2C_FUNC_SMBUS_WORD_DATA | I2C_FUNC_SMBUS_BLOCK_DATA |
                                    I2C_FUNC_SMBUS_I2C_BLOCK | I2C_FUNC_SMBUS_PEC;
    return kind == NodeKind::SmBus ? smbus : I2C_FUNC_I2C | I2C_FUNC_SMBUS_EMUL;
}

constexpr std::size_t kI2cDevMaxMessageBytes = 8192;  // i2c-dev's own limit

bool hasBenchMonitor(NodeKind kind) {
    return kind == NodeKind::ParallelPort || kind == NodeKind::Monitor || kind == NodeKind::SlaveOnly;
}

}  // namespace

struct NodeMachine::Node {
    std::string device;
    NodeKind kind = NodeKind::EmptyBus;
    const std::atomic<pid_t>* program = nullptr;
    std::string nodeFile;  // the file umockdev's preload opens in its place
    fs::path nodeTarget;   // what that file leads to (umockdev makes it a pty)

    mutable std::mutex mutex;
    NodeFaults faults;
    NodeRecord record;
    std::unique_ptr<bench::VirtualBench> bench;
    std::unique_ptr<bench::BenchI2cAdapter> adapter;
    std::array<std::uint8_t, 256> eeprom{};
    std::uint8_t eepromPointer = 0;
    bool claimed = false;
    std::uint8_t control = 0;
    std::uint16_t slaveAddress = 0;
    std::vector<std::thread> lateAnswers;
    std::vector<GObject*> unanswered;
    UMockdevIoctlBase* handler = nullptr;
};

namespace {

using Node = NodeMachine::Node;

void complete(UMockdevIoctlClient* client, long result, int error) {
    umockdev_ioctl_client_complete(client, result, error);
}

// The flags of the program's descriptors open on the node, from /proc.
void recordOpenFlags(Node& node) {
    // The program may connect before run() has stored its process id.
    pid_t pid = node.program->load();
    for (int wait = 0; pid <= 0 && wait < 500; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        pid = node.program->load();
    }
    if (pid <= 0) return;
    std::error_code error;
    const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
    for (const auto& entry : fs::directory_iterator(fds, error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(entry.path(), linkError);
        if (target != node.nodeFile && target != node.nodeTarget) continue;
        std::ifstream info("/proc/" + std::to_string(pid) + "/fdinfo/" + entry.path().filename().string());
        std::string line;
        while (std::getline(info, line)) {
            // The kernel adds its O_LARGEFILE (0100000) to every open on 64-bit.
            constexpr int kKernelLargeFile = 0100000;
            if (!line.starts_with("flags:")) continue;
            node.record.openFlags.push_back(std::stoi(line.substr(6), nullptr, 8) & ~kKernelLargeFile);
        }
    }
}

// The one-byte argument of a ppdev register call.
std::uint8_t* byteArgument(UMockdevIoctlClient* client, UMockdevIoctlData** resolved) {
    *resolved = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, 1, nullptr);
    return *resolved != nullptr ? (*resolved)->data : nullptr;
}

// ppdev as drivers/char/ppdev.c answers: the claim first, then the registers.
void handleParallelPort(Node& node, UMockdevIoctlClient* client, unsigned long request, NodeCall& call) {
    if (request == PPCLAIM) {
        if (node.claimed) {
            call.error = EINVAL;
        } else if (node.faults.claimNeverReturns) {
            // Held, so that umockdev keeps the program waiting.
            node.unanswered.push_back(G_OBJECT(g_object_ref(client)));
            call.answered = false;
            return;
        } else if (node.faults.claimError != 0) {
            call.error = node.faults.claimError;
        } else if (node.faults.claimDelayMs > 0) {
            node.claimed = true;
            g_object_ref(client);
            const int delay = node.faults.claimDelayMs;
            node.lateAnswers.emplace_back([client, delay] {
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                complete(client, 0, 0);
                g_object_unref(client);
            });
            return;
        } else {
            node.claimed = true;
        }
        complete(client, call.error == 0 ? 0 : -1, call.error);
        return;
    }
    if (request == PPEXCL) {
        call.error = node.claimed ? EINVAL : 0;
        complete(client, call.error == 0 ? 0 : -1, call.error);
        return;
    }
    const bool registerCall = request == PPWDATA || request == PPRDATA || request == PPRSTATUS ||
                              request == PPWCONTROL || request == PPRCONTROL;
    if (!registerCall && request != PPRELEASE) {
        call.error = ENOTTY;
    } else if (!node.claimed) {
        call.error = EINVAL;  // "claim the port first"
    } else if (request == PPRELEASE) {
        node.claimed = false;
    } else {
        UMockdevIoctlData* data = nullptr;
        std::uint8_t* byte = byteArgument(client, &data);
        if (byte == nullptr) {
            call.error = EFAULT;
        } else {
            platform::PortIo& board = node.bench->board();
            if (request == PPWDATA) board.write8(platform::kDataPort, *byte);
            if (request == PPRDATA) *byte = board.read8(platform::kDataPort);
            if (request == PPRSTATUS) *byte = board.read8(platform::kStatusPort);
            if (request == PPWCONTROL) node.control = *byte;
            if (request == PPRCONTROL) *byte = node.control;
            call.value = *byte;
        }
        complete(client, call.error == 0 ? 0 : -1, call.error);
        if (data != nullptr) g_object_unref(data);
        return;
    }
    complete(client, call.error == 0 ? 0 : -1, call.error);
}

// The card's EEPROM on its own bus: a write sets the address pointer, a read
// goes on from it.
int boardEepromTransfer(Node& node, i2c_msg* messages, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        if (messages[i].addr != 0x50) return -ENXIO;
        for (unsigned b = 0; b < messages[i].len; ++b) {
            if ((messages[i].flags & I2C_M_RD) != 0) {
                messages[i].buf[b] = node.eeprom[node.eepromPointer++];
            } else if (b == 0) {
                node.eepromPointer = messages[i].buf[b];
            }
        }
    }
    return static_cast<int>(count);
}

// The messages handed to the adapter driver: what the bus sees, or the
// errno the driver answers with.
int driverTransfer(Node& node, i2c_msg* messages, unsigned count) {
    if (node.faults.transferError != 0) return -node.faults.transferError;
    switch (node.kind) {
    case NodeKind::SmBus: return -EOPNOTSUPP;  // no master_xfer: i2c_transfer refuses
    case NodeKind::EmptyBus: return -ENXIO;
    case NodeKind::BoardEeprom: return boardEepromTransfer(node, messages, count);
    case NodeKind::Monitor:
    case NodeKind::SlaveOnly: {
        i2c_rdwr_ioctl_data data{messages, count};
        return node.adapter->combinedTransfer(bench::BenchI2cAdapter::kDescriptor, data);
    }
    case NodeKind::ParallelPort: break;
    }
    return -ENOTTY;
}

void recordMessages(NodeCall& call, const i2c_msg* messages, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        I2cMessageRecord message;
        message.address = messages[i].addr;
        message.read = (messages[i].flags & I2C_M_RD) != 0;
        message.length = messages[i].len;
        if (!message.read) message.written.assign(messages[i].buf, messages[i].buf + messages[i].len);
        call.messages.push_back(std::move(message));
    }
}

// I2C_RDWR as drivers/i2c/i2c-dev.c takes it: the message array and every
// buffer are fetched from the program, checked, handed to the driver, and
// the read buffers go back.
void handleCombinedTransfer(Node& node, UMockdevIoctlClient* client, NodeCall& call) {
    std::vector<UMockdevIoctlData*> held;
    auto finish = [&](long result, int error) {
        call.error = error;
        complete(client, result, error);
        for (UMockdevIoctlData* data : held) g_object_unref(data);
    };
    UMockdevIoctlData* request =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(i2c_rdwr_ioctl_data), nullptr);
    if (request == nullptr) return finish(-1, EFAULT);
    held.push_back(request);
    auto* data = reinterpret_cast<i2c_rdwr_ioctl_data*>(request->data);
    if (data->nmsgs == 0 || data->nmsgs > I2C_RDWR_IOCTL_MAX_MSGS) return finish(-1, EINVAL);
    UMockdevIoctlData* array = umockdev_ioctl_data_resolve(request, offsetof(i2c_rdwr_ioctl_data, msgs),
                                                           data->nmsgs * sizeof(i2c_msg), nullptr);
    if (array == nullptr) return finish(-1, EFAULT);
    held.push_back(array);
    auto* messages = reinterpret_cast<i2c_msg*>(array->data);
    for (unsigned i = 0; i < data->nmsgs; ++i) {
        if (messages[i].len > kI2cDevMaxMessageBytes) return finish(-1, EINVAL);
        if (messages[i].len == 0) continue;
        UMockdevIoctlData* buffer =
            umockdev_ioctl_data_resolve(array, i * sizeof(i2c_msg) + offsetof(i2c_msg, buf), messages[i].len, nullptr);
        if (buffer == nullptr) return finish(-1, EFAULT);
        held.push_back(buffer);
    }
    recordMessages(call, messages, data->nmsgs);
    // NVIDIA's own driver takes transfers only as read() and write().
    const int result = node.kind == NodeKind::SlaveOnly ? -EINVAL : driverTransfer(node, messages, data->nmsgs);
    call.onTheBus = result >= 0 || result == -ENXIO || result == -EREMOTEIO;
    if (result < 0) return finish(-1, -result);
    finish(result, 0);
}

void handleDisplayChannel(Node& node, UMockdevIoctlClient* client, unsigned long request, NodeCall& call) {
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    switch (request) {
    case I2C_RDWR: return handleCombinedTransfer(node, client, call);
    case I2C_FUNCS: {
        UMockdevIoctlData* out = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned long), nullptr);
        if (out == nullptr) {
            call.error = EFAULT;
            break;
        }
        const unsigned long functions = functionality(node.kind);
        std::memcpy(out->data, &functions, sizeof functions);
        complete(client, 0, 0);
        g_object_unref(out);
        return;
    }
    case I2C_SLAVE:
    case I2C_SLAVE_FORCE: {
        unsigned long address = 0;
        std::memcpy(&address, arg->data, sizeof address);
        call.value = static_cast<std::uint8_t>(address);
        if (address > 0x7F) call.error = EINVAL;
        else node.slaveAddress = static_cast<std::uint16_t>(address);
        break;
    }
    case I2C_TIMEOUT:
    case I2C_RETRIES: break;
    default: call.error = ENOTTY; break;
    }
    complete(client, call.error == 0 ? 0 : -1, call.error);
}

gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer user) {
    Node& node = *static_cast<Node*>(user);
    std::lock_guard lock(node.mutex);
    NodeCall call;
    call.request = umockdev_ioctl_client_get_request(client);
    if (node.kind == NodeKind::ParallelPort) {
        handleParallelPort(node, client, call.request, call);
    } else {
        handleDisplayChannel(node, client, call.request, call);
    }
    node.record.calls.push_back(std::move(call));
    return TRUE;
}

// read() and write() after I2C_SLAVE: one message to the chosen address.
gboolean onReadOrWrite(UMockdevIoctlClient* client, Node& node, bool read) {
    std::lock_guard lock(node.mutex);
    NodeCall call;
    call.request = read ? NodeCall::kRead : NodeCall::kWrite;
    UMockdevIoctlData* buffer = umockdev_ioctl_client_get_arg(client);
    i2c_msg message{node.slaveAddress, static_cast<__u16>(read ? I2C_M_RD : 0),
                    static_cast<__u16>(buffer->data_len), buffer->data};
    recordMessages(call, &message, 1);
    int result = -ENOTTY;
    if (node.kind != NodeKind::ParallelPort) result = driverTransfer(node, &message, 1);
    call.error = result < 0 ? -result : 0;
    call.onTheBus = result >= 0 || result == -ENXIO || result == -EREMOTEIO;
    complete(client, result < 0 ? -1 : buffer->data_len, call.error);
    node.record.calls.push_back(std::move(call));
    return TRUE;
}

gboolean onRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer user) {
    return onReadOrWrite(client, *static_cast<Node*>(user), true);
}

gboolean onWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer user) {
    return onReadOrWrite(client, *static_cast<Node*>(user), false);
}

void onConnected(UMockdevIoctlBase*, UMockdevIoctlClient*, gpointer user) {
    Node& node = *static_cast<Node*>(user);
    std::lock_guard lock(node.mutex);
    recordOpenFlags(node);
}

// Closing the descriptor releases a claim the program still held.
void onVanished(UMockdevIoctlBase*, UMockdevIoctlClient*, gpointer user) {
    Node& node = *static_cast<Node*>(user);
    std::lock_guard lock(node.mutex);
    node.claimed = false;
}

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
        node->handler = umockdev_ioctl_base_new();
        g_signal_connect(node->handler, "handle-ioctl", G_CALLBACK(onIoctl), node.get());
        g_signal_connect(node->handler, "handle-read", G_CALLBACK(onRead), node.get());
        g_signal_connect(node->handler, "handle-write", G_CALLBACK(onWrite), node.get());
        g_signal_connect(node->handler, "client-connected", G_CALLBACK(onConnected), node.get());
        g_signal_connect(node->handler, "client-vanished", G_CALLBACK(onVanished), node.get());
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
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (!std::string_view(*variable).starts_with("LD_PRELOAD=")) variables.emplace_back(*variable);
    }
    variables.emplace_back("LD_PRELOAD=libumockdev-preload.so.0");
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
