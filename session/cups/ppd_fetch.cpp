#include "session/cups/ppd_fetch.hpp"

#include <cups/ppd.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string_view>

#include "session/cups/queue_origin.hpp"
#include "session/messages.hpp"
#include "session/session_error.hpp"

// A queue's PPD is what the pane is decided on; libcups deprecates its PPD
// calls in favour of IPP queries that do not carry it.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace kvx::session {
namespace {

constexpr int kRequestAttempts = 2;  // a kept-alive connection the scheduler closed is reopened once
constexpr size_t kReadChunk = 4096;
constexpr off_t kLongestRestToRead = 16 * 1024;
constexpr std::string_view kModelNameKeyword = "*ModelName:";
// Where CUPS and cups-browsed record the far queue in the PPDs they make.
constexpr std::string_view kSupplyInfoKeyword = "*APSupplies:";
constexpr std::string_view kPPDPathPrefix = "/printers/";
constexpr std::string_view kPPDPathSuffix = ".ppd";
constexpr std::string_view kUnreservedPathBytes =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!$&'()*+,;=:";
constexpr std::string_view kTempFilePattern = "kvx-ppd-XXXXXX.ppd";
constexpr int kTempFileSuffixLength = 4;  // ".ppd"

// Takes a PPD's bytes as they come, the last call with atEnd; true once it
// has what it needs.
using PPDReader = std::function<bool(std::string_view bytes, bool atEnd)>;

enum class Outcome { Read, NoPPD, Failed };
struct Fetch {
    Outcome outcome = Outcome::Failed;
    std::string failure;
};

std::string PPDResource(const std::string &queue) {
    std::string resource(kPPDPathPrefix);
    constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    for (const char byte : queue) {
        if (kUnreservedPathBytes.find(byte) != std::string_view::npos) {
            resource += byte;
        } else {
            const auto value = static_cast<unsigned char>(byte);
            resource += '%';
            resource += kHexDigits[value >> 4];
            resource += kHexDigits[value & 0xF];
        }
    }
    return resource + std::string(kPPDPathSuffix);
}

std::string ReadFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The whole PPD through libcups, for whatever the short route cannot take.
Fetch FetchThroughLibcups(const SchedulerConnection &scheduler, const std::string &queue, const PPDReader &read) {
    std::array<char, PATH_MAX> fetched{};
    time_t modified = 0;
    scheduler.StartRequest();
    const http_status_t status = cupsGetPPD3(scheduler.get(), queue.c_str(), &modified, fetched.data(), fetched.size());
    if (status == HTTP_STATUS_NOT_FOUND) return {Outcome::NoPPD, {}};
    if (status != HTTP_STATUS_OK) return {Outcome::Failed, LastSchedulerError()};
    // On the scheduler's own machine libcups may hand out a link into its
    // folder: the link goes, not what it names.
    const std::string bytes = ReadFile(fetched.data());
    unlink(fetched.data());
    read(bytes, true);
    return {Outcome::Read, {}};
}

// GET /printers/QUEUE.ppd, read until the reader has enough.
Fetch ReadPPD(const SchedulerConnection &scheduler, const std::string &queue, const PPDReader &read) {
    http_t *http = scheduler.get();
    const std::string resource = PPDResource(queue);
    http_status_t status = HTTP_STATUS_ERROR;
    for (int attempt = 0; attempt < kRequestAttempts && status == HTTP_STATUS_ERROR; ++attempt) {
        if (attempt > 0 && !scheduler.Reconnect()) break;
        scheduler.StartRequest();
        httpClearFields(http);
        if (httpGet(http, resource.c_str()) != 0) continue;
        do {
            status = httpUpdate(http);
        } while (status == HTTP_STATUS_CONTINUE);
    }
    if (status != HTTP_STATUS_OK) {
        if (status != HTTP_STATUS_ERROR) httpFlush(http);
        return FetchThroughLibcups(scheduler, queue, read);
    }
    std::array<char, kReadChunk> chunk{};
    for (bool enough = false; !enough;) {
        const ssize_t count = httpRead2(http, chunk.data(), chunk.size());
        if (count < 0) return {Outcome::Failed, "the PPD's transfer broke off"};
        enough = read(std::string_view(chunk.data(), static_cast<size_t>(count)), count == 0) || count == 0;
    }
    // The rest of the PPD is not needed. A short rest is read away so that
    // the connection serves the next queue; a long one costs the scheduler
    // less when the connection is dropped and made anew.
    if (httpGetRemaining(http) <= kLongestRestToRead) {
        httpFlush(http);
    } else {
        httpShutdown(http);
        scheduler.Reconnect();
    }
    return {Outcome::Read, {}};
}

// The value of the PPD's line for a main keyword ("*ModelName:") as libcups
// reads it (what the quotes enclose, else the rest of the line); nullopt
// while the text read so far ends before that line does. A whole file
// without the line gives "".
std::optional<std::string> FindKeywordValue(std::string_view text, std::string_view keyword, bool wholeFile) {
    size_t line = 0;
    while (text.compare(line, keyword.size(), keyword) != 0) {
        line = text.find_first_of("\r\n", line);
        if (line == std::string_view::npos) return wholeFile ? std::optional<std::string>("") : std::nullopt;
        line = text.find_first_not_of("\r\n", line);
        if (line == std::string_view::npos) return wholeFile ? std::optional<std::string>("") : std::nullopt;
    }
    const size_t valueStart = text.find_first_not_of(" \t", line + keyword.size());
    const bool quoted = valueStart != std::string_view::npos && text[valueStart] == '"';
    const size_t from = quoted ? valueStart + 1 : valueStart;
    const size_t end = from == std::string_view::npos ? from : text.find_first_of(quoted ? "\"" : "\r\n", from);
    if (end == std::string_view::npos) {
        if (!wholeFile) return std::nullopt;
        return from == std::string_view::npos || quoted ? std::string() : std::string(text.substr(from));
    }
    std::string_view value = text.substr(from, end - from);
    if (!quoted) value = value.substr(0, value.find_last_not_of(" \t") + 1);
    return std::string(value);
}

}  // namespace

