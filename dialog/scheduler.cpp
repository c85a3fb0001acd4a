#include "scheduler.hpp"

#include "dialog_error.hpp"
#include "printers.hpp"

namespace kvx::dialog {
namespace {

constexpr int kBlockingConnection = 1;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr int kAbortRequest = 0;

// A request that waits past the timeout is abandoned, so a scheduler that
// accepts the connection and then never answers cannot hang the dialog.
int AbandonStalledRequest(http_t *, void *) {
    return kAbortRequest;
}

std::string SchedulerAddress() {
    const char *server = cupsServer();
    if (server[0] == '/') return server;
    return std::string(server) + ":" + std::to_string(ippPort());
}

}  // namespace

SchedulerConnection::SchedulerConnection() : address_(SchedulerAddress()) {
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), kBlockingConnection,
                         kSchedulerTimeoutMilliseconds, nullptr);
    if (http_ == nullptr) throw DialogError(kExitUsage, "cannot reach the print scheduler at " + address_);
    httpSetTimeout(http_, kSchedulerTimeoutMilliseconds / kMillisecondsPerSecond, AbandonStalledRequest, nullptr);
}

SchedulerConnection::~SchedulerConnection() {
    httpClose(http_);
}

std::string LastSchedulerError() {
    const char *reason = cupsLastErrorString();
    return reason != nullptr ? reason : "no reason given";
}

}  // namespace kvx::dialog
