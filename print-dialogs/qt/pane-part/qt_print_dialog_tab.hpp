// The pane's tab in one QPrintDialog: an option tab of the dialog (shown
// behind "Options >>") that holds the pane of the selected CUPS queue when
// the plug-in accepts its PPD. What happens when is the print session's tab
// lifecycle; this holds Qt's widgets and signals. Values reach the job only
// through the print engine's CUPS options, written when the dialog is
// accepted (qt_dialog_options.hpp).
#pragma once

#include <QComboBox>
#include <QPointer>
#include <QTabWidget>
#include <QWidget>

#include <memory>
#include <string>

#include "print-dialogs/qt/pane-part/qt_dialog_options.hpp"
#include "session/tab/tab_lifecycle.hpp"

class QPrintDialog;
class QPrinter;
class QTimer;

namespace kvx::qt_print {

// The tab's page, owned by the dialog once it is one of its option tabs; it
// holds everything kvx keeps for its dialog and lets it go first when the
// dialog goes, while the pane's widgets still exist.
class QtPrintDialogTab final : public QWidget, public session::TabToolkit {
public:
    // Adds the page to the dialog's option tabs; Attached() says whether
    // the dialog looked as expected.
    QtPrintDialogTab(QPrintDialog *dialog, session::QueueChecker &checker);
    ~QtPrintDialogTab() override;

    static QtPrintDialogTab *Of(QPrintDialog *dialog);
    bool Attached() const { return tabs_ != nullptr; }

    // A dialog shown again after a hide asks for a new print.
    void OnShown();
    void OnHidden() { lifecycle_.OnHidden(); }
    // A dialog of the print dialog's Properties was shown.
    void OnPropertiesShown(QWidget *properties) { options_.OnPropertiesShown(properties); }

private:
    SelectedPrinter Selected() override;
    session::DialogOptions &Options() override { return options_; }
    std::unique_ptr<session::TabContent> MakeContent(session::PaneSession &session,
                                                     std::function<void()> afterAction) override;
    void ShowInTab(session::TabContent &content, const std::string &title) override;
    void HideTab() override;
    void StartRunLoopTimer() override;
    void StopRunLoopTimer() override;

    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void ReportWhereShown();

    QPrintDialog *dialog_;
    QPointer<QComboBox> printers_;
    // The CUPS queues, as the dialog listed them when it was made: asking
    // CUPS again at each selection costs a dialog with hundreds of queues
    // a noticeable wait on every change.
    const QStringList cupsQueues_;
    QPointer<QTabWidget> tabs_;
    QTimer *runLoop_;
    QWidget *shownContent_ = nullptr;
    std::string whereShown_;
    QtDialogOptions options_;
    session::TabLifecycle lifecycle_;  // last: it uses all of the above
};

}  // namespace kvx::qt_print
