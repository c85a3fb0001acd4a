#include "print-dialogs/qt/pane-view/qt_pane_view.hpp"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>
#include <string>

#include "session/controls/text_offsets.hpp"

namespace kvx::qt_print {

using session::ControlKind;
using session::ControlLayout;
using session::ControlValue;

namespace {

QWidget *MakeWidget(const ControlLayout &layout, QWidget *parent) {
    switch (layout.kind) {
        case ControlKind::Popup: {
            auto *combo = new QComboBox(parent);
            for (const std::string &item : layout.items) combo->addItem(QString::fromStdString(item));
            return combo;
        }
        case ControlKind::Field:
            return new QLineEdit(parent);
        case ControlKind::Label:
            return new QLabel(QString::fromStdString(layout.title), parent);
    }
    return nullptr;
}

// Qt counts text positions in UTF-16 units, the presenter in characters.
long CharactersFromQt(const QString &text, int position) {
    return session::CharacterOffsetFromUTF16(text.toStdString(), position);
}

int QtFromCharacters(const std::string &text, long position) {
    return static_cast<int>(session::UTF16OffsetFromCharacter(text, position));
}

void RedrawField(const ControlValue &value, QLineEdit &field) {
    const QString text = QString::fromStdString(value.text);
    if (field.text() != text) field.setText(text);
    const int start = QtFromCharacters(value.text, value.selectionStart);
    const int end = QtFromCharacters(value.text, value.selectionEnd);
    if (start == end) {
        if (field.hasSelectedText() || field.cursorPosition() != end) field.setCursorPosition(end);
    } else if (field.selectionStart() != start || field.selectedText().size() != end - start) {
        field.setSelection(start, end - start);
    }
}

}  // namespace

QtPaneView::QtPaneView(WindowRef window, QWidget *parent, std::function<void()> afterAction)
    : presenter_(window), pane_(new QWidget(parent)), afterAction_(std::move(afterAction)) {
    pane_->setFixedSize(presenter_.Width(), presenter_.Height());
    const std::vector<ControlLayout> &layouts = presenter_.Layouts();
    for (size_t index = 0; index < layouts.size(); ++index) {
        const ControlLayout &layout = layouts[index];
        QWidget *widget = MakeWidget(layout, pane_);
        widget->setGeometry(layout.left, layout.top, layout.width, layout.height);
        views_.push_back({index, layout.kind, widget});
        Connect(views_.back());
    }
    // Each popup and field is named by its label, for screen readers: its
    // accessible name, and the label's buddy.
    for (const ControlView &view : views_) {
        const ControlLayout &layout = layouts[view.index];
        if (!layout.label) continue;
        if (auto *label = qobject_cast<QLabel *>(views_[*layout.label].widget)) label->setBuddy(view.widget);
        view.widget->setAccessibleName(QString::fromStdString(layout.accessibleName));
    }
    Redraw();
}

QtPaneView::~QtPaneView() {
    // The controls may go before the widgets do: no signal may reach them.
    redrawing_ = true;
    delete pane_;
}

void QtPaneView::Redraw() {
    redrawing_ = true;
    for (const ControlView &view : views_) {
        const ControlValue value = presenter_.Value(view.index);
        if (auto *combo = qobject_cast<QComboBox *>(view.widget)) {
            // A value that names no item shows no choice, as `show` reports it.
            combo->setCurrentIndex(value.item ? static_cast<int>(*value.item) : -1);
        }
        if (auto *field = qobject_cast<QLineEdit *>(view.widget)) RedrawField(value, *field);
        view.widget->setEnabled(value.enabled);
    }
    redrawing_ = false;
}

void QtPaneView::Connect(const ControlView &view) {
    const size_t index = view.index;
    if (auto *combo = qobject_cast<QComboBox *>(view.widget)) {
        QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, index](int item) {
            if (redrawing_ || item < 0) return;
            presenter_.ChooseItem(index, static_cast<size_t>(item));
            afterAction_();
        });
    } else if (auto *field = qobject_cast<QLineEdit *>(view.widget)) {
        field->installEventFilter(this);
        // The entry never edits itself (a paste, a cut, an input method):
        // what it changed goes back to the model's text.
        QObject::connect(field, &QLineEdit::textEdited, this, [this] {
            if (!redrawing_) Redraw();
        });
        const auto moved = [this, index] {
            if (!redrawing_) OnFieldSelectionMoved(views_[index]);
        };
        QObject::connect(field, &QLineEdit::cursorPositionChanged, this, moved);
        QObject::connect(field, &QLineEdit::selectionChanged, this, moved);
    }
}

const QtPaneView::ControlView *QtPaneView::ViewOf(QObject *widget) const {
    const auto view = std::ranges::find(views_, widget, &ControlView::widget);
    return view != views_.end() ? &*view : nullptr;
}

bool QtPaneView::eventFilter(QObject *watched, QEvent *event) {
    const ControlView *view = redrawing_ ? nullptr : ViewOf(watched);
    if (view == nullptr) return false;
    auto *field = static_cast<QLineEdit *>(view->widget);
    switch (event->type()) {
        case QEvent::KeyPress:
            return OnFieldKey(*view, static_cast<QKeyEvent &>(*event));
        // A click that selects the whole text takes the focus without the
        // entry's own press, which would put the caret where the pointer landed.
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton || field->hasFocus() ||
                !presenter_.SelectsWholeTextOnFocus(view->index, session::FocusCause::Click)) {
                return false;
            }
            field->setFocus(Qt::MouseFocusReason);
            return true;
        case QEvent::FocusIn: {
            const bool byPointer = static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason;
            const size_t index = view->index;
            // After the entry's own focus handling, which selects or places the caret.
            QMetaObject::invokeMethod(this, [this, index, byPointer] {
                if (presenter_.FocusGained(index, byPointer ? session::FocusCause::Click : session::FocusCause::Keyboard)) {
                    afterAction_();
                }
                Redraw();
            }, Qt::QueuedConnection);
            return false;
        }
        default:
            return false;
    }
}

// A key the pane's handlers pass on gets the dialog's own handling (Tab and
// Shift+Tab move the focus); a key they refuse rings the bell.
bool QtPaneView::OnFieldKey(const ControlView &view, const QKeyEvent &key) {
    const QString text = key.text();
    const char32_t character = text.isEmpty() ? 0 : text.toUcs4().value(0);
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    const session::TranslatedKey translated = session::TranslateKey(
        {key.nativeVirtualKey(), character, (modifiers & Qt::ShiftModifier) != 0,
         (modifiers & (Qt::ControlModifier | Qt::AltModifier)) != 0});
    if (translated.route == session::KeyRoute::Entry) return false;
    const session::KeyOutcome outcome = presenter_.PressKey(view.index, translated);
    afterAction_();
    if (outcome == session::KeyOutcome::Refused) QApplication::beep();
    return outcome != session::KeyOutcome::PassedOn;
}

// A click or a Shift+arrow moved the caret or the selection in the entry.
void QtPaneView::OnFieldSelectionMoved(const ControlView &view) {
    const auto *field = static_cast<QLineEdit *>(view.widget);
    const QString text = field->text();
    int start = field->cursorPosition();
    int end = start;
    if (field->hasSelectedText()) {
        start = field->selectionStart();
        end = start + static_cast<int>(field->selectedText().size());
    }
    if (presenter_.SelectionMoved(view.index, text.toStdString(), CharactersFromQt(text, start),
                                  CharactersFromQt(text, end))) {
        afterAction_();
    }
}

}  // namespace kvx::qt_print
