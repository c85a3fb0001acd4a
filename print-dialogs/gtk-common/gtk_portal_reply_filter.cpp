#include "print-dialogs/gtk-common/gtk_portal_reply_filter.hpp"

#include <algorithm>
#include <array>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "print-dialogs/glib/printer_option.hpp"
#include "session/options/din_policy.hpp"
#include "session/tab/report.hpp"

namespace kvx::gtk_print {
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

// A reply's settings (a{sv}) by PPD key, as GTK's CUPS backend names them:
// what the DIN policy sets there is gathered, to be written into a copy.
class ReplySettings final : public session::SettingsStore {
public:
    explicit ReplySettings(GVariant *settings) : settings_(settings) {}

    bool Holds(std::string_view key) const override {
        const Variant value = Own(g_variant_lookup_value(settings_, CupsSettingKey(key).c_str(), nullptr));
        if (value && !g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING)) unreadable_ = true;
        return value && !unreadable_;
    }
    bool Set(std::string_view key, std::string_view value) override {
        const std::string name = CupsSettingKey(key);
        const Variant current = Own(g_variant_lookup_value(settings_, name.c_str(), G_VARIANT_TYPE_STRING));
        if (!current || g_variant_get_string(current.get(), nullptr) != value) changes_[name] = value;
        return true;
    }
    // Settings' key -> its new value.
    const std::map<std::string, std::string, std::less<>> &Changes() const { return changes_; }
    // A value of a key the policy looked at is not text.
    bool Unreadable() const { return unreadable_; }

private:
    GVariant *settings_;
    std::map<std::string, std::string, std::less<>> changes_;
    mutable bool unreadable_ = false;
};

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
        session::ReportProblem(std::string("no session bus; the print portal's reply keeps the DIN: ") +
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
    if (!g_variant_is_of_type(settings.get(), G_VARIANT_TYPE_VARDICT)) {
        g_debug("a print portal reply goes out as it is: its settings are not a dictionary");
        return message;
    }
    ReplySettings outgoing(settings.get());
    session::DinPolicy::Scrub(outgoing);
    if (outgoing.Unreadable()) {
        g_debug("a print portal reply goes out as it is: a DIN value is not a string");
        return message;
    }
    const Variant zeroed = Replaced(settings.get(), [&outgoing](std::string_view key, GVariant *) {
        const auto change = outgoing.Changes().find(key);
        return Own(change != outgoing.Changes().end() ? g_variant_new_string(change->second.c_str()) : nullptr);
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

}  // namespace kvx::gtk_print
