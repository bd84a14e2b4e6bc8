#include "platform/up_down.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace velmora::platform {

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    const struct { Qt::ArrowType arrow; int delta; const char* name; } arrows[] = {
        {Qt::UpArrow, +1, "up"},
        {Qt::DownArrow, -1, "down"},
    };
    for (const auto& a : arrows) {
        auto* button = new QToolButton(this);
        button->setArrowType(a.arrow);
        button->setAutoRepeat(true);
        button->setAccessibleName(QString::fromLatin1(a.name));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        const int delta = a.delta;
        connect(button, &QToolButton::clicked, this, [this, delta] { emit stepped(delta); });
        column->addWidget(button);
    }
}

}  // namespace velmora::platform
