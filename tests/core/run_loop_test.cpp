// Timers fire only when the loop runs, in order of fire date, each at most
// once per run; callouts may change the loop while it runs.
#include <thread>
#include <vector>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"

namespace {

using kvx::CFHolder;

// Base of the test's own clock: each test runs the loop at chosen times.
constexpr CFAbsoluteTime kStart = 1000.0;
constexpr CFTimeInterval kOneShot = 0;
constexpr CFTimeInterval kOneDay = 86400;

// What the callouts saw, and what a callout is to do to the loop.
struct Firings {
    std::vector<CFRunLoopTimerRef> fired;
    CFRunLoopTimerRef toRemove = nullptr;
    bool invalidateSelf = false;
};

void Record(CFRunLoopTimerRef timer, void *info) {
    auto *firings = static_cast<Firings *>(info);
    firings->fired.push_back(timer);
    if (firings->toRemove != nullptr) CFRunLoopRemoveTimer(CFRunLoopGetCurrent(), firings->toRemove, kCFRunLoopCommonModes);
    if (firings->invalidateSelf) CFRunLoopTimerInvalidate(timer);
}

class Timers : public kvx::test::LiveObjectCheck {
protected:
    void TearDown() override {
        for (const auto &timer : timers_) CFRunLoopTimerInvalidate(timer.get());
        timers_.clear();
        LiveObjectCheck::TearDown();
    }

    // A timer held by the test and added to the loop.
    CFRunLoopTimerRef Add(CFAbsoluteTime fireDate, CFTimeInterval interval) {
        CFRunLoopTimerContext context = {0, &firings_, nullptr, nullptr, nullptr};
        timers_.emplace_back(CFRunLoopTimerCreate(nullptr, fireDate, interval, 0, 0, Record, &context));
        CFRunLoopAddTimer(loop_, timers_.back().get(), kCFRunLoopCommonModes);
        return timers_.back().get();
    }
    CFIndex RunAt(CFAbsoluteTime now) { return KVXRunLoopRunDueTimers(loop_, now); }

    CFRunLoopRef loop_ = CFRunLoopGetCurrent();
    Firings firings_;
    std::vector<CFHolder<CFRunLoopTimerRef>> timers_;
};

TEST_F(Timers, DueTimersFireInOrderOfFireDateOneShotsOnceRepeatingOnesOncePerRun) {
    CFRunLoopTimerRef third = Add(kStart + 3, kOneShot);
    CFRunLoopTimerRef first = Add(kStart + 1, kOneShot);
    CFRunLoopTimerRef second = Add(kStart + 2, kOneShot);
    EXPECT_EQ(RunAt(kStart), 0);
    EXPECT_EQ(RunAt(kStart + 3), 3);
    EXPECT_EQ(firings_.fired, (std::vector<CFRunLoopTimerRef>{first, second, third}));
    EXPECT_EQ(RunAt(kStart + 3), 0) << "a one-shot timer leaves the loop";
    CFRunLoopTimerSetNextFireDate(first, kStart);
    EXPECT_EQ(RunAt(kStart + 4), 0) << "and stays out, even re-armed";

    CFRunLoopTimerRef repeating = Add(kStart + 10, 10);
    EXPECT_EQ(RunAt(kStart + 10), 1);
    EXPECT_EQ(RunAt(kStart + 15), 0);
    EXPECT_EQ(RunAt(kStart + 55), 1) << "a late run fires once";
    EXPECT_EQ(CFRunLoopTimerGetNextFireDate(repeating), kStart + 60);
    // Re-armed by each command before a run, it fires once: pane_test's.
    // Chosen so that counting whole intervals in floating point lands on now.
    Add(kStart, 0.1);
    EXPECT_EQ(RunAt(kStart + 0.3), 1);
    EXPECT_EQ(RunAt(kStart + 0.3), 0);
}

TEST_F(Timers, CalloutsMayRemoveLaterTimersOrInvalidateTheirOwnTimerAndInvalidTimersNeverFire) {
    Add(kStart, kOneDay);
    firings_.toRemove = Add(kStart + 1, kOneShot);
    EXPECT_EQ(RunAt(kStart + 1), 1) << "the removed timer did not fire";

    CFRunLoopTimerRef invalidated = Add(kStart + 2, kOneDay);
    CFRunLoopTimerInvalidate(invalidated);
    CFRunLoopAddTimer(loop_, invalidated, kCFRunLoopCommonModes);
    firings_ = Firings{};
    EXPECT_EQ(RunAt(kStart + 2), 0) << "an invalidated timer never fires, even added back";

    // A timer that only the loop holds, invalidated by its own callout.
    const CFIndex timersBefore = KVXHostGetLiveObjectCount(CFRunLoopTimerGetTypeID());
    CFRunLoopTimerRef loopOwned = Add(kStart + 3, kOneDay);
    timers_.back().release();
    CFRelease(loopOwned);
    firings_.invalidateSelf = true;
    EXPECT_EQ(RunAt(kStart + 3), 1);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFRunLoopTimerGetTypeID()), timersBefore);
}

// RunOnce, which the pane's timer waits for, is pane_test's.
TEST_F(Timers, EachThreadHasItsLoop) {
    CFRunLoopRef theirs = nullptr;
    std::thread([&] {
        theirs = CFRunLoopGetCurrent();
        // Compared while the other thread, and so its loop, still lives.
        EXPECT_NE(theirs, loop_);
    }).join();
    EXPECT_EQ(CFRunLoopGetCurrent(), loop_);
}

}  // namespace
