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
enum class AgentRole : std::uint8_t {
    StepsWithAccesses = 1,  // onPortAccess
    PullsScl = 2,
    PullsSda = 4,
    WatchesLines = 8,  // onLinesChanged
};

// A set of roles: `AgentRole::PullsScl | AgentRole::PullsSda`.
class AgentRoles {
public:
    constexpr AgentRoles(AgentRole role) : bits_(static_cast<std::uint8_t>(role)) {}  // one role is a set of one
    [[nodiscard]] static constexpr AgentRoles all() { return AgentRoles(kAllBits); }
    [[nodiscard]] constexpr bool has(AgentRole role) const { return (bits_ & static_cast<std::uint8_t>(role)) != 0; }
    friend constexpr AgentRoles operator|(AgentRoles a, AgentRoles b) { return AgentRoles(a.bits_ | b.bits_); }
    constexpr bool operator==(const AgentRoles&) const = default;

private:
    static constexpr int kAllBits = 15;
    constexpr explicit AgentRoles(int bits) : bits_(static_cast<std::uint8_t>(bits)) {}
    std::uint8_t bits_;
};

constexpr AgentRoles operator|(AgentRole a, AgentRole b) { return AgentRoles(a) | AgentRoles(b); }

// Anything on the bus side of the board: it may watch line changes, step
// with every port access of the PC (the bench's unit of bus time), and pull
// either line low. The board combines all pulls open-collector style.
class BusAgent {
public:
    virtual ~BusAgent() = default;
    [[nodiscard]] virtual AgentRoles roles() const { return AgentRoles::all(); }
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
    [[nodiscard]] AgentRoles roles() const override { return AgentRole::StepsWithAccesses | AgentRole::PullsScl; }
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
