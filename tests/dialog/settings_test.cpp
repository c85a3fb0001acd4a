// Saved settings in and out: --settings fills the ticket before the pane
// reads it, --save keeps what OK wrote, and the ticket report shows every
// entry as JSON.
#include <gmock/gmock.h>

#include <filesystem>

#include "dialog_fixture.hpp"

namespace kvx::test {
namespace {

using ::testing::HasSubstr;

TEST_F(DialogTest, RoundTripThroughSettingsAndSave) {
    const auto settings = dialog.WriteFile(
        "in.plist", SettingsPlist(StringEntry("Resolution", "600dpi") + StringEntry("PrintMode", "Private") +
                                  DigitEntries("DINDigit", "12345") + StringEntry("DeptCode", "True") +
                                  DigitEntries("DCDigit", "98765") + StringEntry("ZELOrientation", "Landscape")));
    const std::string saved = dialog.PathOf("out.plist").string();
    const CommandResult first = dialog.Run("show\nselect dc 0 5\ntype dc 4\nok\n",
                                          {"--settings", settings.string(), "--save", saved});
    ASSERT_EQ(first.exitStatus, 0) << first.err;
    const JsonValue show = first.Reports().at(0);
    EXPECT_EQ(show["print-mode"]["position"].number(), 3);
    EXPECT_EQ(show["din"]["text"].string(), "12345");
    EXPECT_TRUE(show["din"]["enabled"].boolean());
    EXPECT_EQ(show["department"]["position"].number(), 2);
    EXPECT_EQ(show["dc"]["text"].string(), "98765");
    EXPECT_EQ(show["orientation"]["position"].number(), 2);

    const CommandResult second = dialog.Run("ticket\n", {"--settings", saved});
    ASSERT_EQ(second.exitStatus, 0) << second.err;
    const JsonValue ticket = second.Reports().at(0);
    EXPECT_EQ(ticket["PrintMode"].string(), "Private");
    EXPECT_EQ(DigitsOf(ticket, "DINDigit"), "12345");
    EXPECT_EQ(DigitsOf(ticket, "DCDigit"), "00004");
    EXPECT_EQ(ticket["ZELOrientation"].string(), "Landscape");
    EXPECT_EQ(ticket["Resolution"].string(), "600dpi") << "keys that are not the pane's stay";
}

TEST_F(DialogTest, StrayPrintModeComesBackAsNormal) {
    const auto settings = dialog.WriteFile("in.plist", SettingsPlist(StringEntry("PrintMode", "private")));
    const std::string saved = dialog.PathOf("out.plist").string();
    const CommandResult result = dialog.Run("show\nok\n", {"--settings", settings.string(), "--save", saved});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.Reports().at(0)["print-mode"]["item"].string(), "Normal");
    EXPECT_EQ(dialog.Run("ticket\n", {"--settings", saved}).Reports().at(0)["PrintMode"].string(), "Normal");
}

// By default an error; with --ignore-bad-settings a fresh start from the
// defaults; never saved over; either way the file keeps every byte it had.
TEST_F(DialogTest, UnusableSettingsFileIsAnErrorOrIgnoredButNeverTouched) {
    const struct {
        std::string name;
        std::string bytes;
        std::string_view complaint;
    } cases[] = {
        {"text.plist", "PrintMode = Private\n", "cannot read the settings file"},
        {"cut.plist", SettingsPlist(StringEntry("PrintMode", "Private")).substr(0, 80), "cannot read the settings file"},
        {"array.plist",
         R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><array><string>Private</string></array></plist>)",
         "does not hold a dictionary"},
    };
    const std::string saved = dialog.PathOf("out.plist").string();
    for (const auto &[name, bytes, complaint] : cases) {
        SCOPED_TRACE(name);
        const std::string settings = dialog.WriteFile(name, bytes).string();
        for (const std::string &save : {saved, settings}) {
            for (const bool ignore : {false, true}) {
                std::vector<std::string> arguments{"--settings", settings, "--save", save};
                if (ignore) arguments.push_back("--ignore-bad-settings");
                const CommandResult result = dialog.Run("choose print-mode Proof\nok\nticket\n", arguments);
                EXPECT_THAT(result.err, HasSubstr(settings)) << "the user is told the file was not used";
                EXPECT_EQ(ReadFile(settings), bytes);
                if (ignore && save == saved) {
                    ASSERT_EQ(result.exitStatus, 0) << result.err;
                    EXPECT_EQ(result.Reports().at(0)["PrintMode"].string(), "Proof");
                    EXPECT_TRUE(std::filesystem::remove(saved)) << "saving elsewhere still works";
                } else {
                    EXPECT_EQ(result.exitStatus, 2);
                    EXPECT_FALSE(std::filesystem::exists(saved));
                    EXPECT_THAT(result.err, HasSubstr(ignore ? "" : complaint));
                }
            }
        }
    }

    const std::string missing = dialog.PathOf("missing.plist").string();
    const CommandResult result = dialog.Run("ok\n", {"--settings", missing, "--save", saved});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_THAT(result.err, HasSubstr(missing));
    EXPECT_FALSE(std::filesystem::exists(saved));
}

TEST_F(DialogTest, NothingIsSavedUnlessTheDialogEndsWithOk) {
    const std::filesystem::path saved = dialog.PathOf("out.plist");
    for (const std::string_view script : {"choose print-mode 2\n", "choose print-mode 2\ncancel\n",
                                          "choose print-mode 2\nchoose print-mode 9\nok\n"}) {
        SCOPED_TRACE(script);
        dialog.Run(script, {"--save", saved.string()});
        EXPECT_FALSE(std::filesystem::exists(saved));
    }
}

TEST_F(DialogTest, SaveThatCannotBeWrittenIsAnError) {
    const std::string saved = dialog.PathOf("no/such/folder/out.plist").string();
    const CommandResult result = dialog.Run("ok\n", {"--save", saved});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_THAT(result.err, HasSubstr("cannot write the settings file \"" + saved + "\""));
}

TEST_F(DialogTest, EveryValueKeepsItsTypeAndEveryCharacterSurvives) {
    const auto settings = dialog.WriteFile(
        "in.plist", SettingsPlist(StringEntry("Quote\"Back\\slash", "tab\there\nnew line\rreturn") +
                                  StringEntry("Caf\xC3\xA9", "na\xC3\xAFve \xE2\x82\xAC") +
                                  StringEntry("Markup", "&lt;b&gt; &amp; /") +
                                  "<key>Copies</key><integer>-3</integer>\n"
                                  "<key>Scale</key><real>1.5</real>\n"
                                  "<key>Duplex</key><true/>\n"
                                  "<key>Collate</key><false/>\n"
                                  "<key>Trays</key><array><string>Upper</string></array>\n"));
    const CommandResult result = dialog.Run("ticket\n", {"--settings", settings.string()});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const JsonValue ticket = result.Reports().at(0);
    EXPECT_EQ(ticket["Quote\"Back\\slash"].string(), "tab\there\nnew line\rreturn");
    EXPECT_EQ(ticket["Caf\xC3\xA9"].string(), "na\xC3\xAFve \xE2\x82\xAC");
    EXPECT_EQ(ticket["Markup"].string(), "<b> & /");
    EXPECT_EQ(ticket["Copies"].number(), -3);
    EXPECT_EQ(ticket["Scale"].number(), 1.5);
    EXPECT_TRUE(ticket["Duplex"].boolean());
    EXPECT_FALSE(ticket["Collate"].boolean());
    EXPECT_THAT(ticket["Trays"].string(), HasSubstr("Upper")) << "other values read as their description";
}

}  // namespace
}  // namespace kvx::test
