#include "bench_pane.hpp"

#include <cstdio>
#include <cstdlib>

namespace kvx::bench {
namespace {

constexpr OSType kPaneSignature = 'kvx ';
constexpr Rect kContentBounds{100, 100, 500, 700};
constexpr Rect kPaneBounds{20, 20, 220, 520};

[[noreturn]] void Fail(const char *what) {
    std::fprintf(stderr, "kvx-bench: %s\n", what);
    std::exit(1);
}

}  // namespace

const char *BenchPPDPath() {
    const char *chosen = std::getenv("KVX_BENCH_PPD");
    return chosen != nullptr && *chosen != '\0' ? chosen : KVX_SAMPLE_PPD;
}

BenchPane::BenchPane() {
    if (plugIn_.pde() == nullptr) Fail(("the plug-in did not load: " + plugIn_.errors()).c_str());
    printSettings_ = KVXTicketCreatePrintSettings();
    printerInfo_ = KVXTicketCreatePrinterInfo(BenchPPDPath());
    if (KVXPrintSessionCreate(&session_) != noErr || printSettings_ == 0 || printerInfo_ == 0 ||
        KVXSessionSetTicket(session_, CFSTR(kPDE_PMPrintSettingsRef), printSettings_) != noErr ||
        KVXSessionSetTicket(session_, CFSTR(kPDE_PMPrinterInfoRef), printerInfo_) != noErr)
        Fail("no print session");
    NewDialog();
}

BenchPane::~BenchPane() {
    if (open_) Close();
    if (dialog_ != nullptr) DisposeWindow(dialog_);
    CFRelease(session_);
    KVXTicketRelease(printSettings_);
    KVXTicketRelease(printerInfo_);
}

void BenchPane::NewDialog() {
    if (dialog_ != nullptr) DisposeWindow(dialog_);
    Rect content = kContentBounds;
    Rect pane = kPaneBounds;
    if (CreateNewWindow(kDocumentWindowClass, 0, &content, &dialog_) != noErr ||
        CreateUserPaneControl(dialog_, &pane, 0, &userPane_) != noErr)
        Fail("no dialog window");
}

OSStatus BenchPane::Open() {
    OSType creator = 0;
    CFStringRef kind = nullptr;
    CFStringRef title = nullptr;
    UInt32 maxH = 0;
    UInt32 maxV = 0;
    PMPDEFlags flags = 0;
    open_ = true;
    OSStatus status = table().Prologue(&context_, &creator, &kind, &title, &maxH, &maxV);
    if (title != nullptr) CFRelease(title);
    if (status == noErr) status = table().Initialize(context_, &flags, nullptr, userPane_, session_);
    return status;
}

OSStatus BenchPane::Close() {
    open_ = false;
    return table().Terminate(context_, noErr);
}

void BenchPane::Populate() {
    NewDialog();
    if (Open() != noErr) Fail("the pane did not open");
    Choose(kPrintModeID, 3);
    Choose(kDepartmentID, 2);
    KVXRunLoopRunOnce();
    SetText(kDINID, "42");
    SetText(kDCID, "305");
    if (Sync(false) != noErr) Fail("the pane did not sync");
}

ControlRef BenchPane::Control(SInt32 id) const {
    const ControlID controlID{kPaneSignature, id};
    ControlRef control = nullptr;
    if (GetControlByID(dialog_, &controlID, &control) != noErr) Fail("a control is missing");
    return control;
}

void BenchPane::SetText(SInt32 id, std::string_view text) const {
    const auto string = MakeString(text);
    const CFStringRef value = string.get();
    SetControlData(Control(id), kControlEntireControl, kControlEditTextCFStringTag, sizeof(value), &value);
    const auto end = static_cast<SInt16>(text.size());
    const ControlEditTextSelectionRec caret{end, end};
    SetControlData(Control(id), kControlEntireControl, kControlEditTextSelectionTag, sizeof(caret), &caret);
}

void BenchPane::Choose(SInt32 id, SInt32 position) const {
    SetControl32BitValue(Control(id), position);
    KVXSendCommandFromControl(Control(id), 0);
}

OSStatus BenchPane::Key(SInt32 id, UniChar key) const {
    return KVXSendKeyToControl(Control(id), kEventRawKeyDown, key, 0);
}

OSStatus BenchPane::Summary() {
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    const OSStatus status = table().GetSummaryText(context_, &titles, &values);
    if (titles != nullptr) CFRelease(titles);
    if (values != nullptr) CFRelease(values);
    return status;
}

}  // namespace kvx::bench
