#include "app/log_view.h"

#include "platform/window.h"

#include <QAccessible>
#include <QEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace velmora::app {

namespace {

// The layout of a log's text. The logs lie beyond the window's right edge:
// shaping and placing every line added, for nobody to see, cost more than
// all the rest of an exchange. So while the edit cannot be seen, text added
// is kept in the document but not laid out; before the edit is painted, or
// once a change comes while it can be seen, the whole text is laid out anew.
class OffscreenLogLayout : public QPlainTextDocumentLayout {
public:
    OffscreenLogLayout(QTextDocument* document, QPlainTextEdit* edit) : QPlainTextDocumentLayout(document), edit_(edit)
    {
        edit->viewport()->installEventFilter(this);
    }

    bool Stale() const { return stale_; }

    void CatchUp()
    {
        if (stale_) {
            stale_ = false;
            QPlainTextDocumentLayout::documentChanged(0, 0, document()->characterCount());
        }
    }

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override
    {
        if (!Seen()) {
            stale_ = true;
            return;
        }
        if (stale_) {
            CatchUp();  // lays out this change with all the rest
            return;
        }
        QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            CatchUp();
        }
        return QPlainTextDocumentLayout::eventFilter(watched, event);
    }

private:
    bool Seen() const { return edit_->isVisible() && !edit_->visibleRegion().isEmpty(); }

    QPlainTextEdit* edit_;
    bool stale_ = false;
};

// The edit's document. Emptied by anyone (the Clear button empties the
// edit), it drops the text that waits to go in as well.
class LogDocument : public QTextDocument {
public:
    LogDocument(QObject* parent, QString& pending) : QTextDocument(parent), pending_(pending) {}
    void clear() override
    {
        pending_.clear();
        QTextDocument::clear();
    }

private:
    QString& pending_;
};

// Puts a log's waiting text into its edit as the edit comes into use:
// before it is painted or focused, and when assistive technology starts to
// listen (it may read any edit).
class LogWatch : public QObject, public QAccessible::ActivationObserver {
public:
    LogWatch(QPlainTextEdit& edit, std::function<void()> flush) : flush_(std::move(flush))
    {
        edit.installEventFilter(this);
        edit.viewport()->installEventFilter(this);
        QAccessible::installActivationObserver(this);
    }
    ~LogWatch() override { QAccessible::removeActivationObserver(this); }

    void accessibilityActiveChanged(bool active) override
    {
        if (active) {
            flush_();
        }
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint || event->type() == QEvent::FocusIn) {
            flush_();
        }
        return false;
    }

private:
    std::function<void()> flush_;
};

// Gives the edit a document laid out as above, with the text it holds.
void UseOffscreenLayout(QPlainTextEdit& edit, QString& pending)
{
    if (dynamic_cast<OffscreenLogLayout*>(edit.document()->documentLayout())) {
        return;
    }
    auto* document = new LogDocument(&edit, pending);
    document->setDocumentLayout(new OffscreenLogLayout(document, &edit));
    document->setDefaultFont(edit.font());
    document->setPlainText(edit.toPlainText());
    document->setUndoRedoEnabled(false);  // a log's lines are added without an undo record
    edit.setDocument(document);
}

// Appends the log's text with its line breaks as the edit keeps them: each
// "\r\n" becomes one "\n". Taken over in runs, not character by character.
void AppendEditText(QString& out, std::string_view text)
{
    std::size_t from = 0;
    const auto run = [&](std::size_t to) {
        out.append(QLatin1String(text.data() + from, static_cast<qsizetype>(to - from)));
    };
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", from)) {
        run(at);
        from = at + 1;  // the '\n' begins the next run
    }
    run(text.size());
}

}  // namespace

EditLogView::EditLogView(platform::Window& window, int editId, std::function<bool()> holdText)
    : window_(window), editId_(editId), holdText_(std::move(holdText))
{}

EditLogView::~EditLogView() = default;

QPlainTextEdit* EditLogView::Edit()
{
    if (!edit_) {
        edit_ = window_.ControlAs<QPlainTextEdit>(editId_);
        if (edit_) {
            UseOffscreenLayout(*edit_, pending_);
            watch_ = std::make_unique<LogWatch>(*edit_, [this] { Flush(); });
        }
    }
    return edit_;
}

bool EditLogView::Observed(const QPlainTextEdit& edit)
{
    return QAccessible::isActive() || edit.hasFocus() || (edit.isVisible() && !edit.visibleRegion().isEmpty());
}

// Inserting into the document costs about the same for one entry as for
// many, so entries added while the event loop is busy go in together.
void EditLogView::Append(std::string_view text)
{
    auto* edit = Edit();
    if (!edit) {
        return;
    }
    AppendEditText(pending_, text);
    FlushWhenFree(*edit);
}

void EditLogView::FlushWhenFree(QPlainTextEdit& edit)
{
    if (flushPosted_ || unobserved_) {
        return;
    }
    if (!Observed(edit)) {
        // Whatever lets someone see or read the edit puts the text in (the
        // watch sees to it), so there is no need to ask again until then.
        unobserved_ = true;
        return;
    }
    flushPosted_ = true;
    QMetaObject::invokeMethod(
        &edit,
        [this] {
            flushPosted_ = false;
            if (!holdText_ || !holdText_()) {
                Flush();
            }
        },
        Qt::QueuedConnection);
}

void EditLogView::Flush()
{
    unobserved_ = false;  // asked again with the next text
    auto* edit = Edit();
    if (!edit || pending_.isEmpty()) {
        return;
    }
    QTextCursor cursor(edit->document());
    // Inside an edit block the cursor does not lay out its line to learn
    // where it stands, neither when moved to the end nor after inserting.
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(pending_);
    cursor.endEditBlock();
    pending_.clear();
}

void EditLogView::FlushIfObserved()
{
    if (auto* edit = Edit(); edit && Observed(*edit)) {
        Flush();
    }
}

void EditLogView::Clear()
{
    pending_.clear();
    // Emptying an empty edit costs as much as a full one; a log that nobody
    // looks at has had nothing put in.
    if (auto* edit = Edit(); edit && !edit->document()->isEmpty()) {
        edit->clear();
    }
}

bool EditLogView::LayoutDeferred()
{
    auto* edit = Edit();
    const auto* layout = edit ? dynamic_cast<OffscreenLogLayout*>(edit->document()->documentLayout()) : nullptr;
    return layout && layout->Stale();
}

}  // namespace velmora::app
