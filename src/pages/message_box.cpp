#include "pages/message_box.h"

#include "platform/dialog_builder.h"
#include "res/artwork.h"
#include "res/message_ids.h"
#include "res/resource_ids.h"
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
#include <QWindow>

namespace velmora::pages {

namespace c = ctl::message;

// ---------------------------------------------------------------------------
// ModalPopup

ModalPopup::ModalPopup(QWidget* parent, Qt::WindowFlags flags) : platform::Window(parent, flags)
{
    setWindowModality(Qt::ApplicationModal);
}

int ModalPopup::RunModal()
{
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

const QColor kTitleBlue{30, 144, 225};
const QColor kEdgeBlue{30, 120, 255};
const QColor kOutline{128, 128, 128, 150};

struct Layout {
    QRect text;
    bool movePicture;
};

Layout LayoutFor(const QString& text)
{
    if (text == QStringLiteral("Connect to Matrix failed!")) {
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

bool MessageBoxShowing()
{
    return g_showing;
}

bool& ConfirmMode()
{
    return g_confirm;
}

bool SkipResetConfirm()
{
    return g_skipReset;
}

CMessageDlg* OpenMessageBox()
{
    return g_showing ? g_open : nullptr;
}

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

    if (auto* picture = ControlAs<QLabel>(c::kPicture)) {
        const QPixmap bitmap = res::Bitmap(res::kMessageBitmap);
        picture->setPixmap(bitmap);
        picture->resize(bitmap.size());
    }

    close_ = ControlAs<QPushButton>(c::kClose);
    if (close_) {
        close_->setFlat(true);
        close_->setFocusPolicy(Qt::NoFocus);
        close_->setToolTip(QStringLiteral("Close"));
        close_->setIconSize(QSize(16, 16));
        close_->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(30, 144, 225); border: none; }"));
        close_->installEventFilter(this);
        UpdateCloseIcon();
    }

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
    if (close_ && close_->geometry() != closeRect) {
        close_->setGeometry(closeRect);
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
    QPixmap canvas(w, h);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, false);

    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, w - 1, h - 1);

    p.fillRect(1, 1, w - 2, 25, kTitleBlue);

    const QColor face = QApplication::palette().color(QPalette::Button);
    const QColor band((face.red() + 5) % 256, (face.green() + 10) % 256, face.blue());
    p.fillRect(1, 120, w - 2, h - 121, band);

    p.setPen(QPen(kEdgeBlue, 1.0));
    p.drawLine(0, 0, w - 2, 0);
    p.drawLine(0, 0, 0, 25);
    p.drawLine(w - 1, 0, w - 1, 25);

    p.setPen(Qt::black);
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
        Finish(kResultOk);
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

bool CMessageDlg::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == close_) {
        switch (e->type()) {
        case QEvent::Enter:
            closeHot_ = true;
            UpdateCloseIcon();
            break;
        case QEvent::Leave:
            closeHot_ = false;
            UpdateCloseIcon();
            break;
        case QEvent::MouseButtonPress:
            closePressed_ = true;
            UpdateCloseIcon();
            break;
        case QEvent::MouseButtonRelease:
            closePressed_ = false;
            UpdateCloseIcon();
            break;
        default:
            break;
        }
    }
    return ModalPopup::eventFilter(watched, e);
}

void CMessageDlg::UpdateCloseIcon()
{
    if (close_) {
        close_->setIcon(res::IconSet(closeHot_ || closePressed_ ? res::kCloseHoverIcon : res::kCloseIcon));
    }
}

}  // namespace velmora::pages
