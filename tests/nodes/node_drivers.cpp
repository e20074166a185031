#include "node_drivers.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <fstream>

#include "platform/port_io.h"

namespace velmora::tests::nodes {

namespace fs = std::filesystem;

namespace {

// What i2c-dev's I2C_FUNCS gives for each kind of adapter.
unsigned long functionality(NodeKind kind) {
    constexpr unsigned long smbus = I2C_FUNC_SMBUS_QUICK | I2C_FUNC_SMBUS_BYTE | I2C_FUNC_SMBUS_BYTE_DATA |
                                    I2C_FUNC_SMBUS_WORD_DATA | I2C_FUNC_SMBUS_BLOCK_DATA |
                                    I2C_FUNC_SMBUS_I2C_BLOCK | I2C_FUNC_SMBUS_PEC;
    return kind == NodeKind::SmBus ? smbus : I2C_FUNC_I2C | I2C_FUNC_SMBUS_EMUL;
}

constexpr std::size_t kI2cDevMaxMessageBytes = 8192;  // i2c-dev's own limit

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

}  // namespace

UMockdevIoctlBase* newDriver(NodeMachine::Node& node) {
    UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(onIoctl), &node);
    g_signal_connect(handler, "handle-read", G_CALLBACK(onRead), &node);
    g_signal_connect(handler, "handle-write", G_CALLBACK(onWrite), &node);
    g_signal_connect(handler, "client-connected", G_CALLBACK(onConnected), &node);
    g_signal_connect(handler, "client-vanished", G_CALLBACK(onVanished), &node);
    return handler;
}

}  // namespace velmora::tests::nodes
