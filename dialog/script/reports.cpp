#include "dialog/script/reports.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "KVXHostSupport.hpp"
#include "session/controls/pane_controls.hpp"

namespace kvx::dialog {
namespace {

constexpr const char *kPositionKey = "position";
constexpr const char *kItemKey = "item";
constexpr const char *kTextKey = "text";
constexpr const char *kSelectionKey = "selection";
constexpr const char *kEnabledKey = "enabled";
constexpr const char *kStatusKey = "status";
constexpr const char *kRowsKey = "rows";
constexpr int kCompact = -1;
constexpr char kIndentCharacter = ' ';
constexpr bool kKeepNonASCII = false;

Json OptionalString(const std::optional<std::string> &text) {
    return text ? Json(*text) : Json(nullptr);
}

Json PopupReport(ControlRef popup) {
    const SInt32 position = GetControl32BitValue(popup);
    return Json{{kPositionKey, position},
                {kItemKey, OptionalString(session::CopyPopupItemText(popup, position))},
                {kEnabledKey, static_cast<bool>(IsControlEnabled(popup))}};
}

Json FieldReport(ControlRef field) {
    Json report;
    report[kTextKey] = OptionalString(session::CopyFieldText(field));
    const auto selection = session::GetFieldSelection(field);
    report[kSelectionKey] = selection ? Json::array({selection->selStart, selection->selEnd}) : Json(nullptr);
    report[kEnabledKey] = static_cast<bool>(IsControlEnabled(field));
    return report;
}

std::string Describe(CFTypeRef value) {
    const CFHolder<CFStringRef> description(CFCopyDescription(value));
    return ToUTF8(description.get());
}

// Numbers that JSON cannot hold (infinities, NaN) are null.
Json ValueOf(CFTypeRef value) {
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID()) return ToUTF8(static_cast<CFStringRef>(value));
    if (type == CFBooleanGetTypeID()) return static_cast<bool>(CFBooleanGetValue(static_cast<CFBooleanRef>(value)));
    if (type == CFNumberGetTypeID()) {
        const auto number = static_cast<CFNumberRef>(value);
        SInt64 integer = 0;
        double real = 0;
        if (CFNumberGetValue(number, kCFNumberSInt64Type, &integer)) return integer;
        if (CFNumberGetValue(number, kCFNumberDoubleType, &real)) {
            return std::isfinite(real) ? Json(real) : Json(nullptr);
        }
    }
    return Describe(value);
}

std::string KeyText(CFTypeRef key) {
    return CFGetTypeID(key) == CFStringGetTypeID() ? ToUTF8(static_cast<CFStringRef>(key)) : Describe(key);
}

void AddEntry(const void *key, const void *value, void *report) noexcept {
    (*static_cast<Json *>(report))[KeyText(key)] = ValueOf(value);
}

}  // namespace

std::string FormatJson(const Json &json) {
    return json.dump(kCompact, kIndentCharacter, kKeepNonASCII, nlohmann::json::error_handler_t::replace);
}

std::string MakeControlsReport(WindowRef window) {
    Json report = Json::object();
    for (const session::ControlSpec &spec : session::kPaneControls) {
        ControlRef control = session::FindPaneControl(window, spec);
        const std::string name(spec.name);
        if (control == nullptr) {
            report[name] = nullptr;
        } else {
            report[name] = spec.kind == session::PaneControlKind::Popup ? PopupReport(control) : FieldReport(control);
        }
    }
    return FormatJson(report);
}

std::string MakeSummaryReport(OSStatus status, CFArrayRef titles, CFArrayRef values) {
    Json rows = Json::array();
    if (status == noErr && titles != nullptr && values != nullptr) {
        const CFIndex rowCount = std::min(CFArrayGetCount(titles), CFArrayGetCount(values));
        for (CFIndex row = 0; row < rowCount; ++row) {
            rows.push_back(Json::array(
                {ValueOf(CFArrayGetValueAtIndex(titles, row)), ValueOf(CFArrayGetValueAtIndex(values, row))}));
        }
    }
    return FormatJson(Json{{kStatusKey, status}, {kRowsKey, rows}});
}

std::string MakeTicketReport(CFDictionaryRef ppdDict) {
    Json report = Json::object();
    CFDictionaryApplyFunction(ppdDict, AddEntry, &report);
    return FormatJson(report);
}

}  // namespace kvx::dialog
