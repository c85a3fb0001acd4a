// kvx-pin-policy's reading and rewriting of cupsd.conf, on policies that
// leak the DIN in each way cupsd allows: each is judged not private, its
// private copy is judged private and passes cupsd -t, the rest of the file
// is untouched, and taking the copy away gives the file back byte for byte.
#include <gmock/gmock.h>

#include <cstdlib>
#include <regex>

#include "cupsd_conf.hpp"
#include "temp_folder.hpp"

namespace kvx::test {
namespace {

using admin::CupsdConf;
using admin::PrivatePolicyName;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct LeakyConf {
    std::string text;
    std::string policy;
    std::string why;  // part of the verdict
};

const LeakyConf kLeakyConfs[] = {
    {"DefaultAuthType Basic\n<Policy default>\n  JobPrivateValues default\n  <Limit All>\n    Order deny,allow\n"
     "  </Limit>\n</Policy>\n",
     "default", "lacks DINDigit1 DINDigit2"},
    {"<Policy office>\n  JobPrivateAccess all\n  JobPrivateValues none\n  <Limit Get-Jobs Cancel-Job>\n"
     "    AuthType Basic\n    Require valid-user\n    Satisfy any\n  </Limit>\n</Policy>\n"
     "<Policy default>\n  <Limit All>\n  </Limit>\n</Policy>",  // no newline at the end
     "office", "\"JobPrivateAccess all\" (line 2)"},
    {"DefaultAuthType None\n<Policy default>\n  JobPrivateValues all\n  <Limit Get-Job-Attributes>\n"
     "    AuthType Default\n    Require valid-user\n  </Limit>\n</Policy>\n",
     "default", "Get-Jobs: the policy trusts"},
    {"<Policy open>\n  JobPrivateValues DINDigit1 DINDigit2 DINDigit3 DINDigit4 DINDigit5 DCDigit1 DCDigit2 DCDigit3 "
     "DCDigit4 DCDigit5\n  <Limit Get-Jobs Get-Job-Attributes>\n    Order deny,allow\n  </Limit>\n</Policy>\n",
     "open", "Get-Jobs and Get-Job-Attributes: the <Limit> at line 3"},
};

// cupsd's own verdict on the text, when cupsd is here.
bool CupsdAccepts(const std::string &text) {
    const TempFolder folder;
    const std::string command = "cupsd -t -c " + folder.write("cupsd.conf", text).string() + " -s " +
                                folder.write("cups-files.conf", "").string() + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

TEST(CupsdConf, EachLeakIsFoundAndItsPrivateCopyClosesItAndGoesAgainWithoutATrace) {
    const bool haveCupsd = std::system("command -v cupsd >/dev/null") == 0;
    for (const auto &[text, policy, why] : kLeakyConfs) {
        SCOPED_TRACE(text);
        const CupsdConf before(text);
        const auto verdict = before.Judge(policy);
        ASSERT_FALSE(verdict.IsPrivate());
        EXPECT_THAT(verdict.reasons, Contains(HasSubstr(why)));

        const std::string changed = before.WithPrivateCopies({policy});
        EXPECT_EQ(changed.substr(0, text.size()), text);
        const CupsdConf after(changed);
        EXPECT_THAT(after.Judge(PrivatePolicyName(policy)).reasons, IsEmpty());
        EXPECT_EQ(after.Judge(policy).reasons, verdict.reasons);
        if (haveCupsd) {
            EXPECT_TRUE(CupsdAccepts(changed)) << changed;
        }

        EXPECT_EQ(after.WithoutPrivateCopies(), text);
        // cupsctl rewrites the file without its comments, the marks too.
        const CupsdConf rewritten(std::regex_replace(changed, std::regex("# kvx-pin-policy[^\n]*\n"), ""));
        const CupsdConf restored(rewritten.WithoutPrivateCopies());
        EXPECT_EQ(restored.FindPolicy(PrivatePolicyName(policy)), nullptr);
        EXPECT_EQ(restored.Judge(policy).reasons, verdict.reasons);
    }
}

TEST(CupsdConf, APolicyTheFileDoesNotHaveIsNotPrivate) {
    EXPECT_THAT(CupsdConf("Listen localhost:631\n").Judge("default").reasons.at(0), HasSubstr("no <Policy default>"));
}

}  // namespace
}  // namespace kvx::test
