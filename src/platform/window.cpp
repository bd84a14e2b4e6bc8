#include "platform/window.h"

#include "platform/timers.h"

#include <QCoreApplication>
#include <QThread>

namespace velmora::platform {

Window::Window(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

Window::~Window() { TimerScheduler::Instance().ForgetWindow(this); }

void Window::OnMessage(std::uint32_t message, MessageHandler handler)
{
    handlers_[message] = std::make_shared<const MessageHandler>(std::move(handler));
}

LResult Window::Send(std::uint32_t message, WParam w, LParam l)
{
    if (QThread::currentThread() == thread()) {
        return Dispatch(message, w, l);
    }
    auto gate = std::make_shared<DeliveryGate>();
    messaging::SendAndWait(this, message, w, l, gate);
    return 0;
}

void Window::Post(std::uint32_t message, WParam w, LParam l) { messaging::Post(this, message, w, l); }

void Window::Post(std::uint32_t message, WParam w, LParam l, std::shared_ptr<DeliveryGate> gate)
{
    messaging::Post(this, message, w, l, std::move(gate));
}

void Window::SetTimer(int id, int periodMs) { TimerScheduler::Instance().Start(this, id, periodMs); }

void Window::KillTimer(int id) { TimerScheduler::Instance().Stop(this, id); }

bool Window::TimerRunning(int id) const { return TimerScheduler::Instance().Running(this, id); }

void Window::RegisterControl(int id, QWidget* control) { controls_[id] = control; }

void Window::DropTabStopsOutside(const QRect& visible)
{
    for (const auto& [id, control] : controls_) {
        if (!visible.intersects(control->geometry())) {
            control->setFocusPolicy(Qt::NoFocus);
        }
    }
}

QWidget* Window::Control(int id) const
{
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void Window::OnCommand(int, Notify, int) {}

void Window::OnTimer(int) {}

bool Window::event(QEvent* e)
{
    if (e->type() == messaging::MessageEvent::EventType()) {
        auto* message = static_cast<messaging::MessageEvent*>(e);
        if (message->IsBatch()) {
            DispatchBatch(*message);
            message->Complete(0);
            return true;
        }
        const LResult result = message->StillWanted() ? Dispatch(message->Message(), message->W(), message->L()) : 0;
        message->Complete(result);
        return true;
    }
    return QWidget::event(e);
}

LResult Window::Dispatch(std::uint32_t message, WParam w, LParam l)
{
    const auto it = handlers_.find(message);
    if (it == handlers_.end()) {
        return 0;
    }
    // Held: a handler may replace its own entry while it runs.
    const auto handler = it->second;
    return (*handler)(w, l);
}

void Window::DispatchBatch(const messaging::MessageEvent& batch)
{
    // The gate is asked before each message: a handler that ends the sender's
    // session ends the batch with it.
    for (const std::uint8_t byte : batch.Bytes()) {
        if (!batch.StillWanted()) {
            return;
        }
        Dispatch(batch.Message(), byte, batch.L());
    }
    for (const std::uint32_t message : batch.After()) {
        if (!batch.StillWanted()) {
            return;
        }
        Dispatch(message, 0, batch.L());
    }
}

namespace {

QPointer<Window>& MainWindowPointer()
{
    static QPointer<Window> window;
    return window;
}

}  // namespace

void SetMainWindow(Window* window) { MainWindowPointer() = window; }

Window* MainWindow() { return MainWindowPointer().data(); }

}  // namespace velmora::platform
