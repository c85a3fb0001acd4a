#include "session/controls/pane_presenter.hpp"

#include <algorithm>

#include "KVXHostSupport.hpp"
#include "session/controls/control_labels.hpp"
#include "session/controls/pane_controls.hpp"
#include "session/controls/control_actions.hpp"
#include "session/controls/text_offsets.hpp"

namespace kvx::session {
namespace {

std::optional<ControlKind> KindOf(OSType kind) {
    switch (kind) {
        case kControlKindPopupButton:
            return ControlKind::Popup;
        case kControlKindEditUnicodeText:
            return ControlKind::Field;
        case kControlKindStaticText:
            return ControlKind::Label;
        default:
            return std::nullopt;  // a kind no view draws
    }
}

ControlLayout LayoutOf(ControlRef control, ControlKind kind) {
    const Rect bounds = ControlBounds(control);
    ControlLayout layout;
    layout.kind = kind;
    layout.left = bounds.left;
    layout.top = bounds.top;
    layout.width = bounds.right - bounds.left;
    layout.height = bounds.bottom - bounds.top;
    if (kind == ControlKind::Label) layout.title = CopyControlTitle(control);
    if (kind == ControlKind::Popup) {
        const SInt32 itemCount = CountPopupItems(control);
        for (SInt32 position = 1; position <= itemCount; ++position) {
            layout.items.push_back(CopyPopupItemText(control, position).value_or(""));
        }
    }
    return layout;
}

}  // namespace

PanePresenter::PanePresenter(WindowRef window) {
    Rect content{};
    GetWindowBounds(window, kWindowContentRgn, &content);
    width_ = content.right - content.left;
    height_ = content.bottom - content.top;
    ControlRef root = nullptr;
    if (GetRootControl(window, &root) == noErr) AddEmbeddedControls(root);
    NameControlsByTheirLabels();
}

ControlValue PanePresenter::Value(size_t index) const {
    const ControlRef control = controls_.at(index);
    ControlValue value;
    value.enabled = IsControlEnabled(control);
    if (layouts_[index].kind == ControlKind::Popup) {
        const SInt32 position = GetControl32BitValue(control);
        if (position >= 1 && static_cast<size_t>(position) <= layouts_[index].items.size()) {
            value.item = static_cast<size_t>(position - 1);
        }
    } else if (layouts_[index].kind == ControlKind::Field) {
        value.text = CopyFieldText(control).value_or("");
        const ControlEditTextSelectionRec selection =
            GetFieldSelection(control).value_or(ControlEditTextSelectionRec{});
        value.selectionStart = CharacterOffsetFromUTF16(value.text, selection.selStart);
        value.selectionEnd = CharacterOffsetFromUTF16(value.text, selection.selEnd);
    }
    return value;
}

void PanePresenter::ChooseItem(size_t popup, size_t item) {
    ChoosePopupItem(controls_.at(popup), std::to_string(item + 1));
}

// Every key that edits goes to the host; the pane's handlers decide.
KeyOutcome PanePresenter::PressKey(size_t field, const TranslatedKey &key) {
    if (key.route == KeyRoute::Entry) return KeyOutcome::PassedOn;
    return key.route == KeyRoute::HostKey ? PressFieldKey(controls_.at(field), key.charCode)
                                          : TypeFieldCharacter(controls_.at(field), key.text);
}

bool PanePresenter::SelectsWholeTextOnFocus(size_t field, FocusCause cause) const {
    return session::SelectsWholeTextOnFocus(controls_.at(field), cause);
}

bool PanePresenter::FocusGained(size_t field, FocusCause cause) {
    if (!SelectsWholeTextOnFocus(field, cause)) return false;
    SelectWholeText(controls_.at(field));
    return true;
}

bool PanePresenter::SelectionMoved(size_t field, const std::string &shownText, long start, long end) {
    const ControlRef control = controls_.at(field);
    const auto selection = ControlEditTextSelectionRec{static_cast<SInt16>(UTF16OffsetFromCharacter(shownText, start)),
                                                       static_cast<SInt16>(UTF16OffsetFromCharacter(shownText, end))};
    const std::optional<ControlEditTextSelectionRec> current = GetFieldSelection(control);
    if (current && current->selStart == selection.selStart && current->selEnd == selection.selEnd) return false;
    SelectText(control, selection);
    return true;
}

void PanePresenter::AddEmbeddedControls(ControlRef container) {
    UInt16 count = 0;
    if (CountSubControls(container, &count) != noErr) return;
    for (UInt16 index = 1; index <= count; ++index) {
        ControlRef control = nullptr;
        ::ControlKind kind{};
        if (GetIndexedSubControl(container, index, &control) != noErr || GetControlKind(control, &kind) != noErr) {
            continue;
        }
        if (kind.kind == kControlKindUserPane) {
            AddEmbeddedControls(control);
        } else if (const std::optional<ControlKind> drawn = KindOf(kind.kind)) {
            controls_.push_back(control);
            layouts_.push_back(LayoutOf(control, *drawn));
        }
    }
}

void PanePresenter::NameControlsByTheirLabels() {
    for (size_t index = 0; index < controls_.size(); ++index) {
        if (layouts_[index].kind == ControlKind::Label) continue;
        const ControlRef label = FindControlLabel(controls_[index]);
        const auto found = std::ranges::find(controls_, label);
        if (label == nullptr || found == controls_.end()) continue;  // no label, or one no view draws
        layouts_[index].label = static_cast<size_t>(found - controls_.begin());
        layouts_[index].accessibleName = AccessibleNameFromLabel(label);
    }
}

}  // namespace kvx::session
