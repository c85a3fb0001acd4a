#include "ticket.hpp"

#include <limits>
#include <map>
#include <utility>

#include "KVXHostSupport.hpp"
#include "core/object.hpp"

namespace kvx::host {
namespace {

enum class TicketKind { PrintSettings, PrinterInfo };

class Ticket final : public Object {
public:
    explicit Ticket(CFMutableDictionaryRef ppdDict)
        : Object(KVXTicketGetTypeID()), kind_(TicketKind::PrintSettings), ppdDict_(ppdDict) {}
    explicit Ticket(std::string ppdPath)
        : Object(KVXTicketGetTypeID()), kind_(TicketKind::PrinterInfo), ppdPath_(std::move(ppdPath)) {}

    TicketKind kind() const { return kind_; }
    CFMutableDictionaryRef ppdDict() const { return ppdDict_.get(); }
    const std::string &ppdPath() const { return ppdPath_; }

private:
    TicketKind kind_;
    CFHolder<CFMutableDictionaryRef> ppdDict_;
    std::string ppdPath_;
};

// Each entry holds the ticket's one reference, dropped by KVXTicketRelease.
// Handles count up and are never given out twice, so a stale handle can
// never reach a newer ticket.
struct TicketTable {
    std::map<PMTicketRef, Ticket *> tickets;
    PMTicketRef lastHandle = 0;
};

TicketTable &Tickets() {
    static TicketTable table;
    return table;
}

PMTicketRef AddTicket(Ticket *ticket) {
    TicketTable &table = Tickets();
    if (table.lastHandle == std::numeric_limits<PMTicketRef>::max()) {
        ticket->release();
        return 0;
    }
    const PMTicketRef handle = ++table.lastHandle;
    table.tickets.emplace(handle, ticket);
    return handle;
}

Ticket *FindTicket(PMTicketRef handle, TicketKind kind) {
    const auto &tickets = Tickets().tickets;
    const auto found = tickets.find(handle);
    if (found == tickets.end() || found->second->kind() != kind) return nullptr;
    return found->second;
}

}  // namespace

const std::string *FindPrinterInfoPPDPath(PMTicketRef ticket) {
    const Ticket *found = FindTicket(ticket, TicketKind::PrinterInfo);
    return found == nullptr ? nullptr : &found->ppdPath();
}

}  // namespace kvx::host

using kvx::host::Ticket;
using kvx::host::TicketKind;

extern "C" {

CFTypeID KVXTicketGetTypeID(void) {
    static const CFTypeID type = kvx::host::RegisterType("Ticket");
    return type;
}

PMTicketRef KVXTicketCreatePrintSettings(void) {
    CFMutableDictionaryRef ppdDict =
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    if (ppdDict == nullptr) return 0;
    return kvx::host::AddTicket(kvx::host::Create<Ticket>(ppdDict));
}

PMTicketRef KVXTicketCreatePrinterInfo(const char *ppdPath) {
    if (ppdPath == nullptr || *ppdPath == '\0') return 0;
    return kvx::host::AddTicket(kvx::host::Create<Ticket>(std::string(ppdPath)));
}

void KVXTicketRelease(PMTicketRef ticket) {
    auto &tickets = kvx::host::Tickets().tickets;
    const auto found = tickets.find(ticket);
    if (found == tickets.end()) return;
    Ticket *released = found->second;
    tickets.erase(found);
    released->release();
}

OSStatus PMTicketGetPPDDict(PMTicketRef ticket, UInt32 nodeIndex1, UInt32 nodeIndex2, CFMutableDictionaryRef *dict) {
    if (dict == nullptr || nodeIndex1 != 0 || nodeIndex2 != 0) return kPMInvalidParameter;
    const Ticket *found = kvx::host::FindTicket(ticket, TicketKind::PrintSettings);
    if (found == nullptr) return kPMInvalidTicket;
    *dict = found->ppdDict();
    return noErr;
}

}  // extern "C"
