#include <ctime>
#include <thread>
#include <utility>
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
    CFRunLoopRef loop = CFRunLoopGetCurrent();
    if (firings->toRemove != nullptr) CFRunLoopRemoveTimer(loop, firings->toRemove, kCFRunLoopCommonModes);
    if (firings->invalidateSelf) CFRunLoopTimerInvalidate(timer);
    if (firings->rearmAt != 0) CFRunLoopTimerSetNextFireDate(timer, firings->rearmAt);
}

// Counts of a timer context's retains and releases of its info.
using InfoCounts = std::pair<int, int>;
const void *CountRetain(const void *info) {
    ++static_cast<InfoCounts *>(const_cast<void *>(info))->first;
    return info;
}
void CountRelease(const void *info) { ++static_cast<InfoCounts *>(const_cast<void *>(info))->second; }

class Timers : public kvx::test::LiveObjectCheck {
protected:
    void TearDown() override {
        for (const auto &timer : timers_) {
            CFRunLoopRemoveTimer(loop_, timer.get(), kCFRunLoopCommonModes);
            CFRunLoopTimerInvalidate(timer.get());
        }
        timers_.clear();
        LiveObjectCheck::TearDown();
    }

    // A timer held by the test, not yet in the loop.
    CFRunLoopTimerRef Make(CFAbsoluteTime fireDate, CFTimeInterval interval) {
        CFRunLoopTimerContext context = {0, &firings_, nullptr, nullptr, nullptr};
        timers_.emplace_back(CFRunLoopTimerCreate(nullptr, fireDate, interval, 0, 0, Record, &context));
        return timers_.back().get();
    }
    CFRunLoopTimerRef Add(CFAbsoluteTime fireDate, CFTimeInterval interval) {
        CFRunLoopTimerRef timer = Make(fireDate, interval);
        CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
        return timer;
    }
    CFIndex RunAt(CFAbsoluteTime now) { return KVXRunLoopRunDueTimers(loop_, now); }

    CFRunLoopRef loop_ = CFRunLoopGetCurrent();
    Firings firings_;
    std::vector<CFHolder<CFRunLoopTimerRef>> timers_;
};

TEST_F(Timers, AOneShotFiresOnlyWhenTheLoopRunsOnceDueThenLeavesTheLoop) {
    CFRunLoopTimerRef timer = Add(kStart + 5, kOneShot);
    EXPECT_TRUE(firings_.fired.empty());
    EXPECT_EQ(RunAt(kStart), 0);
    EXPECT_EQ(RunAt(kStart + 5), 1);
    EXPECT_EQ(firings_.fired.size(), 1u);
    EXPECT_FALSE(CFRunLoopTimerIsValid(timer));
    EXPECT_FALSE(CFRunLoopContainsTimer(loop_, timer, kCFRunLoopCommonModes));
    CFRunLoopTimerSetNextFireDate(timer, kStart);
    EXPECT_EQ(RunAt(kStart + 6), 0);
}

TEST_F(Timers, ReArmedSeveralTimesBeforeARunFiresOnce) {
    CFRunLoopTimerRef timer = Add(kStart + kOneDay, kOneDay);
    for (int command = 0; command < 3; ++command) CFRunLoopTimerSetNextFireDate(timer, kStart + command);
    EXPECT_EQ(RunAt(kStart + 3), 1);
    EXPECT_EQ(RunAt(kStart + 3), 0);
    EXPECT_TRUE(CFRunLoopTimerIsValid(timer));
}

TEST_F(Timers, InvalidatedOrRemovedTimersNeverFire) {
    CFRunLoopTimerRef invalidated = Add(kStart, kOneDay);
    CFRunLoopTimerRef removed = Add(kStart, kOneDay);
    CFRunLoopTimerInvalidate(invalidated);
    CFRunLoopRemoveTimer(loop_, removed, kCFRunLoopCommonModes);
    EXPECT_FALSE(CFRunLoopContainsTimer(loop_, invalidated, kCFRunLoopCommonModes));
    EXPECT_FALSE(CFRunLoopContainsTimer(loop_, removed, kCFRunLoopCommonModes));
    EXPECT_EQ(RunAt(kStart + 1), 0);
    EXPECT_TRUE(CFRunLoopTimerIsValid(removed));
    CFRunLoopAddTimer(loop_, invalidated, kCFRunLoopCommonModes);
    EXPECT_EQ(RunAt(kStart + 1), 0) << "an invalid timer cannot be added back";
}

