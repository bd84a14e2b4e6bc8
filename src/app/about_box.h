#pragma once
// The about box, opened from the window's system menu.

#include <QDialog>

namespace velmora::app {

inline constexpr char kAboutMenuText[] = "关于 Velmora(&A)...";
inline constexpr char kAboutCaption[] = "关于 Velmora";
inline constexpr char kAboutLine[] = "Velmora，1.01 版";
inline constexpr char kAboutOk[] = "确定";

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace velmora::app
