#pragma once

namespace velmora::tools {

// The wait cursor around long monitor operations. The logic says when the
// cursor changes (a refusal's message box must not appear under the wait
// cursor); the window decides how it looks. The defaults do nothing, which
// is what the command-line tool and most tests want.
class WaitIndicator {
public:
    virtual ~WaitIndicator() = default;
    virtual void showWaitCursor() {}
    virtual void restoreCursor() {}
};

// Shows the wait cursor for a scope unless it was restored early.
class WaitScope {
public:
    explicit WaitScope(WaitIndicator& indicator) : indicator_(indicator) { indicator_.showWaitCursor(); }
    ~WaitScope() { restore(); }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

    void restore() {
        if (!active_) return;
        active_ = false;
        indicator_.restoreCursor();
    }

private:
    WaitIndicator& indicator_;
    bool active_ = true;
};

}  // namespace velmora::tools
