#pragma once
// A page window of the panel on the offscreen platform, connected over a
// pseudo-terminal on which the test plays the switcher: the page's tab is
// chosen, its status query read and answered, and then the test drives the
// page's controls and reads every frame they send.

#include "app/panel_fixture.h"
#include "platform/slider.h"
#include "protocol/reply_dispatch.h"

#include <QLineEdit>

namespace velmora::test {

class PageTest : public PanelTest {
protected:
    // Connects, chooses the tab and answers the status query with `status`.
    void OpenPage(int tabId, protocol::Command statusQuery, const protocol::FrameBytes& status)
    {
        Connect();
        Answer(protocol::MakeFrame(protocol::kGeneralStatus));
        ClickChildOf(panel.get(), Ctl<QWidget>(tabId));
        page = panel->Pages().Existing(panel->CurrentPage());
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(ReadFrame(), FrameVector(protocol::MakeFrame(statusQuery)));
        Answer(status);
    }

    // A status answer while the page is open.
    void Status(const protocol::FrameBytes& status) { Answer(status); }

    template <class T>
    T* PageCtl(int id)
    {
        return page->ControlAs<T>(id);
    }
    QString BoxText(int id) { return PageCtl<QLineEdit>(id)->text(); }

    // Presses and lets go of the slider's thumb where it stands: the setting
    // goes out at the slider's position.
    void ClickThumb(int sliderId)
    {
        auto* slider = PageCtl<platform::Slider>(sliderId);
        Click(slider, ThumbRect(slider).center());
    }
    // A press at the far end of the channel: one page step towards it.
    void ClickChannelEnd(int sliderId)
    {
        auto* slider = PageCtl<platform::Slider>(sliderId);
        Click(slider, QPoint(slider->width() - 2, slider->height() / 2));
    }
    std::vector<std::uint8_t> Frame(protocol::Command command,
                                    std::initializer_list<std::pair<std::size_t, std::uint8_t>> params = {})
    {
        return FrameVector(protocol::MakeFrame(command, params));
    }

    pages::PageWindow* page = nullptr;
};

}  // namespace velmora::test
