// Counts every heap allocation the process makes, whichever library makes
// it: the benchmark binary defines malloc, calloc and realloc, which the
// dynamic linker then binds for the host library, the plug-in and the C++
// runtime's operator new alike.
#pragma once

#include <cstdint>

namespace kvx::bench {

std::uint64_t AllocationCount();

}  // namespace kvx::bench
