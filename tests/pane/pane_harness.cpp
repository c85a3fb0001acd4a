#include "pane_harness.hpp"

#include <fstream>
#include <random>

namespace kvx::test {
using kvx::ToUTF8;

std::string SupportedModelPPD() { return std::string(KVX_SOURCE_DIR) + "/resources/ppd/korvane-rm4750.ppd"; }

std::string MakeNib(const NibOptions &options) {
    const auto popup = [](int id, int top, bool withMenu, std::string_view items) {
        return "<control kind=\"popup\" signature=\"kvx \" id=\"" + std::to_string(id) + "\" top=\"" +
               std::to_string(top) + "\" left=\"150\" bottom=\"" + std::to_string(top + 20) + "\" right=\"300\"" +
               (withMenu ? ">" + std::string(items) : " menu=\"none\">") + "</control>\n";
    };
    std::string nib = R"(<?xml version="1.0" encoding="UTF-8"?>
<nib><window name="Window" title="Test Options" width="460" height="130">
<control kind="userpane" signature="kvx " id="1" top="0" left="0" bottom="130" right="460">
<control kind="edittext" signature="kvx " id="6" top="20" left="360" bottom="38" right="430"/>
<control kind="edittext" signature="kvx " id="8" top="54" left="360" bottom="72" right="430"/>
)";
    nib += popup(5, 18, true, "<item>Normal</item><item>Proof</item><item>Private</item><item>ZEL</item><item>ZELP</item>");
    nib += popup(7, 52, true, "<item>Off</item><item>On</item>");
    if (options.orientationPopup)
        nib += popup(9, 86, options.orientationMenu, "<item>Portrait</item><item>Landscape</item>");
    return nib + "</control></window></nib>\n";
}

TempFolder::TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("kvx-pane-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::write(const std::string &name, std::string_view text) const {
    const auto file = path_ / name;
    std::ofstream(file, std::ios::binary) << text;
    return file.string();
}

BundleCopy::BundleCopy() {
    const auto bundle = folder_.path() / "KVXPDE.plugin";
    std::filesystem::copy(KVX_BUNDLE_DIR, bundle, std::filesystem::copy_options::recursive);
    resources_ = bundle / "Contents" / "Resources";
}

void BundleCopy::writeResource(const std::string &relativePath, std::string_view text) const {
    std::ofstream(resources_ / relativePath, std::ios::binary | std::ios::trunc) << text;
}

void BundleCopy::removeResource(const std::string &relativePath) const {
    std::filesystem::remove(resources_ / relativePath);
}

void PaneTest::SetUp() {
    KVXHostClearFaults();
    liveAtStart_ = KVXHostGetLiveObjectCount(0);
}

void PaneTest::TearDown() {
    if (!terminated_) Terminate();
    KVXHostClearFaults();
    title_.reset();
    CloseDialog();
    CloseSession();
    plugIn_.reset();
    if (KVXHostGetLiveObjectCount(0) != liveAtStart_) KVXHostShowLiveObjects();
    EXPECT_EQ(KVXHostGetLiveObjectCount(0), liveAtStart_) << "the pane's lifecycle left host objects behind";
}

void PaneTest::Load(const std::string &pluginsFolder) {
    plugIn_ = std::make_unique<kvx::test::LoadedPlugIn>(pluginsFolder);
    ASSERT_TRUE(plugIn_->loaded()) << plugIn_->errors();
    ASSERT_NE(plugIn_->pde(), nullptr) << "no PDE interface in " << pluginsFolder;
}

void PaneTest::CloseSession() {
    if (session_ != nullptr) CFRelease(session_);
    if (printSettings_ != 0) KVXTicketRelease(printSettings_);
    if (printerInfo_ != 0) KVXTicketRelease(printerInfo_);
    session_ = nullptr;
    printSettings_ = printerInfo_ = 0;
}

void PaneTest::CloseDialog() {
    if (dialog_ != nullptr) DisposeWindow(dialog_);
    dialog_ = nullptr;
    userPane_ = nullptr;
}

void PaneTest::OpenSession(const std::string &ppdPath) {
    CloseSession();
    ASSERT_EQ(KVXPrintSessionCreate(&session_), noErr);
    printSettings_ = KVXTicketCreatePrintSettings();
    printerInfo_ = KVXTicketCreatePrinterInfo(ppdPath.c_str());
    ASSERT_NE(printSettings_, 0u);
    ASSERT_NE(printerInfo_, 0u);
    ASSERT_EQ(KVXSessionSetTicket(session_, CFSTR(kPDE_PMPrintSettingsRef), printSettings_), noErr);
    ASSERT_EQ(KVXSessionSetTicket(session_, CFSTR(kPDE_PMPrinterInfoRef), printerInfo_), noErr);
}

void PaneTest::OpenDialog(Rect content, Rect pane) {
    CloseDialog();
    ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, 0, &content, &dialog_), noErr);
    ASSERT_EQ(CreateUserPaneControl(dialog_, &pane, 0, &userPane_), noErr);
}

