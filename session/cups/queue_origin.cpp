#include "cups/queue_origin.hpp"

#include <array>
#include <memory>
#include <sstream>
#include <string_view>

// The PPD generators' record of the far queue is in the PPD, which libcups
// reads with an API it marks deprecated in favour of IPP queries.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace kvx::session {
namespace {

constexpr std::string_view kPrintersPath = "/printers/";
constexpr std::string_view kClassesPath = "/classes/";
// A DNS-SD service instance stands where a host name would.
constexpr std::string_view kServiceTypeMark = "._tcp";

struct SplitUri {
    std::string scheme;
    std::string host;
    int port = 0;
    std::string resource;  // decoded, without its query
};

std::optional<SplitUri> Split(const std::string &uri) {
    if (uri.empty()) return std::nullopt;
    std::array<char, HTTP_MAX_URI> scheme{}, userpass{}, host{}, resource{};
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme.data(), scheme.size(), userpass.data(),
                        userpass.size(), host.data(), host.size(), &port, resource.data(),
                        resource.size()) < HTTP_URI_STATUS_OK) {
        return std::nullopt;
    }
    std::string path = resource.data();
    path = path.substr(0, path.find('?'));
    return SplitUri{scheme.data(), host.data(), port, path};
}

bool IsService(const SplitUri &uri) {
    return uri.host.find(kServiceTypeMark) != std::string::npos;
}

// ipp://HOST:PORT/printers/NAME and the like, where HOST is a host and the
// path names one CUPS queue. `secureScheme` is the scheme that means TLS.
std::optional<QueueOrigin> QueueAt(const std::string &uri, std::string_view plainScheme,
                                   std::string_view secureScheme) {
    const auto split = Split(uri);
    if (!split || IsService(*split) || split->host.empty()) return std::nullopt;
    if (split->scheme != plainScheme && split->scheme != secureScheme) return std::nullopt;
    QueueOrigin origin{split->host, split->port, split->scheme == secureScheme, "", false};
    std::string_view path = split->resource;
    if (path.starts_with(kPrintersPath)) {
        path.remove_prefix(kPrintersPath.size());
    } else if (path.starts_with(kClassesPath)) {
        path.remove_prefix(kClassesPath.size());
        origin.isClass = true;
    } else {
        return std::nullopt;
    }
    if (path.empty() || path.find('/') != std::string_view::npos) return std::nullopt;
    origin.queue = path;
    return origin;
}

// cups-browsed writes "JOB-ID URI FORMAT RESOLUTION", quoted, or
// "JOB-ID ALL_DESTS_BUSY" and "JOB-ID NO_DEST_FOUND" when it found none.
std::string BrowsedDestinationUri(const std::string &value) {
    std::string unquoted;
    for (const char c : value) {
        if (c != '"' && c != '\\') unquoted += c;
    }
    std::istringstream words(unquoted);
    std::string jobId, uri;
    words >> jobId >> uri;
    return uri;
}

// The PPD generators copy the far queue's printer-more-info, which CUPS makes
// http(s)://HOST:PORT/printers/NAME on the port it answers IPP on.
std::optional<QueueOrigin> QueueOfSupplyPage(const std::string &uri, bool encrypted) {
    auto origin = QueueAt(uri, "http", "https");
    if (origin) origin->encrypted = origin->encrypted || encrypted;
    return origin;
}

}  // namespace

std::optional<QueueOrigin> FindQueueOrigin(const ForwardingAttributes &attributes) {
    const auto device = Split(attributes.deviceUri);
    if (!device) return std::nullopt;
    if (device->scheme == "implicitclass") {
        if (auto origin = QueueAt(BrowsedDestinationUri(attributes.browsedDestination), "ipp", "ipps")) return origin;
        return QueueOfSupplyPage(attributes.supplyInfoUri, false);
    }
    if (IsService(*device)) {
        return QueueOfSupplyPage(attributes.supplyInfoUri, device->scheme == "ipps");
    }
    return QueueAt(attributes.deviceUri, "ipp", "ipps");
}

std::optional<ForwardingAttributes> RequestForwardingAttributes(http_t *http, const std::string &queue) {
    static constexpr std::array kRequested = {"device-uri", "cups-browsed-dest-printer-default"};
    std::array<char, HTTP_MAX_URI> printerUri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, printerUri.data(), printerUri.size(), "ipp", nullptr, "localhost", 0,
                     "/printers/%s", queue.c_str());
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri.data());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", kRequested.size(), nullptr,
                  kRequested.data());
    const std::unique_ptr<ipp_t, decltype(&ippDelete)> response(cupsDoRequest(http, request, "/"), ippDelete);
    if (!response || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) return std::nullopt;

    const auto text = [&](const char *name) -> std::string {
        ipp_attribute_t *attribute = ippFindAttribute(response.get(), name, IPP_TAG_ZERO);
        const char *value = attribute != nullptr ? ippGetString(attribute, 0, nullptr) : nullptr;
        return value != nullptr ? value : "";
    };
    return ForwardingAttributes{text(kRequested[0]), text(kRequested[1]), ""};
}

std::string ReadSupplyInfoUri(ppd_file_t *ppd) {
    ppd_attr_t *attribute = ppd != nullptr ? ppdFindAttr(ppd, "APSupplies", nullptr) : nullptr;
    return attribute != nullptr && attribute->value != nullptr ? attribute->value : "";
}

}  // namespace kvx::session
