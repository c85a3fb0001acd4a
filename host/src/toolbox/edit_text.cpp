#include "edit_text.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

#include "KVXHost.h"
#include "core/faults.hpp"
#include "core/strings.hpp"

namespace kvx::host {
namespace {

// What the field's text data holds: one string reference.
constexpr Size kTextDataSize = sizeof(CFStringRef);
constexpr Size kSelectionDataSize = sizeof(ControlEditTextSelectionRec);

// Selection records have 16-bit ends; a longer text reports the largest.
SInt16 SelectionIndex(size_t position) {
    return static_cast<SInt16>(std::min<size_t>(position, std::numeric_limits<SInt16>::max()));
}

OSErr GetText(const EditText &field, Size size, void *buffer, Size *outActualSize) {
    if (outActualSize != nullptr) *outActualSize = kTextDataSize;
    if (ShouldFail(kKVXFaultGetControlText)) return errDataNotSupported;
    if (size != kTextDataSize) return errDataSizeMismatch;
    if (buffer == nullptr) return paramErr;
    const CFStringRef copy = CreateString(field.text());
    std::memcpy(buffer, &copy, sizeof copy);
    return noErr;
}

OSErr GetSelection(const EditText &field, Size size, void *buffer, Size *outActualSize) {
    if (outActualSize != nullptr) *outActualSize = kSelectionDataSize;
    if (ShouldFail(kKVXFaultGetControlSelection)) return errDataNotSupported;
    if (size != kSelectionDataSize) return errDataSizeMismatch;
    if (buffer == nullptr) return paramErr;
    const ControlEditTextSelectionRec selection{SelectionIndex(field.selectionStart()),
                                                SelectionIndex(field.selectionEnd())};
    std::memcpy(buffer, &selection, sizeof selection);
    return noErr;
}

OSErr SetText(EditText &field, Size size, const void *data) {
    if (size != kTextDataSize) return errDataSizeMismatch;
    if (data == nullptr) return paramErr;
    CFStringRef text = nullptr;
    std::memcpy(&text, data, sizeof text);
    if (text == nullptr || CFGetTypeID(text) != CFStringGetTypeID()) return paramErr;
    field.setText(std::u16string(StringView(text)));
    return noErr;
}

OSErr SetSelection(EditText &field, Size size, const void *data) {
    if (size != kSelectionDataSize) return errDataSizeMismatch;
    if (data == nullptr) return paramErr;
    ControlEditTextSelectionRec selection{};
    std::memcpy(&selection, data, sizeof selection);
    field.select(selection.selStart, selection.selEnd);
    return noErr;
}

}  // namespace

EditText::EditText(const Rect &bounds, std::u16string text) : Control(kControlKindEditUnicodeText, bounds) {
    setText(std::move(text));
}

void EditText::setText(std::u16string text) {
    text_ = std::move(text);
    placeCaret(text_.size());
}

void EditText::select(long start, long end) {
    const long length = static_cast<long>(text_.size());
    const auto first = static_cast<size_t>(std::clamp(std::min(start, end), 0L, length));
    const auto last = static_cast<size_t>(std::clamp(std::max(start, end), 0L, length));
    selectionStart_ = first;
    selectionEnd_ = last;
}

void EditText::placeCaret(size_t position) { selectionStart_ = selectionEnd_ = std::min(position, text_.size()); }

void EditText::replaceSelection(std::u16string_view units) {
    text_.replace(selectionStart_, selectionEnd_ - selectionStart_, units);
    placeCaret(selectionStart_ + units.size());
}

EditText *AsEditText(ControlRef ref) { return dynamic_cast<EditText *>(AsControl(ref)); }

}  // namespace kvx::host

using kvx::host::AsEditText;
using kvx::host::EditText;

extern "C" {

OSStatus CreateEditUnicodeTextControl(WindowRef window, const Rect *boundsRect, CFStringRef text, Boolean,
                                      const void *, ControlRef *outControl) {
    return kvx::host::PlaceNewControl(window, boundsRect, outControl, [&](const Rect &bounds) {
        return kvx::host::Adopt<kvx::host::Control>(
            kvx::host::Create<EditText>(bounds, std::u16string(kvx::host::StringView(text))));
    });
}

OSErr GetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName, Size inBufferSize,
                     void *inBuffer, Size *outActualSize) {
    if (kvx::host::AsControl(inControl) == nullptr) return errUnknownControl;
    const EditText *field = AsEditText(inControl);
    if (field == nullptr || inPart != kControlEntireControl) return errDataNotSupported;
    switch (inTagName) {
    case kControlEditTextCFStringTag: return kvx::host::GetText(*field, inBufferSize, inBuffer, outActualSize);
    case kControlEditTextSelectionTag: return kvx::host::GetSelection(*field, inBufferSize, inBuffer, outActualSize);
    default: return errDataNotSupported;
    }
}

OSErr SetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName, Size inSize, const void *inData) {
    if (kvx::host::AsControl(inControl) == nullptr) return errUnknownControl;
    EditText *field = AsEditText(inControl);
    if (field == nullptr || inPart != kControlEntireControl) return errDataNotSupported;
    switch (inTagName) {
    case kControlEditTextCFStringTag: return kvx::host::SetText(*field, inSize, inData);
    case kControlEditTextSelectionTag: return kvx::host::SetSelection(*field, inSize, inData);
    default: return errDataNotSupported;
    }
}

}  // extern "C"
