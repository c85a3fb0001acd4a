// Allocators are accepted everywhere and ignored: the host has one heap.
#include <cstdlib>

#include "CoreFoundation.h"
#include "faults.hpp"

extern "C" {

const CFAllocatorRef kCFAllocatorDefault = nullptr;

CFAllocatorRef CFAllocatorGetDefault(void) { return nullptr; }

void *CFAllocatorAllocate(CFAllocatorRef, CFIndex size, CFOptionFlags) {
    if (size <= 0 || kvx::host::ShouldFail(kKVXFaultAllocate)) return nullptr;
    return std::malloc(static_cast<size_t>(size));
}

void CFAllocatorDeallocate(CFAllocatorRef, void *ptr) { std::free(ptr); }

}  // extern "C"
