#pragma once
// The five tab labels of the title band: their pages, status queries and
// places, and the painting of the band behind them.

#include "protocol/frame.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class QPainter;
class QFont;

namespace velmora::app {

struct Tab {
    int labelId;
    std::uint8_t page;
    protocol::Command statusQuery;
    bool titleFont;  // Network and Advanced keep the dialog font
};

extern const std::array<Tab, 5> kTabs;

const Tab* TabForPage(std::uint8_t page);

inline constexpr int kBandBottom = 56;     // the labels' bottom edges sit on this row
inline constexpr int kBandHeight = 55;
inline constexpr int kTitleButtonSize = 25;
inline const QColor kAccent{30, 144, 225};
inline const QColor kBandEdge{30, 120, 255};
inline const QColor kSeparator{30, 120, 200};
inline const QColor kOutline{128, 128, 128, 50};
inline const QRect kTitleTextRect{1, 1, 289, 29};

// Top-left corner of tab label k for labels of size w x h.
QPoint TabLabelPosition(int k, int w, int h);

// Paints the whole window background: face colour, outline, title band,
// its bright edges, the separators between the labels and the title text.
void PaintTitleBand(QPainter& painter, QSize size, QSize tabSize, const QColor& face, const QFont& titleFont,
                    const QString& title);

}  // namespace velmora::app
