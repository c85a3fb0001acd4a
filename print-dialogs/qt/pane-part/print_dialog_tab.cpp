#include "print_dialog_tab.hpp"

#include <cups/ppd.h>

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <sstream>
#include <utility>

#include "KVXHost.h"
#include "cli/messages.hpp"
#include "core/din_policy.hpp"
#include "pane/pane_keys.hpp"
#include "core/report.hpp"
#include "qt/pane-view/pane_view.hpp"

Q_DECLARE_METATYPE(const ppd_option_t *)

namespace kvx::qt_print {

using print_dialogs::Guarded;

namespace {

constexpr int kRunLoopTickMilliseconds = 50;
constexpr int kSummarySpacing = 4;
constexpr int kSummaryColumnSpacing = 12;
constexpr char kTabName[] = "kvx-print-tab";

// Qt's CUPS print engine sends these with the job (cupsPrintFile), as
// pairs of option and value: QPrintEngine's private key PPK_CupsOptions,
// which the dialog's Properties fill when it is accepted.
constexpr auto kCupsOptionsProperty = static_cast<QPrintEngine::PrintEnginePropertyKey>(0xfe00);

// Each combo box of the Properties' Advanced tab carries the PPD option it
// shows, under this property and with this type, registered by its name
// (qprintdialog_unix.cpp declares it so too).
constexpr char kPPDOptionProperty[] = "_q_ppd_option";
constexpr char kPropertiesDialogClass[] = "QPrintPropertiesDialog";

// The PPD option an Advanced combo shows, else none.
const ppd_option_t *PPDOptionOf(const QComboBox &combo) {
    const QVariant value = combo.property(kPPDOptionProperty);
    if (value.userType() != qMetaTypeId<const ppd_option_t *>()) return nullptr;
    return qvariant_cast<const ppd_option_t *>(value);
}

void SetCupsOption(QStringList &options, const QString &key, const QString &value) {
    for (qsizetype index = 0; index + 1 < options.size(); index += 2) {
        if (options[index] == key) {
            options[index + 1] = value;
            return;
        }
    }
    options << key << value;
}

bool IsCupsQueue(const QString &printer) {
    return !printer.isEmpty() && QPrinterInfo::availablePrinterNames().contains(printer);
}

}  // namespace

QueuePane::QueuePane(const print_dialogs::QueueAnswer &answer, const std::string &plugInsFolder,
                     const print_dialogs::Choices &starting, QWidget *parent, std::function<void()> afterAction)
    : SessionPane(answer, plugInsFolder, starting), box_(new QWidget(parent)), summary_(new QWidget(box_)) {
    auto *layout = new QVBoxLayout(box_);
    view_ = std::make_unique<PaneView>(PaneWindow(), box_, std::move(afterAction));
    layout->addWidget(view_->Widget());
    layout->addWidget(summary_);
    layout->addStretch();
    auto *grid = new QGridLayout(summary_);
    grid->setVerticalSpacing(kSummarySpacing);
    grid->setHorizontalSpacing(kSummaryColumnSpacing);
    Redraw();
}

QueuePane::~QueuePane() {
    Dismiss(false);
    delete box_.data();
}

void QueuePane::Draw(const print_dialogs::SummaryRows &summary) {
    view_->Redraw();
    auto *grid = static_cast<QGridLayout *>(summary_->layout());
    while (QLayoutItem *cell = grid->takeAt(0)) {
        delete cell->widget();
        delete cell;
    }
    for (int row = 0; const auto &[title, value] : summary) {
        grid->addWidget(new QLabel(QString::fromStdString(title)), row, 0);
        grid->addWidget(new QLabel(QString::fromStdString(value)), row++, 1);
    }
}

void QueuePane::Undraw() {
    view_.reset();
}

PrintDialogTab::PrintDialogTab(QPrintDialog *dialog, std::string plugInsFolder)
    : dialog_(dialog),
      printers_(dialog->findChild<QComboBox *>(QStringLiteral("printers"))),
      runLoop_(new QTimer(this)),
      plugInsFolder_(std::move(plugInsFolder)),
      flow_(plugInsFolder_,
            [](std::function<void()> work) { QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection); },
            [this](const print_dialogs::QueueAnswer &answer) { ShowPane(answer); }) {
    setObjectName(QLatin1String(kTabName));
    new QVBoxLayout(this);
    setParent(dialog);
    hide();
    if (printers_ == nullptr) {
        print_dialogs::ReportProblem("this print dialog has no printer list; it goes on without the pane");
        return;
    }
    dialog->setOptionTabs({this});
    for (QWidget *ancestor = parentWidget(); ancestor != nullptr && tabs_ == nullptr; ancestor = ancestor->parentWidget()) {
        tabs_ = qobject_cast<QTabWidget *>(ancestor);
    }
    if (tabs_ == nullptr || tabs_->indexOf(this) < 0) {
        tabs_ = nullptr;
        print_dialogs::ReportProblem("this print dialog shows no option tabs; it goes on without the pane");
        return;
    }
    HideTab();
    tabs_->installEventFilter(this);
    runLoop_->setInterval(kRunLoopTickMilliseconds);
    QObject::connect(runLoop_, &QTimer::timeout, this, [this] {
        if (KVXRunLoopRunOnce() > 0) AfterPaneAction();
    });
    QObject::connect(printers_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                     [this] { Guarded([this] { OnPrinterSelected(); }); });
    QObject::connect(dialog, QOverload<QPrinter *>::of(&QPrintDialog::accepted), this,
                     [this](QPrinter *printer) { Guarded([this, printer] { OnAccepted(printer); }); });
    OnPrinterSelected();
}

