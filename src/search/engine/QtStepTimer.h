#pragma once
#include "search/StepTimer.h"

#include <QTimer>

namespace lt {

// The step timer on a QTimer; the owner connects timeout() to the step.
class QtStepTimer : public StepTimer {
public:
    explicit QtStepTimer(QTimer& timer) : timer_(timer) {}
    void setPeriodMs(int ms) override { timer_.setInterval(ms); }
    void arm() override { timer_.start(); }
    void disarm() override { timer_.stop(); }
    bool isArmed() const override { return timer_.isActive(); }

private:
    QTimer& timer_;
};

} // namespace lt
