#include "print-dialogs/qt/pane-part/qt_dialog_options.hpp"

#include <cups/ppd.h>

#include <QFormLayout>
#include <QPrintEngine>

#include <algorithm>

#include "session/messages.hpp"

Q_DECLARE_METATYPE(const ppd_option_t *)

namespace kvx::qt_print {
namespace {

// Qt's CUPS print engine sends these with the job, as pairs of option and
// value: QPrintEngine's private key PPK_CupsOptions.
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

QString FromUTF8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

bool QtDialogOptions::Holds(std::string_view key) const {
    return accepting_ != nullptr && (CupsOptions().contains(FromUTF8(key)) || AdvancedChoice(key).has_value());
}

// Before the dialog is accepted there is no job to write to: Qt makes its
// options then.
bool QtDialogOptions::Set(std::string_view key, std::string_view value) {
    if (accepting_ == nullptr) return true;
    QStringList options = CupsOptions();
    const QString name = FromUTF8(key);
    qsizetype index = 0;
    while (index + 1 < options.size() && options[index] != name) index += 2;
    if (index + 1 < options.size()) {
        options[index + 1] = FromUTF8(value);
    } else {
        options << name << FromUTF8(value);
    }
    accepting_->printEngine()->setProperty(kCupsOptionsProperty, options);
    return true;
}

std::string QtDialogOptions::Bind(const session::QueueAnswer &answer) {
    boundKeys_.clear();
    for (const session::OptionText &option : answer.options.texts) boundKeys_.insert(option.key);
    for (QWidget *properties : dialog_->findChildren<QWidget *>()) {
        if (properties->isWindow() && properties->inherits(kPropertiesDialogClass)) LeavePaneKeysToPane(properties);
    }
    return {};
}

std::optional<std::string> QtDialogOptions::Choice(const std::string &key) {
    return AdvancedChoice(key);
}

// What the dialog's Properties chose for the key, when they were opened.
std::optional<std::string> QtDialogOptions::AdvancedChoice(std::string_view key) const {
    for (QComboBox *combo : dialog_->findChildren<QComboBox *>()) {
        const ppd_option_t *option = PPDOptionOf(*combo);
        const int choice = combo->currentData().toInt();
        if (option != nullptr && key == option->keyword && choice >= 0 && choice < option->num_choices) {
            return option->choices[choice].choice;
        }
    }
    return std::nullopt;
}

void QtDialogOptions::Accept(QPrinter *printer, const std::function<void()> &respond) {
    accepting_ = printer;
    respond();
    accepting_ = nullptr;
}

void QtDialogOptions::OnPropertiesShown(QWidget *properties) {
    if (!boundKeys_.empty()) LeavePaneKeysToPane(properties);
}

QStringList QtDialogOptions::CupsOptions() const {
    return accepting_->printEngine()->property(kCupsOptionsProperty).toStringList();
}

// The Advanced tab shows a combo box for each of the pane's keys too: those
// rows go.
void QtDialogOptions::LeavePaneKeysToPane(QWidget *properties) const {
    const QList<QComboBox *> combos = properties->findChildren<QComboBox *>();
    const auto isPaneKey = [&](const QComboBox *combo) {
        const ppd_option_t *option = PPDOptionOf(*combo);
        return option != nullptr && boundKeys_.contains(option->keyword);
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
    session::ReportMessage("the Properties' Advanced shows " + std::to_string(shown) + " of the pane's options");
}

}  // namespace kvx::qt_print
