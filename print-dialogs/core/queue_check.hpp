// Whether the pane applies to a CUPS queue, worked out off the main loop:
// the queue's PPD is fetched from the scheduler with bounded calls, and the
// plug-in itself is asked, loaded by its registration into a host print
// session bound to that PPD. Answers are kept per queue for as long as the
// scheduler hands out the same PPD. The worker is a thread of its own; its
// answer comes back on the toolkit's main loop through a poster the toolkit
// supplies.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "option_matching.hpp"

namespace kvx::print_dialogs {

// A queue's PPD in a private file (mode 0600), removed when the last answer
// that uses it goes.
class PPDCopy {
public:
    explicit PPDCopy(const std::string &bytes);
    ~PPDCopy();
    PPDCopy(const PPDCopy &) = delete;
    PPDCopy &operator=(const PPDCopy &) = delete;

    const std::string &path() const { return path_; }
    const std::string &bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::string path_;
};

// What the PPD says about the pane's keys.
struct PaneOptions {
    std::vector<OptionText> texts;                         // as GTK labels them
    std::map<std::string, std::string> defaults;           // key -> default choice
    std::map<std::string, std::set<std::string>> choices;  // key -> every choice
};

struct QueueAnswer {
    std::string queue;
    std::shared_ptr<const PPDCopy> ppd;  // null when none was fetched
    bool paneApplies = false;
    std::string paneTitle;
    PaneOptions options;
    double checkMilliseconds = 0;  // fetching and asking, off the main loop
    // Why nothing is shown when that is a fault (a bundle that does not
    // load, a scheduler that does not answer); empty for another model.
    std::string failure;
};

// Runs a piece of work on the toolkit's main loop; callable from any thread.
using MainLoopPoster = std::function<void(std::function<void()> work)>;

// Set by the dialog that asked when it goes; read on the main loop.
using CheckCancellation = std::shared_ptr<std::atomic<bool>>;

// Calls done on the main loop with the answer for queue; done is not called
// when cancelled first. The answers' cache is kept on the main loop only.
void CheckQueue(const std::string &queue, const std::string &plugInsFolder, const MainLoopPoster &postToMainLoop,
                CheckCancellation cancelled, std::function<void(const QueueAnswer &)> done);

// The PPD's options that the pane reads and writes, with their texts
// translated as GTK's CUPS backend shows them.
PaneOptions ReadPaneOptions(const std::string &ppdPath);

}  // namespace kvx::print_dialogs