FetchedPPD::FetchedPPD(std::string queue, std::string bytes, std::string forwardedTo)
    : queue_(std::move(queue)), bytes_(std::move(bytes)), forwardedTo_(std::move(forwardedTo)) {
    std::string path = (std::filesystem::temp_directory_path() / kTempFilePattern).string();
    const int fd = mkstemps(path.data(), kTempFileSuffixLength);  // made with mode 0600
    if (fd < 0) throw SessionError(FailureKind::HostFailure, "cannot make a temporary file for the printer's PPD");
    const bool written = write(fd, bytes_.data(), bytes_.size()) == static_cast<ssize_t>(bytes_.size());
    close(fd);
    if (!written) {
        unlink(path.c_str());
        throw SessionError(FailureKind::HostFailure, "cannot write the printer's PPD to " + Quoted(path));
    }
    path_ = std::move(path);
}

FetchedPPD::~FetchedPPD() {
    unlink(path_.c_str());
}

std::shared_ptr<const FetchedPPD> FetchPPD(const SchedulerConnection &scheduler, const std::string &queue) {
    std::string bytes;
    const Fetch fetch = ReadPPD(scheduler, queue, [&](std::string_view chunk, bool) {
        bytes += chunk;
        return false;
    });
    if (fetch.outcome == Outcome::NoPPD) return nullptr;
    if (fetch.outcome == Outcome::Failed) {
        throw SessionError(FailureKind::UnusableInput, "cannot fetch the PPD of " + Quoted(queue) +
                                                           " from the print scheduler at " + scheduler.Describe() +
                                                           ": " + fetch.failure);
    }
    return std::make_shared<const FetchedPPD>(queue, std::move(bytes));
}

std::shared_ptr<const FetchedPPD> FetchOriginPPD(const SchedulerConnection &scheduler, const std::string &queue,
                                                 const FetchedPPD *own) {
    scheduler.StartRequest();
    std::optional<ForwardingAttributes> attributes = RequestForwardingAttributes(scheduler.get(), queue);
    if (!attributes) return nullptr;
    if (own != nullptr) attributes->supplyInfoUri = *FindKeywordValue(own->bytes(), kSupplyInfoKeyword, true);
    const std::optional<QueueOrigin> origin = FindQueueOrigin(*attributes);
    if (!origin) return nullptr;
    const SchedulerConnection far(
        SchedulerAddress{origin->host, origin->port,
                         origin->encrypted ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED},
        [&scheduler] { scheduler.StartRequest(); });
    std::shared_ptr<const FetchedPPD> ppd = FetchPPD(far, origin->queue);
    if (!ppd) return nullptr;
    const std::string forwardedTo = std::string(origin->encrypted ? "ipps://" : "ipp://") + far.Describe() +
                                    (origin->isClass ? "/classes/" : "/printers/") + origin->queue;
    return std::make_shared<const FetchedPPD>(queue, ppd->bytes(), forwardedTo);
}

std::string ModelNameOf(const FetchedPPD &ppd) {
    return *FindKeywordValue(ppd.bytes(), kModelNameKeyword, true);
}

ModelLookup FetchModelName(const SchedulerConnection &scheduler, const std::string &queue) {
    std::string text;
    ModelLookup lookup;
    const Fetch fetch = ReadPPD(scheduler, queue, [&](std::string_view chunk, bool atEnd) {
        text += chunk;
        lookup.model = FindKeywordValue(text, kModelNameKeyword, atEnd);
        return lookup.model.has_value();
    });
    if (fetch.outcome == Outcome::NoPPD) return ModelLookup{std::string(), {}};
    if (fetch.outcome == Outcome::Failed) return ModelLookup{std::nullopt, fetch.failure};
    return lookup;
}

}  // namespace kvx::session
