#include "app/tab_strip.h"

#include "protocol/commands.h"
#include "protocol/pages.h"
#include "res/main_ids.h"

#include <QPainter>

namespace velmora::app {

namespace c = ctl::main;

const std::array<Tab, 5> kTabs{{
    {c::kTabGeneral, page::kGeneral, protocol::kGeneralStatus, true},
    {c::kTabVideo, page::kVideo, protocol::kVideoStatus, true},
    {c::kTabAudio, page::kAudio, protocol::kAudioStatus, true},
    {c::kTabNetwork, page::kNetwork, protocol::kNetworkStatus, false},
    {c::kTabAdvanced, page::kAdvanced, protocol::kAdvancedStatus, false},
}};

const Tab* TabForPage(std::uint8_t page)
{
    for (const auto& tab : kTabs) {
        if (tab.page == page) {
            return &tab;
        }
    }
    return nullptr;
}

QPoint TabLabelPosition(int k, int w, int h)
{
    return {k == 0 ? 1 : k * w + 2, kBandBottom - h};
}

void PaintTitleBand(QPainter& painter, QSize size, QSize tabSize, const QColor& face, const QFont& titleFont,
                    const QString& title)
{
    const int W = size.width();
    const int H = size.height();
    painter.fillRect(QRect(QPoint(0, 0), size), face);
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, W - 1, H - 1);

    painter.fillRect(1, 1, W - 2, kBandHeight, kAccent);

    painter.setPen(QPen(kBandEdge, 1));
    painter.drawLine(0, 0, W - 2, 0);
    painter.drawLine(0, 0, 0, kBandHeight);
    painter.drawLine(W - 1, 0, W - 1, kBandHeight);

    painter.setPen(QPen(kSeparator, 1));
    const int w = tabSize.width();
    const int top = kBandBottom - tabSize.height();
    for (int k = 1; k <= 4; ++k) {
        painter.drawLine(k * w + 1, top + 6, k * w + 1, top + 20);
    }

    painter.setFont(titleFont);
    painter.setPen(Qt::white);
    painter.drawText(kTitleTextRect, Qt::AlignCenter | Qt::TextSingleLine, title);
}

}  // namespace velmora::app
