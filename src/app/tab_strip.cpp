#include "app/tab_strip.h"

#include "app/tab_strip_accessible.h"
#include "appdefs/page_codes.h"
#include "platform/window.h"
#include "protocol/commands.h"
#include "res/main_ids.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QShortcut>

namespace velmora::app {

namespace c = ctl::main;

const std::array<Tab, 5> kTabs{{
    {c::kTabGeneral, page::kGeneral, protocol::kGeneralStatus, true},
    {c::kTabVideo, page::kVideo, protocol::kVideoStatus, true},
    {c::kTabAudio, page::kAudio, protocol::kAudioStatus, true},
    {c::kTabNetwork, page::kNetwork, protocol::kNetworkStatus, false},
    {c::kTabAdvanced, page::kAdvanced, protocol::kAdvancedStatus, false},
}};

const Tab* TabForPage(std::uint8_t page)
{
    for (const auto& tab : kTabs) {
        if (tab.page == page) {
            return &tab;
        }
    }
    return nullptr;
}

QPoint TabLabelPosition(int k, int w, int h) { return {k == 0 ? 1 : k * w + 2, kBandBottom - h}; }

void PaintTitleBand(QPainter& painter, QSize size, QSize tabSize, const QColor& face, const QFont& titleFont,
                    const QString& title, const QRect& dirty)
{
    const int W = size.width();
    const int H = size.height();
    // Each part is drawn only where it meets the dirty rectangle: a fill
    // limited to it, a line left out when it lies wholly outside.
    const auto meets = [&](int x1, int y1, int x2, int y2) {
        return dirty.intersects(QRect(QPoint(x1, y1), QPoint(x2, y2)));
    };
    const auto line = [&](int x1, int y1, int x2, int y2) {
        if (meets(x1, y1, x2, y2)) {
            painter.drawLine(x1, y1, x2, y2);
        }
    };
    painter.fillRect(QRect(QPoint(0, 0), size) & dirty, face);
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(Qt::NoBrush);
    if (!QRect(1, 1, W - 2, H - 2).contains(dirty)) {  // the outline runs round the edge
        painter.drawRect(0, 0, W - 1, H - 1);
    }

    painter.fillRect(QRect(1, 1, W - 2, kBandHeight) & dirty, kAccent);

    painter.setPen(QPen(kBandEdge, 1));
    line(0, 0, W - 2, 0);
    line(0, 0, 0, kBandHeight);
    line(W - 1, 0, W - 1, kBandHeight);

    painter.setPen(QPen(kSeparator, 1));
    const int w = tabSize.width();
    const int top = kBandBottom - tabSize.height();
    for (int k = 1; k <= 4; ++k) {
        line(k * w + 1, top + 6, k * w + 1, top + 20);
    }

    // A long title runs past its rectangle sideways, never up or down.
    if (!dirty.intersects(QRect(0, kTitleTextRect.top(), W, kTitleTextRect.height()))) {
        return;
    }
    painter.setFont(titleFont);
    painter.setPen(Qt::white);
    painter.drawText(kTitleTextRect, Qt::AlignCenter | Qt::TextSingleLine, title);
}

// ---------------------------------------------------------------------------
// TabStrip

namespace {

// The dotted frame around the current tab while the strip has the focus; it
// lies over the labels, which paint over their strip.
class FocusMark : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

constexpr int kFocusMarkInset = 2;

}  // namespace

TabStrip::TabStrip(QWidget* window) : QWidget(window)
{
    InstallTabStripAccessibility();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::TabFocus);
    focusMark_ = new FocusMark(this);
    focusMark_->setAttribute(Qt::WA_TransparentForMouseEvents);
    focusMark_->hide();

    const struct {
        QList<QKeySequence> keys;
        int step;
    } shortcuts[] = {
        {{QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, +1},
        {{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
          QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
         -1},
    };
    for (const auto& s : shortcuts) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(s.keys);
        shortcut->setContext(Qt::WindowShortcut);
        const int step = s.step;
        connect(shortcut, &QShortcut::activated, this, [this, step] { ChooseNext(step); });
    }
}

void TabStrip::TakeLabels(platform::Window& window)
{
    for (std::size_t k = 0; k < kTabs.size(); ++k) {
        labels_[k] = window.ControlAs<QLabel>(kTabs[k].labelId);
        labels_[k]->setParent(this);
        labels_[k]->setAutoFillBackground(true);
        labels_[k]->show();
    }
    focusMark_->raise();
    Colour();
}

void TabStrip::Place(QSize tabSize)
{
    const int top = kBandBottom - tabSize.height();
    const int right = TabLabelPosition(Count() - 1, tabSize.width(), tabSize.height()).x() + tabSize.width();
    setGeometry(0, top, right, tabSize.height());
    for (int k = 0; k < Count(); ++k) {
        labels_[k]->move(TabLabelPosition(k, tabSize.width(), tabSize.height()) - QPoint(0, top));
    }
    PlaceFocusMark();
}

int TabStrip::TabAt(QPoint windowPoint) const
{
    const QPoint p = windowPoint - pos();
    for (int k = 0; k < Count(); ++k) {
        if (labels_[k]->geometry().contains(p)) {
            return k;
        }
    }
    return -1;
}

QString TabStrip::Text(int index) const { return index >= 0 && index < Count() ? labels_[index]->text() : QString(); }

QRect TabStrip::TabRect(int index) const
{
    return index >= 0 && index < Count() ? labels_[index]->geometry() : QRect();
}

void TabStrip::SetCurrent(int index)
{
    if (index < 0 || index >= Count()) {
        return;
    }
    const bool changed = index != current_;
    current_ = index;
    Colour();
    PlaceFocusMark();
    if (changed) {
        Announce(QAccessible::Selection);
        if (hasFocus()) {
            Announce(QAccessible::Focus);
        }
    }
}

void TabStrip::Colour()
{
    for (int k = 0; k < Count(); ++k) {
        const bool selected = k == current_;
        QPalette palette = labels_[k]->palette();
        palette.setColor(QPalette::Window, selected ? this->palette().color(QPalette::Button) : kAccent);
        palette.setColor(QPalette::WindowText, selected ? this->palette().color(QPalette::ButtonText) : Qt::white);
        labels_[k]->setPalette(palette);
        labels_[k]->update();
    }
    focusMark_->setPalette(labels_[current_]->palette());
}

void TabStrip::Choose(int index)
{
    if (index >= 0 && index < Count()) {
        emit chosen(index);
    }
}

void TabStrip::ChooseNext(int step) { Choose((current_ + step + Count()) % Count()); }

void TabStrip::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        Choose(current_ - 1);
        break;
    case Qt::Key_Right:
        Choose(current_ + 1);
        break;
    case Qt::Key_Home:
        Choose(0);
        break;
    case Qt::Key_End:
        Choose(Count() - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TabStrip::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    PlaceFocusMark();
    Announce(QAccessible::Focus);
}

void TabStrip::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    PlaceFocusMark();
}

void TabStrip::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && labels_[0]) {
        Colour();
    }
    QWidget::changeEvent(event);
}

void TabStrip::PlaceFocusMark()
{
    if (!labels_[current_]) {
        return;
    }
    const int inset = kFocusMarkInset;
    focusMark_->setGeometry(labels_[current_]->geometry().adjusted(inset, inset, -inset, -inset));
    focusMark_->setVisible(hasFocus());
}

void TabStrip::Announce(QAccessible::Event type)
{
    QAccessibleEvent event(this, type);
    event.setChild(current_);
    QAccessible::updateAccessibility(&event);
}

}  // namespace velmora::app
