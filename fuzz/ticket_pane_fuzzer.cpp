// Ticket -> pane -> ticket on an arbitrary property list: the input's
// dictionary becomes the print-settings ticket's PPD dictionary, then the
// pane is initialized, synced from the ticket, asked for its summary and
// synced back. What the pane shows and writes is checked against what the
// ticket held: popups at the position of an exactly equal table value (else
// the first), code fields holding the five per-digit strings joined (else
// "00000"), the DIN field enabled only for "Private" and the DC field only
// for "True". Afterwards every key that is not the pane's still holds its
// very own value, the pane's keys hold table values and one-unit digits,
// and a second round trip writes the same again.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.hpp"
#include "memory_file.hpp"
#include "pane_driver.hpp"
#include "string_units.hpp"

namespace {

using kvx::CFHolder;
using kvx::fuzz::UnitsOf;

constexpr CFIndex kCodeLength = 5;
constexpr std::u16string_view kDefaultCode = u"00000";
constexpr std::u16string_view kPrivateMode = u"Private";
constexpr std::u16string_view kZELMode = u"ZEL";
constexpr std::u16string_view kZELPMode = u"ZELP";
constexpr std::u16string_view kSwitchOn = u"True";

struct Choice {
    std::string_view key;
    SInt32 controlID;
    std::vector<std::u16string_view> values;  // position 1 first
};

const std::array<Choice, 3> &Choices() {
    static const std::array<Choice, 3> choices{{
        {"PrintMode", kvx::fuzz::kPrintModeID, {u"Normal", u"Proof", kPrivateMode, kZELMode, kZELPMode}},
        {"DeptCode", kvx::fuzz::kDepartmentID, {u"False", kSwitchOn}},
        {"ZELOrientation", kvx::fuzz::kZELOrientationID, {u"Portrait", u"Landscape"}},
    }};
    return choices;
}

struct Code {
    std::string_view prefix;
    SInt32 controlID;
};

constexpr std::array<Code, 2> kCodes{{{"DINDigit", kvx::fuzz::kDINID}, {"DCDigit", kvx::fuzz::kDCID}}};

CFHolder<CFStringRef> Key(std::string_view name) { return kvx::MakeString(name); }

std::string DigitKeyName(const Code &code, CFIndex digit) { return std::string(code.prefix) + std::to_string(digit); }

std::vector<std::string> PaneKeyNames() {
    std::vector<std::string> names;
    for (const Choice &choice : Choices()) names.emplace_back(choice.key);
    for (const Code &code : kCodes)
        for (CFIndex digit = 1; digit <= kCodeLength; ++digit) names.push_back(DigitKeyName(code, digit));
    return names;
}

bool IsPaneKey(CFStringRef key) {
    static const std::vector<std::string> names = PaneKeyNames();
    const std::u16string units = UnitsOf(key);
    for (const std::string &name : names)
        if (units == std::u16string(name.begin(), name.end())) return true;
    return false;
}

// The string under key, or nothing when it is missing or not a string.
std::optional<std::u16string> StringValue(CFDictionaryRef dict, std::string_view name) {
    const CFTypeRef value = CFDictionaryGetValue(dict, Key(name).get());
    if (value == nullptr || CFGetTypeID(value) != CFStringGetTypeID()) return std::nullopt;
    return UnitsOf(static_cast<CFStringRef>(value));
}

SInt32 ExpectedPosition(CFDictionaryRef ticket, const Choice &choice) {
    const auto value = StringValue(ticket, choice.key);
    for (size_t index = 0; value && index < choice.values.size(); ++index)
        if (*value == choice.values[index]) return static_cast<SInt32>(index + 1);
    return 1;
}

std::u16string ExpectedFieldText(CFDictionaryRef ticket, const Code &code) {
    std::u16string joined;
    for (CFIndex digit = 1; digit <= kCodeLength; ++digit) {
        const auto value = StringValue(ticket, DigitKeyName(code, digit));
        if (!value) return std::u16string(kDefaultCode);
        joined += *value;
    }
    return joined;
}

std::u16string ZeroFilled(const std::u16string &text) {
    const auto length = static_cast<CFIndex>(text.size());
    return length >= kCodeLength ? text : std::u16string(static_cast<size_t>(kCodeLength - length), u'0') + text;
}

// What the ticket says the pane must show.
struct Expected {
    std::array<SInt32, 3> positions{};
    std::array<std::u16string, 2> fieldTexts;

