#pragma once
// The Advanced page: key beep, power, the switcher's factory reset, its
// serial speed, sleep timer and on-screen-display time-out, the start of a
// scaler upgrade from a USB flash drive, and the hardware version.

#include "pages/page_window.h"

namespace velmora::pages {

class CAdvancedDlg : public PageWindow {
    Q_OBJECT
public:
    CAdvancedDlg(PageHost& host, QWidget* parent);

    void HandleReply(protocol::ReplyFrame frame) override;
    void OnCommand(int id, platform::Notify code, int value) override;

private:
    void OnClicked(int id);
    void OnListChosen(int listId, int position);
    void OnBeep();
    void OnPower();
    void OnFactoryReset();
    void OnStatus(protocol::ReplyFrame frame);
    bool Checked(int id) const;

    static const ReplyRoute<CAdvancedDlg> kReplies[];
};

}  // namespace velmora::pages
