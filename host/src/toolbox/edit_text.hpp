// Edit fields: a UTF-16 text with a selection, edited by raw key events.
#pragma once

#include <string>
#include <string_view>

#include "control.hpp"

namespace kvx::host {

class EditText final : public Control {
public:
    // The caret at the end of text.
    EditText(const Rect &bounds, std::u16string text);

    const std::u16string &text() const { return text_; }
    // Replaces the whole text and puts the caret at its end.
    void setText(std::u16string text);
    // In UTF-16 units; start <= end; start == end is a caret.
    size_t selectionStart() const { return selectionStart_; }
    size_t selectionEnd() const { return selectionEnd_; }
    // Clamps both ends to the text and puts them in order.
    void select(long start, long end);

    // Performs one key given by its UTF-16 units: types a character over the
    // selection, or performs an editing or navigation key. False for a key
    // that a field does not take (tab, return, escape, other control codes).
    bool performKey(std::u16string_view units);

private:
    void replaceSelection(std::u16string_view units);
    void placeCaret(size_t position);

    std::u16string text_;
    size_t selectionStart_ = 0;
    size_t selectionEnd_ = 0;
};

EditText *AsEditText(ControlRef ref);

}  // namespace kvx::host
