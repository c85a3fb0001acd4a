// A queue's PPD from its scheduler: the one fetch every dialog uses, on the
// session's bounded connection. It asks for /printers/QUEUE.ppd and reads
// only as much as the caller needs (a whole PPD, or up to its ModelName
// line); where that short route is refused (a login, a queue another host
// serves) libcups' own fetch takes the whole file. A queue that forwards
// to a CUPS queue on another scheduler (an office's print server) is
// followed there, under the same bounds, for that queue's PPD.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "session/cups/scheduler.hpp"

namespace kvx::session {

// A fetched PPD in a private temporary file (mode 0600), removed when the
// object goes; its bytes are kept, so that a later fetch tells whether the
// queue's PPD changed.
class FetchedPPD {
public:
    // Throws SessionError (host failure) when the file cannot be made.
    // forwardedTo: where the PPD came from when it is not the queue's own.
    FetchedPPD(std::string queue, std::string bytes, std::string forwardedTo = {});
    ~FetchedPPD();
    FetchedPPD(const FetchedPPD &) = delete;
    FetchedPPD &operator=(const FetchedPPD &) = delete;

    const std::string &queue() const { return queue_; }
    const std::string &path() const { return path_; }
    const std::string &bytes() const { return bytes_; }
    // The far queue ("ipp://HOST:PORT/printers/NAME") whose PPD this is;
    // empty for the queue's own.
    const std::string &forwardedTo() const { return forwardedTo_; }

private:
    std::string queue_;
    std::string bytes_;
    std::string forwardedTo_;
    std::string path_;
};

// The queue's whole PPD, or null when the queue has none (a raw or
// driverless queue, or a queue the scheduler does not know). Throws
// SessionError (unusable input), naming the queue and the scheduler, when
// it cannot be fetched.
std::shared_ptr<const FetchedPPD> FetchPPD(const SchedulerConnection &scheduler, const std::string &queue);

// The PPD of the CUPS queue that `queue` forwards to on another scheduler,
// fetched from there, for the local queue; null when the queue forwards to
// no scheduler's queue or that queue has no PPD. own: the queue's own PPD,
// if any (the PPDs that CUPS and cups-browsed generate name the far queue).
// Throws SessionError (unusable input) when the far scheduler does not
// answer in time.
std::shared_ptr<const FetchedPPD> FetchOriginPPD(const SchedulerConnection &scheduler, const std::string &queue,
                                                 const FetchedPPD *own);

// The PPD's ModelName, as the PPD's text has it ("" when it names none).
std::string ModelNameOf(const FetchedPPD &ppd);

// The ModelName of the queue's PPD ("" when the queue has no PPD or the PPD
// names no model), or the reason it could not be fetched.
struct ModelLookup {
    std::optional<std::string> model;
    std::string failure;
};
ModelLookup FetchModelName(const SchedulerConnection &scheduler, const std::string &queue);

}  // namespace kvx::session
