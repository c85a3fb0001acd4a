// Print sessions: named data that the dialog hands to the pane, chiefly the
// numbers that carry the handles of its tickets.
#include "KVXHostSupport.hpp"
#include "core/object.hpp"

namespace kvx::host {
namespace {

class PrintSession final : public Object {
public:
    explicit PrintSession(CFMutableDictionaryRef data) : Object(KVXPrintSessionGetTypeID()), data_(data) {}
    CFMutableDictionaryRef data() const { return data_.get(); }

private:
    CFHolder<CFMutableDictionaryRef> data_;
};

PrintSession *SessionFrom(PMPrintSession session) {
    return As<PrintSession>(session, KVXPrintSessionGetTypeID());
}

bool IsString(CFTypeRef value) { return value != nullptr && CFGetTypeID(value) == CFStringGetTypeID(); }

}  // namespace
}  // namespace kvx::host

using kvx::CFHolder;
using kvx::host::SessionFrom;

extern "C" {

CFTypeID KVXPrintSessionGetTypeID(void) {
    static const CFTypeID type = kvx::host::RegisterType("PrintSession");
    return type;
}

OSStatus KVXPrintSessionCreate(PMPrintSession *outSession) {
    if (outSession == nullptr) return kPMInvalidParameter;
    *outSession = nullptr;
    CFMutableDictionaryRef data =
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    if (data == nullptr) return memFullErr;
    auto *session = kvx::host::Create<kvx::host::PrintSession>(data);
    *outSession = reinterpret_cast<PMPrintSession>(static_cast<kvx::host::Object *>(session));
    return noErr;
}

OSStatus PMSessionGetDataFromSession(PMPrintSession printSession, CFStringRef key, CFTypeRef *data) {
    if (data == nullptr) return kPMInvalidParameter;
    *data = nullptr;
    const auto *session = SessionFrom(printSession);
    if (session == nullptr || !kvx::host::IsString(key)) return kPMInvalidParameter;
    *data = CFDictionaryGetValue(session->data(), key);
    if (*data == nullptr) return kPMKeyNotFound;
    return noErr;
}

OSStatus PMSessionSetDataInSession(PMPrintSession printSession, CFStringRef key, CFTypeRef data) {
    const auto *session = SessionFrom(printSession);
    if (session == nullptr || !kvx::host::IsString(key)) return kPMInvalidParameter;
    if (data == nullptr) {
        CFDictionaryRemoveValue(session->data(), key);
        return noErr;
    }
    // A private copy of the key, so that a caller's mutable string changed
    // later cannot move the entry.
    const CFHolder<CFStringRef> storedKey(CFStringCreateCopy(nullptr, key));
    if (!storedKey) return memFullErr;
    CFDictionarySetValue(session->data(), storedKey.get(), data);
    return noErr;
}

OSStatus KVXSessionSetTicket(PMPrintSession session, CFStringRef name, PMTicketRef ticket) {
    const auto handle = static_cast<SInt32>(ticket);
    const CFHolder<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &handle));
    if (!number) return memFullErr;
    return PMSessionSetDataInSession(session, name, number.get());
}

}  // extern "C"
