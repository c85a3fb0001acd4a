#include "reports.hpp"

#include <algorithm>
#include <optional>

#include "KVXHostSupport.hpp"
#include "controls.hpp"
#include "json.hpp"

namespace kvx::dialog {
namespace {

constexpr std::string_view kPositionKey = "position";
constexpr std::string_view kItemKey = "item";
constexpr std::string_view kTextKey = "text";
constexpr std::string_view kSelectionKey = "selection";
constexpr std::string_view kEnabledKey = "enabled";
constexpr std::string_view kStatusKey = "status";
constexpr std::string_view kRowsKey = "rows";

void WriteOptionalString(JsonWriter &json, const std::optional<std::string> &text) {
    if (text) {
        json.String(*text);
    } else {
        json.Null();
    }
}

void WritePopup(JsonWriter &json, ControlRef popup) {
    const SInt32 position = GetControl32BitValue(popup);
    json.BeginObject().Key(kPositionKey).Integer(position).Key(kItemKey);
    WriteOptionalString(json, CopyPopupItemText(popup, position));
    json.Key(kEnabledKey).Boolean(IsControlEnabled(popup)).EndObject();
}

void WriteField(JsonWriter &json, ControlRef field) {
    json.BeginObject().Key(kTextKey);
    WriteOptionalString(json, CopyFieldText(field));
    json.Key(kSelectionKey);
    if (const auto selection = GetFieldSelection(field)) {
        json.BeginArray().Integer(selection->selStart).Integer(selection->selEnd).EndArray();
    } else {
        json.Null();
    }
    json.Key(kEnabledKey).Boolean(IsControlEnabled(field)).EndObject();
}

std::string Describe(CFTypeRef value) {
    const CFHolder<CFStringRef> description(CFCopyDescription(value));
    return ToUTF8(description.get());
}

void WriteValue(JsonWriter &json, CFTypeRef value) {
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID()) {
        json.String(ToUTF8(static_cast<CFStringRef>(value)));
        return;
    }
    if (type == CFBooleanGetTypeID()) {
        json.Boolean(CFBooleanGetValue(static_cast<CFBooleanRef>(value)));
        return;
    }
    if (type == CFNumberGetTypeID()) {
        const auto number = static_cast<CFNumberRef>(value);
        SInt64 integer = 0;
        double real = 0;
        if (CFNumberGetValue(number, kCFNumberSInt64Type, &integer)) {
            json.Integer(integer);
        } else if (CFNumberGetValue(number, kCFNumberDoubleType, &real)) {
            json.Real(real);
        } else {
            json.String(Describe(value));
        }
        return;
    }
    json.String(Describe(value));
}

std::string KeyText(CFTypeRef key) {
    return CFGetTypeID(key) == CFStringGetTypeID() ? ToUTF8(static_cast<CFStringRef>(key)) : Describe(key);
}

void WriteEntry(const void *key, const void *value, void *json) noexcept {
    auto &writer = *static_cast<JsonWriter *>(json);
    writer.Key(KeyText(key));
    WriteValue(writer, value);
}

}  // namespace

std::string MakeControlsReport(WindowRef window) {
    JsonWriter json;
    json.BeginObject();
    for (const ControlSpec &spec : kPaneControls) {
        json.Key(spec.name);
        ControlRef control = FindPaneControl(window, spec);
        if (control == nullptr) {
            json.Null();
        } else if (spec.kind == ControlKind::Popup) {
            WritePopup(json, control);
        } else {
            WriteField(json, control);
        }
    }
    json.EndObject();
    return json.Text();
}

std::string MakeSummaryReport(OSStatus status, CFArrayRef titles, CFArrayRef values) {
    JsonWriter json;
    json.BeginObject().Key(kStatusKey).Integer(status).Key(kRowsKey).BeginArray();
    if (status == noErr && titles != nullptr && values != nullptr) {
        const CFIndex rowCount = std::min(CFArrayGetCount(titles), CFArrayGetCount(values));
        for (CFIndex row = 0; row < rowCount; ++row) {
            json.BeginArray();
            WriteValue(json, CFArrayGetValueAtIndex(titles, row));
            WriteValue(json, CFArrayGetValueAtIndex(values, row));
            json.EndArray();
        }
    }
    json.EndArray().EndObject();
    return json.Text();
}

std::string MakeTicketReport(CFDictionaryRef ppdDict) {
    JsonWriter json;
    json.BeginObject();
    CFDictionaryApplyFunction(ppdDict, WriteEntry, &json);
    json.EndObject();
    return json.Text();
}

}  // namespace kvx::dialog
