#pragma once
#include <cstdint>

namespace velmora::bench {

// Levels of the two bus lines (true = high).
struct BusLevels {
    bool scl = true;
    bool sda = true;
    bool operator==(const BusLevels&) const = default;
};

// One access of the PC to the port, as the board sees it.
struct PortAccess {
    bool isWrite = false;
    std::uint8_t value = 0;  // the value written (writes only)
};

// What an agent takes part in; asked once, when it is attached, so the board
// only calls agents where it matters (it runs on every port access).
enum AgentRole : std::uint8_t {
    kStepsWithAccesses = 1,  // onPortAccess
    kPullsScl = 2,
    kPullsSda = 4,
    kWatchesLines = 8,       // onLinesChanged
    kAllRoles = 15,
};

// Anything on the bus side of the board: it may watch line changes, step
// with every port access of the PC (the bench's unit of bus time), and pull
// either line low. The board combines all pulls open-collector style.
class BusAgent {
public:
    virtual ~BusAgent() = default;
    [[nodiscard]] virtual std::uint8_t roles() const { return kAllRoles; }
    virtual void onPortAccess(const PortAccess& access, BusLevels levels) {
        (void)access;
        (void)levels;
    }
    virtual void onLinesChanged(BusLevels before, BusLevels after) {
        (void)before;
        (void)after;
    }
    [[nodiscard]] virtual bool pullsScl() const { return false; }
    [[nodiscard]] virtual bool pullsSda() const { return false; }
};

// Holds SCL low for a number of status reads after the master releases it:
// the clock stretching of a slow slave. Armed by a device, applied at the
// next release of SCL by the PC.
class ClockStretcher : public BusAgent {
public:
    [[nodiscard]] std::uint8_t roles() const override { return kStepsWithAccesses | kPullsScl; }
    void arm(std::int32_t statusReads) { armed_ = statusReads; }
    void onPortAccess(const PortAccess& access, BusLevels levels) override;
    [[nodiscard]] bool pullsScl() const override { return holding_; }
    [[nodiscard]] bool holding() const { return holding_; }

private:
    std::int32_t armed_ = 0;
    std::int32_t remaining_ = 0;
    bool holding_ = false;
    bool pcHeldScl_ = false;
};

}  // namespace velmora::bench
