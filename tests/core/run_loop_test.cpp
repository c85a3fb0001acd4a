// Timers fire only when the loop runs, in order of fire date, each at most
// once per run; callouts may change the loop while it runs.
#include <ctime>
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
    CFAbsoluteTime rearmAt = 0;
};

void Record(CFRunLoopTimerRef timer, void *info) {
    auto *firings = static_cast<Firings *>(info);
    firings->fired.push_back(timer);
    if (firings->toRemove != nullptr) CFRunLoopRemoveTimer(CFRunLoopGetCurrent(), firings->toRemove, kCFRunLoopCommonModes);
    if (firings->invalidateSelf) CFRunLoopTimerInvalidate(timer);
    if (firings->rearmAt != 0) CFRunLoopTimerSetNextFireDate(timer, firings->rearmAt);
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

TEST_F(Timers, DueTimersFireInOrderOfFireDateOneShotsOnce) {
    CFRunLoopTimerRef third = Add(kStart + 3, kOneShot);
    CFRunLoopTimerRef first = Add(kStart + 1, kOneShot);
    CFRunLoopTimerRef second = Add(kStart + 2, kOneShot);
    CFRunLoopTimerRef later = Add(kStart + 4, kOneShot);
    EXPECT_TRUE(firings_.fired.empty()) << "nothing fires until the loop runs";
    EXPECT_EQ(RunAt(kStart), 0);
    EXPECT_EQ(RunAt(kStart + 3), 3);
    EXPECT_EQ(firings_.fired, (std::vector<CFRunLoopTimerRef>{first, second, third}));
    EXPECT_EQ(RunAt(kStart + 3), 0) << "a one-shot timer leaves the loop";
    CFRunLoopTimerSetNextFireDate(first, kStart);
    EXPECT_EQ(RunAt(kStart + 4), 1);
    EXPECT_EQ(firings_.fired.back(), later);
}

TEST_F(Timers, ARepeatingTimerFiresOncePerRunAndKeepsItsRhythm) {
    CFRunLoopTimerRef timer = Add(kStart, 10);
    EXPECT_EQ(RunAt(kStart), 1);
    EXPECT_EQ(RunAt(kStart + 5), 0);
    EXPECT_EQ(RunAt(kStart + 10), 1);
    EXPECT_EQ(RunAt(kStart + 55), 1) << "a late run fires once";
    EXPECT_EQ(CFRunLoopTimerGetNextFireDate(timer), kStart + 60);
    // Re-armed several times before a run, as each keystroke does: fires once.
    for (int key = 0; key < 3; ++key) CFRunLoopTimerSetNextFireDate(timer, kStart + 61 + key);
    EXPECT_EQ(RunAt(kStart + 63), 1);
    EXPECT_EQ(RunAt(kStart + 63), 0);

    // Chosen so that counting whole intervals in floating point lands on now.
    const CFTimeInterval interval = 0.1;
    Add(kStart, interval);
    EXPECT_EQ(RunAt(kStart + 3 * interval), 1);
    EXPECT_EQ(RunAt(kStart + 3 * interval), 0);
}

TEST_F(Timers, CalloutsMayRemoveLaterTimersRearmThemselvesOrInvalidateTheirOwnTimer) {
    CFRunLoopTimerRef timer = Add(kStart, 10);
    firings_.toRemove = Add(kStart + 1, kOneShot);
    firings_.rearmAt = kStart + 2;
    EXPECT_EQ(RunAt(kStart + 1), 1) << "the removed timer did not fire";
    EXPECT_EQ(CFRunLoopTimerGetNextFireDate(timer), kStart + 2);

    CFRunLoopTimerRef invalidated = Add(kStart, kOneDay);
    CFRunLoopTimerInvalidate(invalidated);
    CFRunLoopAddTimer(loop_, invalidated, kCFRunLoopCommonModes);
    firings_ = Firings{};
    EXPECT_EQ(RunAt(kStart + 2), 1) << "an invalidated timer never fires, even added back";

    // A timer that only the loop holds, invalidated by its own callout.
    const CFIndex timersBefore = KVXHostGetLiveObjectCount(CFRunLoopTimerGetTypeID());
    CFRunLoopTimerRef loopOwned = Add(kStart + 3, kOneDay);
    timers_.back().release();
    CFRelease(loopOwned);
    firings_.invalidateSelf = true;
    EXPECT_EQ(RunAt(kStart + 3), 1);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFRunLoopTimerGetTypeID()), timersBefore);
}

TEST_F(Timers, RunOnceFiresWhatIsDueNowOnTheClockThatCountsFrom2001AndEachThreadHasItsLoop) {
    Add(CFAbsoluteTimeGetCurrent() - 1, kOneShot);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1);
    const double secondsFrom1970To2001 = 978307200.0;
    EXPECT_NEAR(CFAbsoluteTimeGetCurrent(), static_cast<double>(std::time(nullptr)) - secondsFrom1970To2001, 2.0);

    CFRunLoopRef theirs = nullptr;
    CFRunLoopRef theirsAgain = nullptr;
    std::thread([&] {
        theirs = CFRunLoopGetCurrent();
        theirsAgain = CFRunLoopGetCurrent();
        // Compared while the other thread, and so its loop, still lives.
        EXPECT_NE(theirs, loop_);
    }).join();
    EXPECT_EQ(theirs, theirsAgain);
    EXPECT_EQ(CFRunLoopGetCurrent(), loop_);
}

}  // namespace
