#pragma once

namespace lt {

// The periodic timer that drives the search's steps.
class StepTimer {
public:
    virtual ~StepTimer() = default;
    virtual void setPeriodMs(int ms) = 0;
    virtual void arm() = 0;
    virtual void disarm() = 0;
    virtual bool isArmed() const = 0;
};

} // namespace lt
