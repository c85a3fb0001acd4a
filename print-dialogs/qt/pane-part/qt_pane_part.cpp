// kvx-print's pane part for Qt, built once per Qt major version and loaded
// by the print-support plug-in when the first print dialog is shown: every
// QPrintDialog of the application gets the Korvane pane as an option tab
// for the CUPS queues whose PPD the plug-in accepts. Dialogs are found
// through an application event filter (no class is patched) and the
// plug-in bundle relative to where this library is installed.
#include <QApplication>
#include <QLoggingCategory>
#include <QPrintDialog>

#include <iostream>
#include <string>
#include <string_view>

#include "KVXHost.h"
#include "print-dialogs/qt/pane-part/qt_print_dialog_tab.hpp"
#include "print-dialogs/qt/plugin/qt_pane_part.h"
#include "session/messages.hpp"
#include "session/tab/plugins_folder.hpp"
#include "session/tab/report.hpp"

namespace kvx::qt_print {
namespace {

using session::Guarded;

// Installed in PREFIX/LIBDIR/kvx, with the bundle in PREFIX/LIBDIR/kvx/PlugIns.
constexpr const char *kInstalledPlugInsFromPanePart = KVX_INSTALLED_PLUGINS_FROM_PANE_PART;

// QT_LOGGING_RULES='kvx.print.debug=true' shows what the plug-in and the
// print session say for people; it goes to stdout, as GLib's debug log
// does, so that stderr holds only kvx-print's faults.
Q_LOGGING_CATEGORY(kDebugLog, "kvx.print", QtInfoMsg)

void ShowInDebugLog(std::string_view text) {
    if (kDebugLog().isDebugEnabled()) std::cout << "kvx-print-DEBUG: " << text << std::endl;
}

class DialogWatcher final : public QObject {
public:
    explicit DialogWatcher(std::string plugInsFolder) : checker_(std::move(plugInsFolder), session::SchedulerPPDs()) {}

    void Shown(QPrintDialog *dialog) {
        Guarded([&] {
            if (QtPrintDialogTab *tab = QtPrintDialogTab::Of(dialog)) return tab->OnShown();
            new QtPrintDialogTab(dialog, checker_);  // owned by the dialog
        });
    }

private:
    bool eventFilter(QObject *watched, QEvent *event) override {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Show && type != QEvent::Hide) || !watched->isWidgetType()) return false;
        if (auto *dialog = qobject_cast<QPrintDialog *>(watched)) {
            if (type == QEvent::Show) {
                Shown(dialog);
            } else if (QtPrintDialogTab *tab = QtPrintDialogTab::Of(dialog)) {
                tab->OnHidden();
            }
        } else if (type == QEvent::Show && static_cast<QWidget *>(watched)->isWindow()) {
            // The dialog's Properties, a window of its own over the dialog.
            auto *owner = qobject_cast<QPrintDialog *>(static_cast<QWidget *>(watched)->parentWidget());
            QtPrintDialogTab *tab = owner != nullptr ? QtPrintDialogTab::Of(owner) : nullptr;
            if (tab != nullptr) Guarded([&] { tab->OnPropertiesShown(static_cast<QWidget *>(watched)); });
        }
        return false;
    }

    // One for the process: its answers serve every print dialog of the application.
    session::QueueChecker checker_;
};

}  // namespace
}  // namespace kvx::qt_print

extern "C" __attribute__((visibility("default"))) void kvx_print_qt_pane_part_start(QPrintDialog *firstDialog) {
    using namespace kvx::qt_print;
    static_assert(std::is_same_v<decltype(&kvx_print_qt_pane_part_start), KVXPrintQtPanePartStart>);
    KVXHostSetShowSink([](const char *text) { ShowInDebugLog(text); });
    kvx::session::SetMessageSink(ShowInDebugLog);
    auto *watcher = new DialogWatcher(
        kvx::session::FindPlugInsFolder(kInstalledPlugInsFromPanePart, KVX_BUILD_PLUGINS_DIR));
    watcher->setParent(qApp);
    qApp->installEventFilter(watcher);
    watcher->Shown(firstDialog);
}
