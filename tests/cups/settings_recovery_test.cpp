// A settings file the dialog cannot use: by default an error, with
// --ignore-bad-settings a fresh start from the defaults; either way the
// file keeps every byte it had.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog/dialog_process.hpp"

namespace kvx::test {
namespace {

using ::testing::HasSubstr;

struct UnusableSettings {
    std::string name;
    std::string bytes;
};

const UnusableSettings kUnusable[] = {
    {"garbage.plist", "this is no property list\n"},
    {"array.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><array><string>PrintMode</string></array></plist>
)"},
    {"truncated.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>PrintMode</key><string>Priv)"},
};

TEST(DialogSettingsRecovery, IgnoringABadFileStartsFromDefaultsAndLeavesItAlone) {
    for (const auto &[name, bytes] : kUnusable) {
        const DialogProcess dialog;
        const std::filesystem::path settings = dialog.WriteFile(name, bytes);
        const std::string saved = dialog.PathOf("saved.plist").string();
        const DialogResult result = dialog.Run("choose print-mode Proof\nok\nticket\n",
                                               {"--settings", settings.string(), "--ignore-bad-settings", "--save", saved});
        ASSERT_EQ(result.exitStatus, 0) << name << ": " << result.err;
        EXPECT_THAT(result.err, HasSubstr(settings.string())) << "the user is told the file was not used";
        EXPECT_EQ(result.Reports().at(0)["PrintMode"].string(), "Proof");
        EXPECT_EQ(ReadFile(settings), bytes) << name;
        EXPECT_TRUE(std::filesystem::exists(saved)) << "saving elsewhere still works";
    }
}

TEST(DialogSettingsRecovery, BadFileIsNeverSavedOverEvenWhenIgnored) {
    for (const auto &[name, bytes] : kUnusable) {
        const DialogProcess dialog;
        const std::filesystem::path settings = dialog.WriteFile(name, bytes);
        for (const std::vector<std::string> &extra :
             {std::vector<std::string>{}, std::vector<std::string>{"--ignore-bad-settings"}}) {
            std::vector<std::string> arguments = {"--settings", settings.string(), "--save", settings.string()};
            arguments.insert(arguments.end(), extra.begin(), extra.end());
            const DialogResult result = dialog.Run("ok\n", arguments);
            EXPECT_EQ(result.exitStatus, 2) << name;
            EXPECT_THAT(result.err, HasSubstr(settings.string()));
            EXPECT_EQ(ReadFile(settings), bytes) << name;
        }
    }
}

TEST(DialogCupsOptions, PrinterOptionsThatCannotWorkTogetherAreUsageErrors) {
    const DialogProcess dialog;
    const std::string document = dialog.WriteFile("page.ps", "%!PS\n").string();
    const struct {
        std::vector<std::string> arguments;
        std::string complaint;
    } cases[] = {
        {{"--ppd", KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd", "--printer", "desk"}, "--ppd and --printer"},
        {{"--print", document}, "--printer QUEUE"},
        {{"--save-defaults"}, "--printer QUEUE"},
    };
    for (const auto &[arguments, complaint] : cases) {
        const DialogResult result = dialog.Run("ok\n", arguments);
        EXPECT_EQ(result.exitStatus, 2) << complaint;
        EXPECT_THAT(result.err, HasSubstr(complaint));
    }
}

}  // namespace
}  // namespace kvx::test
