// The tab's lifecycle in a print dialog, without any toolkit: a fake dialog
// (its selected printer, its store of options, its tab) and the real
// plug-in asked about each queue, the queues' PPDs handed in by the test,
// which also decides when a check may answer. Each scenario reads as what
// the dialog saw, in order.
#include <gmock/gmock.h>

#include <condition_variable>
#include <deque>
#include <fstream>
#include <future>
#include <iterator>
#include <mutex>

#include "KVXHost.h"
#include "session/messages.hpp"
#include "session/session_error.hpp"
#include "session/tab/tab_lifecycle.hpp"

namespace kvx::test {
namespace {

using session::Choices;
using session::DialogOptions;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string Bytes(const std::string &ppd) {
    std::ifstream file(KVX_SOURCE_DIR "/resources/ppd/" + ppd);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
const std::string kKorvane = Bytes("korvane-rm4750.ppd");
const std::string kOther = Bytes("korvane-rm2200.ppd");

// What the log says, in order; the lifecycle's messages for people too.
std::vector<std::string> *messageLog = nullptr;
void LogMessage(std::string_view message) {
    if (messageLog != nullptr && message.starts_with("tab for")) messageLog->push_back("shown");
}

// The queues' PPDs as a scheduler would hand them out, and those of the
// queues they forward to on a print server; a queue that is held answers
// only once released, one that fails throws, and so does a server that is
// down.
class Scheduler {
public:
    void Set(const std::string &queue, std::string bytes) {
        const std::lock_guard lock(mutex_);
        ppds_[queue] = std::move(bytes);
    }
    void Hold(const std::string &queue) {
        std::promise<void> release;
        held_[queue] = release.get_future().share();
        releases_[queue] = std::move(release);
    }
    void Release(const std::string &queue) { releases_.at(queue).set_value(); }
    // The queue forwards to one whose PPD these bytes are; none: the server is down.
    void Forward(const std::string &queue, std::optional<std::string> bytes) { forwards_[queue] = std::move(bytes); }
    session::PPDSource Source() {
        return {.own = [this](const std::string &queue) -> std::shared_ptr<const session::FetchedPPD> {
                    if (const auto hold = held_.find(queue); hold != held_.end()) hold->second.wait();
                    const std::lock_guard lock(mutex_);
                    const auto ppd = ppds_.find(queue);
                    if (ppd == ppds_.end()) throw session::SessionError(session::FailureKind::UnusableInput, "no answer");
                    return std::make_shared<session::FetchedPPD>(queue, ppd->second);
                },
                .origin = [this](const std::string &queue,
                                 const session::FetchedPPD *) -> std::shared_ptr<const session::FetchedPPD> {
                    const auto forward = forwards_.find(queue);
                    if (forward == forwards_.end()) return nullptr;
                    if (!forward->second) throw session::SessionError(session::FailureKind::UnusableInput, "down");
                    return std::make_shared<session::FetchedPPD>(queue, *forward->second, "ipp://server/printers/k");
                }};
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::string> ppds_;
    std::map<std::string, std::optional<std::string>> forwards_;
    std::map<std::string, std::shared_future<void>> held_;
    std::map<std::string, std::promise<void>> releases_;
};

// A print dialog as the lifecycle sees it; what it is told to do goes into
// the log.
class FakeDialog final : public session::TabToolkit, public DialogOptions {
    DinReset dinReset_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> posted_;

public:
    FakeDialog(session::QueueChecker &checker, DinReset dinReset)
        : dinReset_(dinReset), lifecycle(*this, checker, [this](std::function<void()> work) { Post(std::move(work)); }) {
        messageLog = &log;
    }
    ~FakeDialog() override {
        lifecycle.Destroy();
        messageLog = nullptr;
    }

    void Select(const std::string &queue) {
        selected = queue;
        lifecycle.OnPrinterSelected();
    }
    // Runs what the checks posted, once `count` pieces of work have come.
    void AwaitAnswers(size_t count = 1) {
        std::unique_lock lock(mutex_);
        ASSERT_TRUE(arrived_.wait_for(lock, std::chrono::seconds(20), [&] { return posted_.size() >= count; }));
        std::deque<std::function<void()>> work = std::exchange(posted_, {});
        lock.unlock();
        for (auto &piece : work) piece();
    }

    Choices store;  // the dialog's own options, by PPD key
    std::string selected;
    bool failNextContent = false;
    std::vector<std::string> log;
    session::TabLifecycle lifecycle;

private:
    class Content final : public session::TabContent {
    public:
        Content(FakeDialog &dialog, std::string queue) : dialog_(dialog), queue_(std::move(queue)) {}
        ~Content() override { dialog_.log.push_back("undraw " + queue_); }
        void Draw(const session::SummaryRows &) override {}

    private:
        FakeDialog &dialog_;
        std::string queue_;
    };

    void Post(std::function<void()> work) {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(work));
        arrived_.notify_one();
    }

    SelectedPrinter Selected() override { return {selected}; }
    DialogOptions &Options() override { return *this; }
    std::unique_ptr<session::TabContent> MakeContent(session::PaneSession &, std::function<void()>) override {
        if (std::exchange(failNextContent, false)) throw std::runtime_error("no widgets");
        log.push_back("draw " + selected);
        return std::make_unique<Content>(*this, selected);
    }
    void ShowInTab(session::TabContent &, const std::string &title) override { log.push_back("tab " + title); }
    void HideTab() override {}
    void StartRunLoopTimer() override {}
    void StopRunLoopTimer() override {}

    DinReset WhenDinIsReset() const override { return dinReset_; }
    bool Holds(std::string_view key) const override { return store.contains(std::string(key)); }
    bool Set(std::string_view key, std::string_view value) override {
        store[std::string(key)] = value;
        return true;
    }
    std::string Bind(const session::QueueAnswer &answer) override {
        log.push_back("bind " + answer.queue);
        return {};
    }
    void Unbind(bool) override {}
    std::optional<std::string> Choice(const std::string &key) override {
        return store.contains(key) ? std::optional(store.at(key)) : std::nullopt;
    }
};

class TabLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        session::SetMessageSink(LogMessage);
        KVXHostSetShowSink([](const char *) {});  // the plug-in's echo of each model
        scheduler.Set("korvane", kKorvane);
        scheduler.Set("other", kOther);
    }
    void TearDown() override {
        session::SetMessageSink(nullptr);
        KVXHostSetShowSink(nullptr);
    }

