// Where a forwarding queue sends its jobs: the CUPS queue on another
// scheduler that a local queue stands for, so that the pane can be offered
// for the printer at the far end. Three kinds of local queue forward to a
// CUPS queue:
//   - a queue whose device is ipp://HOST[:PORT]/printers/NAME (or /classes/NAME,
//     or ipps://), made by lpadmin, by `lpadmin -m everywhere` or by CUPS
//     itself as a temporary queue (CUPS-Create-Local-Printer);
//   - a temporary queue for a printer found by DNS-SD, whose device names the
//     service (ipps://Korvane%20RM-4750%20%40%20server._ipps._tcp.local/cups):
//     the queue's name at the far end is not in it;
//   - a cups-browsed queue, device implicitclass://LOCALNAME/: cups-browsed
//     keeps the far queue in its memory and writes it on the local queue only
//     when a job comes, as cups-browsed-dest-printer-default.
// The PPDs that CUPS and cups-browsed generate for the last two keep the far
// queue's printer-more-info (http://HOST:PORT/printers/NAME) as *APSupplies,
// which covers them from the moment they are made.
#pragma once

#include <cups/cups.h>
#include <cups/ppd.h>

#include <optional>
#include <string>

namespace kvx::session {

// What a local queue says about where it forwards; empty where it says nothing.
struct ForwardingAttributes {
    std::string deviceUri;           // device-uri
    std::string browsedDestination;  // cups-browsed-dest-printer-default: "JOB-ID URI FORMAT RESOLUTION"
    std::string supplyInfoUri;       // the queue's PPD, *APSupplies
};

// A CUPS queue on another scheduler.
struct QueueOrigin {
    std::string host;
    int port = 0;
    bool encrypted = false;  // ipps: the scheduler is reached over TLS
    std::string queue;       // the queue's name there
    bool isClass = false;    // /classes/NAME rather than /printers/NAME

    bool operator==(const QueueOrigin &) const = default;
};

// The CUPS queue a local queue forwards to, or none: a queue with a device of
// its own (socket://, usb://, a printer's ipp://HOST/ipp/print) forwards to no
// scheduler.
std::optional<QueueOrigin> FindQueueOrigin(const ForwardingAttributes &attributes);

// Asks the scheduler on `http` for the queue's forwarding attributes (one
// Get-Printer-Attributes); none when the scheduler refuses or does not answer
// within the connection's timeout. supplyInfoUri is left to ReadSupplyInfoUri.
std::optional<ForwardingAttributes> RequestForwardingAttributes(http_t *http, const std::string &queue);

// The PPD's *APSupplies, empty when it has none.
std::string ReadSupplyInfoUri(ppd_file_t *ppd);

}  // namespace kvx::session
