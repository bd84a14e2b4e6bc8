#pragma once
// The four page windows: each created the first time its tab is chosen,
// registered then with the reply dispatcher for its page, and afterwards
// only shown and hidden.

#include "pages/page_window.h"

#include <array>
#include <functional>

namespace velmora::pages {

class PageWindows {
public:
    using Factory = std::function<PageWindow*(PageHost& host, QWidget* parent)>;

    explicit PageWindows(PageHost& host);

    // The page's window, created on first use as a child of parent.
    PageWindow* Ensure(std::uint8_t page, QWidget* parent);
    PageWindow* Existing(std::uint8_t page) const;
    int CreatedCount() const;

private:
    static constexpr std::size_t kSlots = 4;
    static std::size_t Slot(std::uint8_t page);

    PageHost& host_;
    std::array<Factory, kSlots> factories_;
    std::array<PageWindow*, kSlots> windows_{};
};

}  // namespace velmora::pages
