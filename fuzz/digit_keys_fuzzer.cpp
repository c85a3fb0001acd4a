// Keystrokes on the DIN and DC fields of a shown pane: the input is a
// sequence of actions (key downs and repeats of any character, editing keys,
// selections, pastes, popup choices, run-loop turns, syncs and summaries).
// After each action: a field that held at most five digits still does,
// unless a paste, a sync from the ticket or a key beyond 7-bit ASCII reached
// it; a digit typed into a field with room lands there; a printable non-digit
// is refused; a disabled field takes no key; a field that no action touched
// keeps its text. When the pane is gone, no timer is left to fire and the
// host's live objects are back at their start.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "fuzz_check.hpp"
#include "pane_driver.hpp"
#include "string_units.hpp"

namespace {

constexpr size_t kCodeLength = 5;
constexpr UniChar kFirst8BitCharacter = 0x80;
constexpr UniChar kFirstPrintable = 0x20;
constexpr UniChar kLastPrintable = 0x7E;
constexpr CFTimeInterval kPastEveryTimer = 2 * 86400;

constexpr std::array<SInt32, 2> kFields{kvx::fuzz::kDINID, kvx::fuzz::kDCID};

struct Popup {
    SInt32 controlID;
    SInt32 items;
};
constexpr std::array<Popup, 3> kPopups{{{kvx::fuzz::kPrintModeID, 5},
                                         {kvx::fuzz::kDepartmentID, 2},
                                         {kvx::fuzz::kZELOrientationID, 2}}};

constexpr std::array<UniChar, 12> kEditingKeys{kBackspaceCharCode, kDeleteCharCode,  kLeftArrowCharCode,
                                               kRightArrowCharCode, kUpArrowCharCode, kDownArrowCharCode,
                                               kHomeCharCode,       kEndCharCode,     kTabCharCode,
                                               kReturnCharCode,     kEnterCharCode,   kEscapeCharCode};

enum class Action { KeyDown, KeyRepeat, WideKey, EditingKey, Select, Paste, Choose, Other, Count };
enum class Other { RunLoop, SyncToTicket, SyncFromTicket, Summary, Count };

class Input {
public:
    Input(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    bool done() const { return position_ >= size_; }
    uint8_t next() { return done() ? 0 : data_[position_++]; }

private:
    const uint8_t *data_;
    size_t size_;
    size_t position_ = 0;
};

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

bool HoldsACode(const std::u16string &text) {
    if (text.size() > kCodeLength) return false;
    for (const char16_t unit : text)
        if (!IsDigit(unit)) return false;
    return true;
}

ControlEditTextSelectionRec SelectionOf(ControlRef field) {
    ControlEditTextSelectionRec selection{};
    FUZZ_CHECK(GetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection, &selection,
                              nullptr) == noErr,
               "a field whose selection cannot be read");
    return selection;
}

class Session {
public:
    Session() : job_(kvx::fuzz::SupportedPrinterPPD()), pane_(job_, dialog_) {
        FUZZ_CHECK(pane_.prologueStatus() == noErr && pane_.initializeStatus() == noErr, "the pane was not shown");
    }

    void perform(Input &input) {
        const uint8_t code = input.next();
        const auto action = static_cast<Action>(code % static_cast<uint8_t>(Action::Count));
        const size_t field = (code >> 3) & 1;
        const uint8_t parameter = code >> 4;

        std::array<std::u16string, 2> before{text(0), text(1)};
        // Which field the action may fill with anything at all.
        std::array<bool, 2> freeToChange{false, false};
        switch (action) {
        case Action::KeyDown:
        case Action::KeyRepeat:
            freeToChange[field] = key(field, action == Action::KeyDown ? kEventRawKeyDown : kEventRawKeyRepeat,
                                      input.next(), before[field]);
            break;
        case Action::WideKey: {
            const auto low = input.next();
            const auto character = static_cast<UniChar>(low | (input.next() << 8));
            freeToChange[field] = key(field, (parameter & 1) ? kEventRawKeyRepeat : kEventRawKeyDown, character,
                                      before[field]);
            break;
        }
        case Action::EditingKey:
            key(field, kEventRawKeyDown, kEditingKeys[parameter % kEditingKeys.size()], before[field]);
            break;
        case Action::Select: {
            const auto start = static_cast<int8_t>(input.next());
            const ControlEditTextSelectionRec selection{start, static_cast<int8_t>(input.next())};
            SetControlData(control(field), kControlEntireControl, kControlEditTextSelectionTag, sizeof selection,
                           &selection);
            break;
        }
        case Action::Paste:
            paste(field, input, parameter % (2 * kCodeLength));
            freeToChange[field] = true;
            break;
        case Action::Choose: {
            const Popup &popup = kPopups[parameter % kPopups.size()];
            const ControlRef control = dialog_.control(popup.controlID);
            SetControl32BitValue(control, 1 + input.next() % popup.items);
            KVXSendCommandFromControl(control, 0);
            break;
        }
        case Action::Other:
        case Action::Count:
            freeToChange = other(static_cast<Other>(parameter % static_cast<uint8_t>(Other::Count)));
            break;
        }

        for (size_t index = 0; index < kFields.size(); ++index) {
            const std::u16string after = text(index);
            const bool touched = index == field && action != Action::Select && action != Action::Choose &&
                                 action != Action::Other;
            if (!touched && !freeToChange[index])
                FUZZ_CHECK(after == before[index], "a field changed that no action touched");
            if (HoldsACode(before[index]) && !freeToChange[index])
                FUZZ_CHECK(HoldsACode(after), "a field took more than five digits or a non-digit");
        }
    }

private:
    ControlRef control(size_t field) const { return dialog_.control(kFields[field]); }
    std::u16string text(size_t field) const { return kvx::fuzz::FieldText(control(field)); }

