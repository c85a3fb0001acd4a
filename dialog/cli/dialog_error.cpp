#include "cli/dialog_error.hpp"

#include "cli/messages.hpp"

namespace kvx::dialog {

int ExitStatusOfRun(const std::function<void()> &run) {
    try {
        run();
        return kExitSuccess;
    } catch (const DialogError &error) {
        ReportMessage(error.what());
        return error.exitStatus();
    } catch (const std::exception &error) {
        ReportMessage(error.what());
        return kExitHostFailure;
    }
}

}  // namespace kvx::dialog
