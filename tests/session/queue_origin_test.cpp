// Where forwarding queues lead: the device URIs that lpadmin, CUPS' temporary
// queues and cups-browsed give them, as a table; and the request that reads
// them, against a private scheduler.
#include <gmock/gmock.h>

#include "cups/queue_origin.hpp"
#include "cups/private_scheduler.hpp"

namespace kvx::session {
void PrintTo(const QueueOrigin &origin, std::ostream *out) {
    *out << (origin.encrypted ? "ipps://" : "ipp://") << origin.host << ":" << origin.port
         << (origin.isClass ? "/classes/" : "/printers/") << origin.queue;
}
}  // namespace kvx::session

namespace kvx::test {
namespace {

using session::FindQueueOrigin;
using session::ForwardingAttributes;
using session::QueueOrigin;

constexpr const char *kSamplePPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";
constexpr const char *kBrowsedDevice = "implicitclass://korvane_server/";
constexpr const char *kServiceDevice =
    "ipps://Korvane%20RM-4750%20%40%20server._ipps._tcp.local/cups?uuid=1e6da29b-222a-3148-633a-a30fd5920cee";

struct OriginCase {
    ForwardingAttributes attributes;
    std::optional<QueueOrigin> origin;
};

const OriginCase kOriginCases[] = {
    // lpadmin -v, lpadmin -m everywhere, CUPS-Create-Local-Printer with a URI
    {{"ipp://server.example/printers/korvane", "", ""}, QueueOrigin{"server.example", 631, false, "korvane", false}},
    {{"ipps://server.example:8631/classes/office?waitjob=false", "", ""},
     QueueOrigin{"server.example", 8631, true, "office", true}},
    {{"ipp://[::1]:41563/printers/Korvane%20Desk", "", "http://elsewhere:631/printers/other"},
     QueueOrigin{"::1", 41563, false, "Korvane Desk", false}},
    // devices that lead to a printer, not to a scheduler
    {{"ipp://printer.example/ipp/print", "", ""}, std::nullopt},
    {{"socket://127.0.0.1:9100", "", "http://server:631/printers/korvane"}, std::nullopt},
    {{"ipp://server.example/printers/", "", ""}, std::nullopt},
    {{"ipp://server.example/printers/korvane/extra", "", ""}, std::nullopt},
    {{"", "", ""}, std::nullopt},
    {{"not a uri", "", ""}, std::nullopt},
    // cups-browsed: the destination of the last job, else its PPD's record
    {{kBrowsedDevice, R"("12 ipp://server:631/printers/korvane pdf 600dpi")", "http://old:631/printers/gone"},
     QueueOrigin{"server", 631, false, "korvane", false}},
    {{kBrowsedDevice, R"("3 NO_DEST_FOUND")", "http://localhost:41563/printers/korvane"},
     QueueOrigin{"localhost", 41563, false, "korvane", false}},
    {{kBrowsedDevice, "", "https://server:443/printers/korvane"}, QueueOrigin{"server", 443, true, "korvane", false}},
    {{kBrowsedDevice, "", ""}, std::nullopt},
    // a temporary queue for a printer found by DNS-SD: its PPD's record, over TLS as the service says
    {{kServiceDevice, "", "http://server.local:631/printers/korvane"},
     QueueOrigin{"server.local", 631, true, "korvane", false}},
    {{kServiceDevice, "", ""}, std::nullopt},
    {{kServiceDevice, "", "http://printer.local/"}, std::nullopt},
};

TEST(QueueOrigin, EachKindOfForwardingQueueLeadsToItsQueueOrNowhere) {
    for (const auto &[attributes, origin] : kOriginCases) {
        SCOPED_TRACE(attributes.deviceUri + " | " + attributes.browsedDestination + " | " + attributes.supplyInfoUri);
        EXPECT_EQ(FindQueueOrigin(attributes), origin);
    }
}

TEST(QueueOrigin, TheSchedulerTellsWhereAQueueForwards) {
    std::string whyNot;
    const auto scheduler = PrivateScheduler::Start(&whyNot);
    if (!scheduler) GTEST_SKIP() << whyNot;
    // Quoted inside, as cups-browsed writes it.
    const std::string browsed = R"("7 ipp://other.example:631/classes/all pdf 600dpi")";
    ASSERT_EQ(RunShell("lpadmin -p forward -v ipp://server.example:8631/printers/korvane -P " + ShellWord(kSamplePPD) +
                       " -o " + ShellWord(R"(cups-browsed-dest-printer-default="\"7 ipp://other.example:631/classes/all pdf 600dpi\"")"))
                  .exitStatus,
              0);

    const std::string &address = scheduler->address();
    http_t *http = httpConnect2("127.0.0.1", std::stoi(address.substr(address.rfind(':') + 1)), nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    ASSERT_NE(http, nullptr);
    const auto attributes = session::RequestForwardingAttributes(http, "forward");
    EXPECT_FALSE(session::RequestForwardingAttributes(http, "no-such-queue"));
    httpClose(http);

    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->deviceUri, "ipp://server.example:8631/printers/korvane");
    EXPECT_EQ(attributes->browsedDestination, browsed);
    EXPECT_EQ(FindQueueOrigin(*attributes), (QueueOrigin{"server.example", 8631, false, "korvane", false}));
}

}  // namespace
}  // namespace kvx::test
