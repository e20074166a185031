#pragma once

namespace velmora::platform::qt {

// Shows the wait cursor for its lifetime, over every window of the program.
// restore() brings the normal cursor back early (before a message box, say);
// the destructor then does nothing more.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void restore();

private:
    bool active_ = true;
};

}  // namespace velmora::platform::qt
