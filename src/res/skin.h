#pragma once
// The colours of the skin the caption-less windows share: the accent blue of
// the title bands, tabs, pictures and popup outlines, and the bands' bright edges.

#include <QColor>

namespace velmora::res {

inline const QColor kAccent{30, 144, 225};
inline const QColor kTitleBand = kAccent;
inline const QColor kBandEdge{30, 120, 255};

}  // namespace velmora::res
