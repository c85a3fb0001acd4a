// FUZZ_CHECK: an invariant of a fuzz target. A broken one prints what broke
// and aborts, so that libFuzzer keeps the input and the replay test fails.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                           \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, (what)); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (false)
