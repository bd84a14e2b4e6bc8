#pragma once
// A window of the panel: a Qt widget that takes numbered messages, runs timers
// by id and reaches its controls by id.

#include "messaging/message.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <unordered_map>

namespace velmora::platform {

using messaging::DeliveryGate;
using messaging::LParam;
using messaging::LResult;
using messaging::WParam;

// Notification codes a control reports to its window.
enum class Notify {
    Clicked,  // buttons, check boxes, radios
    SelChange,  // lists
    EditChange,  // edits: text changed by the operator
    EditKillFocus,  // edits: focus left
    Scroll,  // sliders: position changed by the operator
    Moved,  // sliders: position changed, by anyone
    Released,  // sliders: the operator let go
    UpDown,  // up-down arrows: wParam-like delta in CommandArgs
};

class Window : public QWidget {
    Q_OBJECT
public:
    using MessageHandler = std::function<LResult(WParam, LParam)>;

    explicit Window(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~Window() override;

    // Messages. Send runs the handler now when called on the window's thread;
    // from another thread it blocks until the window has handled the message.
    // Post queues it (any thread).
    void OnMessage(std::uint32_t message, MessageHandler handler);
    LResult Send(std::uint32_t message, WParam w = 0, LParam l = 0);
    void Post(std::uint32_t message, WParam w = 0, LParam l = 0);
    // A post that the window drops if the gate is closed before it is handled.
    void Post(std::uint32_t message, WParam w, LParam l, std::shared_ptr<DeliveryGate> gate);

    // Timers by id. Setting a running id restarts it with the new period.
    void SetTimer(int id, int periodMs);
    void KillTimer(int id);
    bool TimerRunning(int id) const;

    // Controls by id.
    void RegisterControl(int id, QWidget* control);
    // Controls that lie wholly outside `visible` (in this window's pixels)
    // still work when operated, but the Tab key no longer stops at them.
    void DropTabStopsOutside(const QRect& visible);
    QWidget* Control(int id) const;
    template <class T>
    T* ControlAs(int id) const
    {
        return qobject_cast<T*>(Control(id));
    }
    const std::map<int, QWidget*>& Controls() const { return controls_; }

    // Called by the controls built from a template.
    virtual void OnCommand(int id, Notify code, int value);
    // Called when a timer of this window expires.
    virtual void OnTimer(int id);

protected:
    bool event(QEvent* e) override;

private:
    LResult Dispatch(std::uint32_t message, WParam w, LParam l);
    void DispatchBatch(const messaging::MessageEvent& batch);

    // Shared, so that a handler replacing its own entry while it runs stays
    // alive until it returns.
    std::unordered_map<std::uint32_t, std::shared_ptr<const MessageHandler>> handlers_;
    std::map<int, QWidget*> controls_;
};

// The program's main window: the owner of windows opened without a parent,
// such as the message box. Null when there is none.
void SetMainWindow(Window* window);
Window* MainWindow();

}  // namespace velmora::platform