PrintDialogTab::~PrintDialogTab() {
    flow_.Cancel();
    DismissPanes(false);
}

PrintDialogTab *PrintDialogTab::Of(QPrintDialog *dialog) {
    return dynamic_cast<PrintDialogTab *>(dialog->findChild<QWidget *>(QLatin1String(kTabName)));
}

void PrintDialogTab::OnShown() {
    if (!std::exchange(hidden_, false) || !Attached()) return;
    HideTab();
    DismissPanes(false);
    OnPrinterSelected();
}

void PrintDialogTab::OnPrinterSelected() {
    HideTab();
    shownPane_ = nullptr;
    const QString printer = printers_->currentText();
    flow_.SelectQueue(IsCupsQueue(printer) ? printer.toStdString() : std::string());
}

void PrintDialogTab::ShowPane(const print_dialogs::QueueAnswer &answer) {
    Guarded([&] {
        auto &pane = panes_[answer.queue];
        if (!pane) {
            try {
                pane = std::make_unique<QueuePane>(
                    answer, plugInsFolder_,
                    print_dialogs::StartingChoicesFor(answer, [this](const std::string &key) { return AdvancedChoice(key); }),
                    this, [this] { AfterPaneAction(); });
            } catch (...) {
                panes_.erase(answer.queue);
                flow_.PaneFailed(answer.queue);  // asked once per dialog
                throw;
            }
            layout()->addWidget(pane->Widget());
        }
        shownPane_ = pane.get();
        for (const auto &[queue, other] : panes_) other->Widget()->setVisible(other.get() == shownPane_);
        const int index = tabs_->indexOf(this);
        tabs_->setTabText(index, QString::fromStdString(shownPane_->Title()));
        tabs_->setTabVisible(index, true);
        runLoop_->start();
        for (QWidget *properties : dialog_->findChildren<QWidget *>()) {
            if (properties->isWindow() && properties->inherits(kPropertiesDialogClass)) LeavePaneKeysToPane(properties);
        }
        flow_.ReportTabShown(answer);
        ReportWhereShown();
    });
}

bool PrintDialogTab::eventFilter(QObject *watched, QEvent *event) {
    if (watched == tabs_ && (event->type() == QEvent::Show || event->type() == QEvent::Resize)) ReportWhereShown();
    return false;
}

void PrintDialogTab::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    ReportWhereShown();
}

// Where the tab and the pane sit, for a person (or a test) looking at the dialog.
void PrintDialogTab::ReportWhereShown() {
    if (shownPane_ == nullptr || !tabs_->isVisible()) return;
    const QPoint tab = tabs_->tabBar()->mapTo(dialog_, tabs_->tabBar()->tabRect(tabs_->indexOf(this)).center());
    const QPoint pane = shownPane_->Widget()->mapTo(dialog_, QPoint(0, 0));
    std::ostringstream where;
    where << "tab of " << flow_.SelectedQueue() << " at " << tab.x() << ',' << tab.y() << " in the dialog";
    if (isVisible()) where << "; pane of " << flow_.SelectedQueue() << " at " << pane.x() << ',' << pane.y() << " in the dialog";
    if (where.str() != std::exchange(whereShown_, where.str())) dialog::ReportMessage(where.str());
}

