#include "session/cups/scheduler.hpp"

#include "session/session_error.hpp"

namespace kvx::session {
namespace {

constexpr int kBlockingConnection = 1;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr int kAbortRequest = 0;

// A request that waits past the timeout is abandoned rather than retried,
// so a scheduler that accepts the connection and then never answers cannot
// hold up a dialog.
int AbandonStalledRequest(http_t *, void *) {
    return kAbortRequest;
}

http_t *Connect(const SchedulerAddress &address) {
    http_t *http = httpConnect2(address.host.c_str(), address.port, nullptr, AF_UNSPEC, address.encryption,
                                kBlockingConnection, kSchedulerTimeoutMilliseconds, nullptr);
    if (http != nullptr) {
        httpSetTimeout(http, kSchedulerTimeoutMilliseconds / kMillisecondsPerSecond, AbandonStalledRequest, nullptr);
    }
    return http;
}

}  // namespace

std::string SchedulerAddress::Describe() const {
    if (host.starts_with('/')) return host;
    return host + ":" + std::to_string(port);
}

SchedulerAddress DefaultScheduler() {
    return SchedulerAddress{cupsServer(), ippPort(), cupsEncryption()};
}

SchedulerConnection::SchedulerConnection(SchedulerAddress address, RequestWatch watch)
    : address_(std::move(address)), description_(address_.Describe()), watch_(std::move(watch)) {
    StartRequest();
    http_ = Connect(address_);
    if (http_ == nullptr) {
        throw SessionError(FailureKind::UnusableInput, "cannot reach the print scheduler at " + description_);
    }
}

SchedulerConnection::~SchedulerConnection() {
    httpClose(http_);
}

bool SchedulerConnection::Reconnect() const {
    StartRequest();
    return httpReconnect2(http_, kSchedulerTimeoutMilliseconds, nullptr) == 0;
}

std::string LastSchedulerError() {
    const char *reason = cupsLastErrorString();
    return reason != nullptr ? reason : "no reason given";
}

}  // namespace kvx::session
