#pragma once
// The one-command token: taken when a command that waits for its answer is
// sent, given back by every reply, by time-outs and by commands that wait
// for nothing.

namespace velmora::protocol {

class LinkToken {
public:
    bool Ready() const { return ready_; }
    // True when the token was free and is now taken.
    bool Take()
    {
        if (!ready_) {
            return false;
        }
        ready_ = false;
        return true;
    }
    void GiveBack() { ready_ = true; }

private:
    bool ready_ = true;
};

}  // namespace velmora::protocol
