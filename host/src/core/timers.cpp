// Run-loop timers: a fire date, a repeat interval and a callout.
#include <algorithm>

#include "faults.hpp"
#include "run_loop.hpp"

namespace kvx::host {
namespace {

constexpr CFRunLoopTimerContext kEmptyContext = {0, nullptr, nullptr, nullptr, nullptr};

Timer *AsTimer(CFRunLoopTimerRef ref) { return As<Timer>(ref, Timer::TypeID()); }

}  // namespace

CFTypeID Timer::TypeID() {
    static const CFTypeID type = RegisterType("CFRunLoopTimer");
    return type;
}

Timer::Timer(CFAbsoluteTime fireDate, CFTimeInterval interval, CFRunLoopTimerCallBack callout,
             const CFRunLoopTimerContext &context)
    : Object(TypeID()), fireDate_(fireDate), interval_(interval), callout_(callout), context_(context) {
    if (context_.retain != nullptr) context_.info = const_cast<void *>(context_.retain(context_.info));
}

Timer::~Timer() {
    if (context_.release != nullptr) context_.release(context_.info);
}

void Timer::setFireDate(CFAbsoluteTime fireDate) {
    fireDate_ = fireDate;
    ++armings_;
}

void Timer::invalidate() {
    valid_ = false;
    // Leaving the last loop may drop the last reference: hold one meanwhile.
    retain();
    while (!loops_.empty()) loops_.back()->remove(this);
    release();
}

void Timer::fire() {
    if (callout_ != nullptr) callout_(ToRef<CFRunLoopTimerRef>(this), context_.info);
}

void Timer::left(RunLoop *loop) {
    const auto found = std::find(loops_.begin(), loops_.end(), loop);
    if (found != loops_.end()) loops_.erase(found);
}

}  // namespace kvx::host

using kvx::host::AsTimer;
using kvx::host::Timer;

extern "C" {

CFTypeID CFRunLoopTimerGetTypeID(void) { return Timer::TypeID(); }

// Flags and order are accepted and ignored: timers due together fire in
// order of fire date alone.
CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef, CFAbsoluteTime fireDate, CFTimeInterval interval, CFOptionFlags,
                                       CFIndex, CFRunLoopTimerCallBack callout, CFRunLoopTimerContext *context) {
    using namespace kvx::host;
    if (ShouldFail(kKVXFaultTimerCreate)) return nullptr;
    return ToRef<CFRunLoopTimerRef>(
        Create<Timer>(fireDate, interval, callout, context != nullptr ? *context : kEmptyContext));
}

void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer) {
    if (Timer *object = AsTimer(timer)) object->invalidate();
}

Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer) {
    const Timer *object = AsTimer(timer);
    return object != nullptr && object->isValid();
}

void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer, CFAbsoluteTime fireDate) {
    if (Timer *object = AsTimer(timer)) object->setFireDate(fireDate);
}

CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer) {
    const Timer *object = AsTimer(timer);
    return object == nullptr ? 0 : object->fireDate();
}

}  // extern "C"
