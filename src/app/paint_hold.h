#pragma once
// Holds a window's repaint while a command written to the switcher awaits
// its answer. An answer that chains the next command comes back within
// microseconds over a fast link; painting first would make the switcher wait
// for the panel's drawing. So what needs painting then is painted once the
// answer has been handled and no command waits, or after timer::kPaintHoldMs
// at the latest, and everything marked dirty meanwhile is painted in one go.

#include "protocol/send_path.h"

class QEvent;

namespace velmora::platform {
class Window;
}

namespace velmora::app {

class PaintHold {
public:
    explicit PaintHold(platform::Window& window) : window_(window) {}

    // A command went out: its answer is awaited.
    void CommandWritten() { awaiting_ = true; }
    // Around the handling of an answer, which may write the next command.
    void AnswerBegins() { awaiting_ = false; }
    void AnswerHandled();
    // The window's timer::kPaintHold: an answer that never came holds
    // nothing more.
    void LimitReached();
    // For the window's event(): true when 'event' is a repaint to hold, which
    // the window then drops; it is asked for again when the hold ends.
    bool Holds(const QEvent& event);
    bool Holding() const { return held_; }

private:
    void Release();

    platform::Window& window_;
    bool awaiting_ = false;
    bool held_ = false;
};

// A frame sink that tells the hold of every command written through it.
class HeldSink : public protocol::FrameSink {
public:
    HeldSink(protocol::FrameSink& sink, PaintHold& hold) : sink_(sink), hold_(hold) {}
    void Write(std::span<const std::uint8_t> bytes) override
    {
        sink_.Write(bytes);
        hold_.CommandWritten();
    }

private:
    protocol::FrameSink& sink_;
    PaintHold& hold_;
};

}  // namespace velmora::app
