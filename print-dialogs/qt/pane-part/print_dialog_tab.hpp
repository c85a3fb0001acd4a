// The pane's tab in one QPrintDialog: an option tab of the dialog (shown
// behind "Options >>") that holds the pane of the selected CUPS queue when
// the plug-in accepts its PPD. The queue check, the answers and the panes'
// sessions are the core's; this file holds Qt's widgets and signals. Values
// reach the job only through the print engine's CUPS options, written when
// the dialog is accepted; the Advanced tab of the dialog's Properties
// leaves the pane's keys to the pane.
#pragma once

#include <QComboBox>
#include <QPointer>
#include <QTabWidget>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/dialog_flow.hpp"
#include "core/queue_pane_session.hpp"

class QPrintDialog;
class QPrinter;
class QTimer;

namespace kvx::qt_print {

class PaneView;

// A queue's session pane drawn as Qt widgets, with its summary underneath.
class QueuePane final : public print_dialogs::SessionPane {
public:
    // Throws std::exception when the pane cannot be shown.
    QueuePane(const print_dialogs::QueueAnswer &answer, const std::string &plugInsFolder,
              const print_dialogs::Choices &starting, QWidget *parent, std::function<void()> afterAction);
    ~QueuePane() override;
    QueuePane(const QueuePane &) = delete;
    QueuePane &operator=(const QueuePane &) = delete;

    QWidget *Widget() const { return box_; }

private:
    bool IsDrawn() const override { return view_ != nullptr; }
    void Draw(const print_dialogs::SummaryRows &summary) override;
    void Undraw() override;

    QPointer<QWidget> box_;
    QWidget *summary_;
    std::unique_ptr<PaneView> view_;
};

// The tab's page, owned by the dialog once it is one of its option tabs; it
// holds everything kvx keeps for its dialog and lets it go first when the
// dialog goes, while the pane's widgets still exist.
class PrintDialogTab final : public QWidget {
public:
    // Adds the page to the dialog's option tabs; Attached() says whether
    // the dialog looked as expected.
    PrintDialogTab(QPrintDialog *dialog, std::string plugInsFolder);
    ~PrintDialogTab() override;

    static PrintDialogTab *Of(QPrintDialog *dialog);
    bool Attached() const { return tabs_ != nullptr; }

    // A dialog shown again after a hide asks for a new print: the panes
    // start over. A show without a hide before it is the first show seen twice.
    void OnShown();
    void OnHidden() { hidden_ = true; }
    // A dialog of the print dialog's Properties was shown.
    void OnPropertiesShown(QWidget *properties);

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void ReportWhereShown();
    void OnPrinterSelected();
    void ShowPane(const print_dialogs::QueueAnswer &answer);
    void HideTab();
    void AfterPaneAction();
    void OnAccepted(QPrinter *printer);
    void LeavePaneKeysToPane(QWidget *properties);
    std::optional<std::string> AdvancedChoice(const std::string &key) const;
    void DismissPanes(bool accepted);

    QPrintDialog *dialog_;
    QPointer<QComboBox> printers_;
    QPointer<QTabWidget> tabs_;
    QTimer *runLoop_;
    std::string plugInsFolder_;
    std::map<std::string, std::unique_ptr<QueuePane>> panes_;
    QueuePane *shownPane_ = nullptr;
    std::string whereShown_;
    bool hidden_ = false;
    print_dialogs::PrintDialogFlow flow_;  // last: its answers may use all of the above
};

}  // namespace kvx::qt_print
