#include "scheduler.hpp"

#include <cups/ppd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

// The model is the PPD's ModelName, read with libcups' PPD API, which it
// marks deprecated in favour of IPP queries that do not carry it.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace kvx::admin {
namespace {

constexpr int kConnectMilliseconds = 30000;
constexpr const char *kConfigurationResource = "/admin/conf/cupsd.conf";
// Where apply keeps a queue's former policy: a queue option, on the scheduler
// itself, so that undo works from whichever machine runs it.
constexpr const char *kFormerPolicyAttribute = "kvx-pin-policy-former-op-policy-default";
// cupsd restarts on a new configuration once its jobs let it (ReloadTimeout,
// 30 s by default), then reads its queues back.
constexpr auto kRestartLimit = std::chrono::seconds(120);
constexpr auto kRestartPoll = std::chrono::milliseconds(250);

using Response = std::unique_ptr<ipp_t, decltype(&ippDelete)>;

std::string PrinterUri(const std::string &queue) {
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri.data(), uri.size(), "ipp", nullptr, "localhost", 0, "/printers/%s",
                     queue.c_str());
    return uri.data();
}

ipp_t *NewRequest(ipp_op_t operation, const std::string &queue) {
    ipp_t *request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 queue.empty() ? "ipp://localhost/" : PrinterUri(queue).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

bool Failed() {
    return cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE;
}

// A private temporary file, removed with this object.
class TempFile {
public:
    TempFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvx-pin-policy.XXXXXX").string();
        const int fd = mkstemp(pattern.data());
        if (fd < 0) throw AdminError("cannot make a temporary file in " + pattern);
        close(fd);
        path_ = pattern;
    }
    ~TempFile() { std::filesystem::remove(path_); }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

std::string ReadFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

Scheduler::Scheduler() {
    const char *server = cupsServer();
    address_ = server[0] == '/' ? server : std::string(server) + ":" + std::to_string(ippPort());
    Connect();
}

Scheduler::~Scheduler() {
    httpClose(http_);
}

void Scheduler::Connect() {
    httpClose(http_);
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectMilliseconds,
                         nullptr);
    if (http_ == nullptr) throw AdminError("cannot reach the scheduler at " + address_);
}

std::string Scheduler::ReadConfiguration() {
    TempFile copy;
    const http_status_t status = cupsGetFile(http_, kConfigurationResource, copy.path().c_str());
    if (status != HTTP_STATUS_OK) {
        throw AdminError("the scheduler at " + address_ + " did not hand out " + kConfigurationResource + ": " +
                         httpStatus(status) + " (an administrator's rights are needed)");
    }
    return ReadFile(copy.path());
}

void Scheduler::WriteConfiguration(const std::string &text, const std::vector<std::string> &policies,
                                   bool present) {
    TempFile file;
    std::ofstream(file.path(), std::ios::binary) << text;
    const http_status_t status = cupsPutFile(http_, kConfigurationResource, file.path().c_str());
    if (status != HTTP_STATUS_CREATED && status != HTTP_STATUS_OK) {
        throw AdminError("the scheduler at " + address_ + " did not take the new cupsd.conf: " + httpStatus(status));
    }
    const auto deadline = std::chrono::steady_clock::now() + kRestartLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kRestartPoll);
        try {
            Connect();
        } catch (const AdminError &) {
            continue;  // restarting: not listening for a moment
        }
        const auto offered = OfferedPolicies();
        if (offered && std::ranges::all_of(policies, [&](const std::string &policy) {
                return (std::ranges::find(*offered, policy) != offered->end()) == present;
            })) {
            return;
        }
    }
    throw AdminError("the scheduler at " + address_ + " took the new cupsd.conf but did not restart on it within " +
                     std::to_string(kRestartLimit.count()) + " seconds");
}

std::optional<std::vector<std::string>> Scheduler::OfferedPolicies() {
    ipp_t *request = NewRequest(IPP_OP_CUPS_GET_PRINTERS, "");
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "limit", 1);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-op-policy-supported");
    const Response response(cupsDoRequest(http_, request, "/"), ippDelete);
    if (!response || (Failed() && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)) return std::nullopt;
    std::vector<std::string> policies;
    ipp_attribute_t *attribute = ippFindAttribute(response.get(), "printer-op-policy-supported", IPP_TAG_ZERO);
    for (int index = 0; index < ippGetCount(attribute); ++index) {
        policies.emplace_back(ippGetString(attribute, index, nullptr));
    }
    return policies;
}

std::string Scheduler::ModelName(const std::string &queue) {
    std::array<char, 1024> path{};
    time_t modified = 0;
    if (cupsGetPPD3(http_, queue.c_str(), &modified, path.data(), path.size()) != HTTP_STATUS_OK) return "";
    ppd_file_t *ppd = ppdOpenFile(path.data());
    std::string model = ppd != nullptr && ppd->modelname != nullptr ? ppd->modelname : "";
    ppdClose(ppd);
    std::filesystem::remove(path.data());
    return model;
}

std::vector<Queue> Scheduler::QueuesOfModel(const std::string &model) {
    static constexpr std::array kRequested = {"printer-name", "printer-type", "printer-op-policy",
                                              kFormerPolicyAttribute};
    ipp_t *request = NewRequest(IPP_OP_CUPS_GET_PRINTERS, "");
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", kRequested.size(), nullptr,
                  kRequested.data());
    const Response response(cupsDoRequest(http_, request, "/"), ippDelete);
    if (!response || (Failed() && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)) {
        throw AdminError("the scheduler at " + address_ + " did not list its queues: " + cupsLastErrorString());
    }

    std::vector<Queue> queues;
    Queue queue;
    bool isClass = false;
    auto take = [&] {
        if (!queue.name.empty() && !isClass && ModelName(queue.name) == model) queues.push_back(queue);
        queue = {};
        isClass = false;
    };
    for (ipp_attribute_t *attribute = ippFirstAttribute(response.get()); attribute != nullptr;
         attribute = ippNextAttribute(response.get())) {
        const char *name = ippGetName(attribute);
        if (name == nullptr) {
            take();
        } else if (std::string_view(name) == kRequested[0]) {
            queue.name = ippGetString(attribute, 0, nullptr);
        } else if (std::string_view(name) == kRequested[1]) {
            isClass = (ippGetInteger(attribute, 0) & CUPS_PRINTER_CLASS) != 0;
        } else if (std::string_view(name) == kRequested[2]) {
            queue.policy = ippGetString(attribute, 0, nullptr);
        } else if (std::string_view(name) == kFormerPolicyAttribute) {
            queue.formerPolicy = ippGetString(attribute, 0, nullptr);
        }
    }
    take();
    return queues;
}

void Scheduler::SetPolicy(const std::string &queue, const std::string &policy,
                          const std::optional<std::string> &former) {
    ipp_t *request = NewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, queue);
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-op-policy", nullptr, policy.c_str());
    if (former) {
        ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_NAME, kFormerPolicyAttribute, nullptr, former->c_str());
    } else {
        ippAddOutOfBand(request, IPP_TAG_PRINTER, IPP_TAG_DELETEATTR, kFormerPolicyAttribute);
    }
    ippDelete(cupsDoRequest(http_, request, "/admin/"));
    if (Failed()) {
        throw AdminError("the scheduler at " + address_ + " did not put " + queue + " on the policy " + policy +
                         ": " + cupsLastErrorString());
    }
}

}  // namespace kvx::admin
