#include "session/controls/control_actions.hpp"

#include <charconv>
#include <vector>

#include "KVXHostSupport.hpp"
#include "session/controls/pane_controls.hpp"

namespace kvx::session {
namespace {

// The item's 1-based position in the popup's menu, or 0 when it has none.
// Digits alone are a position; anything else is an item's text.
UInt16 FindItemPosition(ControlRef popup, std::string_view item) {
    const UInt32 itemCount = CountPopupItems(popup);
    UInt32 position = 0;
    const char *const itemEnd = item.data() + item.size();
    const auto [digitsEnd, error] = std::from_chars(item.data(), itemEnd, position);
    if (!item.empty() && digitsEnd == itemEnd) {
        return error == std::errc() && position <= itemCount ? static_cast<UInt16>(position) : 0;
    }
    for (position = 1; position <= itemCount; ++position) {
        if (CopyPopupItemText(popup, static_cast<SInt32>(position)) == item) return static_cast<UInt16>(position);
    }
    return 0;
}

// Null for text that is not valid UTF-8, or that holds a NUL, which would cut
// the string short.
CFHolder<CFStringRef> MakeStringFromText(std::string_view utf8) {
    if (utf8.find('\0') != std::string_view::npos) return {};
    return MakeString(utf8);
}

std::optional<std::vector<UniChar>> DecodeUTF8(std::string_view utf8) {
    const CFHolder<CFStringRef> text = MakeStringFromText(utf8);
    if (!text) return std::nullopt;
    std::vector<UniChar> units(static_cast<size_t>(CFStringGetLength(text.get())));
    CFStringGetCharacters(text.get(), CFRange{0, static_cast<CFIndex>(units.size())}, units.data());
    return units;
}

UserActionResult ResultOfEvent(OSStatus status) {
    return status == kKVXControlDisabledErr ? UserActionResult::ControlDisabled : UserActionResult::Taken;
}

}  // namespace

UserActionResult ChoosePopupItem(ControlRef popup, std::string_view item) {
    if (!IsControlEnabled(popup)) return UserActionResult::ControlDisabled;
    const UInt16 position = FindItemPosition(popup, item);
    if (position == 0) return UserActionResult::NoSuchItem;
    SetControl32BitValue(popup, position);
    return ResultOfEvent(KVXSendCommandFromControl(popup, kPopupChoiceCommandID));
}

UserActionResult TypeText(ControlRef field, std::string_view utf8) {
    const std::optional<std::vector<UniChar>> units = DecodeUTF8(utf8);
    if (!units) return UserActionResult::InvalidText;
    for (const UniChar unit : *units) {
        if (KVXSendKeyToControl(field, kEventRawKeyDown, unit, 0) == kKVXControlDisabledErr) {
            return UserActionResult::ControlDisabled;
        }
    }
    return UserActionResult::Taken;
}

UserActionResult PressKey(ControlRef field, UniChar charCode) {
    return ResultOfEvent(KVXSendKeyToControl(field, kEventRawKeyDown, charCode, 0));
}

UserActionResult SelectText(ControlRef field, ControlEditTextSelectionRec selection) {
    if (!IsControlEnabled(field)) return UserActionResult::ControlDisabled;
    SetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection, &selection);
    return UserActionResult::Taken;
}

UserActionResult PasteText(ControlRef field, std::string_view utf8) {
    if (!IsControlEnabled(field)) return UserActionResult::ControlDisabled;
    const CFHolder<CFStringRef> text = MakeStringFromText(utf8);
    if (!text) return UserActionResult::InvalidText;
    const CFStringRef textRef = text.get();
    SetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof textRef, &textRef);
    return UserActionResult::Taken;
}

}  // namespace kvx::session
