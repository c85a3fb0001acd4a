// The sample PPDs must be PPDs that CUPS accepts.
#include <cstdio>
#include <cstdlib>

#include "pane_harness.hpp"

namespace kvx::test {
namespace {

constexpr const char *kChecker = "/usr/bin/cupstestppd";

TEST(SamplePPDs, PassTheCUPSConformanceTest) {
    if (std::FILE *checker = std::fopen(kChecker, "r")) {
        std::fclose(checker);
    } else {
        GTEST_SKIP() << kChecker << " is not installed";
    }
    for (const std::string &ppd : {SupportedModelPPD(), OtherModelPPD()}) {
        const std::string command = std::string(kChecker) + " -q -W translations '" + ppd + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << ppd << " fails " << kChecker;
    }
}

}  // namespace
}  // namespace kvx::test
