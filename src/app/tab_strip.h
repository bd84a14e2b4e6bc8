#pragma once
// The five tab labels of the title band: their pages, status queries and
// places, the strip that makes them one keyboard stop and one page tab list
// for screen readers, and the painting of the band behind them.

#include "protocol/frame.h"
#include "res/skin.h"

#include <QAccessible>
#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

class QFont;
class QLabel;
class QPainter;

namespace velmora::platform {
class Window;
}

namespace velmora::app {

struct Tab {
    int labelId;
    std::uint8_t page;
    protocol::Command statusQuery;
    bool titleFont;  // Network and Advanced keep the dialog font
};

extern const std::array<Tab, 5> kTabs;

const Tab* TabForPage(std::uint8_t page);

inline constexpr int kBandBottom = 56;  // the labels' bottom edges sit on this row
inline constexpr int kBandHeight = 55;
inline constexpr int kTitleButtonSize = 25;
inline const QColor kAccent = res::kAccent;
inline const QColor kBandEdge = res::kBandEdge;
inline const QColor kSeparator{30, 120, 200};
inline const QColor kOutline{128, 128, 128, 50};
inline const QRect kTitleTextRect{1, 1, 289, 29};

// Top-left corner of tab label k for labels of size w x h.
QPoint TabLabelPosition(int k, int w, int h);

// Paints the whole window background: face colour, outline, title band,
// its bright edges, the separators between the labels and the title text.
// Only what meets 'dirty' (the part of the window being painted) is drawn,
// and the text is laid out only when it may show there.
void PaintTitleBand(QPainter& painter, QSize size, QSize tabSize, const QColor& face, const QFont& titleFont,
                    const QString& title, const QRect& dirty);

// The tab labels as one widget. The labels become its children; it lies over
// them and lets every press through to the window, which hit-tests the
// labels. It takes the keyboard focus: Left and Right, Home and End choose a
// tab, and anywhere in the window Ctrl+Tab / Ctrl+PgDn choose the next tab,
// Ctrl+Shift+Tab / Ctrl+PgUp the one before. Screen readers see a page tab
// list with one page tab per label.
class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* window);

    // Takes the labels of kTabs from the window built from the template.
    void TakeLabels(platform::Window& window);
    // Places the strip and the labels, whose bottoms sit on the band's last row.
    void Place(QSize tabSize);
    // The tab under a point of the window, or -1.
    int TabAt(QPoint windowPoint) const;
    // Marks the current tab: button text on the button face, the others
    // white on the band's blue.
    void SetCurrent(int index);
    int Current() const { return current_; }
    int Count() const { return static_cast<int>(labels_.size()); }
    QString Text(int index) const;
    QRect TabRect(int index) const;  // in the strip's coordinates

public slots:
    // Chooses a tab as the operator would: the window decides whether the page changes.
    void Choose(int index);

signals:
    void chosen(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ChooseNext(int step);
    void Colour();
    void PlaceFocusMark();
    void Announce(QAccessible::Event event);

    std::array<QLabel*, 5> labels_{};
    QWidget* focusMark_ = nullptr;
    int current_ = 0;
};

}  // namespace velmora::app