    // Sends the key; true when it may put anything into the field, as a key
    // beyond 7-bit ASCII passes the constraints by design.
    bool key(size_t field, UInt32 kind, UniChar character, const std::u16string &before) {
        const ControlRef target = control(field);
        const bool enabled = IsControlEnabled(target) != 0;
        const ControlEditTextSelectionRec selection = SelectionOf(target);
        const OSStatus status = KVXSendKeyToControl(target, kind, character, 0);
        const std::u16string after = text(field);
        if (!enabled) {
            FUZZ_CHECK(status == kKVXControlDisabledErr && after == before, "a disabled field took a key");
            return false;
        }
        const bool printable = character >= kFirstPrintable && character <= kLastPrintable;
        if (printable && !IsDigit(character)) FUZZ_CHECK(after == before, "a field took a printable non-digit");
        const auto selected = static_cast<size_t>(std::max(0, selection.selEnd - selection.selStart));
        if (IsDigit(character) && HoldsACode(before) && (before.size() < kCodeLength || selected > 0)) {
            FUZZ_CHECK(after.size() == before.size() - selected + 1, "a digit with room was refused");
            FUZZ_CHECK(after[static_cast<size_t>(selection.selStart)] == character, "the digit landed elsewhere");
        }
        return character >= kFirst8BitCharacter;
    }

    void paste(size_t field, Input &input, size_t length) {
        std::u16string pasted;
        for (size_t index = 0; index < length; ++index) pasted += static_cast<char16_t>(input.next());
        const kvx::CFHolder<CFStringRef> string(
            CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar *>(pasted.data()),
                                         static_cast<CFIndex>(pasted.size())));
        const CFStringRef value = string.get();
        FUZZ_CHECK(SetControlData(control(field), kControlEntireControl, kControlEditTextCFStringTag, sizeof value,
                                  &value) == noErr,
                   "a paste was refused");
        FUZZ_CHECK(text(field) == pasted, "a paste did not put its text");
    }

    std::array<bool, 2> other(Other what) {
        switch (what) {
        case Other::RunLoop: KVXRunLoopRunDueTimers(CFRunLoopGetCurrent(), CFAbsoluteTimeGetCurrent() + 1); break;
        case Other::SyncToTicket: FUZZ_CHECK(pane_.syncToTicket() == noErr, "the sync to the ticket failed"); break;
        case Other::SyncFromTicket:
            FUZZ_CHECK(pane_.syncFromTicket() == noErr, "the sync from the ticket failed");
            return {true, true};
        case Other::Summary:
        case Other::Count: FUZZ_CHECK(pane_.summary().status == noErr, "no summary"); break;
        }
        return {false, false};
    }

    kvx::fuzz::PrintJob job_;
    kvx::fuzz::DialogWindow dialog_;
    kvx::fuzz::Pane pane_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    kvx::fuzz::PaneOperations();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    {
        Session session;
        Input input(data, size);
        while (!input.done()) session.perform(input);
    }
    FUZZ_CHECK(KVXRunLoopRunDueTimers(CFRunLoopGetCurrent(), CFAbsoluteTimeGetCurrent() + kPastEveryTimer) == 0,
               "a timer outlived its pane");
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "the keystrokes left host objects alive");
    return 0;
}
