// Every print test ends with as many live host objects as it started with,
// and with no fault left armed.
#pragma once

#include <gtest/gtest.h>

#include "KVXHostSupport.hpp"

class PrintTest : public ::testing::Test {
protected:
    void TearDown() override {
        KVXHostClearFaults();
        EXPECT_EQ(KVXHostGetLiveObjectCount(0), liveAtStart_);
    }

private:
    CFIndex liveAtStart_ = KVXHostGetLiveObjectCount(0);
};