OSStatus PaneTest::Prologue() {
    terminated_ = false;
    return Table().Prologue(&context_, &creator_, &kind_, title_.out(), &maxH_, &maxV_);
}

OSStatus PaneTest::Initialize() { return Table().Initialize(context_, &flags_, nullptr, userPane_, session_); }

OSStatus PaneTest::Terminate() {
    terminated_ = true;
    return Table().Terminate(context_, noErr);
}

void PaneTest::Open(const std::string &pluginsFolder, const std::string &ppdPath) {
    ASSERT_NO_FATAL_FAILURE(Load(pluginsFolder));
    ASSERT_NO_FATAL_FAILURE(OpenSession(ppdPath));
    ASSERT_NO_FATAL_FAILURE(OpenDialog());
}

void PaneTest::Show(const std::string &pluginsFolder) {
    ASSERT_NO_FATAL_FAILURE(Open(pluginsFolder));
    ASSERT_EQ(Prologue(), noErr);
    ASSERT_EQ(Initialize(), noErr);
}

ControlRef PaneTest::Control(SInt32 id) const {
    const ControlID controlID{kPaneSignature, id};
    ControlRef control = nullptr;
    EXPECT_EQ(GetControlByID(dialog_, &controlID, &control), noErr) << "no control " << id << " in the dialog";
    return control;
}

CFMutableDictionaryRef PaneTest::PPDDict() const {
    CFMutableDictionaryRef dict = nullptr;
    EXPECT_EQ(PMTicketGetPPDDict(printSettings_, 0, 0, &dict), noErr);
    return dict;
}

void PaneTest::SetTicketValue(std::string_view key, std::string_view value) const {
    const auto keyString = kvx::MakeString(key);
    const auto valueString = kvx::MakeString(value);
    CFDictionarySetValue(PPDDict(), keyString.get(), valueString.get());
}

std::string PaneTest::TicketValue(std::string_view key) const {
    const auto keyString = kvx::MakeString(key);
    const CFTypeRef value = CFDictionaryGetValue(PPDDict(), keyString.get());
    if (value == nullptr) return "<missing>";
    if (CFGetTypeID(value) != CFStringGetTypeID()) return "<not a string>";
    return ToUTF8(static_cast<CFStringRef>(value));
}

std::vector<std::string> PaneTest::TicketKeys() const {
    std::vector<std::string> keys;
    CFDictionaryApplyFunction(
        PPDDict(),
        [](const void *key, const void *, void *context) {
            static_cast<std::vector<std::string> *>(context)->push_back(ToUTF8(static_cast<CFStringRef>(key)));
        },
        &keys);
    return keys;
}

void PaneTest::Choose(SInt32 id, SInt32 position) const {
    SetControl32BitValue(Control(id), position);
    EXPECT_EQ(KVXSendCommandFromControl(Control(id), 0), eventNotHandledErr);
}

void PaneTest::Type(SInt32 id, std::u16string_view keys, UInt32 kind) const {
    for (const char16_t key : keys) KVXSendKeyToControl(Control(id), kind, key, 0);
}

void PaneTest::SetText(SInt32 id, std::string_view text) const {
    const auto string = kvx::MakeString(text);
    const CFStringRef value = string.get();
    ASSERT_EQ(SetControlData(Control(id), kControlEntireControl, kControlEditTextCFStringTag, sizeof(value), &value),
              noErr);
}

std::string PaneTest::Text(SInt32 id) const {
    kvx::CFHolder<CFStringRef> text;
    EXPECT_EQ(GetControlData(Control(id), kControlEntireControl, kControlEditTextCFStringTag, sizeof(CFStringRef),
                             text.out(), nullptr),
              noErr);
    return ToUTF8(text.get());
}

void PaneTest::Select(SInt32 id, SInt16 start, SInt16 end) const {
    const ControlEditTextSelectionRec selection{start, end};
    ASSERT_EQ(SetControlData(Control(id), kControlEntireControl, kControlEditTextSelectionTag, sizeof(selection),
                             &selection),
              noErr);
}

Summary PaneTest::GetSummary() const {
    Summary summary;
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    summary.status = Table().GetSummaryText(context_, &titles, &values);
    if (summary.status != noErr) {
        EXPECT_EQ(titles, nullptr) << "a failed summary handed out its titles";
        EXPECT_EQ(values, nullptr) << "a failed summary handed out its values";
        return summary;
    }
    const kvx::CFHolder<CFArrayRef> ownedTitles(titles);
    const kvx::CFHolder<CFArrayRef> ownedValues(values);
    EXPECT_EQ(CFArrayGetCount(titles), CFArrayGetCount(values));
    for (CFIndex row = 0; row < CFArrayGetCount(titles) && row < CFArrayGetCount(values); ++row) {
        summary.rows.emplace_back(ToUTF8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(titles, row))),
                                  ToUTF8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(values, row))));
    }
    return summary;
}

}  // namespace kvx::test
