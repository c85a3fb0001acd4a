#include "portal_reply_filter.hpp"

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/din_policy.hpp"
#include "core/report.hpp"

namespace kvx::gtk_module {
namespace {

// The portal backends that draw GTK's print dialog; each sets this program
// name itself before it connects.
constexpr std::array<std::string_view, 2> kPortalBackends = {"xdg-desktop-portal-gtk", "xdg-desktop-portal-gnome"};

// PreparePrint's reply (org.freedesktop.impl.portal.Print): the response and
// the results, which only this reply fills with the dialog's settings and
// the token that Print then passes to find the settings kept for the job.
constexpr const char *kReplyType = "(ua{sv})";
constexpr const char *kSettingsResult = "settings";
constexpr const char *kTokenResult = "token";

using Variant = std::unique_ptr<GVariant, decltype(&g_variant_unref)>;

// Holds a new value, floating or not.
Variant Own(GVariant *value) {
    return Variant(value == nullptr ? nullptr : g_variant_take_ref(value), g_variant_unref);
}

// Why the settings of a PreparePrint reply cannot be rewritten; null when
// they can.
const char *Unreadable(GVariant *settings) {
    if (!g_variant_is_of_type(settings, G_VARIANT_TYPE_VARDICT)) return "its settings are not a dictionary";
    for (const std::string &key : print_dialogs::DINSettingKeys()) {
        Variant value = Own(g_variant_lookup_value(settings, key.c_str(), nullptr));
        if (value && !g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING)) return "a DIN value is not a string";
    }
    return nullptr;
}

// DICTIONARY (a{sv}) with the value of each key for which REPLACEMENT gives
// one replaced by it, every entry in its place; null when none is.
template <typename Replacement>
Variant Replaced(GVariant *dictionary, Replacement replacement) {
    std::vector<Variant> entries;
    bool replaced = false;
    const gsize count = g_variant_n_children(dictionary);
    for (gsize index = 0; index < count; ++index) {
        Variant entry = Own(g_variant_get_child_value(dictionary, index));
        const char *key = nullptr;
        GVariant *unboxed = nullptr;
        g_variant_get(entry.get(), "{&sv}", &key, &unboxed);
        const Variant value = Own(unboxed);
        if (Variant newValue = replacement(std::string_view(key), value.get())) {
            entries.push_back(Own(g_variant_new_dict_entry(g_variant_new_string(key), g_variant_new_variant(newValue.get()))));
            replaced = true;
        } else {
            entries.push_back(std::move(entry));
        }
    }
    if (!replaced) return Own(nullptr);
    std::vector<GVariant *> children;
    std::ranges::transform(entries, std::back_inserter(children), &Variant::get);
    return Own(g_variant_new_array(G_VARIANT_TYPE("{sv}"), children.data(), children.size()));
}

// Runs on the connection's worker thread, for every message in and out.
GDBusMessage *FilterOutgoing(GDBusConnection *, GDBusMessage *message, gboolean incoming, gpointer) {
    if (incoming) return message;
    try {
        return WithoutDIN(message);
    } catch (const std::exception &error) {
        g_debug("a print portal reply goes out as it is: %s", error.what());
        return message;
    }
}

}  // namespace

void KeepDINOutOfPortalReplies() {
    const char *program = g_get_prgname();
    if (program == nullptr || std::ranges::find(kPortalBackends, program) == kPortalBackends.end()) return;
    // The backend owns its name, and so answers, on the process's shared
    // session connection (g_bus_own_name), which this gives.
    GError *error = nullptr;
    const std::unique_ptr<GDBusConnection, decltype(&g_object_unref)> bus(
        g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error), g_object_unref);
    if (!bus) {
        print_dialogs::ReportProblem(std::string("no session bus; the print portal's reply keeps the DIN: ") +
                                     error->message);
        g_error_free(error);
        return;
    }
    g_dbus_connection_add_filter(bus.get(), FilterOutgoing, nullptr, nullptr);
}

// Recognised by its results rather than by the serial of its call: the
// first call arrives before the dialog it opens loads this module.
GDBusMessage *WithoutDIN(GDBusMessage *message) {
    GVariant *body = g_dbus_message_get_body(message);
    if (g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_METHOD_RETURN || body == nullptr ||
        !g_variant_is_of_type(body, G_VARIANT_TYPE(kReplyType))) {
        return message;
    }
    const Variant results = Own(g_variant_get_child_value(body, 1));
    const Variant settings = Own(g_variant_lookup_value(results.get(), kSettingsResult, nullptr));
    const Variant token = Own(g_variant_lookup_value(results.get(), kTokenResult, G_VARIANT_TYPE_UINT32));
    if (!settings || !token) return message;
    if (const char *problem = Unreadable(settings.get())) {
        g_debug("a print portal reply goes out as it is: %s", problem);
        return message;
    }

    const Variant zeroed = Replaced(settings.get(), [](std::string_view key, GVariant *value) {
        const bool keep = !print_dialogs::IsDINSetting(key) ||
                          g_variant_get_string(value, nullptr) == print_dialogs::kDINStartingDigit;
        return Own(keep ? nullptr : g_variant_new_string(std::string(print_dialogs::kDINStartingDigit).c_str()));
    });
    if (!zeroed) return message;
    const Variant newResults = Replaced(results.get(), [&zeroed](std::string_view key, GVariant *) {
        return Own(key == kSettingsResult ? g_variant_ref(zeroed.get()) : nullptr);
    });

    GError *error = nullptr;
    GDBusMessage *reply = g_dbus_message_copy(message, &error);
    if (reply == nullptr) {
        g_debug("a print portal reply goes out as it is: %s", error->message);
        g_error_free(error);
        return message;
    }
    const Variant response = Own(g_variant_get_child_value(body, 0));
    GVariant *reply_body[] = {response.get(), newResults.get()};
    g_dbus_message_set_body(reply, g_variant_new_tuple(reply_body, G_N_ELEMENTS(reply_body)));
    g_object_unref(message);
    return reply;
}

}  // namespace kvx::gtk_module
