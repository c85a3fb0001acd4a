// Allocators are accepted everywhere and ignored: the host has one heap.
#include "CoreFoundation.h"

extern "C" {

const CFAllocatorRef kCFAllocatorDefault = nullptr;

CFAllocatorRef CFAllocatorGetDefault(void) { return nullptr; }

}  // extern "C"
