// The printer's PPD, opened through its printer-info ticket and read with
// libcups: main keys are the PPD's main keywords, in file order.

// libcups marks its whole PPD API deprecated; it is still the one reader of
// PPD files that CUPS ships, so the warning is silenced for this file alone.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include <cups/ppd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "KVXHost.h"
#include "core/faults.hpp"
#include "core/object.hpp"
#include "ppd_encoding.hpp"
#include "ticket.hpp"

namespace kvx::host {
namespace {

constexpr std::string_view kLanguageEncodingKeyword = "LanguageEncoding";
constexpr size_t kMaxFileNameLength = sizeof(Str63) - 1;
constexpr size_t kMaxInvocationLength = sizeof(Str255) - 1;

struct PPDFileCloser {
    void operator()(ppd_file_t *ppd) const { ppdClose(ppd); }
};
using PPDFile = std::unique_ptr<ppd_file_t, PPDFileCloser>;

// Every context now open, so that a stale or foreign context handed back by
// a caller is recognised before anything behind it is read.
std::set<const Object *> &OpenContexts() {
    static std::set<const Object *> contexts;
    return contexts;
}

class PPDContextObject final : public Object {
public:
    explicit PPDContextObject(PPDFile ppd) : Object(KVXPPDContextGetTypeID()), ppd_(std::move(ppd)) {
        OpenContexts().insert(this);
    }
    ~PPDContextObject() override { OpenContexts().erase(this); }

    const ppd_file_t &ppd() const { return *ppd_; }

private:
    PPDFile ppd_;
};

struct PPDCounts {
    CFIndex opened = 0;
    CFIndex closed = 0;
};

PPDCounts &Counts() {
    static PPDCounts counts;
    return counts;
}

PPDContextObject *FindContext(PPDContext context) {
    auto *object = reinterpret_cast<Object *>(context);
    return OpenContexts().contains(object) ? static_cast<PPDContextObject *>(object) : nullptr;
}

PPDContext ContextRef(PPDContextObject *object) {
    return reinterpret_cast<PPDContext>(static_cast<Object *>(object));
}

// The name as a length-prefixed string of at most 63 bytes, cut before a
// UTF-8 character that would not fit whole.
void SetFileSpecName(FSSpec &fileSpec, std::string_view path) {
    std::string_view name = path.substr(path.find_last_of('/') + 1);
    if (name.size() > kMaxFileNameLength) {
        size_t length = kMaxFileNameLength;
        while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
        name = name.substr(0, length);
    }
    fileSpec.vRefNum = 0;
    fileSpec.parID = 0;
    fileSpec.name[0] = static_cast<unsigned char>(name.size());
    std::copy(name.begin(), name.end(), fileSpec.name + 1);
}

OSStatus OpenStatusOf(ppd_status_t status) {
    if (status == PPD_FILE_OPEN_ERROR) return fnfErr;
    return kPMGeneralError;
}

const ppd_attr_t *AttributeAt(const ppd_file_t &ppd, Mindex mainIndex) {
    if (mainIndex < 1 || mainIndex > ppd.num_attrs) return nullptr;
    return ppd.attrs[mainIndex - 1];
}

const char *LanguageEncodingOf(const ppd_file_t &ppd) {
    // libcups reports UTF-8 in lang_encoding once it has converted the option
    // texts, but main keyword values stay in the file's own encoding: the
    // keyword itself says which.
    for (int i = 0; i < ppd.num_attrs; ++i)
        if (ppd.attrs[i]->name == kLanguageEncodingKeyword) return ppd.attrs[i]->value;
    return nullptr;
}

}  // namespace
}  // namespace kvx::host

using kvx::host::Counts;
using kvx::host::FindContext;
using kvx::host::PPDContextObject;

extern "C" {

CFTypeID KVXPPDContextGetTypeID(void) {
    static const CFTypeID type = kvx::host::RegisterType("PPDContext");
    return type;
}

CFIndex KVXPPDGetOpenCount(void) { return Counts().opened; }

CFIndex KVXPPDGetCloseCount(void) { return Counts().closed; }

OSStatus ppdOpenCompiledPPDFromTicket(PMTicketRef printerInfoTicket, PPDContext *context, FSSpec *fileSpec) {
    if (context == nullptr || fileSpec == nullptr) return paramErr;
    *context = nullptr;
    const std::string *path = kvx::host::FindPrinterInfoPPDPath(printerInfoTicket);
    if (path == nullptr) return kPMInvalidTicket;
    if (kvx::host::ShouldFail(kKVXFaultPPDOpen)) return fnfErr;
    kvx::host::PPDFile ppd(ppdOpenFile(path->c_str()));
    if (!ppd) {
        int line = 0;
        return kvx::host::OpenStatusOf(ppdLastError(&line));
    }
    kvx::host::SetFileSpecName(*fileSpec, *path);
    *context = kvx::host::ContextRef(kvx::host::Create<PPDContextObject>(std::move(ppd)));
    ++Counts().opened;
    return noErr;
}

OSStatus ppdCloseCompiledPPDFromTicket(PPDContext context, FSSpec *) {
    PPDContextObject *open = FindContext(context);
    if (open == nullptr) return paramErr;
    open->release();
    ++Counts().closed;
    if (kvx::host::ShouldFail(kKVXFaultPPDClose)) return paramErr;
    return noErr;
}

Mindex ppdGetMainIndex(PPDContext context, ConstStr255Param mainKey) {
    const PPDContextObject *open = FindContext(context);
    if (open == nullptr || mainKey == nullptr) return 0;
    const std::string_view name(reinterpret_cast<const char *>(mainKey + 1), mainKey[0]);
    const ppd_file_t &ppd = open->ppd();
    const int count = std::min(ppd.num_attrs, static_cast<int>(std::numeric_limits<Mindex>::max()));
    for (int i = 0; i < count; ++i)
        if (ppd.attrs[i]->name == name) return static_cast<Mindex>(i + 1);
    return 0;
}

OSStatus ppdGetInvocationString(PPDContext context, Mindex mainIndex, Oindex optionIndex, StringPtr buffer,
                                SInt32 bufferSize) {
    const PPDContextObject *open = FindContext(context);
    if (open == nullptr || optionIndex != 0 || buffer == nullptr || bufferSize < 1) return paramErr;
    const ppd_attr_t *attribute = kvx::host::AttributeAt(open->ppd(), mainIndex);
    if (attribute == nullptr) return paramErr;
    if (kvx::host::ShouldFail(kKVXFaultGetInvocationString)) return paramErr;
    const std::string_view value = attribute->value == nullptr ? std::string_view() : attribute->value;
    const std::optional<std::string> converted =
        kvx::host::ConvertPPDTextToMacRoman(value, kvx::host::LanguageEncodingOf(open->ppd()));
    if (!converted) return kPMGeneralError;
    // Mac Roman is one byte per character, so any cut is a character boundary.
    const size_t length =
        std::min({converted->size(), kvx::host::kMaxInvocationLength, static_cast<size_t>(bufferSize - 1)});
    buffer[0] = static_cast<unsigned char>(length);
    std::memcpy(buffer + 1, converted->data(), length);
    return noErr;
}

}  // extern "C"
