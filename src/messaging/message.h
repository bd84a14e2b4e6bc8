#pragma once
// Window messages: a number with two parameters, posted (queued) or sent
// (handled before the call returns) to a window. Only QtCore: the transports
// post to their owner through this without knowing it is a widget.

#include <QEvent>

class QObject;

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace velmora::messaging {

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// Links a sending thread with the window it sends to. The sender blocks until
// its message was handled; closing the gate releases a blocked sender at once
// and makes the window drop every message of this gate not yet handled, so a
// sender that is shutting down never waits for the window and never delivers
// stale data afterwards.
class DeliveryGate {
public:
    void Close();
    void Reopen();
    bool IsOpen() const;

private:
    friend class MessageEvent;
    friend bool SendAndWait(QObject*, std::uint32_t, WParam, LParam, const std::shared_ptr<DeliveryGate>&);
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
};

class MessageEvent : public QEvent {
public:
    static QEvent::Type EventType();

    struct Completion {
        bool done = false;
        LResult result = 0;
    };

    MessageEvent(std::uint32_t message, WParam w, LParam l, std::shared_ptr<DeliveryGate> gate = {},
                 std::shared_ptr<Completion> completion = {});
    ~MessageEvent() override;

    std::uint32_t Message() const { return message_; }
    WParam W() const { return w_; }
    LParam L() const { return l_; }
    // False when the sender closed its gate after posting: drop the message.
    bool StillWanted() const;
    void Complete(LResult result);

private:
    std::uint32_t message_;
    WParam w_;
    LParam l_;
    std::shared_ptr<DeliveryGate> gate_;
    std::shared_ptr<Completion> completion_;
};

// Queues a message for `target` (any thread). With a gate, the target drops
// it if the gate is closed before it is handled.
void Post(QObject* target, std::uint32_t message, WParam w, LParam l, std::shared_ptr<DeliveryGate> gate = {});

// Sends from another thread: blocks until the window handled the message or
// the gate was closed. Returns true when the window handled it.
bool SendAndWait(QObject* target, std::uint32_t message, WParam w, LParam l,
                 const std::shared_ptr<DeliveryGate>& gate);

}  // namespace velmora::messaging