    explicit Expected(CFDictionaryRef ticket) {
        for (size_t index = 0; index < Choices().size(); ++index)
            positions[index] = ExpectedPosition(ticket, Choices()[index]);
        for (size_t index = 0; index < kCodes.size(); ++index) fieldTexts[index] = ExpectedFieldText(ticket, kCodes[index]);
    }
    std::u16string_view printMode() const { return Choices()[0].values[static_cast<size_t>(positions[0] - 1)]; }
    std::u16string_view departmentSwitch() const {
        return Choices()[1].values[static_cast<size_t>(positions[1] - 1)];
    }
};

void CheckPane(const kvx::fuzz::DialogWindow &dialog, const Expected &expected) {
    for (size_t index = 0; index < Choices().size(); ++index) {
        const ControlRef popup = dialog.control(Choices()[index].controlID);
        FUZZ_CHECK(GetControl32BitValue(popup) == expected.positions[index], "a popup at the wrong position");
    }
    for (size_t index = 0; index < kCodes.size(); ++index) {
        const ControlRef field = dialog.control(kCodes[index].controlID);
        FUZZ_CHECK(kvx::fuzz::FieldText(field) == expected.fieldTexts[index], "a code field with the wrong text");
    }
    FUZZ_CHECK(IsControlEnabled(dialog.control(kvx::fuzz::kDINID)) == (expected.printMode() == kPrivateMode),
               "the DIN field enabled against its print mode");
    FUZZ_CHECK(IsControlEnabled(dialog.control(kvx::fuzz::kDCID)) == (expected.departmentSwitch() == kSwitchOn),
               "the DC field enabled against its switch");
}

void CheckSummary(const kvx::fuzz::Summary &summary, const Expected &expected) {
    FUZZ_CHECK(summary.status == noErr, "no summary for the pane's own interface file");
    const bool dinRow = expected.printMode() == kPrivateMode;
    const bool zelRow = expected.printMode() == kZELMode || expected.printMode() == kZELPMode;
    const bool dcRow = expected.departmentSwitch() == kSwitchOn;
    FUZZ_CHECK(summary.rows.size() == 1u + (dinRow || zelRow ? 1u : 0u) + (dcRow ? 1u : 0u),
               "a summary with the wrong rows");
    if (dinRow) FUZZ_CHECK(summary.rows[1].second == ZeroFilled(expected.fieldTexts[0]), "a wrong DIN row");
    if (dcRow) FUZZ_CHECK(summary.rows.back().second == ZeroFilled(expected.fieldTexts[1]), "a wrong DC row");
}

// The pane's keys as the ticket holds them now, each retained.
std::vector<CFHolder<CFTypeRef>> PaneValues(CFDictionaryRef ticket) {
    std::vector<CFHolder<CFTypeRef>> values;
    for (const std::string &name : PaneKeyNames()) {
        const CFTypeRef value = CFDictionaryGetValue(ticket, Key(name).get());
        FUZZ_CHECK(value != nullptr, "a pane key was not written");
        values.emplace_back(CFRetain(value));
    }
    return values;
}

void CheckWrittenTicket(CFDictionaryRef ticket, CFDictionaryRef input, const Expected &expected) {
    CFIndex otherKeys = 0;
    struct Comparison {
        CFDictionaryRef ticket;
        CFIndex *otherKeys;
    } comparison{ticket, &otherKeys};
    CFDictionaryApplyFunction(
        input,
        [](const void *key, const void *value, void *context) {
            auto &comparison = *static_cast<Comparison *>(context);
            if (IsPaneKey(static_cast<CFStringRef>(key))) return;
            ++*comparison.otherKeys;
            FUZZ_CHECK(CFDictionaryGetValue(comparison.ticket, key) == value, "a key that is not the pane's changed");
        },
        &comparison);
    FUZZ_CHECK(CFDictionaryGetCount(ticket) == otherKeys + static_cast<CFIndex>(PaneKeyNames().size()),
               "the ticket gained or lost other keys");

    for (size_t index = 0; index < Choices().size(); ++index) {
        const Choice &choice = Choices()[index];
        const auto written = StringValue(ticket, choice.key);
        FUZZ_CHECK(written && *written == choice.values[static_cast<size_t>(expected.positions[index] - 1)],
                   "a choice written that is not the popup's table value");
    }
    for (size_t index = 0; index < kCodes.size(); ++index) {
        const std::u16string filled = ZeroFilled(expected.fieldTexts[index]);
        for (CFIndex digit = 1; digit <= kCodeLength; ++digit) {
            const auto written = StringValue(ticket, DigitKeyName(kCodes[index], digit));
            FUZZ_CHECK(written && written->size() == 1, "a digit key that does not hold one character");
            FUZZ_CHECK((*written)[0] == filled[static_cast<size_t>(digit - 1)], "a digit key holds the wrong digit");
        }
    }
}

CFHolder<CFDictionaryRef> ReadInput(const uint8_t *data, size_t size) {
    const kvx::fuzz::MemoryFile file(data, size);
    FUZZ_CHECK(!file.path().empty(), "no memory file for the input");
    CFHolder<CFStringRef> error;
    CFHolder<CFTypeRef> plist(KVXPropertyListCreateFromFile(file.path().c_str(), error.out()));
    if (!plist || CFGetTypeID(plist.get()) != CFDictionaryGetTypeID()) return {};
    return CFHolder<CFDictionaryRef>(static_cast<CFDictionaryRef>(plist.release()));
}

void RunPane(CFDictionaryRef input) {
    const kvx::fuzz::PrintJob job(kvx::fuzz::SupportedPrinterPPD());
    const CFMutableDictionaryRef ticket = job.ppdDict();
    CFDictionaryApplyFunction(
        input,
        [](const void *key, const void *value, void *context) {
            CFDictionarySetValue(static_cast<CFMutableDictionaryRef>(context), key, value);
        },
        ticket);
    const Expected expected(input);

    const kvx::fuzz::DialogWindow dialog;
    const kvx::fuzz::Pane pane(job, dialog);
    FUZZ_CHECK(pane.prologueStatus() == noErr && pane.initializeStatus() == noErr, "the pane was not shown");
    CheckPane(dialog, expected);
    FUZZ_CHECK(pane.syncFromTicket() == noErr, "the sync from the ticket failed");
    CheckPane(dialog, expected);
    CheckSummary(pane.summary(), expected);
    FUZZ_CHECK(pane.syncToTicket() == noErr, "the sync to the ticket failed");
    CheckWrittenTicket(ticket, input, expected);

    const auto firstWrite = PaneValues(ticket);
    FUZZ_CHECK(pane.syncFromTicket() == noErr && pane.syncToTicket() == noErr, "the second round trip failed");
    const auto secondWrite = PaneValues(ticket);
    for (size_t index = 0; index < firstWrite.size(); ++index)
        FUZZ_CHECK(CFEqual(firstWrite[index].get(), secondWrite[index].get()), "a second round trip wrote otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    kvx::fuzz::PaneOperations();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    {
        // Bytes that are no property list, or not a dictionary, are no ticket.
        const CFHolder<CFDictionaryRef> input = ReadInput(data, size);
        if (input) RunPane(input.get());
    }
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "the round trip left host objects alive");
    return 0;
}
