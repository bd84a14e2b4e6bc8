#pragma once
// The Audio page: audio and microphone volumes with their mutes, the
// microphone mixer's mode, its audio volume (answered within a time-out)
// and its fade times, which the switcher acknowledges and the page then
// reads back.

#include "pages/page_window.h"

namespace velmora::pages {

// The page's messages.
inline constexpr char kMixerTimeOut[] = "Time Out";

class AudioDlg : public PageWindow {
    Q_OBJECT
public:
    AudioDlg(PageHost& host, QWidget* parent);

    void HandleReply(protocol::ReplyFrame frame) override;
    void OnCommand(int id, platform::Notify code, int value) override;
    void OnTimer(int id) override;

    // The largest mixer audio volume Set accepts: the audio volume last seen.
    int VolumeLimit() const { return volumeLimit_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnClicked(int id);
    void RefreshSliderBox(int sliderId);
    void OnSliderReleased(int sliderId);
    void OnMute(int id);
    void OnMixerMode(int id);
    void OnSetMixerVolume();
    void OnSetFadeTime(int setId);
    void SendMixerVolume();
    void RefuseInput();
    int ReadBox(int boxId) const;

    void OnStatus(protocol::ReplyFrame frame);
    void OnMixerVolumeAnswer(protocol::ReplyFrame frame);
    void OnMixerModeAnswer(protocol::ReplyFrame frame);
    void OnFadeTime(protocol::ReplyFrame frame);
    void ShowSliderPosition(int sliderId);
    void ShowMixerMode(std::uint8_t mode);
    void EnableMixerControls(std::uint8_t mode);

    int volumeLimit_ = 0;
    std::uint8_t mixerVolume_ = 0;  // the value Set 1211 sent, for its repetition

    static const ReplyRoute<AudioDlg> kReplies[];
};

}  // namespace velmora::pages
