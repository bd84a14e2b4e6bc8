#include "pages/page_windows.h"

#include "appdefs/page_codes.h"
#include "pages/advanced_page.h"
#include "pages/audio_page.h"
#include "pages/network_page.h"
#include "pages/video_page.h"

namespace velmora::pages {

namespace {

template <class Page>
PageWindows::Factory Make()
{
    return [](PageHost& host, QWidget* parent) { return new Page(host, parent); };
}

}  // namespace

PageWindows::PageWindows(PageHost& host) : host_(host)
{
    factories_[Slot(page::kVideo)] = Make<CMatrixDlg>();
    factories_[Slot(page::kAudio)] = Make<AudioDlg>();
    factories_[Slot(page::kNetwork)] = Make<CNetwork>();
    factories_[Slot(page::kAdvanced)] = Make<CAdvancedDlg>();
}

std::size_t PageWindows::Slot(std::uint8_t page) { return static_cast<std::size_t>(page - page::kVideo); }

PageWindow* PageWindows::Ensure(std::uint8_t page, QWidget* parent)
{
    if (!page::IsChildPage(page)) {
        return nullptr;
    }
    auto& window = windows_[Slot(page)];
    if (!window) {
        window = factories_[Slot(page)](host_, parent);
        window->hide();
        host_.dispatcher.SetReceiver(page, window);
    }
    return window;
}

PageWindow* PageWindows::Existing(std::uint8_t page) const
{
    return page::IsChildPage(page) ? windows_[Slot(page)] : nullptr;
}

int PageWindows::CreatedCount() const
{
    int count = 0;
    for (const auto* window : windows_) {
        count += window != nullptr;
    }
    return count;
}

}  // namespace velmora::pages
