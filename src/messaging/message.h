#pragma once
// Window messages: a number with two parameters, posted (queued) or sent
// (handled before the call returns) to a window. Only QtCore: the transports
// post to their owner through this without knowing it is a widget.

#include <QEvent>

class QObject;

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

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
    friend bool PostAndWait(QObject*, const std::shared_ptr<DeliveryGate>&, class MessageEvent*);
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    // Changed under the mutex, for the waits; read without it, as it is
    // asked before every byte of a batch.
    std::atomic<bool> open_{true};
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
    // A batch: 'message' once for each of 'bytes' in order, the byte as
    // wParam, then each message of 'after' with wParam 0; lParam 'l' for all.
    MessageEvent(std::uint32_t message, std::span<const std::uint8_t> bytes, std::span<const std::uint32_t> after,
                 LParam l);
    ~MessageEvent() override;

    std::uint32_t Message() const { return message_; }
    WParam W() const { return w_; }
    LParam L() const { return l_; }
    bool IsBatch() const { return batch_; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    const std::vector<std::uint32_t>& After() const { return after_; }
    // False when the sender closed its gate after posting: drop the message.
    bool StillWanted() const;
    void Complete(LResult result);

private:
    friend bool PostAndWait(QObject*, const std::shared_ptr<DeliveryGate>&, MessageEvent*);

    std::uint32_t message_;
    WParam w_ = 0;
    LParam l_;
    std::shared_ptr<DeliveryGate> gate_;
    std::shared_ptr<Completion> completion_;
    bool batch_ = false;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint32_t> after_;
};

// Queues a message for `target` (any thread). With a gate, the target drops
// it if the gate is closed before it is handled.
void Post(QObject* target, std::uint32_t message, WParam w, LParam l, std::shared_ptr<DeliveryGate> gate = {});

// Handles a message on the caller's thread before returning: the caller is
// the target's thread, at a point where the target's handler may run.
void SendNow(QObject* target, std::uint32_t message, WParam w, LParam l);

// Sends from another thread: blocks until the window handled the message or
// the gate was closed. Returns true when the window handled it.
bool SendAndWait(QObject* target, std::uint32_t message, WParam w, LParam l, const std::shared_ptr<DeliveryGate>& gate);
// Sends a batch of received bytes the same way: one hand-off for all of them,
// handled on the window's thread byte by byte in order, then the 'after'
// messages. A gate closed while the batch is handled drops the rest of it.
bool SendBatchAndWait(QObject* target, std::uint32_t message, std::span<const std::uint8_t> bytes,
                      std::span<const std::uint32_t> after, LParam l, const std::shared_ptr<DeliveryGate>& gate);

}  // namespace velmora::messaging
