// The pane as Qt widgets over the plug-in's real pane (loaded by its
// registration), driven with key events as xcb delivers them: the labels
// name the controls for screen readers, the pane's rules decide what a
// field takes and when it is enabled, and Tab and Shift+Tab move the focus;
// and a print dialog that does not look as expected keeps its own shape.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "KVXHost.h"
#include "print-dialogs/qt/pane-part/qt_print_dialog_tab.hpp"
#include "print-dialogs/qt/pane-part/qt_tab_content.hpp"

namespace {

using kvx::session::FetchedPPD;
using kvx::session::QueueAnswer;

constexpr quint32 kKeyTab = 0xff09;
constexpr quint32 kKeyISOLeftTab = 0xfe20;

QueueAnswer KorvaneAnswer() {
    std::ifstream file(KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd");
    std::ostringstream bytes;
    bytes << file.rdbuf();
    QueueAnswer answer;
    answer.queue = "korvane";
    answer.ppd = std::make_shared<FetchedPPD>(answer.queue, bytes.str());
    answer.paneApplies = true;
    answer.options = kvx::session::ReadPaneOptions(answer.ppd->path());
    return answer;
}

// A key as the xcb platform gives it: the X keysym and the text it types.
void Press(QWidget *target, int key, quint32 keysym, const QString &text, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, 0, keysym, 0, text);
    QApplication::sendEvent(target, &press);
    QApplication::processEvents();
}

void TypeCharacters(QWidget *target, const QString &characters) {
    for (const QChar character : characters) {
        Press(target, character.toUpper().unicode(), character.unicode(), QString(character));
    }
}

// The pane's rules are re-applied by a run-loop timer shortly after a command.
template <typename Condition>
bool Eventually(Condition condition) {
    for (int turn = 0; turn < 100 && !condition(); ++turn) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        KVXRunLoopRunOnce();
        QApplication::processEvents();
    }
    return condition();
}

struct OffscreenApplication {
    bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");  // before the application reads it
    int argc = 1;
    char name[16] = "pane_view_test";
    char *argv[2] = {name, nullptr};
    QApplication application{argc, argv};
};

TEST(QtPaneView, LabelsNameTheControlsAndTheKeysFollowThePanesRules) {
    OffscreenApplication application;
    QWidget window;
    kvx::session::PaneSession pane(KorvaneAnswer(), KVX_PLUGINS_DIR, {});
    kvx::qt_print::QtTabContent *shown = nullptr;
    kvx::qt_print::QtTabContent content(pane, &window, [&] {
        KVXRunLoopRunOnce();
        shown->Draw(pane.Summary());
    });
    shown = &content;
    window.show();
    QApplication::setActiveWindow(&window);

    const QList<QComboBox *> popups = window.findChildren<QComboBox *>();
    const QList<QLineEdit *> fields = window.findChildren<QLineEdit *>();
    ASSERT_EQ(popups.size(), 3);
    ASSERT_EQ(fields.size(), 2);
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->buddy() == nullptr) continue;
        EXPECT_FALSE(label->buddy()->accessibleName().isEmpty());
        EXPECT_TRUE(label->text().startsWith(label->buddy()->accessibleName())) << label->text().toStdString();
    }
    QComboBox *printMode = popups[0];
    QLineEdit *din = fields[0];
    EXPECT_EQ(din->accessibleName(), QStringLiteral("DIN"));
    EXPECT_FALSE(din->isEnabled());  // until Private is chosen

    const int privateMode = printMode->findText(QStringLiteral("Private"), Qt::MatchStartsWith);
    ASSERT_GE(privateMode, 0);
    printMode->setCurrentIndex(privateMode);
    Q_EMIT printMode->activated(privateMode);
    ASSERT_TRUE(Eventually([&] { return din->isEnabled(); }));

    // A click into the DIN while it holds its zeros selects them, so typing replaces them.
    printMode->setFocus(Qt::OtherFocusReason);
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(din, &click);
    ASSERT_EQ(QApplication::focusWidget(), din);
    EXPECT_TRUE(Eventually([&] { return din->selectedText() == din->text() && din->text() == QStringLiteral("00000"); }));
    TypeCharacters(din, QStringLiteral("4x82139"));
    EXPECT_EQ(din->text(), QStringLiteral("48213"));
    EXPECT_EQ(pane.SyncToTicket().at("DINDigit5"), "3");

    // The pane passes Tab and Shift+Tab on: the focus leaves the field both ways.
    Press(din, Qt::Key_Backtab, kKeyISOLeftTab, {}, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), printMode);
    din->setFocus(Qt::OtherFocusReason);
    Press(din, Qt::Key_Tab, kKeyTab, QStringLiteral("\t"));
    EXPECT_NE(QApplication::focusWidget(), din);
}

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
