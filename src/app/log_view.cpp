#include "app/log_view.h"

#include "platform/window.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace velmora::app {

QPlainTextEdit* EditLogView::Edit() const
{
    return window_.ControlAs<QPlainTextEdit>(editId_);
}

void EditLogView::Append(std::string_view text)
{
    auto* edit = Edit();
    if (!edit) {
        return;
    }
    QString qtext = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    qtext.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(qtext);
}

void EditLogView::Clear()
{
    if (auto* edit = Edit()) {
        edit->clear();
    }
}

}  // namespace velmora::app
