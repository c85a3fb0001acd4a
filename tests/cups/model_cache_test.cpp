// The per-user model cache against a private scheduler: a queue's model comes
// from the cache until the queue's configuration changes, vanished queues
// leave it, and a damaged or unwritable cache is said and worked around.
#include <gmock/gmock.h>

#include <chrono>
#include <ctime>
#include <nlohmann/json.hpp>
#include <thread>

#include "dialog/cups/model_cache.hpp"
#include "dialog/cups/queue_models.hpp"
#include "private_scheduler.hpp"

namespace kvx::test {
namespace {

using dialog::LookUpQueueModels;
using dialog::ModelCache;
using dialog::DialogScheduler;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Json = nlohmann::json;

constexpr const char *kSamplePPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";

std::string PaddingOptions(int first, int count) {
    std::string options;
    for (int option = first; option < first + count; ++option) {
        const std::string key = "Pad" + std::to_string(option);
        options += "*OpenUI *" + key + "/Padding: PickOne\n*Default" + key + ": One\n*" + key +
                   " One/One: \"<</Pad 1>> setpagedevice\"\n*" + key + " Two/Two: \"<</Pad 2>> setpagedevice\"\n"
                   "*CloseUI: *" + key + "\n";
    }
    return options;
}

// A valid PPD whose ModelName line comes after more padding than the reader
// takes in one piece, and before more than it reads away after it.
std::string PPDWithLateModelName(const std::string &model) {
    return "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*LanguageVersion: English\n"
           "*LanguageEncoding: ISOLatin1\n*Manufacturer: \"Generic\"\n" +
           PaddingOptions(0, 60) + "*ModelName: \"" + model + "\"\n*NickName: \"" + model +
           "\"\n*PCFileName: \"LATE.PPD\"\n" + PaddingOptions(60, 200);
}

// The scheduler stamps configuration changes in whole seconds; the cache
// keeps only what was seen after that second ended.
void WaitForTheNextSecond() {
    const std::time_t now = std::time(nullptr);
    while (std::time(nullptr) == now) std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

class QueueModelCache : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scheduler_ = PrivateScheduler::Start(&whyNot_);
        if (!scheduler_) return;
        scheduler_->AddQueue("korvane", kSamplePPD);
        const std::filesystem::path late = scheduler_->folder() / "late.ppd";
        std::ofstream(late) << PPDWithLateModelName("Generic Late Model");
        scheduler_->AddQueue("late", late);
        ASSERT_EQ(RunShell("lpadmin -p raw -E -v file:///dev/null").exitStatus, 0);
        WaitForTheNextSecond();
    }
    static void TearDownTestSuite() { scheduler_.reset(); }
    void SetUp() override {
        if (!scheduler_) GTEST_SKIP() << whyNot_;
    }

    std::vector<std::string> LookUp(const std::vector<std::string> &queues) const {
        const DialogScheduler connection;
        ModelCache cache(cachePath_);
        return LookUpQueueModels(connection, dialog::ListQueueConfigurations(connection), queues, cache);
    }
    Json CacheFile() const { return Json::parse(ReadFile(cachePath_), nullptr, false); }
    Json &Entries(Json &file) const { return file["schedulers"][scheduler_->address()]; }

    static inline std::unique_ptr<PrivateScheduler> scheduler_;
    static inline std::string whyNot_;
    TempFolder folder_;
    std::filesystem::path cachePath_ = folder_.path() / "kvx" / "printer-models.json";
};

TEST_F(QueueModelCache, OneConnectionReadsEachPPDOnlyUpToItsModel) {
    const DialogScheduler connection;
    const std::vector<session::ModelLookup> lookups =
        dialog::FetchModelNames(connection, {"late", "korvane", "raw", "gone", "korvane"}, 1);
    ASSERT_EQ(lookups.size(), 5U);
    EXPECT_EQ(lookups[0].model, "Generic Late Model");
    EXPECT_EQ(lookups[1].model, "Korvane RM-4750");
    EXPECT_EQ(lookups[2].model, "");
    EXPECT_EQ(lookups[3].model, "") << "a queue that vanished meanwhile has no PPD either";
    EXPECT_EQ(lookups[4].model, "Korvane RM-4750");
}

TEST_F(QueueModelCache, ServesAQueueUntilItsPPDChangesAndForgetsVanishedQueues) {
    EXPECT_THAT(LookUp({"korvane", "late", "raw"}), ElementsAre("Korvane RM-4750", "Generic Late Model", ""));
    Json file = CacheFile();
    ASSERT_EQ(Entries(file).size(), 3U) << file.dump();

    // A model only the cache knows proves that the PPD was not fetched again.
    Entries(file)["korvane"]["model"] = "Cached Korvane";
    std::ofstream(cachePath_) << file.dump();
    EXPECT_THAT(LookUp({"korvane", "late"}), ElementsAre("Cached Korvane", "Generic Late Model"));

    // The administrator's option lands in the queue's PPD and moves its time.
    ASSERT_EQ(RunShell("lpadmin -p korvane -o PrintMode=Private").exitStatus, 0);
    WaitForTheNextSecond();
    EXPECT_THAT(LookUp({"korvane"}), ElementsAre("Korvane RM-4750"));

    ASSERT_EQ(RunShell("lpadmin -x late").exitStatus, 0);
    EXPECT_THAT(LookUp({"korvane", "raw"}), ElementsAre("Korvane RM-4750", ""));
    file = CacheFile();
    EXPECT_FALSE(Entries(file).contains("late")) << file.dump();
    EXPECT_EQ(Entries(file)["korvane"]["model"], "Korvane RM-4750");
}

TEST_F(QueueModelCache, DamagedOrUnwritableCacheIsSaidAndNeverDecides) {
    folder_.write("kvx/printer-models.json", R"({"format": 1, "schedulers": {"x": {"korvane": 7}}})");
    ::testing::internal::CaptureStderr();
    EXPECT_THAT(LookUp({"korvane"}), ElementsAre("Korvane RM-4750"));
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("is damaged and will be written anew"));
    const Json rewritten = CacheFile();
    EXPECT_FALSE(rewritten["schedulers"].contains("x")) << rewritten.dump();

    // A file where the cache's folder should be: nothing can be written.
    cachePath_ = folder_.write("blocked", "") / "printer-models.json";
    ::testing::internal::CaptureStderr();
    EXPECT_THAT(LookUp({"korvane", "raw"}), ElementsAre("Korvane RM-4750", ""));
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("cannot make its folder"));
}

}  // namespace
}  // namespace kvx::test