    Scheduler scheduler;
    session::QueueChecker checker{KVX_PLUGINS_DIR, scheduler.Source()};
};

const Choices kZeroDIN = {{"DINDigit1", "0"}, {"DINDigit2", "0"}, {"DINDigit3", "0"}, {"DINDigit4", "0"},
                          {"DINDigit5", "0"}};

TEST_F(TabLifecycle, AnAnswerShowsItsPaneOnlyWhileItsQueueIsSelectedAndOnlyForThePPDItCameFrom) {
    {
        FakeDialog dialog(checker, DialogOptions::DinReset::OnPrinterSelected);
        // The Korvane queue's check is slow; the person moves on meanwhile.
        scheduler.Hold("korvane");
        dialog.Select("korvane");
        dialog.Select("other");
        dialog.AwaitAnswers();
        scheduler.Release("korvane");
        dialog.AwaitAnswers();
        EXPECT_THAT(dialog.log, IsEmpty()) << "no tab for a printer no longer selected";
        // Back on the Korvane queue, its answer is known: the tab at once.
        dialog.Select("korvane");
        EXPECT_THAT(dialog.log, ElementsAre("bind korvane", "draw korvane", "tab Korvane Job Options", "shown"));
    }
    // The administrator gives the queue another model's PPD: the next
    // dialog asks again, and the answer kept for the old PPD goes.
    scheduler.Set("korvane", kOther);
    FakeDialog next(checker, DialogOptions::DinReset::OnPrinterSelected);
    next.Select("korvane");
    next.AwaitAnswers();
    EXPECT_THAT(next.log, IsEmpty());
}

TEST_F(TabLifecycle, TheDINStartsAtZerosInTheDialogAtOnceAndThePaneWritesItsChoicesBack) {
    FakeDialog dialog(checker, DialogOptions::DinReset::OnPrinterSelected);
    // The application's saved settings and the queue's defaults, as the dialog merged them.
    dialog.store = {{"PrintMode", "Private"}, {"DINDigit1", "4"}, {"DINDigit5", "9"}, {"DCDigit2", "7"}};
    dialog.Select("korvane");
    EXPECT_EQ(dialog.store.at("DINDigit1"), "0") << "reset before the check answered";
    EXPECT_EQ(dialog.store.at("DINDigit5"), "0");
    dialog.AwaitAnswers();
    // The pane starts from the dialog's choices but the DIN, and the store
    // then holds all of the pane's.
    Choices expected = {{"PrintMode", "Private"}, {"DeptCode", "False"}, {"ZELOrientation", "Portrait"},
                        {"DCDigit1", "0"}, {"DCDigit2", "7"}, {"DCDigit3", "0"}, {"DCDigit4", "0"}, {"DCDigit5", "0"}};
    expected.insert(kZeroDIN.begin(), kZeroDIN.end());
    EXPECT_EQ(dialog.store, expected);
    dialog.store["DINDigit3"] = "8";
    dialog.lifecycle.OnOptionChanged("DINDigit3", "8");
    dialog.lifecycle.OnResponse(true);
    EXPECT_EQ(dialog.store.at("DINDigit3"), "8") << "a change in the dialog's option reaches the pane";
}

TEST_F(TabLifecycle, PrintBeforeTheAnswerSendsZerosWhereTheJobIsMadeAtAccept) {
    FakeDialog dialog(checker, DialogOptions::DinReset::OnAcceptedWithoutPane);
    scheduler.Hold("korvane");
    dialog.store = {{"DINDigit1", "4"}, {"DINDigit2", "8"}, {"PrintMode", "Private"}};
    dialog.Select("korvane");
    EXPECT_EQ(dialog.store.at("DINDigit1"), "4") << "the job's options are not made yet";
    dialog.lifecycle.OnResponse(true);
    EXPECT_EQ(dialog.store, (Choices{{"DINDigit1", "0"}, {"DINDigit2", "0"}, {"PrintMode", "Private"}}));
    scheduler.Release("korvane");
    dialog.AwaitAnswers();
}

TEST_F(TabLifecycle, AQueueThatForwardsToAKorvaneQueueShowsItsPaneAndAServerDownCostsNoLine) {
    // Desktops' queues made by CUPS or cups-browsed: a generated PPD of
    // another model, the print server's queue a Korvane one.
    scheduler.Set("desk", kOther);
    scheduler.Forward("desk", kKorvane);
    scheduler.Set("lab", kOther);
    scheduler.Forward("lab", std::nullopt);
    FakeDialog dialog(checker, DialogOptions::DinReset::OnPrinterSelected);
    testing::internal::CaptureStderr();
    dialog.Select("lab");
    dialog.AwaitAnswers();
    dialog.Select("desk");
    dialog.AwaitAnswers();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_THAT(dialog.log, ElementsAre("bind desk", "draw desk", "tab Korvane Job Options", "shown"));
    EXPECT_EQ(dialog.store.at("PrintMode"), "Normal") << "the server's defaults";
}

TEST_F(TabLifecycle, APaneThatFailsIsNotAskedForAgainAndADialogShownAgainStartsOver) {
    FakeDialog dialog(checker, DialogOptions::DinReset::OnPrinterSelected);
    dialog.failNextContent = true;
    testing::internal::CaptureStderr();
    dialog.Select("korvane");
    dialog.AwaitAnswers();
    dialog.Select("other");
    dialog.AwaitAnswers();
    dialog.Select("korvane");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kvx-print: no widgets\n");
    EXPECT_THAT(dialog.log, ElementsAre("bind korvane"));

    // The application shows the dialog again for its next print: the pane
    // it had goes, and a new one starts from the dialog, the DIN at zeros.
    FakeDialog another(checker, DialogOptions::DinReset::OnPrinterSelected);
    another.Select("korvane");
    another.AwaitAnswers();
    another.store["DINDigit2"] = "6";
    another.lifecycle.OnHidden();
    another.lifecycle.OnShown();
    EXPECT_THAT(another.log, ElementsAre("bind korvane", "draw korvane", "tab Korvane Job Options", "shown",
                                         "undraw korvane", "bind korvane", "draw korvane",
                                         "tab Korvane Job Options", "shown"));
    EXPECT_EQ(another.store.at("DINDigit2"), "0");

    // A scheduler that does not answer: one line for the dialog, however
    // often the queue is chosen, and no tab.
    testing::internal::CaptureStderr();
    another.Select("silent");
    another.AwaitAnswers();
    another.Select("silent");
    another.AwaitAnswers();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kvx-print: no answer; no pane for silent\n");
}

}  // namespace
}  // namespace kvx::test
