#pragma once
// The one-command token (LinkReady): taken by the connection check before a
// command goes out, so that one command at a time waits for the switcher.
//
// Where it is given back, and nowhere else:
// - after every reply frame, by the reply dispatcher, whatever the frame
//   (a page's reply handler never gives it back itself);
// - right after sending a command that waits for no answer: every send
//   says which it is (Answer), and AfterSend acts on it;
// - when a command taken for is not sent after all (a question declined,
//   a typed value refused): Refused;
// - when a command's time is up (factory reset, configuration, mixer
//   volume), when a link is made (serial Connect, TCP connection), and by
//   Clear: GiveBack, at those few places.

namespace velmora::protocol {

// Whether a command keeps the token until its answer frees it.
enum class Answer { Awaited, None };

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
    // A command has gone out (or been handed on to go out).
    void AfterSend(Answer answer)
    {
        if (answer == Answer::None) {
            GiveBack();
        }
    }
    // The command the token was taken for does not go out.
    void Refused() { GiveBack(); }

private:
    bool ready_ = true;
};

}  // namespace velmora::protocol
