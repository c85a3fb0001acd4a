// A small print dialog for the pane's tests: it loads the plug-in as the
// dialog does, makes a print session with its two tickets and a dialog
// window with the pane's user pane, runs the pane's callbacks through the
// interface table and acts as a user on the pane's controls. Every test ends
// with the host's live-object count back where it started.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "KVXHostSupport.hpp"
#include "loaded_plugin.hpp"
#include "pane_controls.hpp"

namespace kvx::test {

using namespace kvx::pane_controls;
inline constexpr OSStatus kNoTicket = -30891;
inline constexpr OSStatus kNoMenu = -30870;

// Print-mode positions as the pane's interface file orders them.
inline constexpr SInt32 kNormal = 1;
inline constexpr SInt32 kProof = 2;
inline constexpr SInt32 kPrivate = 3;
inline constexpr SInt32 kZEL = 4;
inline constexpr SInt32 kZELP = 5;
inline constexpr SInt32 kSwitchOff = 1;
inline constexpr SInt32 kSwitchOn = 2;

// The sample PPD of the supported model.
std::string SupportedModelPPD();

// An interface file like the pane's own, with the orientation popup without
// its menu or left out.
struct NibOptions {
    bool orientationMenu = true;
    bool orientationPopup = true;
};
std::string MakeNib(const NibOptions &options);

// A scratch folder, removed with its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::filesystem::path &path() const { return path_; }
    // Writes text to name inside the folder; returns the file's path.
    std::string write(const std::string &name, std::string_view text) const;

private:
    std::filesystem::path path_;
};

// The built bundle copied into a plug-ins folder of its own, so that a test
// may change its resources.
class BundleCopy {
public:
    BundleCopy();
    std::string pluginsFolder() const { return folder_.path().string(); }
    void writeResource(const std::string &relativePath, std::string_view text) const;
    void removeResource(const std::string &relativePath) const;

private:
    TempFolder folder_;
    std::filesystem::path resources_;
};

struct Summary {
    OSStatus status = 0;
    std::vector<std::pair<std::string, std::string>> rows;
};

class PaneTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Each step may be run alone; Show() runs them all for the supported
    // printer and expects every callback to succeed.
    void Load(const std::string &pluginsFolder = KVX_PLUGINS_DIR);
    void OpenSession(const std::string &ppdPath = SupportedModelPPD());
    void OpenDialog(Rect content = {100, 100, 500, 700}, Rect pane = {20, 20, 220, 520});
    OSStatus Prologue();
    OSStatus Initialize();
    OSStatus Terminate();
    // Load, OpenSession and OpenDialog with their defaults.
    void Open(const std::string &pluginsFolder = KVX_PLUGINS_DIR, const std::string &ppdPath = SupportedModelPPD());
    void Show(const std::string &pluginsFolder = KVX_PLUGINS_DIR);
    void CloseSession();
    void CloseDialog();

    const PlugInIntfVTable &Table() const { return *plugIn_->pde()->vtable; }
    ControlRef Control(SInt32 id) const;
    WindowRef DialogWindow() const { return dialog_; }
    ControlRef UserPane() const { return userPane_; }
    PMPrintSession Session() const { return session_; }

    // The print-settings ticket's PPD dictionary.
    CFMutableDictionaryRef PPDDict() const;
    void SetTicketValue(std::string_view key, std::string_view value) const;
    // The value's text, or "<missing>", or "<not a string>".
    std::string TicketValue(std::string_view key) const;
    // The dictionary's keys in insertion order.
    std::vector<std::string> TicketKeys() const;
    OSStatus SyncToTicket() { return Table().Sync(context_, session_, false); }
    OSStatus SyncFromTicket() { return Table().Sync(context_, session_, true); }

    // A user's choice of a popup item: the value changes, then the command.
    void Choose(SInt32 id, SInt32 position) const;
    // Raw key-down events, one per UTF-16 unit.
    void Type(SInt32 id, std::u16string_view keys, UInt32 kind = kEventRawKeyDown) const;
    void SetText(SInt32 id, std::string_view text) const;
    std::string Text(SInt32 id) const;
    void Select(SInt32 id, SInt16 start, SInt16 end) const;
    bool Enabled(SInt32 id) const { return IsControlEnabled(Control(id)) != 0; }
    SInt32 Position(SInt32 id) const { return GetControl32BitValue(Control(id)); }
    Summary GetSummary() const;

    PMPDEContext context_ = nullptr;
    OSType creator_ = 0;
    CFStringRef kind_ = nullptr;
    kvx::CFHolder<CFStringRef> title_;
    UInt32 maxH_ = 0;
    UInt32 maxV_ = 0;
    PMPDEFlags flags_ = 0xFFFFFFFF;

private:
    CFIndex liveAtStart_ = 0;
    std::unique_ptr<kvx::test::LoadedPlugIn> plugIn_;
    bool terminated_ = true;
    PMPrintSession session_ = nullptr;
    PMTicketRef printSettings_ = 0;
    PMTicketRef printerInfo_ = 0;
    WindowRef dialog_ = nullptr;
    ControlRef userPane_ = nullptr;
};

}  // namespace kvx::test
