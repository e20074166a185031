#pragma once

namespace velmora::platform {

// Keeps a tight polling loop from being preempted while the monitor clocks
// a reply into the PC. enter()/leave() are always called in pairs.
class InterruptShield {
public:
    virtual ~InterruptShield() = default;
    virtual void enter() = 0;
    virtual void leave() = 0;
};

// Scoped use of a shield.
class ShieldGuard {
public:
    explicit ShieldGuard(InterruptShield& shield) : shield_(shield) { shield_.enter(); }
    ~ShieldGuard() { shield_.leave(); }
    ShieldGuard(const ShieldGuard&) = delete;
    ShieldGuard& operator=(const ShieldGuard&) = delete;

private:
    InterruptShield& shield_;
};

}  // namespace velmora::platform
