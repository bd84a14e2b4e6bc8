#pragma once
// A test script for flows that run inside nested modal loops: each step
// waits for its condition, then acts, polled from a timer so that it runs in
// whichever loop is current. Bounded: a step that never becomes ready fails
// the test by name and the open modal windows are closed.

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace velmora::test {

class Script {
public:
    explicit Script(int limitMs = 10000);
    Script& When(std::string name, std::function<bool()> ready, std::function<void()> act);
    Script& Then(std::string name, std::function<void()> act);  // ready at once
    void Start();  // the steps run from the event loop
    // Every step has been started (acts may still be running).
    bool Finished() const { return next_ == steps_.size(); }

private:
    struct Step {
        std::string name;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    void Tick();

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QTimer timer_;
    QElapsedTimer clock_;
    bool starting_ = false;
    int limitMs_;
};

}  // namespace velmora::test
