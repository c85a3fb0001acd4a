// How an edit field performs the keys that reach it.
#include <algorithm>

#include "edit_text.hpp"

namespace kvx::host {
namespace {

constexpr char16_t kFirstPrintable = 0x20;

// Control codes never enter the text, not even inside a longer key.
bool IsControlCode(char16_t unit) { return unit < kFirstPrintable || unit == kDeleteCharCode; }

}  // namespace

bool EditText::performKey(std::u16string_view units) {
    if (units.empty()) return false;
    const bool hasSelection = selectionEnd_ > selectionStart_;
    switch (units.front()) {
    case kBackspaceCharCode:
        if (!hasSelection && selectionStart_ > 0) --selectionStart_;
        replaceSelection({});
        return true;
    case kDeleteCharCode:
        if (!hasSelection && selectionEnd_ < text_.size()) ++selectionEnd_;
        replaceSelection({});
        return true;
    case kLeftArrowCharCode:
        placeCaret(hasSelection || selectionStart_ == 0 ? selectionStart_ : selectionStart_ - 1);
        return true;
    case kRightArrowCharCode:
        placeCaret(hasSelection ? selectionEnd_ : selectionEnd_ + 1);
        return true;
    case kUpArrowCharCode:
    case kHomeCharCode:
        placeCaret(0);
        return true;
    case kDownArrowCharCode:
    case kEndCharCode:
        placeCaret(text_.size());
        return true;
    default:
        if (std::any_of(units.begin(), units.end(), IsControlCode)) return false;
        replaceSelection(units);
        return true;
    }
}

}  // namespace kvx::host
