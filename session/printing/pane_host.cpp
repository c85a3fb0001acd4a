#include "session/printing/pane_host.hpp"

#include <algorithm>
#include <limits>
#include <vector>

#include "session/controls/pane_controls.hpp"
#include "session/cups/printer_model.hpp"
#include "session/messages.hpp"
#include "session/session_error.hpp"

namespace kvx::session {
namespace {

// What Terminate hears about how the dialog ended.
constexpr OSStatus kAcceptedStatus = noErr;
constexpr OSStatus kCanceledStatus = -128;
constexpr HRESULT kQuerySucceeded = 0;
constexpr UInt32 kSupportedAPIMajorVersion = 1;
constexpr Boolean kReinitializeFromTicket = true;
constexpr Boolean kWriteToTicket = false;
constexpr PMPDERef kNoPDERef = nullptr;

// Where the dialog's window sits on the screen; the pane fills its content.
constexpr SInt16 kWindowTop = 40;
constexpr SInt16 kWindowLeft = 40;
constexpr UInt32 kLargestPaneExtent = std::numeric_limits<SInt16>::max() - kWindowTop;
constexpr WindowAttributes kNoWindowAttributes = 0;
constexpr UInt32 kNoUserPaneFeatures = 0;

struct LoadedPlugIn {
    std::string bundlePath;
    InstanceHolder instance;
};

// The loader's callback: keeps each instance, reports each bundle that
// could not load and goes on.
void CollectPlugIn(const char *bundlePath, void *instance, CFStringRef error, void *info) noexcept {
    const std::string path = bundlePath != nullptr ? bundlePath : "";
    if (instance == nullptr) {
        ReportMessage(path + ": " + ToUTF8(error));
        return;
    }
    static_cast<std::vector<LoadedPlugIn> *>(info)->push_back({path, InstanceHolder(instance)});
}

InterfaceHolder QueryPDEInterface(const InstanceHolder &instance) {
    const CFHolder<CFUUIDRef> interfaceID(CFUUIDCreateFromString(nullptr, CFSTR(kPMPDEInterfaceIDStr)));
    LPVOID object = nullptr;
    if (!interfaceID ||
        instance.table().QueryInterface(instance.get(), CFUUIDGetUUIDBytes(interfaceID.get()), &object) !=
            kQuerySucceeded) {
        return InterfaceHolder();
    }
    return InterfaceHolder(static_cast<PlugInIntf *>(object));
}

std::string StringAt(CFArrayRef array, CFIndex index) {
    const auto value = static_cast<CFTypeRef>(CFArrayGetValueAtIndex(array, index));
    return value != nullptr && CFGetTypeID(value) == CFStringGetTypeID() ? ToUTF8(static_cast<CFStringRef>(value))
                                                                         : std::string();
}

bool SpeaksOurAPIVersion(const InterfaceHolder &pde) {
    PMPlugInAPIVersion version{};
    return pde.table().plugInHeader.GetAPIVersion(pde.header(), &version) == noErr &&
           version.baseVersionMajor == kSupportedAPIMajorVersion;
}

}  // namespace

PaneHost::PaneHost(const std::string &plugInsFolder, const PrintSession &session)
    : session_(session.SessionRef()), printerModel_(DescribePrinterModel(session.PPD())) {
    try {
        AdoptFirstPane(plugInsFolder);
        Show(plugInsFolder);
    } catch (...) {
        Dismiss(DialogOutcome::Canceled);
        throw;
    }
}

PaneHost::~PaneHost() {
    Dismiss(DialogOutcome::Canceled);
}

OSStatus PaneHost::SyncToTicket() {
    return interface_.table().Sync(context_, session_, kWriteToTicket);
}

OSStatus PaneHost::SyncFromTicket() {
    return interface_.table().Sync(context_, session_, kReinitializeFromTicket);
}

OSStatus PaneHost::CopySummary(CFHolder<CFArrayRef> &titles, CFHolder<CFArrayRef> &values) {
    return interface_.table().GetSummaryText(context_, titles.out(), values.out());
}

SummaryRows PaneHost::Summary() {
    SummaryRows rows;
    CFHolder<CFArrayRef> titles;
    CFHolder<CFArrayRef> values;
    if (CopySummary(titles, values) != noErr || !titles || !values) return rows;
    const CFIndex count = std::min(CFArrayGetCount(titles.get()), CFArrayGetCount(values.get()));
    for (CFIndex row = 0; row < count; ++row) rows.emplace_back(StringAt(titles.get(), row), StringAt(values.get(), row));
    return rows;
}

void PaneHost::Dismiss(DialogOutcome outcome) {
    // Terminate frees the record that Prologue made, whatever came after.
    if (context_ != nullptr) {
        if (shown_) interface_.table().Close(context_);
        interface_.table().Terminate(context_, outcome == DialogOutcome::Accepted ? kAcceptedStatus : kCanceledStatus);
    }
    context_ = nullptr;
    shown_ = false;
    interface_.reset();
    instance_.reset();
    userPane_ = nullptr;
    window_.reset();
}

// The first plug-in that gives a PDE interface of our API version; every
// other instance is released when `loaded` goes.
void PaneHost::AdoptFirstPane(const std::string &plugInsFolder) {
    const CFHolder<CFUUIDRef> typeID(CFUUIDCreateFromString(nullptr, CFSTR(kPMPDETypeIDStr)));
    std::vector<LoadedPlugIn> loaded;
    if (KVXLoadPlugInsForType(plugInsFolder.c_str(), typeID.get(), CollectPlugIn, &loaded) < 0) {
        throw SessionError(FailureKind::UnusableInput, "cannot read the plug-ins folder " + Quoted(plugInsFolder));
    }
    for (LoadedPlugIn &plugIn : loaded) {
        if (interface_) {
            ReportMessage(plugIn.bundlePath + ": the dialog shows one pane; this one is left out");
            continue;
        }
        InterfaceHolder pde = QueryPDEInterface(plugIn.instance);
        if (!pde) {
            ReportMessage(plugIn.bundlePath + ": the plug-in has no PDE interface");
        } else if (!SpeaksOurAPIVersion(pde)) {
            ReportMessage(plugIn.bundlePath + ": the plug-in's PDE interface is of another API version");
        } else {
            instance_ = std::move(plugIn.instance);
            interface_ = std::move(pde);
        }
    }
}

void PaneHost::Show(const std::string &plugInsFolder) {
    if (!interface_) return GiveUp("no pane is shown: no print dialog extension in " + Quoted(plugInsFolder));
    const PlugInIntfVTable &table = interface_.table();

    OSType creator = 0;
    CFStringRef kind = nullptr;  // a constant of the plug-in
    CFStringRef title = nullptr;
    UInt32 width = 0;
    UInt32 height = 0;
    OSStatus status = table.Prologue(&context_, &creator, &kind, &title, &width, &height);
    const CFHolder<CFStringRef> ownedTitle(title);  // the dialog owns the pane's title
    if (status != noErr) return GiveUp("no pane is shown: Prologue failed with status " + std::to_string(status));
    paneTitle_ = ToUTF8(title);

    status = MakeDialogWindow(width, height);
    if (status != noErr) {
        return GiveUp("no pane is shown: cannot make the dialog's window for a pane of " + std::to_string(width) +
                      " by " + std::to_string(height) + ": status " + std::to_string(status));
    }

    PMPDEFlags flags = 0;
    status = table.Initialize(context_, &flags, kNoPDERef, userPane_, session_);
    if (status == kPaneNotShownStatus) return GiveUp("the pane is not shown for this printer");
    if (status != noErr) return GiveUp("no pane is shown: Initialize failed with status " + std::to_string(status));
    table.Open(context_);
    shown_ = true;
}

OSStatus PaneHost::MakeDialogWindow(UInt32 width, UInt32 height) {
    if (width > kLargestPaneExtent || height > kLargestPaneExtent) return paramErr;
    const auto paneWidth = static_cast<SInt16>(width);
    const auto paneHeight = static_cast<SInt16>(height);
    const Rect content{kWindowTop, kWindowLeft, static_cast<SInt16>(kWindowTop + paneHeight),
                       static_cast<SInt16>(kWindowLeft + paneWidth)};
    OSStatus status = CreateNewWindow(kDocumentWindowClass, kNoWindowAttributes, &content, window_.out());
    if (status != noErr) return status;
    const Rect paneBounds{0, 0, paneHeight, paneWidth};
    return CreateUserPaneControl(window_.get(), &paneBounds, kNoUserPaneFeatures, &userPane_);
}

void PaneHost::GiveUp(const std::string &cause) {
    notShownReason_ = cause + " (printer model " + printerModel_ + ")";
    ReportMessage(notShownReason_);
    Dismiss(DialogOutcome::Canceled);
}

}  // namespace kvx::session
