// The print portal backend's replies as the filter lets them go: each
// reply body (GVariant text) and what it must go out as, compared as the
// bytes on the bus.
#include <gtest/gtest.h>

#include <string>

#include "print-dialogs/gtk-common/gtk_portal_reply_filter.hpp"

namespace kvx::test {
namespace {

struct Reply {
    const char *what;
    const char *body;
    const char *sent;  // null: the very message, untouched
};

const Reply kReplies[] = {
    {"PreparePrint: the DIN goes to zeros, the department code and all else stay",
     "(uint32 0, {'settings': <{'printer': <'a-korvane'>, 'cups-DINDigit1': <'4'>, 'cups-DINDigit2': <'8'>, "
     "'cups-DCDigit1': <'9'>, 'cups-DINDigit3': <'2'>, 'cups-DINDigit4': <'1'>, 'cups-DINDigit5': <'3'>, "
     "'n-copies': <'2'>}>, 'token': <uint32 3141592653>, 'page-setup': <{'PPDName': <'A4'>, 'Width': <210.0>}>})",
     "(uint32 0, {'settings': <{'printer': <'a-korvane'>, 'cups-DINDigit1': <'0'>, 'cups-DINDigit2': <'0'>, "
     "'cups-DCDigit1': <'9'>, 'cups-DINDigit3': <'0'>, 'cups-DINDigit4': <'0'>, 'cups-DINDigit5': <'0'>, "
     "'n-copies': <'2'>}>, 'token': <uint32 3141592653>, 'page-setup': <{'PPDName': <'A4'>, 'Width': <210.0>}>})"},
    {"PreparePrint without a DIN", "(uint32 0, {'settings': <{'cups-DINDigit1': <'0'>, 'printer': <'x'>}>, "
                                   "'token': <uint32 7>})", nullptr},
    {"PreparePrint cancelled", "(uint32 1, @a{sv} {})", nullptr},
    {"a reply without a token is not PreparePrint's",
     "(uint32 0, {'settings': <{'cups-DINDigit1': <'4'>}>, 'choices': <'x'>})", nullptr},
    {"unreadable: a DIN that is not a string", "(uint32 0, {'settings': <{'cups-DINDigit1': <'4'>, "
                                               "'cups-DINDigit2': <int32 8>}>, 'token': <uint32 7>})", nullptr},
    {"unreadable: settings that are not a dictionary", "(uint32 0, {'settings': <'cups-DINDigit1=4'>, "
                                                       "'token': <uint32 7>})", nullptr},
};

// A method return to a call on the backend, locked, as the connection hands
// it to its filters.
GDBusMessage *Message(GDBusMessageType type, const char *body) {
    GDBusMessage *call = g_dbus_message_new_method_call(":1.4", "/org/freedesktop/portal/desktop",
                                                        "org.freedesktop.impl.portal.Print", "PreparePrint");
    g_dbus_message_set_serial(call, 41);
    GDBusMessage *message = type == G_DBUS_MESSAGE_TYPE_METHOD_CALL ? call : g_dbus_message_new_method_reply(call);
    if (message != call) g_object_unref(call);
    g_dbus_message_set_serial(message, 7);
    GError *error = nullptr;
    GVariant *value = g_variant_parse(nullptr, body, nullptr, nullptr, &error);
    EXPECT_NE(value, nullptr) << body << ": " << (error ? error->message : "");
    g_dbus_message_set_body(message, value);
    g_dbus_message_lock(message);
    return message;
}

std::string Bytes(GDBusMessage *message) {
    gsize size = 0;
    guchar *blob = g_dbus_message_to_blob(message, &size, G_DBUS_CAPABILITY_FLAGS_NONE, nullptr);
    std::string bytes(reinterpret_cast<const char *>(blob), size);
    g_free(blob);
    return bytes;
}

// The filter's result, given MESSAGE (which it takes): the same object, or
// the bytes of the copy it sends instead.
std::string Sent(GDBusMessage *message, bool &same) {
    g_object_ref(message);
    GDBusMessage *sent = gtk_print::WithoutDIN(message);
    same = sent == message;
    std::string bytes = Bytes(sent);
    g_object_unref(sent);
    g_object_unref(message);
    return bytes;
}

TEST(PortalReply, PreparePrintGoesOutWithoutTheDINAndEveryOtherByteAsItWas) {
    for (const Reply &reply : kReplies) {
        SCOPED_TRACE(reply.what);
        GDBusMessage *message = Message(G_DBUS_MESSAGE_TYPE_METHOD_RETURN, reply.body);
        const std::string before = Bytes(message);
        bool same = false;
        const std::string sent = Sent(message, same);
        EXPECT_EQ(same, reply.sent == nullptr);
        if (reply.sent == nullptr) {
            EXPECT_EQ(sent, before);
        } else {
            GDBusMessage *expected = Message(G_DBUS_MESSAGE_TYPE_METHOD_RETURN, reply.sent);
            EXPECT_EQ(sent, Bytes(expected));
            g_object_unref(expected);
        }
    }
    // The application's own settings on their way in are not the backend's to change.
    bool same = false;
    Sent(Message(G_DBUS_MESSAGE_TYPE_METHOD_CALL, kReplies[0].body), same);
    EXPECT_TRUE(same);
}

}  // namespace
}  // namespace kvx::test
