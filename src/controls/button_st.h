#pragma once
// The skinned push button of the caption-less windows' title bands: flat, a
// coloured background, one icon while the pointer is over it or it is pressed
// and another otherwise, the icon shifted by a pixel while pressed, and a
// tooltip. It takes over a push button the window built from its template,
// as a subclassed control would: the button keeps its id, its place in the
// window and its click, and the CButtonST draws it and tracks the pointer.

#include <QAbstractButton>
#include <QColor>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <array>

class QMouseEvent;
class QPainter;

namespace velmora::platform {
class Window;
}

namespace velmora::controls {

class CButtonST : public QObject {
    Q_OBJECT
public:
    // The colour table: background and text while hovered, while not hovered
    // and while focused.
    enum ColorIndex : int { kBkIn = 0, kFgIn, kBkOut, kFgOut, kBkFocus, kFgFocus, kColorCount };
    static constexpr int kColorOk = 0;
    static constexpr int kColorInvalidIndex = 3;

    explicit CButtonST(QObject* parent = nullptr);

    // Takes over the push button `id` of `window`; false if there is none.
    bool SubclassDlgItem(int id, platform::Window& window);

    void SetFlat(bool flat, bool repaint = true);
    // A flat button draws a 3-D frame while hovered or pressed when this is on.
    void SetDrawBorder(bool draw, bool repaint = true);
    // hoverIcon shows while the pointer is over the button or it is pressed.
    void SetIcon(int hoverIconId, int normalIconId);
    // An icon-only button is announced by its tooltip as well.
    void SetTooltipText(const QString& text, bool activate = true);
    // kColorInvalidIndex for an index outside the table, which stays unchanged.
    int SetColor(int index, const QColor& color, bool repaint = true);

    // The button the window shows.
    QAbstractButton* Button() const { return button_; }
    bool Hovered() const { return hovered_; }
    static constexpr QSize kIconSize{16, 16};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnMouseMove(QMouseEvent* event);
    void SetHovered(bool hovered);
    void Repaint(bool repaint);
    void Draw(QPainter& painter) const;
    void DrawBorder(QPainter& painter, bool pressed) const;

    QPointer<QAbstractButton> button_;
    bool flat_ = true;
    bool drawBorder_ = true;
    bool hovered_ = false;
    std::array<QColor, kColorCount> colors_;
    std::array<QIcon, 2> icons_;  // 0 hovered or pressed, 1 otherwise
};

// A title-band button of the program's windows: flat without a border, the
// band's blue in every state, a hover icon and a tooltip.
void SkinTitleButton(CButtonST& button, int id, platform::Window& window, int hoverIconId, int normalIconId,
                     const QString& tooltip);

}  // namespace velmora::controls
