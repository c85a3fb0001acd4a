// The Qt print dialog's store of the job's options: the print engine's CUPS
// options, which Qt's CUPS support sends with the job (cupsPrintFile) and
// fills from the dialog's Properties when the dialog is accepted. So the
// pane's values are written, and the DIN of a dialog without a pane reset,
// only then; meanwhile the Advanced tab of the Properties leaves the pane's
// keys to the pane, so that the two never disagree.
#pragma once

#include <QComboBox>
#include <QPrintDialog>
#include <QPrinter>

#include <functional>
#include <optional>
#include <set>
#include <string>

#include "session/tab/tab_toolkit.hpp"

namespace kvx::qt_print {

class QtDialogOptions final : public session::DialogOptions {
public:
    explicit QtDialogOptions(QPrintDialog *dialog) : dialog_(dialog) {}

    DinReset WhenDinIsReset() const override { return DinReset::OnAcceptedWithoutPane; }
    bool Holds(std::string_view key) const override;
    bool Set(std::string_view key, std::string_view value) override;
    std::string Bind(const session::QueueAnswer &answer) override;
    void Unbind(bool) override { boundKeys_.clear(); }
    std::optional<std::string> Choice(const std::string &key) override;

    // The dialog was accepted for the printer: what `respond` writes (the
    // pane's values, or the DIN's reset) goes into its job's options.
    void Accept(QPrinter *printer, const std::function<void()> &respond);
    // A dialog of the print dialog's Properties was shown.
    void OnPropertiesShown(QWidget *properties);

private:
    QStringList CupsOptions() const;
    std::optional<std::string> AdvancedChoice(std::string_view key) const;
    void LeavePaneKeysToPane(QWidget *properties) const;

    QPrintDialog *dialog_;
    QPrinter *accepting_ = nullptr;     // while the dialog is being accepted
    std::set<std::string> boundKeys_;   // the shown pane's keys
};

}  // namespace kvx::qt_print
