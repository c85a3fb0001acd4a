// Run loops: one per thread, holding timers that fire when the loop runs.
//
// Modes: the host has one mode set. Adding, removing or testing a timer
// with the common modes or the default mode all mean that set; any other
// mode names a set the host never runs, so such calls do nothing.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

#include "KVXHost.h"
#include "run_loop.hpp"

namespace kvx::host {
namespace {

// Seconds from the Unix epoch to 2001-01-01 00:00:00 UTC.
constexpr CFAbsoluteTime kAbsoluteTimeEpochOffset = 978307200.0;

RunLoop *AsRunLoop(CFRunLoopRef ref) { return As<RunLoop>(ref, RunLoop::TypeID()); }

bool IsHostMode(CFStringRef mode) {
    return mode != nullptr && (CFEqual(mode, kCFRunLoopCommonModes) || CFEqual(mode, kCFRunLoopDefaultMode));
}

// The first date after now in the timer's rhythm: its fire date plus a
// whole number of intervals, so that a late run skips the missed firings.
CFAbsoluteTime NextFireDate(CFAbsoluteTime fireDate, CFTimeInterval interval, CFAbsoluteTime now) {
    CFAbsoluteTime next = fireDate + interval;
    if (next > now || !std::isfinite(next)) return next;
    next = fireDate + (std::floor((now - fireDate) / interval) + 1) * interval;
    // Rounding may land exactly on now.
    return next > now ? next : next + interval;
}

}  // namespace

CFTypeID RunLoop::TypeID() {
    static const CFTypeID type = RegisterType("CFRunLoop");
    return type;
}

RunLoop::RunLoop() : Object(TypeID()) {}

RunLoop::~RunLoop() {
    std::vector<Timer *> timers;
    timers.swap(timers_);
    for (Timer *timer : timers) {
        timer->left(this);
        timer->release();
    }
}

bool RunLoop::contains(const Timer *timer) const {
    return std::find(timers_.begin(), timers_.end(), timer) != timers_.end();
}

void RunLoop::add(Timer *timer) {
    if (!timer->isValid() || contains(timer)) return;
    timer->retain();
    timers_.push_back(timer);
    timer->joined(this);
}

void RunLoop::remove(Timer *timer) {
    const auto found = std::find(timers_.begin(), timers_.end(), timer);
    if (found == timers_.end()) return;
    timers_.erase(found);
    timer->left(this);
    timer->release();
}

CFIndex RunLoop::runDueTimers(CFAbsoluteTime now) {
    // Each due timer is held for the whole run, so a callout may remove,
    // invalidate or release any of them, itself included.
    std::vector<Timer *> due;
    for (Timer *timer : timers_) {
        if (!timer->isDue(now)) continue;
        timer->retain();
        due.push_back(timer);
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const Timer *a, const Timer *b) { return a->fireDate() < b->fireDate(); });
    CFIndex fired = 0;
    for (Timer *timer : due) {
        // An earlier callout may have removed, invalidated or re-armed it.
        if (timer->isDue(now) && contains(timer)) {
            const CFAbsoluteTime fireDate = timer->fireDate();
            const unsigned long armings = timer->armings();
            timer->fire();
            ++fired;
            if (timer->isValid()) {
                if (timer->interval() <= 0)
                    timer->invalidate();
                else if (timer->armings() == armings)
                    timer->setFireDate(NextFireDate(fireDate, timer->interval(), now));
            }
        }
        timer->release();
    }
    return fired;
}

}  // namespace kvx::host

using kvx::host::AsRunLoop;
using kvx::host::RunLoop;
using kvx::host::Timer;

extern "C" {

const CFStringRef kCFRunLoopCommonModes = __CFStringMakeConstantString("kCFRunLoopCommonModes");
const CFStringRef kCFRunLoopDefaultMode = __CFStringMakeConstantString("kCFRunLoopDefaultMode");

CFAbsoluteTime CFAbsoluteTimeGetCurrent(void) {
    const auto sinceUnixEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceUnixEpoch).count() - kvx::host::kAbsoluteTimeEpochOffset;
}

CFTypeID CFRunLoopGetTypeID(void) { return RunLoop::TypeID(); }

CFRunLoopRef CFRunLoopGetCurrent(void) {
    // Not a live object: it lives exactly as long as its thread.
    thread_local const std::unique_ptr<RunLoop> current = [] {
        std::unique_ptr<RunLoop> loop(kvx::host::Create<RunLoop>());
        loop->makeConstant();
        return loop;
    }();
    return kvx::host::ToRef<CFRunLoopRef>(current.get());
}

void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFStringRef mode) {
    RunLoop *loop = AsRunLoop(rl);
    Timer *object = kvx::host::As<Timer>(timer, Timer::TypeID());
    if (loop != nullptr && object != nullptr && kvx::host::IsHostMode(mode)) loop->add(object);
}

void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFStringRef mode) {
    RunLoop *loop = AsRunLoop(rl);
    Timer *object = kvx::host::As<Timer>(timer, Timer::TypeID());
    if (loop != nullptr && object != nullptr && kvx::host::IsHostMode(mode)) loop->remove(object);
}

Boolean CFRunLoopContainsTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFStringRef mode) {
    const RunLoop *loop = AsRunLoop(rl);
    const Timer *object = kvx::host::As<Timer>(timer, Timer::TypeID());
    return loop != nullptr && object != nullptr && kvx::host::IsHostMode(mode) && loop->contains(object);
}

CFIndex KVXRunLoopRunDueTimers(CFRunLoopRef rl, CFAbsoluteTime now) {
    RunLoop *loop = AsRunLoop(rl);
    return loop == nullptr ? 0 : loop->runDueTimers(now);
}

CFIndex KVXRunLoopRunOnce(void) { return KVXRunLoopRunDueTimers(CFRunLoopGetCurrent(), CFAbsoluteTimeGetCurrent()); }

}  // extern "C"
