#include "pages/progress_popup.h"

#include "appdefs/timer_ids.h"
#include "platform/dialog_builder.h"
#include "res/resource_ids.h"
#include "res/skin.h"
#include "res/status_ids.h"
#include "res/templates.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace velmora::pages {

namespace c = ctl::status;

namespace {

bool g_showing = false;
CStatusDlg* g_open = nullptr;

const QColor kOutline = [] {
    QColor outline = res::kAccent;
    outline.setAlpha(150);
    return outline;
}();

}  // namespace

QString& StatusText()
{
    static QString text = QString::fromLatin1(kSettingStatus);
    return text;
}

bool StatusPopupShowing() { return g_showing; }

CStatusDlg* OpenStatusPopup() { return g_showing ? g_open : nullptr; }

void ShowStatus()
{
    if (g_showing) {
        return;
    }
    g_showing = true;
    CStatusDlg popup;
    g_open = &popup;
    popup.RunModal();
    if (g_open == &popup) {
        g_open = nullptr;
    }
}

void FinishStatus()
{
    if (g_showing && g_open) {
        g_open->Finish();
    }
}

void CloseStatus()
{
    g_showing = false;
    if (g_open) {
        g_open->EndModal(kResultOk);
    }
}

CStatusDlg::CStatusDlg(QWidget* parent) : ModalPopup(parent)
{
    platform::BuildDialog(*this, res::StatusTemplate());
    ShowBitmap(c::kCheckMark, res::kCheckMarkBitmap);
    if (QWidget* check = Control(c::kCheckMark)) {
        check->hide();
    }
    SetLabel(StatusText() + QStringLiteral(" . . ."));
    SetTimer(timer::kDots1, timer::kDotsMs);
}

void CStatusDlg::SetLabel(const QString& text)
{
    if (auto* label = ControlAs<QLabel>(c::kText)) {
        label->setText(text);
    }
}

void CStatusDlg::OnTimer(int id)
{
    switch (id) {
    case timer::kDots1:
        KillTimer(timer::kDots1);
        SetLabel(StatusText() + QStringLiteral(" ."));
        SetTimer(timer::kDots2, timer::kDotsMs);
        break;
    case timer::kDots2:
        KillTimer(timer::kDots2);
        SetLabel(StatusText() + QStringLiteral(" . ."));
        SetTimer(timer::kDots3, timer::kDotsMs);
        break;
    case timer::kDots3:
        KillTimer(timer::kDots3);
        SetLabel(StatusText() + QStringLiteral(" . . ."));
        SetTimer(timer::kDots1, timer::kDotsMs);
        break;
    default:
        ModalPopup::OnTimer(id);
        break;
    }
}

void CStatusDlg::Finish()
{
    KillTimer(timer::kDots1);
    KillTimer(timer::kDots2);
    KillTimer(timer::kDots3);
    if (QWidget* check = Control(c::kCheckMark)) {
        check->show();
    }
    SetLabel(StatusText());
}

QPixmap CStatusDlg::PaintBackground() const
{
    const qreal ratio = devicePixelRatioF();
    QPixmap canvas(size() * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(palette().color(QPalette::Base));
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, width() - 1, height() - 1);
    return canvas;
}

void CStatusDlg::paintEvent(QPaintEvent*)
{
    const QPixmap canvas = PaintBackground();
    QPainter p(this);
    p.drawPixmap(0, 0, canvas);
}

void CStatusDlg::keyPressEvent(QKeyEvent* e)
{
    // Return and Escape do not end the popup: only CloseStatus does, so the
    // flag always matches the window.
    switch (e->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        e->accept();
        return;
    default:
        ModalPopup::keyPressEvent(e);
    }
}

void CStatusDlg::closeEvent(QCloseEvent* e)
{
    // A window closed from outside ends as CloseStatus would, flag included.
    if (!Ended() && g_open == this) {
        CloseStatus();
    }
    e->accept();
}

}  // namespace velmora::pages
