#pragma once
// An emulated service PC for the shipped programs: the device nodes and
// sysfs tree of machine.umockdev, laid out by umockdev, with a handler on
// every node that answers as its kernel driver would and records what
// reached it. The programs run as child processes with umockdev's preload
// library, so their own open(), ioctl(), read() and write() calls reach
// these handlers; the tests never swap the program's system calls out.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::bench {
class VirtualBench;
}

namespace velmora::tests::nodes {

// How a node answers, by the driver behind it.
enum class NodeKind : std::uint8_t {
    ParallelPort,  // ppdev on parport_pc: the bench's interface board and monitor
    Monitor,       // a graphics driver's bus with the bench monitor on it
    EmptyBus,      // a bus that takes I2C transfers; nobody answers (ENXIO)
    BoardEeprom,   // a card's own bus with its board EEPROM at 0x50 (no EDID)
    SmBus,         // an SMBus controller: no I2C_RDWR (EOPNOTSUPP)
    SlaveOnly,     // a driver that refuses I2C_RDWR (EINVAL) but takes I2C_SLAVE with read/write
};

// Faults of the kernel side, per node, set before a program runs.
struct NodeFaults {
    int claimError = 0;              // PPCLAIM fails with this errno
    bool claimNeverReturns = false;  // PPCLAIM sleeps for ever (another program holds the port)
    int claimDelayMs = 0;            // PPCLAIM returns after this long
    int transferError = 0;           // I2C_RDWR, read() and write() fail with this errno
};

// One I2C message as it reached the node's driver.
struct I2cMessageRecord {
    std::uint16_t address = 0;
    bool read = false;
    std::vector<std::uint8_t> written;  // the bytes of a write
    std::size_t length = 0;
};

// One call on the node: an ioctl by its number, or a read() or write().
struct NodeCall {
    static constexpr unsigned long kRead = ~0UL;
    static constexpr unsigned long kWrite = ~1UL;
    unsigned long request = 0;
    int error = 0;            // 0: it succeeded
    bool answered = true;     // false: the call is still asleep in the kernel
    std::uint8_t value = 0;   // ppdev: the byte written or read
    std::vector<I2cMessageRecord> messages;  // I2C_RDWR, read() and write()
    bool onTheBus = false;  // the driver put them on the wire (they may still go unanswered)
};

struct NodeRecord {
    std::vector<int> openFlags;  // per open: the flags of the program's descriptor
    std::vector<NodeCall> calls;

    [[nodiscard]] std::size_t count(unsigned long request) const;
    // Messages handed to the bus, i.e. in calls the driver did not refuse.
    [[nodiscard]] std::size_t messagesOnTheBus() const;
    // The requests in order of first use, as "PPCLAIM PPWDATA ...".
    [[nodiscard]] std::string requestNames() const;
};

struct ProcessResult {
    int status = -1;  // exit status; -1: killed or not exited normally
    bool timedOut = false;
    std::chrono::milliseconds elapsed{0};
    std::string out;
    std::string err;
};

class NodeMachine {
public:
    NodeMachine();
    ~NodeMachine();
    NodeMachine(const NodeMachine&) = delete;
    NodeMachine& operator=(const NodeMachine&) = delete;

    // Faults of a node ("parport0", "i2c-5"); the reference stays valid.
    NodeFaults& faults(std::string_view device);
    // The node's permissions, as udev or an administrator left them.
    void setMode(std::string_view device, mode_t mode);
    // A copy of what reached the node so far.
    [[nodiscard]] NodeRecord record(std::string_view device) const;
    // The bench behind a node (its monitor, board and faults), or nullptr;
    // to be looked at while no program runs.
    bench::VirtualBench* bench(std::string_view device);
    // The request payloads the bench monitor behind a node received so far
    // ("01 10": Get VCP 10), safe while a program runs.
    [[nodiscard]] std::vector<std::string> monitorRequests(std::string_view device) const;

    // Runs a program through the machine's nodes: umockdev's preload
    // library, standard input from /dev/null, the file-mode checks of an
    // ordinary user (root's override of them is dropped) and a time limit
    // after which it is killed.
    ProcessResult run(const std::string& program, const std::vector<std::string>& arguments,
                      std::chrono::milliseconds limit = std::chrono::seconds(20),
                      const std::vector<std::string>& environment = {});
    // Runs a program that does not end by itself (a window) until `done`
    // holds, checked every few milliseconds, or the limit passes; then it is
    // killed. ProcessResult::timedOut tells which.
    ProcessResult runUntil(const std::string& program, const std::vector<std::string>& arguments,
                           const std::function<bool()>& done, std::chrono::milliseconds limit,
                           const std::vector<std::string>& environment = {});

    [[nodiscard]] const std::string& root() const { return root_; }

    struct Node;

private:
    Node& node(std::string_view device) const;

    struct Testbed;
    std::unique_ptr<Testbed> testbed_;
    std::map<std::string, std::unique_ptr<Node>, std::less<>> nodes_;
    std::string root_;
};

// The ioctl number's name ("PPCLAIM", "I2C_RDWR"), or its number in hex.
std::string requestName(unsigned long request);

}  // namespace velmora::tests::nodes