TEST_F(Timers, ARepeatingTimerIsDueAgainOnlyAfterItsIntervalNeverTwiceAtOneMoment) {
    CFRunLoopTimerRef timer = Add(kStart, 10);
    EXPECT_EQ(RunAt(kStart), 1);
    EXPECT_EQ(CFRunLoopTimerGetNextFireDate(timer), kStart + 10);
    EXPECT_EQ(RunAt(kStart + 5), 0);
    EXPECT_EQ(RunAt(kStart + 10), 1);
    // A late run fires once and keeps the timer's rhythm.
    EXPECT_EQ(RunAt(kStart + 55), 1);
    EXPECT_EQ(CFRunLoopTimerGetNextFireDate(timer), kStart + 60);

    // Chosen so that counting whole intervals in floating point lands on now.
    const CFTimeInterval interval = 0.1;
    const CFAbsoluteTime now = kStart + 3 * interval;
    CFRunLoopTimerRef fine = Add(kStart, interval);
    EXPECT_EQ(RunAt(now), 1);
    EXPECT_GT(CFRunLoopTimerGetNextFireDate(fine), now);
    EXPECT_EQ(RunAt(now), 0);
}

TEST_F(Timers, DueTimersFireInOrderOfFireDate) {
    CFRunLoopTimerRef third = Add(kStart + 3, kOneShot);
    CFRunLoopTimerRef first = Add(kStart + 1, kOneShot);
    CFRunLoopTimerRef second = Add(kStart + 2, kOneShot);
    EXPECT_EQ(RunAt(kStart + 3), 3);
    EXPECT_EQ(firings_.fired, (std::vector<CFRunLoopTimerRef>{first, second, third}));
}

TEST_F(Timers, ACalloutMayInvalidateItsOwnTimerHeldOnlyByTheLoop) {
    const CFIndex timersBefore = KVXHostGetLiveObjectCount(CFRunLoopTimerGetTypeID());
    CFRunLoopTimerRef timer = Add(kStart, kOneDay);
    // The loop now holds the only reference.
    timers_.back().release();
    CFRelease(timer);
    firings_.invalidateSelf = true;
    EXPECT_EQ(RunAt(kStart), 1);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFRunLoopTimerGetTypeID()), timersBefore);
}

TEST_F(Timers, ACalloutMayRemoveATimerDueLaterInTheSameRunAndSetItsOwnFireDate) {
    CFRunLoopTimerRef timer = Add(kStart, 10);
    firings_.toRemove = Add(kStart + 1, kOneShot);
    firings_.rearmAt = kStart + 2;
    EXPECT_EQ(RunAt(kStart + 1), 1);
    EXPECT_EQ(firings_.fired.size(), 1u);
    EXPECT_EQ(CFRunLoopTimerGetNextFireDate(timer), kStart + 2);
}

TEST_F(Timers, OnlyTheHostsModesHoldTimers) {
    CFRunLoopTimerRef timer = Make(kStart, kOneShot);
    CFRunLoopAddTimer(loop_, timer, CFSTR("some other mode"));
    EXPECT_FALSE(CFRunLoopContainsTimer(loop_, timer, kCFRunLoopCommonModes));
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopDefaultMode);
    EXPECT_TRUE(CFRunLoopContainsTimer(loop_, timer, kCFRunLoopCommonModes));
}

TEST_F(Timers, TheContextInfoIsRetainedForTheTimersLife) {
    InfoCounts counts;
    CFRunLoopTimerContext context = {0, &counts, CountRetain, CountRelease, nullptr};
    CFRunLoopTimerRef timer = CFRunLoopTimerCreate(nullptr, kStart, kOneShot, 0, 0, nullptr, &context);
    context.info = nullptr;  // the timer keeps its own copy
    EXPECT_EQ(counts.first, 1);
    CFRunLoopAddTimer(loop_, timer, kCFRunLoopCommonModes);
    CFRunLoopTimerInvalidate(timer);
    EXPECT_EQ(counts.second, 0);
    CFRelease(timer);
    EXPECT_EQ(counts.second, 1);
}

TEST_F(Timers, RunOnceFiresWhatIsDueNowOnTheClockThatCountsFrom2001) {
    Add(CFAbsoluteTimeGetCurrent() - 1, kOneShot);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1);
    EXPECT_EQ(firings_.fired.size(), 1u);
    const double secondsFrom1970To2001 = 978307200.0;
    EXPECT_NEAR(CFAbsoluteTimeGetCurrent(), static_cast<double>(std::time(nullptr)) - secondsFrom1970To2001, 2.0);
}

using RunLoops = kvx::test::LiveObjectCheck;

TEST_F(RunLoops, EachThreadHasItsOwnLoop) {
    const CFRunLoopRef mine = CFRunLoopGetCurrent();
    EXPECT_EQ(CFRunLoopGetCurrent(), mine);
    EXPECT_EQ(CFGetTypeID(mine), CFRunLoopGetTypeID());
    CFRunLoopRef theirs = nullptr;
    CFRunLoopRef theirsAgain = nullptr;
    std::thread([&] {
        theirs = CFRunLoopGetCurrent();
        theirsAgain = CFRunLoopGetCurrent();
        // Compared while the other thread, and so its loop, still lives.
        EXPECT_NE(theirs, mine);
    }).join();
    EXPECT_EQ(theirs, theirsAgain);
}

}  // namespace
