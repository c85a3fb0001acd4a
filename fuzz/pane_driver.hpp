// The pane as the print dialog drives it, for the fuzz targets that reach the
// plug-in: the bundle is loaded once per process through the host's loader,
// and each input gets its own print job, dialog window and pane lifecycle.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "KVXHostSupport.hpp"
#include "pane_controls.hpp"

namespace kvx::fuzz {

using namespace kvx::pane_controls;

// The PDE interface's operations; aborts when the bundle does not load.
const PlugInIntfVTable &PaneOperations();

// The path of a PPD of the supported printer, valid for the process.
const std::string &SupportedPrinterPPD();

// A print session holding a print-settings ticket and a printer-info ticket
// bound to ppdPath, released together.
class PrintJob {
public:
    explicit PrintJob(const std::string &ppdPath);
    ~PrintJob();
    PrintJob(const PrintJob &) = delete;
    PrintJob &operator=(const PrintJob &) = delete;

    PMPrintSession session() const { return session_; }
    // The print-settings ticket's PPD dictionary, borrowed.
    CFMutableDictionaryRef ppdDict() const;

private:
    PMPrintSession session_ = nullptr;
    PMTicketRef printSettings_ = 0;
    PMTicketRef printerInfo_ = 0;
};

// A dialog window with the user pane that a pane is built into.
class DialogWindow {
public:
    DialogWindow();
    ~DialogWindow();
    DialogWindow(const DialogWindow &) = delete;
    DialogWindow &operator=(const DialogWindow &) = delete;

    ControlRef userPane() const { return userPane_; }
    // The pane's control of that ID in the dialog, or null.
    ControlRef control(SInt32 id) const;

private:
    WindowRef window_ = nullptr;
    ControlRef userPane_ = nullptr;
};

struct Summary {
    OSStatus status = noErr;
    std::vector<std::pair<std::u16string, std::u16string>> rows;
};

// One pane: Prologue and Initialize when made, Terminate when destroyed.
class Pane {
public:
    Pane(const PrintJob &job, const DialogWindow &dialog);
    ~Pane();
    Pane(const Pane &) = delete;
    Pane &operator=(const Pane &) = delete;

    OSStatus prologueStatus() const { return prologueStatus_; }
    OSStatus initializeStatus() const { return initializeStatus_; }
    OSStatus syncToTicket() const;
    OSStatus syncFromTicket() const;
    Summary summary() const;

private:
    const PrintJob &job_;
    PMPDEContext context_ = nullptr;
    OSStatus prologueStatus_ = noErr;
    OSStatus initializeStatus_ = noErr;
};

// A field's whole text, or "" when it cannot be read.
std::u16string FieldText(ControlRef field);

}  // namespace kvx::fuzz
