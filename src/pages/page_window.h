#pragma once
// The base of the four page windows. A page is built from its template,
// writes each command into the shared frame buffer and posts SendRequest
// with its page code; the main window sends the buffer. Replies reach the
// page while it is selected and are routed by a table: the reply's class and
// command, the handler, and the read request an acknowledgement triggers.

#include "pages/page_host.h"
#include "platform/dialog_template.h"
#include "platform/window.h"

#include <initializer_list>
#include <optional>
#include <utility>

namespace velmora::pages {

// The entry of a page's control table whose `member` is `id`, or nullptr.
template <class Control, std::size_t N, class Member>
const Control* FindControl(const Control (&table)[N], Member member, int id)
{
    for (const auto& entry : table) {
        if (entry.*member == id) {
            return &entry;
        }
    }
    return nullptr;
}

template <class Page>
struct ReplyRoute {
    protocol::Command reply;
    void (Page::*handle)(protocol::ReplyFrame) = nullptr;
    // The read request this reply acknowledges a write with.
    std::optional<protocol::Command> readBack = std::nullopt;
};

class PageWindow : public platform::Window, public protocol::ReplyReceiver {
    Q_OBJECT
public:
    PageWindow(std::uint8_t page, const platform::DialogTemplate& tpl, PageHost& host, QWidget* parent);

    std::uint8_t Page() const { return page_; }

protected:
    using Params = std::initializer_list<std::pair<std::size_t, std::uint8_t>>;

    bool CheckConnection() { return host_.checkConnection(); }
    // The connection check without its messages: the link is open and no
    // command waits for its answer. Takes nothing.
    bool LinkIdle() const { return host_.linkOpen() && host_.token.Ready(); }
    protocol::LinkToken& Token() { return host_.token; }
    // Clears bytes 3 to 17 of the shared buffer and writes class and command.
    protocol::CommandFrame& Begin(protocol::Command command);
    // SendRequest with this page's code: the main window sends the buffer.
    // Nothing is posted while no link is open. A command that waits for no
    // answer frees the token at once.
    void PostSend(protocol::Answer answer = protocol::Answer::Awaited);
    // Begin, the parameters, PostSend.
    void Send(protocol::Command command, Params params = {}, protocol::Answer answer = protocol::Answer::Awaited);

    template <class Page, std::size_t N>
    void Route(const ReplyRoute<Page> (&table)[N], protocol::ReplyFrame frame)
    {
        const protocol::Command command = protocol::CommandOf(frame);
        for (const auto& route : table) {
            if (route.reply == command) {
                if (route.handle) {
                    (static_cast<Page*>(this)->*route.handle)(frame);
                }
                if (route.readBack) {
                    Send(*route.readBack);
                }
                return;
            }
        }
    }

    // The edit box shows the number in decimal.
    void SetBoxNumber(int boxId, int value);

    // Return, Escape and Space stop at the page before any control sees them.
    void SwallowDialogKeys();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::uint8_t page_;
    PageHost& host_;
    bool swallowKeys_ = false;
};

}  // namespace velmora::pages
