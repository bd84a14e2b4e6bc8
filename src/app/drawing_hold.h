#pragma once
// Holds the main window's drawing while a command written to the switcher
// awaits its answer. An answer that chains the next command comes back within
// microseconds over a fast link; drawing first would make the switcher wait
// for the panel. So the repaint and the logs' new text wait until the answer
// has been handled and no command waits, or timer::kDrawingHoldMs at the
// latest; then everything changed meanwhile is drawn in one go.

#include "protocol/send_path.h"

#include <functional>

class QEvent;

namespace velmora::platform {
class Window;
}

namespace velmora::app {

class DrawingHold {
public:
    // 'released' is called when a hold ends, to draw what waited.
    DrawingHold(platform::Window& window, std::function<void()> released)
        : window_(window), released_(std::move(released))
    {}

    // A command went out: its answer is awaited.
    void CommandWritten() { awaiting_ = true; }
    // Around the handling of an answer, which may write the next command.
    void AnswerBegins() { awaiting_ = false; }
    void AnswerHandled();
    // For the window's event(): true when 'event' is a repaint to hold, which
    // the window then drops; it is asked for again when the hold ends.
    bool HoldsRepaint(const QEvent& event);
    // True when text for the logs is to wait; the hold's end releases it.
    bool HoldsText();
    bool Holding() const { return paintHeld_ || textHeld_; }
    // The window's timer::kDrawingHold: an answer that never came holds
    // nothing more.
    void LimitReached();

private:
    bool Hold();
    void Release();

    platform::Window& window_;
    std::function<void()> released_;
    bool awaiting_ = false;
    bool paintHeld_ = false;
    bool textHeld_ = false;
};

// A frame sink that tells the hold of every command written through it.
class HeldSink : public protocol::FrameSink {
public:
    HeldSink(protocol::FrameSink& sink, DrawingHold& hold) : sink_(sink), hold_(hold) {}
    void Write(std::span<const std::uint8_t> bytes) override
    {
        sink_.Write(bytes);
        hold_.CommandWritten();
    }

private:
    protocol::FrameSink& sink_;
    DrawingHold& hold_;
};

}  // namespace velmora::app
