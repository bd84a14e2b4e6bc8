#include "app/page_windows.h"

#include "platform/dialog_builder.h"
#include "protocol/pages.h"
#include "res/templates.h"

namespace velmora::app {

namespace {

PageWindows::Factory FromTemplate(const platform::DialogTemplate& tpl)
{
    return [&tpl](QWidget* parent) {
        auto* window = new PageWindow(parent);
        platform::BuildDialog(*window, tpl);
        return window;
    };
}

}  // namespace

PageWindows::PageWindows()
{
    factories_[Slot(page::kVideo)] = FromTemplate(res::VideoTemplate());
    factories_[Slot(page::kAudio)] = FromTemplate(res::AudioTemplate());
    factories_[Slot(page::kNetwork)] = FromTemplate(res::NetworkTemplate());
    factories_[Slot(page::kAdvanced)] = FromTemplate(res::AdvancedTemplate());
}

std::size_t PageWindows::Slot(std::uint8_t page)
{
    return static_cast<std::size_t>(page - page::kVideo);
}

void PageWindows::SetFactory(std::uint8_t page, Factory factory)
{
    if (page::IsChildPage(page)) {
        factories_[Slot(page)] = std::move(factory);
    }
}

PageWindow* PageWindows::Ensure(std::uint8_t page, QWidget* parent)
{
    if (!page::IsChildPage(page)) {
        return nullptr;
    }
    auto& window = windows_[Slot(page)];
    if (!window) {
        window = factories_[Slot(page)](parent);
        window->hide();
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

}  // namespace velmora::app
