// The GTK print dialog's own option widgets as the store through which the
// pane's values reach the job (GTK builds the job's settings from them),
// built once per GTK version: the widget for each of the pane's keys is
// bound (hidden, with any group left empty, and its changes followed)
// while the pane is shown, and the DIN they show is reset as a printer is
// selected, since GTK has just filled them from the application's settings
// and the queue's defaults. A queue whose own PPD leaves the pane's options
// out but that forwards to a Korvane queue has no such widgets: the options
// are added to the dialog's own set instead (gtk_added_options.hpp).
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "print-dialogs/gtk-common/gtk_added_options.hpp"
#include "print-dialogs/gtk-common/gtk_option_widgets.hpp"
#include "session/tab/tab_toolkit.hpp"

namespace kvx::gtk_print {

class GtkDialogOptions final : public session::DialogOptions {
public:
    // changed: a bound option's new choice, as the dialog reports it.
    using ChoiceChanged = std::function<void(const std::string &key, const std::optional<std::string> &choice)>;
    GtkDialogOptions(GtkPrintUnixDialog *dialog, ChoiceChanged changed);
    ~GtkDialogOptions() override;
    GtkDialogOptions(const GtkDialogOptions &) = delete;
    GtkDialogOptions &operator=(const GtkDialogOptions &) = delete;

    DinReset WhenDinIsReset() const override { return DinReset::OnPrinterSelected; }
    bool Holds(std::string_view key) const override;
    bool Set(std::string_view key, std::string_view value) override;
    std::string Bind(const session::QueueAnswer &answer) override;
    void Unbind(bool restoreHidden) override;
    std::optional<std::string> Choice(const std::string &key) override;

private:
    // The bound option for the key, else the dialog's option of that name.
    std::optional<DialogOption> Find(std::string_view key) const;
    // For a forwarding queue: the pane's options added to the dialog's own.
    std::string AddOptions(const session::QueueAnswer &answer);

    static void OnChoiceChanged(GObject *choiceHolder, GtkDialogOptions *options);

    GtkPrintUnixDialog *dialog_;
    ChoiceChanged changed_;
    std::map<std::string, DialogOption, std::less<>> bound_;  // pane key -> the dialog's option, its parts referenced
    HiddenOptions hidden_;
    AddedOptions added_;
};

}  // namespace kvx::gtk_print
