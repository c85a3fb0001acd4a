// Fixture for the core tests: every test must give back every host object
// it made, so the live-object count is the same at its end as at its start.
#pragma once

#include <gtest/gtest.h>

#include "KVXHostSupport.hpp"

namespace kvx::test {

class HostObjectsTest : public ::testing::Test {
protected:
    void SetUp() override { liveAtStart_ = KVXHostGetLiveObjectCount(0); }
    void TearDown() override {
        const CFIndex liveAtEnd = KVXHostGetLiveObjectCount(0);
        EXPECT_EQ(liveAtEnd, liveAtStart_) << "the test left host objects alive";
        if (liveAtEnd != liveAtStart_) KVXHostShowLiveObjects();
    }

private:
    CFIndex liveAtStart_ = 0;
};

// The UTF-16 units of a string.
inline std::u16string Units(CFStringRef string) {
    std::u16string units(static_cast<size_t>(CFStringGetLength(string)), u'\0');
    CFStringGetCharacters(string, CFRange{0, CFStringGetLength(string)}, reinterpret_cast<UniChar *>(units.data()));
    return units;
}

}  // namespace kvx::test
