#pragma once
// The progress popup: one line of text with a growing trail of dots, and a
// check mark once the operation has succeeded. It has no buttons; the code
// that opened it finishes and closes it.

#include "pages/message_box.h"

#include <QString>

namespace velmora::pages {

// The popup's text until one is set, and the factory reset's.
inline constexpr char kSettingStatus[] = "Setting";

class CStatusDlg : public ModalPopup {
    Q_OBJECT
public:
    explicit CStatusDlg(QWidget* parent = nullptr);

    void OnTimer(int id) override;
    // Stops the dots, shows the check mark and the text alone.
    void Finish();
    // Draws the popup as it appears on screen, without the controls.
    QPixmap PaintBackground() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void SetLabel(const QString& text);
};

// Shared state: the text ("Setting" at start) and whether the popup shows.
QString& StatusText();
bool StatusPopupShowing();

// Shows the popup in a nested modal loop unless it is already showing.
void ShowStatus();
void FinishStatus();
// Clears the flag and ends the popup's loop.
void CloseStatus();
// The popup while it is showing, else nullptr.
CStatusDlg* OpenStatusPopup();

}  // namespace velmora::pages
