#include "pages/message_box.h"

#include "platform/dialog_builder.h"
#include "res/artwork.h"
#include "res/message_ids.h"
#include "res/resource_ids.h"
#include "res/skin.h"
#include "res/templates.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace velmora::pages {

namespace c = ctl::message;

// ---------------------------------------------------------------------------
// ModalPopup

ModalPopup::ModalPopup(QWidget* parent, Qt::WindowFlags flags)
    : platform::Window(parent ? parent : platform::MainWindow(), flags)
{
    setWindowModality(Qt::ApplicationModal);
}

void ModalPopup::CentreOverOwner()
{
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner && owner->isVisible() && !owner->isMinimized()) {
        area = owner->frameGeometry();
    } else if (const QScreen* place = screen()) {
        area = place->availableGeometry();
    } else {
        return;
    }
    move(area.center() - QPoint(width() / 2, height() / 2));
}

bool ModalPopup::ClickFocusedButton()
{
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (!button || !button->isVisible() || !button->isEnabled()) {
        return false;
    }
    button->click();
    return true;
}

void ModalPopup::ShowBitmap(int pictureId, int bitmapId)
{
    if (auto* picture = ControlAs<QLabel>(pictureId)) {
        picture->setPixmap(res::Bitmap(bitmapId, devicePixelRatioF()));
        picture->resize(res::BitmapSize(bitmapId));
    }
}

int ModalPopup::RunModal()
{
    CentreOverOwner();
    show();
    raise();
    activateWindow();
    if (!ended_) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec(QEventLoop::DialogExec);
        loop_ = nullptr;
    }
    hide();
    return result_;
}

void ModalPopup::EndModal(int result)
{
    if (ended_) {
        return;
    }
    ended_ = true;
    result_ = result;
    hide();
    if (loop_) {
        loop_->exit(result);
    }
}

void ModalPopup::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && (windowFlags() & Qt::FramelessWindowHint)) {
        // Moved as if its caption had been grabbed; where the window system
        // cannot do that, the window follows the pointer itself.
        QWindow* handle = windowHandle();
        if (!handle || !handle->startSystemMove()) {
            dragging_ = true;
            dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
        }
    }
    platform::Window::mousePressEvent(e);
}

void ModalPopup::mouseMoveEvent(QMouseEvent* e)
{
    if (dragging_ && (e->buttons() & Qt::LeftButton)) {
        move(e->globalPosition().toPoint() - dragOffset_);
    }
    platform::Window::mouseMoveEvent(e);
}

void ModalPopup::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        dragging_ = false;
    }
    platform::Window::mouseReleaseEvent(e);
}

// ---------------------------------------------------------------------------
// Shared state

namespace {

bool g_showing = false;
bool g_confirm = false;
bool g_skipReset = false;
CMessageDlg* g_open = nullptr;

const QColor kOutline{128, 128, 128, 150};

struct Layout {
    QRect text;
    bool movePicture;
};

Layout LayoutFor(const QString& text)
{
    if (text == QLatin1String(kConnectFailed)) {
        return {QRect(QPoint(100, 60), QPoint(255 - 1, 100 - 1)), false};
    }
    if (text == QLatin1String(kResetQuestion) || text == QLatin1String(kPowerOffQuestion)) {
        return {QRect(QPoint(50, 60), QPoint(320 - 1, 100 - 1)), true};
    }
    return {QRect(QPoint(100, 60), QPoint(220 - 1, 100 - 1)), false};
}

}  // namespace

QString& MessageText()
{
    static QString text;
    return text;
}

bool MessageBoxShowing() { return g_showing; }

bool& ConfirmMode() { return g_confirm; }

bool SkipResetConfirm() { return g_skipReset; }

CMessageDlg* OpenMessageBox() { return g_showing ? g_open : nullptr; }

namespace {

int RunBox()
{
    CMessageDlg box(g_confirm);
    CMessageDlg* const outer = g_open;
    g_open = &box;
    const int result = box.RunModal();
    g_open = outer;
    g_showing = false;
    return result;
}

}  // namespace

void ShowMessage()
{
    if (g_showing) {
        if (g_open) {
            g_open->ApplyLayout();
            g_open->update();
        }
        return;
    }
    g_showing = true;
    RunBox();
}

int AskQuestion(bool confirmMode)
{
    if (g_showing) {
        return 0;
    }
    g_showing = true;
    g_confirm = confirmMode;
    const int result = RunBox();
    g_confirm = false;
    return result;
}

