#include "dialog/cli/dialog_error.hpp"

#include "dialog/cli/messages.hpp"

namespace kvx::dialog {

int ExitStatusOf(const session::SessionError &error) {
    return error.kind() == session::FailureKind::UnusableInput ? kExitUsage : kExitHostFailure;
}

int ExitStatusOfRun(const std::function<void()> &run) {
    try {
        run();
        return kExitSuccess;
    } catch (const DialogError &error) {
        ReportMessage(error.what());
        return error.exitStatus();
    } catch (const session::SessionError &error) {
        ReportMessage(error.what());
        return ExitStatusOf(error);
    } catch (const std::exception &error) {
        ReportMessage(error.what());
        return kExitHostFailure;
    }
}

}  // namespace kvx::dialog
