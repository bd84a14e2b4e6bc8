#pragma once
// Runs a test step inside a modal loop: the step is scheduled before the loop
// is entered and runs once the window is open. Bounded: if the window never
// opens, or the step leaves it open, the test fails and the window is closed.

#include "pages/message_box.h"
#include "pages/progress_popup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>

namespace velmora::test {

class StepWhen {
public:
    StepWhen(std::function<bool()> ready, std::function<void()> step) : ready_(std::move(ready)), step_(std::move(step))
    {
        clock_.start();
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        timer_.start();
    }
    bool Ran() const { return ran_; }

private:
    void Tick()
    {
        if (!ran_ && ready_()) {
            ran_ = true;
            timer_.stop();
            step_();
            return;
        }
        if (clock_.elapsed() > 5000) {
            timer_.stop();
            ADD_FAILURE() << "the step never ran";
            pages::CloseStatus();
            if (auto* box = pages::OpenMessageBox()) {
                box->close();
            }
        }
    }

    std::function<bool()> ready_;
    std::function<void()> step_;
    QTimer timer_;
    QElapsedTimer clock_;
    bool ran_ = false;
};

inline std::unique_ptr<StepWhen> WhenMessageBoxOpen(std::function<void(pages::CMessageDlg*)> step)
{
    return std::make_unique<StepWhen>([] { return pages::OpenMessageBox() && pages::OpenMessageBox()->isVisible(); },
                                      [step] { step(pages::OpenMessageBox()); });
}

inline std::unique_ptr<StepWhen> WhenStatusOpen(std::function<void(pages::CStatusDlg*)> step)
{
    return std::make_unique<StepWhen>([] { return pages::OpenStatusPopup() && pages::OpenStatusPopup()->isVisible(); },
                                      [step] { step(pages::OpenStatusPopup()); });
}

// Visible top-level windows of type T.
template <class T>
int VisibleWindows()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<T*>(w) && w->isVisible()) {
            ++count;
        }
    }
    return count;
}

}  // namespace velmora::test
