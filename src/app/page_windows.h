#pragma once
// The four page windows: created from their templates the first time their
// tab is chosen, then only shown and hidden.

#include "platform/window.h"
#include "protocol/reply_dispatch.h"

#include <array>
#include <functional>
#include <memory>

namespace velmora::app {

// A page window that takes the replies while its page is selected.
class PageWindow : public platform::Window, public protocol::ReplyReceiver {
    Q_OBJECT
public:
    using platform::Window::Window;
    void HandleReply(std::span<const std::uint8_t, protocol::kFrameSize>) override {}
};

class PageWindows {
public:
    using Factory = std::function<PageWindow*(QWidget* parent)>;

    PageWindows();
    // Replaces the window a page is built as (the page issues bring theirs).
    void SetFactory(std::uint8_t page, Factory factory);

    // The page's window, created on first use as a child of parent.
    PageWindow* Ensure(std::uint8_t page, QWidget* parent);
    PageWindow* Existing(std::uint8_t page) const;
    int CreatedCount() const;

private:
    static constexpr std::size_t kSlots = 4;
    static std::size_t Slot(std::uint8_t page);

    std::array<Factory, kSlots> factories_;
    std::array<PageWindow*, kSlots> windows_{};
};

}  // namespace velmora::app
