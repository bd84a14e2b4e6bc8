#include "controls/button_st.h"

#include "platform/window.h"
#include "res/artwork.h"
#include "res/skin.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace velmora::controls {

CButtonST::CButtonST(QObject* parent) : QObject(parent)
{
    const QPalette palette = QGuiApplication::palette();
    for (int i = 0; i < kColorCount; i += 2) {
        colors_[i] = palette.color(QPalette::Button);
        colors_[i + 1] = palette.color(QPalette::ButtonText);
    }
}

bool CButtonST::SubclassDlgItem(int id, platform::Window& window)
{
    auto* button = window.ControlAs<QAbstractButton>(id);
    if (!button) {
        return false;
    }
    button_ = button;
    // Pointer moves are reported without a pressed button too, so the
    // button sees the pointer arrive; a click gives it the focus, but it is
    // no Tab stop, as title-bar buttons are not.
    button->setMouseTracking(true);
    button->setFocusPolicy(Qt::ClickFocus);
    button->installEventFilter(this);
    button->update();
    return true;
}

void CButtonST::SetFlat(bool flat, bool repaint)
{
    flat_ = flat;
    Repaint(repaint);
}

void CButtonST::SetDrawBorder(bool draw, bool repaint)
{
    drawBorder_ = draw;
    Repaint(repaint);
}

void CButtonST::SetIcon(int hoverIconId, int normalIconId)
{
    icons_[0] = res::IconSet(hoverIconId);
    icons_[1] = res::IconSet(normalIconId);
    Repaint(true);
}

void CButtonST::SetTooltipText(const QString& text, bool activate)
{
    if (!button_) {
        return;
    }
    button_->setToolTip(activate ? text : QString());
    if (button_->text().isEmpty()) {
        button_->setAccessibleName(text);
    }
}

int CButtonST::SetColor(int index, const QColor& color, bool repaint)
{
    if (index < 0 || index >= kColorCount) {
        return kColorInvalidIndex;
    }
    colors_[static_cast<std::size_t>(index)] = color;
    Repaint(repaint);
    return kColorOk;
}

void CButtonST::Repaint(bool repaint)
{
    if (repaint && button_) {
        button_->update();
    }
}

bool CButtonST::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != button_) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter painter(button_);
        Draw(painter);
        return true;
    }
    case QEvent::MouseMove:
        OnMouseMove(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::Leave:
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
        SetHovered(false);
        break;
    case QEvent::EnabledChange:
        if (!button_->isEnabled()) {
            SetHovered(false);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CButtonST::OnMouseMove(QMouseEvent* event)
{
    // A press that started elsewhere and is dragged over the button does not
    // light it up.
    if (!flat_ || ((event->buttons() & Qt::LeftButton) && !hovered_)) {
        return;
    }
    SetHovered(button_->rect().contains(event->position().toPoint()));
}

void CButtonST::SetHovered(bool hovered)
{
    if (hovered_ == hovered) {
        return;
    }
    hovered_ = hovered;
    Repaint(true);
}

void CButtonST::Draw(QPainter& painter) const
{
    const bool pressed = button_->isDown();
    const bool hot = hovered_ || pressed;
    const QColor& background = hot ? colors_[kBkIn] : button_->hasFocus() ? colors_[kBkFocus] : colors_[kBkOut];
    const QRect all = button_->rect();
    painter.fillRect(all, background);
    if (!flat_ || (drawBorder_ && hot)) {
        DrawBorder(painter, pressed);
    }
    const QIcon& icon = hot || icons_[1].isNull() ? icons_[0] : icons_[1];
    if (icon.isNull()) {
        return;
    }
    QPoint at((all.width() - kIconSize.width()) / 2, (all.height() - kIconSize.height()) / 2);
    if (pressed) {
        at += QPoint(1, 1);
    }
    icon.paint(&painter, QRect(at, kIconSize), Qt::AlignCenter, button_->isEnabled() ? QIcon::Normal : QIcon::Disabled);
    // A flat button draws no focus rectangle.
}

void CButtonST::DrawBorder(QPainter& painter, bool pressed) const
{
    // Pressed: the shadow on the top and left; otherwise the highlight.
    qDrawShadeRect(&painter, button_->rect(), button_->palette(), pressed, 1);
}

void SkinTitleButton(CButtonST& button, int id, platform::Window& window, int hoverIconId, int normalIconId,
                     const QString& tooltip)
{
    button.SubclassDlgItem(id, window);
    button.SetDrawBorder(false);
    button.SetIcon(hoverIconId, normalIconId);
    button.SetTooltipText(tooltip);
    for (const int index : {CButtonST::kBkOut, CButtonST::kBkFocus, CButtonST::kBkIn}) {
        button.SetColor(index, res::kTitleBand);
    }
}

}  // namespace velmora::controls
