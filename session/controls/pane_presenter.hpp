// The pane as any toolkit's view needs it: the host's controls in the
// plug-in's window turned into view state (what each control is, where it
// sits, its items or text, its label's name for screen readers, and on each
// redraw its choice or text and selection and whether it is enabled), and
// the person's input turned back into host events. The host's control
// model is the truth; a view only draws this state and reports input here,
// with text positions in characters as toolkits count them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Carbon.h"
#include "session/controls/key_translation.hpp"
#include "session/controls/field_input.hpp"

namespace kvx::session {

enum class ControlKind { Popup, Field, Label };

struct ControlLayout {
    ControlKind kind = ControlKind::Label;
    int left = 0;  // in the window's content coordinates
    int top = 0;
    int width = 0;
    int height = 0;
    std::string title;               // a label's text
    std::vector<std::string> items;  // a popup's menu
    // The label that names a popup or field, as an index into the layouts,
    // and the name it gives the control for assistive technology.
    std::optional<size_t> label;
    std::string accessibleName;
};

struct ControlValue {
    std::optional<size_t> item;  // a popup's chosen item, none when its value names no item
    std::string text;            // a field's
    long selectionStart = 0;     // in characters
    long selectionEnd = 0;
    bool enabled = true;
};

class PanePresenter {
public:
    // The controls embedded in the window, in the plug-in's order; kinds no
    // view draws are left out.
    explicit PanePresenter(WindowRef window);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<ControlLayout> &Layouts() const { return layouts_; }
    ControlValue Value(size_t control) const;

    // The person's input; each reaches the host as the pane's own event.
    void ChooseItem(size_t popup, size_t item);
    KeyOutcome PressKey(size_t field, const TranslatedKey &key);
    // A field whose whole text a focus of this cause selects; a click into
    // such a field takes the focus without placing the caret.
    bool SelectsWholeTextOnFocus(size_t field, FocusCause cause) const;
    // True when the field's whole text was selected.
    bool FocusGained(size_t field, FocusCause cause);
    // The entry's caret or selection moved; true when the host's did too.
    bool SelectionMoved(size_t field, const std::string &shownText, long start, long end);

private:
    void AddEmbeddedControls(ControlRef container);
    void NameControlsByTheirLabels();

    int width_ = 0;
    int height_ = 0;
    std::vector<ControlRef> controls_;
    std::vector<ControlLayout> layouts_;
};

}  // namespace kvx::session
