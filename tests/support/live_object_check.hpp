// A test fixture base that fails a test which leaves host objects alive:
// the live-object count must be back at its start when the test ends. No
// injected fault outlives its test either.
#pragma once

#include <gtest/gtest.h>

#include "KVXHost.h"

namespace kvx::test {

class LiveObjectCheck : public ::testing::Test {
protected:
    void SetUp() override { liveAtStart_ = KVXHostGetLiveObjectCount(0); }
    void TearDown() override {
        KVXHostClearFaults();
        const CFIndex liveAtEnd = KVXHostGetLiveObjectCount(0);
        EXPECT_EQ(liveAtEnd, liveAtStart_) << "host objects were left alive";
        if (liveAtEnd != liveAtStart_) KVXHostShowLiveObjects();
    }

private:
    CFIndex liveAtStart_ = 0;
};

}  // namespace kvx::test
