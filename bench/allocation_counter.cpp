#include "allocation_counter.hpp"

#include <atomic>
#include <cstddef>

// glibc's own entry points behind malloc, calloc and realloc.
extern "C" void *__libc_malloc(std::size_t size);
extern "C" void *__libc_calloc(std::size_t count, std::size_t size);
extern "C" void *__libc_realloc(void *block, std::size_t size);

namespace {
std::atomic<std::uint64_t> allocations{0};
}  // namespace

extern "C" void *malloc(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void *calloc(std::size_t count, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void *realloc(void *block, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}

namespace kvx::bench {

std::uint64_t AllocationCount() { return allocations.load(std::memory_order_relaxed); }

}  // namespace kvx::bench
