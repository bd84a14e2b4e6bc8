#include "messaging/message.h"

#include <QCoreApplication>

namespace velmora::messaging {

void DeliveryGate::Close()
{
    {
        std::lock_guard lock(mutex_);
        open_ = false;
    }
    changed_.notify_all();
}

void DeliveryGate::Reopen()
{
    std::lock_guard lock(mutex_);
    open_ = true;
}

bool DeliveryGate::IsOpen() const { return open_; }

QEvent::Type MessageEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

MessageEvent::MessageEvent(std::uint32_t message, WParam w, LParam l, std::shared_ptr<DeliveryGate> gate,
                           std::shared_ptr<Completion> completion)
    : QEvent(EventType()), message_(message), w_(w), l_(l), gate_(std::move(gate)), completion_(std::move(completion))
{}

MessageEvent::MessageEvent(std::uint32_t message, std::span<const std::uint8_t> bytes,
                           std::span<const std::uint32_t> after, LParam l)
    : QEvent(EventType()), message_(message), l_(l), batch_(true), bytes_(bytes.begin(), bytes.end()),
      after_(after.begin(), after.end())
{}

MessageEvent::~MessageEvent()
{
    // An event destroyed unhandled (its window is gone) must not leave its
    // sender waiting.
    Complete(0);
}

bool MessageEvent::StillWanted() const { return !gate_ || gate_->IsOpen(); }

void MessageEvent::Complete(LResult result)
{
    if (!gate_ || !completion_) {
        return;
    }
    {
        std::lock_guard lock(gate_->mutex_);
        if (completion_->done) {
            return;
        }
        completion_->done = true;
        completion_->result = result;
    }
    gate_->changed_.notify_all();
}

void Post(QObject* target, std::uint32_t message, WParam w, LParam l, std::shared_ptr<DeliveryGate> gate)
{
    QCoreApplication::postEvent(target, new MessageEvent(message, w, l, std::move(gate)));
}

void SendNow(QObject* target, std::uint32_t message, WParam w, LParam l)
{
    MessageEvent event(message, w, l);
    QCoreApplication::sendEvent(target, &event);
}

// Takes 'event' (made without gate and completion) and posts it.
bool PostAndWait(QObject* target, const std::shared_ptr<DeliveryGate>& gate, MessageEvent* event)
{
    std::unique_ptr<MessageEvent> owned(event);
    auto completion = std::make_shared<MessageEvent::Completion>();
    event->gate_ = gate;
    event->completion_ = completion;
    std::unique_lock lock(gate->mutex_);
    if (!gate->open_) {
        event->completion_.reset();  // nobody waits for it
        return false;
    }
    // Posted under the gate's lock: once Close() returned, no sender touches
    // the target again, so the window may be destroyed right after it.
    QCoreApplication::postEvent(target, owned.release());
    gate->changed_.wait(lock, [&] { return completion->done || !gate->open_; });
    return completion->done && gate->open_;
}

bool SendAndWait(QObject* target, std::uint32_t message, WParam w, LParam l, const std::shared_ptr<DeliveryGate>& gate)
{
    return PostAndWait(target, gate, new MessageEvent(message, w, l));
}

bool SendBatchAndWait(QObject* target, std::uint32_t message, std::span<const std::uint8_t> bytes,
                      std::span<const std::uint32_t> after, LParam l, const std::shared_ptr<DeliveryGate>& gate)
{
    return PostAndWait(target, gate, new MessageEvent(message, bytes, after, l));
}

}  // namespace velmora::messaging
