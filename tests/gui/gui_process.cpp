#include "gui_process.hpp"

#include <signal.h>
#include <unistd.h>

#include <stdexcept>

namespace kvx::test {

RunningDialog::RunningDialog(const std::vector<std::string> &arguments) {
    std::vector<std::string> argv{KVX_DIALOG_EXECUTABLE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    pid_ = StartProgram(argv, "/dev/null", (folder_.path() / "stderr.txt").string(), false, out_);
}

RunningDialog::~RunningDialog() {
    close(out_);
    ::kill(pid_, SIGTERM);
    Reap(pid_, false);
}

Json RunningDialog::WaitFor(const std::function<bool(const Json &)> &predicate,
                                 std::chrono::milliseconds deadline) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        while (looked_ < lines_.size()) {
            const Json &line = lines_[looked_++];
            if (predicate(line)) return line;
        }
        const bool open = std::chrono::steady_clock::now() < until && ReadSome(out_, pending_, until);
        for (size_t newline = pending_.find('\n'); newline != std::string::npos; newline = pending_.find('\n')) {
            transcript_ += pending_.substr(0, newline + 1);
            lines_.push_back(Json::parse(pending_.substr(0, newline)));
            pending_.erase(0, newline + 1);
        }
        if (!open && looked_ == lines_.size()) {
            throw std::runtime_error("the window never reported what the test waited for; it said:\n" + transcript_ +
                                     "stderr:\n" + ReadFile(folder_.path() / "stderr.txt"));
        }
    }
}

}  // namespace kvx::test
