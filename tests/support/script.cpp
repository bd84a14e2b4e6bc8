#include "script.h"

#include "gui_helpers.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace velmora::test {

namespace {
constexpr int kTickMs = 5;
constexpr int kMaxDismissals = 8;
}  // namespace

Script::Script(int limitMs) : limitMs_(limitMs)
{
    timer_.setInterval(kTickMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

Script& Script::When(std::string name, std::function<bool()> ready, std::function<void()> act)
{
    steps_.push_back({std::move(name), std::move(ready), std::move(act)});
    return *this;
}

Script& Script::Then(std::string name, std::function<void()> act)
{
    return When(
        std::move(name), [] { return true; }, std::move(act));
}

void Script::Start()
{
    clock_.start();
    timer_.start();
}

void Script::Tick()
{
    if (Finished()) {
        timer_.stop();
    }
    if (Finished() || starting_) {
        return;
    }
    Step& step = steps_[next_];
    if (step.ready()) {
        ++next_;
        // Run from its own event, so that an act that enters a nested modal
        // loop does not hold up the steps that must run inside that loop.
        starting_ = true;
        QTimer::singleShot(0, &timer_, [this, act = step.act] {
            starting_ = false;
            act();
        });
    } else if (clock_.elapsed() > limitMs_) {
        ADD_FAILURE() << "the step \"" << step.name << "\" never became ready";
        next_ = steps_.size();
        for (int i = 0; i < kMaxDismissals && QApplication::activeModalWidget(); ++i) {
            Dismiss(QApplication::activeModalWidget());
        }
    }
}

}  // namespace velmora::test
