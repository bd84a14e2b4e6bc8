#include "platform/up_down.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora::platform {

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    const struct {
        Qt::ArrowType arrow;
        int delta;
        const char* name;
    } arrows[] = {
        {Qt::UpArrow, +1, "up"},
        {Qt::DownArrow, -1, "down"},
    };
    for (const auto& a : arrows) {
        auto* button = new QToolButton(this);
        button->setArrowType(a.arrow);
        button->setAutoRepeat(true);
        button->setAccessibleName(QString::fromLatin1(a.name));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setFocusPolicy(Qt::NoFocus);
        const int delta = a.delta;
        connect(button, &QToolButton::clicked, this, [this, delta] { Step(delta); });
        column->addWidget(button);
    }
}

void UpDown::Step(int delta)
{
    if (buddy_) {
        // A blank or unreadable buddy counts as the bottom of the range.
        const int current = buddy_->text().trimmed().toInt();
        const int next = std::clamp(current + delta, kDefaultMinimum, kDefaultMaximum);
        buddy_->setText(QString::number(next));
    }
    emit stepped(delta);
}

}  // namespace velmora::platform