bool ConfirmFactoryReset()
{
    if (g_skipReset) {
        return true;
    }
    MessageText() = QString::fromLatin1(kResetQuestion);
    return AskQuestion(true) == kResultOk;
}

// ---------------------------------------------------------------------------
// CMessageDlg

CMessageDlg::CMessageDlg(bool confirmMode, QWidget* parent) : ModalPopup(parent)
{
    platform::BuildDialog(*this, res::MessageTemplate());

    ShowBitmap(c::kPicture, res::kMessageBitmap);
    controls::SkinTitleButton(closeButton_, c::kClose, *this, res::kCloseHoverIcon, res::kCloseIcon,
                              QStringLiteral("Close"));

    if (confirmMode) {
        QWidget* ok = Control(c::kOk);
        QWidget* cancel = Control(c::kCancel);
        if (ok && cancel) {
            const QPoint okPos = ok->pos();
            const QPoint cancelPos = cancel->pos();
            ok->move(cancelPos.x(), okPos.y());
            cancel->move(okPos.x(), cancelPos.y());
            cancel->show();
        }
        if (QWidget* remind = Control(c::kNoLongerRemind)) {
            remind->show();
        }
    }
    if (QWidget* ok = Control(c::kOk)) {
        ok->setFocus();
    }
    ApplyLayout();
}

void CMessageDlg::OnCommand(int id, platform::Notify, int)
{
    switch (id) {
    case c::kOk:
        Finish(kResultOk);
        break;
    case c::kCancel:
    case c::kClose:
        Finish(kResultCancel);
        break;
    case c::kNoLongerRemind:
        if (auto* remind = ControlAs<QAbstractButton>(c::kNoLongerRemind)) {
            g_skipReset = remind->isChecked();
        }
        break;
    default:
        break;
    }
}

void CMessageDlg::Finish(int result)
{
    if (g_open == this) {
        g_showing = false;
    }
    EndModal(result);
}

void CMessageDlg::ApplyLayout()
{
    const QRect closeRect(width() - 26, 1, 25, 25);
    if (QWidget* close = Control(c::kClose); close && close->geometry() != closeRect) {
        close->setGeometry(closeRect);
    }
    if (accessibleName() != MessageText()) {
        setAccessibleName(MessageText());
    }
    const Layout layout = LayoutFor(MessageText());
    textRect_ = layout.text;
    if (layout.movePicture) {
        if (QWidget* picture = Control(c::kPicture); picture && picture->pos() != QPoint(9, 60)) {
            picture->move(9, 60);
        }
    }
}

QPixmap CMessageDlg::PaintBackground() const
{
    const int w = width();
    const int h = height();
    const qreal ratio = devicePixelRatioF();
    QPixmap canvas(QSize(w, h) * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(palette().color(QPalette::Base));
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, false);

    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, w - 1, h - 1);

    p.fillRect(1, 1, w - 2, 25, res::kTitleBand);

    const QColor face = palette().color(QPalette::Button);
    const QColor band((face.red() + 5) % 256, (face.green() + 10) % 256, face.blue());
    p.fillRect(1, 120, w - 2, h - 121, band);

    p.setPen(QPen(res::kBandEdge, 1.0));
    p.drawLine(0, 0, w - 2, 0);
    p.drawLine(0, 0, 0, 25);
    p.drawLine(w - 1, 0, w - 1, 25);

    p.setPen(palette().color(QPalette::Text));
    p.setFont(QApplication::font());
    p.drawText(textRect_, Qt::AlignCenter | Qt::TextSingleLine, MessageText());
    return canvas;
}

void CMessageDlg::paintEvent(QPaintEvent*)
{
    ApplyLayout();
    const QPixmap canvas = PaintBackground();
    QPainter p(this);
    p.drawPixmap(0, 0, canvas);
}

void CMessageDlg::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        Finish(kResultCancel);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The focused button answers; with the focus elsewhere, Ok does.
        if (!ClickFocusedButton()) {
            Finish(kResultOk);
        }
        return;
    default:
        ModalPopup::keyPressEvent(e);
    }
}

void CMessageDlg::closeEvent(QCloseEvent* e)
{
    if (!Ended()) {
        Finish(kResultCancel);
    }
    e->accept();
}

}  // namespace velmora::pages
