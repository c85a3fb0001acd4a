// A print dialog that does not look as the Qt tab expects keeps its own
// shape. (What the tab does in a real dialog, its labels for screen readers
// and its keys are the Qt application tests', tests/accessibility's and
// tests/wayland's.)
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>

#include <algorithm>

#include "print-dialogs/qt/pane-part/qt_print_dialog_tab.hpp"

namespace {

struct OffscreenApplication {
    bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");  // before the application reads it
    int argc = 1;
    char name[16] = "pane_view_test";
    char *argv[2] = {name, nullptr};
    QApplication application{argc, argv};
};

// A dialog laid out otherwise than the tab expects (another Qt) stays as it
// is, and says so in one line.
TEST(QtPrintDialogTab, ADialogWithoutItsPrinterListIsLeftAloneWithOneLine) {
    OffscreenApplication application;
    QPrinter printer;
    QPrintDialog dialog(&printer);
    dialog.findChild<QComboBox *>(QStringLiteral("printers"))->setObjectName(QStringLiteral("renamed"));
    testing::internal::CaptureStderr();
    kvx::session::QueueChecker checker(KVX_PLUGINS_DIR, kvx::session::SchedulerPPDs());
    const auto *tab = new kvx::qt_print::QtPrintDialogTab(&dialog, checker);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(tab->Attached());
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    EXPECT_EQ(said.rfind("kvx-print: ", 0), 0U) << said;
    EXPECT_EQ(dialog.findChildren<QTabWidget *>().size(), 1);  // the options' tabs, with none added
    EXPECT_EQ(dialog.findChild<QTabWidget *>()->count(), 2);
}

}  // namespace