void PrintDialogTab::HideTab() {
    runLoop_->stop();
    whereShown_.clear();
    tabs_->setTabVisible(tabs_->indexOf(this), false);
}

void PrintDialogTab::AfterPaneAction() {
    Guarded([this] {
        KVXRunLoopRunOnce();
        if (shownPane_ != nullptr) shownPane_->Redraw();
    });
}

// The Advanced tab of the dialog's Properties shows a combo box for each of
// the pane's keys too: those rows go, so that the two never disagree, and
// the pane's values are what the job gets.
void PrintDialogTab::OnPropertiesShown(QWidget *properties) {
    if (shownPane_ != nullptr) LeavePaneKeysToPane(properties);
}

void PrintDialogTab::LeavePaneKeysToPane(QWidget *properties) {
    const print_dialogs::Choices choices = shownPane_->SyncToTicket();
    const QList<QComboBox *> combos = properties->findChildren<QComboBox *>();
    const auto isPaneKey = [&](const QComboBox *combo) {
        const ppd_option_t *option = PPDOptionOf(*combo);
        return option != nullptr && choices.contains(option->keyword);
    };
    for (QComboBox *combo : combos) {
        if (!isPaneKey(combo)) continue;
        QWidget *row = combo->parentWidget();
        auto *form = qobject_cast<QFormLayout *>(row->parentWidget()->layout());
        if (form != nullptr && form->labelForField(row) != nullptr) form->labelForField(row)->hide();
        row->hide();
    }
    // Within its group: the Advanced tab itself is hidden behind another.
    const auto shown = std::ranges::count_if(combos, [&](const QComboBox *combo) {
        return isPaneKey(combo) && combo->isVisibleTo(combo->parentWidget()->parentWidget());
    });
    dialog::ReportMessage("the Properties' Advanced shows " + std::to_string(shown) + " of the pane's options");
}

// What the dialog's Properties chose for the key, when they were opened.
std::optional<std::string> PrintDialogTab::AdvancedChoice(const std::string &key) const {
    for (QComboBox *combo : dialog_->findChildren<QComboBox *>()) {
        const ppd_option_t *option = PPDOptionOf(*combo);
        const int choice = combo->currentData().toInt();
        if (option != nullptr && key == option->keyword && choice >= 0 && choice < option->num_choices) {
            return option->choices[choice].choice;
        }
    }
    return std::nullopt;
}

// The dialog has set the printer up from its own widgets (the Properties'
// choices that differ from the PPD's defaults): the pane's keys are the
// pane's. Without a pane (its check had not answered yet), a queue whose
// PPD has the DIN gets it as 0 all the same, whatever the user's or the
// queue's defaults say.
void PrintDialogTab::OnAccepted(QPrinter *printer) {
    QPrintEngine *engine = printer->printEngine();
    QStringList options = engine->property(kCupsOptionsProperty).toStringList();
    if (shownPane_ != nullptr) {
        for (const auto &[key, choice] : shownPane_->SyncToTicket()) {
            SetCupsOption(options, QString::fromStdString(key), QString::fromStdString(choice));
        }
    } else {
        const std::string_view digit = print_dialogs::kDINStartingDigit;
        for (const std::string_view key : dialog::kSecretPaneKeys) {
            const QString ppdKey = QString::fromUtf8(key.data(), static_cast<int>(key.size()));
            if (options.contains(ppdKey) || AdvancedChoice(std::string(key))) {
                SetCupsOption(options, ppdKey, QString::fromUtf8(digit.data(), static_cast<int>(digit.size())));
            }
        }
    }
    engine->setProperty(kCupsOptionsProperty, options);
    DismissPanes(true);
}

// Also called while the dialog goes, when the tab widget may be half gone:
// only the tab's own objects are touched.
void PrintDialogTab::DismissPanes(bool accepted) {
    runLoop_->stop();
    for (auto &[queue, pane] : panes_) pane->Dismiss(accepted && pane.get() == shownPane_);
    shownPane_ = nullptr;
    panes_.clear();
}

}  // namespace kvx::qt_print
