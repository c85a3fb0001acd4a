// BenchPane: the built plug-in loaded once, a print session for the sample
// PPD and a dialog window, with the pane's callbacks and a user's key at hand.
#pragma once

#include "KVXHostSupport.hpp"
#include "loaded_plugin.hpp"

namespace kvx::bench {

inline constexpr SInt32 kPrintModeID = 5;
inline constexpr SInt32 kDINID = 6;
inline constexpr SInt32 kDepartmentID = 7;
inline constexpr SInt32 kDCID = 8;

// The PPD that every scenario uses: $KVX_BENCH_PPD, else the sample PPD.
const char *BenchPPDPath();

class BenchPane {
public:
    BenchPane();
    ~BenchPane();
    BenchPane(const BenchPane &) = delete;
    BenchPane &operator=(const BenchPane &) = delete;

    // A fresh dialog window with an empty user pane, the previous one gone.
    void NewDialog();
    // Prologue + Initialize, then Terminate: each returns its status.
    OSStatus Open();
    OSStatus Close();

    // Opens the pane and sets it as a user would: Private with DIN 42, the
    // department switch on with DC 305.
    void Populate();

    ControlRef Control(SInt32 id) const;
    void SetText(SInt32 id, std::string_view text) const;
    void Choose(SInt32 id, SInt32 position) const;
    OSStatus Key(SInt32 id, UniChar key) const;

    OSStatus Sync(Boolean fromTicket) { return table().Sync(context_, session_, fromTicket); }
    OSStatus Summary();

private:
    const PlugInIntfVTable &table() { return *plugIn_.pde()->vtable; }

    test::LoadedPlugIn plugIn_;
    PMPrintSession session_ = nullptr;
    PMTicketRef printSettings_ = 0;
    PMTicketRef printerInfo_ = 0;
    WindowRef dialog_ = nullptr;
    ControlRef userPane_ = nullptr;
    PMPDEContext context_ = nullptr;
    bool open_ = false;
};

}  // namespace kvx::bench
