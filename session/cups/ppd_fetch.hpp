// A queue's PPD from its scheduler: the one fetch every dialog uses, on the
// session's bounded connection. It asks for /printers/QUEUE.ppd and reads
// only as much as the caller needs (a whole PPD, or up to its ModelName
// line); where that short route is refused (a login, a queue another host
// serves) libcups' own fetch takes the whole file.
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
    FetchedPPD(std::string queue, std::string bytes);
    ~FetchedPPD();
    FetchedPPD(const FetchedPPD &) = delete;
    FetchedPPD &operator=(const FetchedPPD &) = delete;

    const std::string &queue() const { return queue_; }
    const std::string &path() const { return path_; }
    const std::string &bytes() const { return bytes_; }

private:
    std::string queue_;
    std::string bytes_;
    std::string path_;
};

// The queue's whole PPD, or null when the queue has none (a raw or
// driverless queue, or a queue the scheduler does not know). Throws
// SessionError (unusable input), naming the queue and the scheduler, when
// it cannot be fetched.
std::shared_ptr<const FetchedPPD> FetchPPD(const SchedulerConnection &scheduler, const std::string &queue);

// The ModelName of the queue's PPD ("" when the queue has no PPD or the PPD
// names no model), or the reason it could not be fetched.
struct ModelLookup {
    std::optional<std::string> model;
    std::string failure;
};
ModelLookup FetchModelName(const SchedulerConnection &scheduler, const std::string &queue);

}  // namespace kvx::session
