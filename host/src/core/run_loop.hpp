// The run loop and its timers. A run loop belongs to one thread and holds
// (retains) the timers added to it; a timer knows the loops it is in, so
// that invalidating it takes it out of all of them.
#pragma once

#include <vector>

#include "object.hpp"

namespace kvx::host {

class RunLoop;

class Timer final : public Object {
public:
    static CFTypeID TypeID();
    // Copies the context, retaining its info through the context's retain.
    Timer(CFAbsoluteTime fireDate, CFTimeInterval interval, CFRunLoopTimerCallBack callout,
          const CFRunLoopTimerContext &context);
    // Releases the context's info through the context's release.
    ~Timer() override;

    bool isValid() const { return valid_; }
    bool isDue(CFAbsoluteTime now) const { return valid_ && fireDate_ <= now; }
    CFAbsoluteTime fireDate() const { return fireDate_; }
    CFTimeInterval interval() const { return interval_; }
    // Counts every setting of the fire date, so a run can tell whether a
    // callout re-armed its own timer.
    unsigned long armings() const { return armings_; }

    void setFireDate(CFAbsoluteTime fireDate);
    // Never fires again; leaves every loop it is in.
    void invalidate();
    void fire();

    // Bookkeeping kept by RunLoop::add and RunLoop::remove.
    void joined(RunLoop *loop) { loops_.push_back(loop); }
    void left(RunLoop *loop);

private:
    CFAbsoluteTime fireDate_;
    CFTimeInterval interval_;
    CFRunLoopTimerCallBack callout_;
    CFRunLoopTimerContext context_;
    bool valid_ = true;
    unsigned long armings_ = 0;
    std::vector<RunLoop *> loops_;
};

class RunLoop final : public Object {
public:
    static CFTypeID TypeID();
    RunLoop();
    // Lets go of its timers: a loop ends with its thread.
    ~RunLoop() override;

    bool contains(const Timer *timer) const;
    void add(Timer *timer);
    void remove(Timer *timer);
    // Fires the timers due at now, earliest fire date first, each at most
    // once; returns how many fired.
    CFIndex runDueTimers(CFAbsoluteTime now);

private:
    std::vector<Timer *> timers_;
};

}  // namespace kvx::host
