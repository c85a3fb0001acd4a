#include "pane_driver.hpp"

#include <string_view>

#include "loaded_plugin.hpp"
#include "fuzz_check.hpp"
#include "memory_file.hpp"
#include "string_units.hpp"

namespace kvx::fuzz {
namespace {

constexpr Rect kDialogContent = {100, 100, 500, 700};
constexpr Rect kUserPaneBounds = {20, 20, 220, 520};

}  // namespace

const PlugInIntfVTable &PaneOperations() {
    // Loaded once and kept for the process, as the dialog keeps its plug-ins.
    static kvx::test::LoadedPlugIn plugIn;
    static PlugInIntf *const pde = plugIn.pde();
    if (pde == nullptr) std::fprintf(stderr, "%s", plugIn.errors().c_str());
    FUZZ_CHECK(pde != nullptr, "the plug-in did not load");
    return *pde->vtable;
}

// Only the model name matters to the pane: a short PPD keeps each run quick.
const std::string &SupportedPrinterPPD() {
    static constexpr std::string_view kPPD = "*PPD-Adobe: \"4.3\"\n"
                                             "*FormatVersion: \"4.3\"\n"
                                             "*LanguageEncoding: ISOLatin1\n"
                                             "*ModelName: \"Korvane RM-4750\"\n";
    static const MemoryFile file(reinterpret_cast<const uint8_t *>(kPPD.data()), kPPD.size());
    FUZZ_CHECK(!file.path().empty(), "no memory file for the PPD");
    return file.path();
}

PrintJob::PrintJob(const std::string &ppdPath) {
    FUZZ_CHECK(KVXPrintSessionCreate(&session_) == noErr, "no print session");
    printSettings_ = KVXTicketCreatePrintSettings();
    printerInfo_ = KVXTicketCreatePrinterInfo(ppdPath.c_str());
    FUZZ_CHECK(printSettings_ != 0 && printerInfo_ != 0, "no tickets");
    FUZZ_CHECK(KVXSessionSetTicket(session_, CFSTR(kPDE_PMPrintSettingsRef), printSettings_) == noErr,
               "the session took no print-settings ticket");
    FUZZ_CHECK(KVXSessionSetTicket(session_, CFSTR(kPDE_PMPrinterInfoRef), printerInfo_) == noErr,
               "the session took no printer-info ticket");
}

PrintJob::~PrintJob() {
    CFRelease(session_);
    KVXTicketRelease(printSettings_);
    KVXTicketRelease(printerInfo_);
}

CFMutableDictionaryRef PrintJob::ppdDict() const {
    CFMutableDictionaryRef dict = nullptr;
    FUZZ_CHECK(PMTicketGetPPDDict(printSettings_, 0, 0, &dict) == noErr && dict != nullptr, "no PPD dictionary");
    return dict;
}

DialogWindow::DialogWindow() {
    FUZZ_CHECK(CreateNewWindow(kDocumentWindowClass, 0, &kDialogContent, &window_) == noErr, "no dialog window");
    FUZZ_CHECK(CreateUserPaneControl(window_, &kUserPaneBounds, 0, &userPane_) == noErr, "no user pane");
}

DialogWindow::~DialogWindow() { DisposeWindow(window_); }

ControlRef DialogWindow::control(SInt32 id) const {
    const ControlID controlID{kPaneSignature, id};
    ControlRef found = nullptr;
    return GetControlByID(window_, &controlID, &found) == noErr ? found : nullptr;
}

Pane::Pane(const PrintJob &job, const DialogWindow &dialog) : job_(job) {
    const PlugInIntfVTable &operations = PaneOperations();
    OSType creator = 0;
    CFStringRef kind = nullptr;
    kvx::CFHolder<CFStringRef> title;
    UInt32 maxH = 0;
    UInt32 maxV = 0;
    prologueStatus_ = operations.Prologue(&context_, &creator, &kind, title.out(), &maxH, &maxV);
    if (prologueStatus_ != noErr) return;
    PMPDEFlags flags = 0;
    initializeStatus_ = operations.Initialize(context_, &flags, nullptr, dialog.userPane(), job.session());
}

// The dialog terminates every pane whose prologue ran, also one that
// declined in initialize.
Pane::~Pane() { PaneOperations().Terminate(context_, noErr); }

OSStatus Pane::syncToTicket() const { return PaneOperations().Sync(context_, job_.session(), false); }

OSStatus Pane::syncFromTicket() const { return PaneOperations().Sync(context_, job_.session(), true); }

Summary Pane::summary() const {
    Summary summary;
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    summary.status = PaneOperations().GetSummaryText(context_, &titles, &values);
    if (summary.status != noErr) {
        FUZZ_CHECK(titles == nullptr && values == nullptr, "a failed summary handed out arrays");
        return summary;
    }
    const kvx::CFHolder<CFArrayRef> ownedTitles(titles);
    const kvx::CFHolder<CFArrayRef> ownedValues(values);
    FUZZ_CHECK(titles != nullptr && values != nullptr, "a summary without its arrays");
    FUZZ_CHECK(CFArrayGetCount(titles) == CFArrayGetCount(values), "summary titles and values differ in number");
    for (CFIndex row = 0; row < CFArrayGetCount(titles); ++row)
        summary.rows.emplace_back(UnitsOf(static_cast<CFStringRef>(CFArrayGetValueAtIndex(titles, row))),
                                  UnitsOf(static_cast<CFStringRef>(CFArrayGetValueAtIndex(values, row))));
    return summary;
}

std::u16string FieldText(ControlRef field) {
    kvx::CFHolder<CFStringRef> text;
    if (GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof(CFStringRef), text.out(),
                       nullptr) != noErr ||
        !text)
        return {};
    return UnitsOf(text.get());
}

}  // namespace kvx::fuzz
