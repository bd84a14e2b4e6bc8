#pragma once
// Up-down arrows with a buddy edit: each press proposes a change of +1 or
// -1, moves the number in the buddy within the range and reports the
// change to the window.

#include <QWidget>

class QLineEdit;

namespace velmora::platform {

class UpDown : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultMinimum = 0;
    static constexpr int kDefaultMaximum = 100;

    explicit UpDown(QWidget* parent = nullptr);

    void SetBuddy(QLineEdit* buddy) { buddy_ = buddy; }
    QLineEdit* Buddy() const { return buddy_; }
    // Proposes a change, as a press of an arrow does.
    void Step(int delta);

signals:
    void stepped(int delta);

private:
    QLineEdit* buddy_ = nullptr;
};

}  // namespace velmora::platform
