#include "faults.hpp"

#include <array>

namespace kvx::host {
namespace {

std::array<SInt32, kKVXFaultCount> &Pending() {
    static std::array<SInt32, kKVXFaultCount> pending{};
    return pending;
}

}  // namespace

bool ShouldFail(KVXHostFault fault) {
    SInt32 &pending = Pending().at(fault);
    if (pending == 0) return false;
    if (pending > 0) --pending;
    return true;
}

}  // namespace kvx::host

extern "C" {

void KVXHostFailNext(KVXHostFault fault, SInt32 times) {
    if (fault >= 0 && fault < kKVXFaultCount) kvx::host::Pending()[fault] = times;
}

void KVXHostClearFaults(void) { kvx::host::Pending().fill(0); }

}  // extern "C"
