#pragma once
// The Video page: contrast, brightness, colour and sharpness, the VGA
// picture size, and the VGA position, clock and phase steps, which the
// switcher acknowledges and the page then reads back.

#include "pages/page_window.h"

namespace velmora::pages {

class CMatrixDlg : public PageWindow {
    Q_OBJECT
public:
    CMatrixDlg(PageHost& host, QWidget* parent);

    void HandleReply(protocol::ReplyFrame frame) override;
    void OnCommand(int id, platform::Notify code, int value) override;

private:
    void ShowSliderPosition(int sliderId);
    void OnSliderReleased(int sliderId);
    void OnStep(int upDownId, int delta);
    void OnStatus(protocol::ReplyFrame frame);
    void OnStepValue(protocol::ReplyFrame frame);
    void MoveSlider(int sliderId, std::uint8_t position);
    void EnableSteps(bool enabled);

    static const ReplyRoute<CMatrixDlg> kReplies[];
};

}  // namespace velmora::pages
