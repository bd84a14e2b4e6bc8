#pragma once
// A hexadecimal log shown in a multi-line edit of a window. Text added goes
// into the edit once the event loop is free, all of it in one go, or later
// while the window holds its drawing; it is laid out only when the edit can
// be seen. While nobody can see or read the edit (it lies beyond the
// window's edge, has no focus and no assistive technology is listening),
// the text waits instead, and goes in before the edit is painted, focused
// or read; the log's emptying after so many entries keeps what waits small.

#include "protocol/hex_log.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QObject;
class QPlainTextEdit;

namespace velmora::platform {
class Window;
}

namespace velmora::app {

class EditLogView : public protocol::LogView {
public:
    // The edit is looked up by id when used, so the view may be made before
    // the window's controls are.
    // 'holdText' says whether text must wait for the window's drawing; if
    // it says yes, the window calls FlushIfObserved() when the hold ends.
    EditLogView(platform::Window& window, int editId, std::function<bool()> holdText = {});
    ~EditLogView() override;
    void Append(std::string_view text) override;
    void Clear() override;
    // Puts the text that waits into the edit.
    void Flush();
    // The same, unless nobody can see or read the edit: then the text goes
    // on waiting for someone who can.
    void FlushIfObserved();
    bool TextWaiting() const { return !pending_.isEmpty(); }
    // True while text added to the edit waits to be laid out (the edit
    // cannot be seen); the text itself is always complete.
    bool LayoutDeferred();

private:
    QPlainTextEdit* Edit();
    void FlushWhenFree(QPlainTextEdit& edit);
    static bool Observed(const QPlainTextEdit& edit);

    platform::Window& window_;
    int editId_;
    std::function<bool()> holdText_;
    QString pending_;
    bool flushPosted_ = false;
    // Found unobserved since the text last went in.
    bool unobserved_ = false;
    QPointer<QPlainTextEdit> edit_;
    // Puts the waiting text in when the edit comes into use.
    std::unique_ptr<QObject> watch_;
};

}  // namespace velmora::app
