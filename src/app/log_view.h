#pragma once
// A hexadecimal log shown in a multi-line edit of a window. The text is
// always complete; it is laid out only when the edit can be seen.

#include "protocol/hex_log.h"

class QPlainTextEdit;

namespace velmora::platform {
class Window;
}

namespace velmora::app {

class EditLogView : public protocol::LogView {
public:
    // The edit is looked up by id when used, so the view may be made before
    // the window's controls are.
    EditLogView(platform::Window& window, int editId) : window_(window), editId_(editId) {}
    void Append(std::string_view text) override;
    void Clear() override;
    // True while text added to the edit waits to be laid out (the edit
    // cannot be seen); the text itself is always complete.
    bool LayoutDeferred() const;

private:
    QPlainTextEdit* Edit() const;

    platform::Window& window_;
    int editId_;
};

}  // namespace velmora::app
