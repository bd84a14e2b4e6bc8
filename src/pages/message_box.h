#pragma once
// The panel's own message and confirmation box, skinned and caption-less, and
// the modal window base it shares with the progress popup.

#include "controls/button_st.h"
#include "platform/window.h"

#include <QPoint>
#include <QRect>
#include <QString>

class QEventLoop;

namespace velmora::pages {

// What a modal window ends with: Ok, or Cancel, close and Escape.
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;

// What the box tells the operator about the link; the box lays the first
// out wider than the others.
inline constexpr char kConnectFailed[] = "Connect to Matrix failed!";
inline constexpr char kOpenComFailed[] = "Open COM failed!";
inline constexpr char kTimeOut[] = "Time out!";

// The two questions the box asks; it lays them out with the picture at the left.
inline constexpr char kResetQuestion[] = "Do you want to reset to factory settings?";
inline constexpr char kPowerOffQuestion[] = "Are you sure you want to power off?";

// A modal window with a nested event loop; a borderless one is dragged by its
// body. Without a parent it belongs to the program's main window, and it
// opens centred over its owner (over the screen when the owner is not shown).
class ModalPopup : public platform::Window {
    Q_OBJECT
public:
    explicit ModalPopup(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Dialog | Qt::FramelessWindowHint);

    // Shows the window and waits in a nested loop until EndModal.
    int RunModal();
    void EndModal(int result);
    bool Ended() const { return ended_; }

protected:
    // Return and Enter press the focused push button, as in any dialog;
    // false when no push button has the focus.
    bool ClickFocusedButton();
    // Shows a bitmap in a picture control, drawn for this window's screen.
    void ShowBitmap(int pictureId, int bitmapId);

    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void CentreOverOwner();

    QEventLoop* loop_ = nullptr;
    bool ended_ = false;
    int result_ = 0;
    bool dragging_ = false;
    QPoint dragOffset_;
};

class CMessageDlg : public ModalPopup {
    Q_OBJECT
public:
    // Builds the box from template 135; confirmMode adds Cancel and "No longer remind".
    explicit CMessageDlg(bool confirmMode, QWidget* parent = nullptr);

    void OnCommand(int id, platform::Notify code, int value) override;

    // Places the close button, the picture and the text for the current
    // MessageText, and names the box by the text for screen readers.
    void ApplyLayout();
    // The rectangle the text is centred in, in client pixels.
    QRect TextRect() const { return textRect_; }
    // Draws the whole box as it appears on screen, without the controls.
    QPixmap PaintBackground() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Finish(int result);

    controls::CButtonST closeButton_;
    QRect textRect_;
};

// Shared state.
QString& MessageText();
bool MessageBoxShowing();
bool& ConfirmMode();
bool SkipResetConfirm();

// Shows the box modally unless one is showing; else the open box repaints with the new text.
void ShowMessage();
// Own modal call: 1 Ok, 2 Cancel, close or Escape, 0 if a box was already showing.
// Sets ConfirmMode to confirmMode for the showing and clears it after.
int AskQuestion(bool confirmMode);
// The box while it is showing, else nullptr.
CMessageDlg* OpenMessageBox();

// The factory reset question with Ok, Cancel and "No longer remind"; true
// for Ok, or at once once the operator asked not to be reminded. False also
// when a box is already showing: nothing was asked.
bool ConfirmFactoryReset();

}  // namespace velmora::pages
