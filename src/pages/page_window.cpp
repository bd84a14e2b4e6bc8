#include "pages/page_window.h"

#include "appdefs/window_messages.h"
#include "platform/dialog_builder.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace velmora::pages {

PageWindow::PageWindow(std::uint8_t page, const platform::DialogTemplate& tpl, PageHost& host, QWidget* parent)
    : platform::Window(parent), page_(page), host_(host)
{
    platform::BuildDialog(*this, tpl);
}

protocol::CommandFrame& PageWindow::Begin(protocol::Command command)
{
    host_.frame.Begin(command);
    return host_.frame;
}

void PageWindow::PostSend(protocol::Answer answer)
{
    // A request made while no link is open goes nowhere: posted anyway, it
    // would go out on a link opened before the main window reads its queue.
    if (host_.linkOpen()) {
        host_.mainWindow.Post(msg::kSendRequest, page_);
    }
    host_.token.AfterSend(answer);
}

void PageWindow::Send(protocol::Command command, Params params, protocol::Answer answer)
{
    protocol::CommandFrame& frame = Begin(command);
    for (const auto& [index, value] : params) {
        frame.Set(index, value);
    }
    PostSend(answer);
}

void PageWindow::SetBoxNumber(int boxId, int value) { ControlAs<QLineEdit>(boxId)->setText(QString::number(value)); }

void PageWindow::SwallowDialogKeys()
{
    swallowKeys_ = true;
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
    installEventFilter(this);
}

bool PageWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (swallowKeys_ && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Space:
            return true;
        default:
            break;
        }
    }
    return platform::Window::eventFilter(watched, event);
}

}  // namespace velmora::pages
