#pragma once
// Up-down arrows: each press reports +1 or -1 to the window.

#include <QWidget>

namespace velmora::platform {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

signals:
    void stepped(int delta);
};

}  // namespace velmora::platform
