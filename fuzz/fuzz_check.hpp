// FUZZ_CHECK: an invariant of a fuzz target. A broken one prints what broke
// and aborts, so that libFuzzer keeps the input and the replay test fails.
// ReplayedName: in a replay, the input's file name, by which a seed named
// "refused-..." must be refused by its target; empty under libFuzzer, whose
// inputs have no names.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition, what)                                                           \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, (what)); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (false)

namespace kvx::fuzz {

inline constexpr const char *kReplayedNameVariable = "KVX_FUZZ_REPLAYED_NAME";

inline std::string_view ReplayedName() {
    const char *name = std::getenv(kReplayedNameVariable);
    return name == nullptr ? "" : name;
}

}  // namespace kvx::fuzz
