#include "print-dialogs/qt/pane-part/qt_print_dialog_tab.hpp"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <sstream>
#include <utility>

#include "print-dialogs/qt/pane-part/qt_tab_content.hpp"
#include "session/messages.hpp"
#include "session/tab/report.hpp"

namespace kvx::qt_print {

using session::Guarded;

namespace {

constexpr char kTabName[] = "kvx-print-tab";

void PostToQtMainLoop(std::function<void()> work) {
    QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection);
}

}  // namespace

QtPrintDialogTab::QtPrintDialogTab(QPrintDialog *dialog, session::QueueChecker &checker)
    : dialog_(dialog),
      printers_(dialog->findChild<QComboBox *>(QStringLiteral("printers"))),
      cupsQueues_(QPrinterInfo::availablePrinterNames()),
      runLoop_(new QTimer(this)),
      options_(dialog),
      lifecycle_(*this, checker, PostToQtMainLoop) {
    setObjectName(QLatin1String(kTabName));
    new QVBoxLayout(this);
    setParent(dialog);
    hide();
    if (printers_ == nullptr) {
        session::ReportProblem("this print dialog has no printer list; it goes on without the pane");
        return;
    }
    dialog->setOptionTabs({this});
    for (QWidget *ancestor = parentWidget(); ancestor != nullptr && tabs_ == nullptr; ancestor = ancestor->parentWidget()) {
        tabs_ = qobject_cast<QTabWidget *>(ancestor);
    }
    if (tabs_ == nullptr || tabs_->indexOf(this) < 0) {
        tabs_ = nullptr;
        session::ReportProblem("this print dialog shows no option tabs; it goes on without the pane");
        return;
    }
    tabs_->installEventFilter(this);
    runLoop_->setInterval(session::kRunLoopTickMilliseconds);
    QObject::connect(runLoop_, &QTimer::timeout, this, [this] { Guarded([this] { lifecycle_.OnRunLoopTick(); }); });
    QObject::connect(printers_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                     [this] { Guarded([this] { lifecycle_.OnPrinterSelected(); }); });
    QObject::connect(dialog, QOverload<QPrinter *>::of(&QPrintDialog::accepted), this, [this](QPrinter *printer) {
        Guarded([this, printer] { options_.Accept(printer, [this] { lifecycle_.OnResponse(true); }); });
    });
    lifecycle_.OnPrinterSelected();
}

// Also while the dialog goes, when the tab widget may be half gone: the
// lifecycle touches only the tab's own objects.
QtPrintDialogTab::~QtPrintDialogTab() {
    lifecycle_.Destroy();
}

QtPrintDialogTab *QtPrintDialogTab::Of(QPrintDialog *dialog) {
    return dynamic_cast<QtPrintDialogTab *>(dialog->findChild<QWidget *>(QLatin1String(kTabName)));
}

void QtPrintDialogTab::OnShown() {
    if (Attached()) lifecycle_.OnShown();
}

QtPrintDialogTab::SelectedPrinter QtPrintDialogTab::Selected() {
    if (!Attached()) return {};
    const QString printer = printers_->currentText();
    return {cupsQueues_.contains(printer) ? printer.toStdString() : std::string()};
}

std::unique_ptr<session::TabContent> QtPrintDialogTab::MakeContent(session::PaneSession &session,
                                                                   std::function<void()> afterAction) {
    auto content = std::make_unique<QtTabContent>(session, this, std::move(afterAction));
    layout()->addWidget(content->Widget());
    return content;
}

void QtPrintDialogTab::ShowInTab(session::TabContent &content, const std::string &title) {
    shownContent_ = static_cast<QtTabContent &>(content).Widget();
    for (QWidget *child : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        child->setVisible(child == shownContent_);
    }
    const int index = tabs_->indexOf(this);
    tabs_->setTabText(index, QString::fromStdString(title));
    tabs_->setTabVisible(index, true);
    ReportWhereShown();
}

void QtPrintDialogTab::HideTab() {
    shownContent_ = nullptr;
    whereShown_.clear();
    if (Attached()) tabs_->setTabVisible(tabs_->indexOf(this), false);
}

void QtPrintDialogTab::StartRunLoopTimer() {
    runLoop_->start();
}

void QtPrintDialogTab::StopRunLoopTimer() {
    runLoop_->stop();
}

bool QtPrintDialogTab::eventFilter(QObject *watched, QEvent *event) {
    if (watched == tabs_ && (event->type() == QEvent::Show || event->type() == QEvent::Resize)) ReportWhereShown();
    return false;
}

void QtPrintDialogTab::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    ReportWhereShown();
}

// Where the tab and the pane sit, for a person (or a test) looking at the dialog.
void QtPrintDialogTab::ReportWhereShown() {
    if (shownContent_ == nullptr || !tabs_->isVisible()) return;
    const QPoint tab = tabs_->tabBar()->mapTo(dialog_, tabs_->tabBar()->tabRect(tabs_->indexOf(this)).center());
    const QPoint pane = shownContent_->mapTo(dialog_, QPoint(0, 0));
    const std::string &queue = lifecycle_.SelectedQueue();
    std::ostringstream where;
    where << "tab of " << queue << " at " << tab.x() << ',' << tab.y() << " in the dialog";
    if (isVisible()) where << "; pane of " << queue << " at " << pane.x() << ',' << pane.y() << " in the dialog";
    if (where.str() != std::exchange(whereShown_, where.str())) session::ReportMessage(where.str());
}

}  // namespace kvx::qt_print
