// The script and the command line: what is a bad line or bad usage, how the
// dialog says so, and the pane that is not there.
#include <gmock/gmock.h>

#include "dialog_fixture.hpp"

namespace kvx::test {
namespace {

using ::testing::HasSubstr;

TEST_F(DialogTest, BadLineNamesItsNumberAndTextAndStopsTheScript) {
    const CommandResult result = dialog.Run("# the print mode\n\n   # indented comment\nshow\nchoose print-mode\nshow\n");
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_THAT(result.err, HasSubstr("kvx-dialog: line 5: \"choose print-mode\": choose needs an item"));
    EXPECT_EQ(result.Reports().size(), 1u);
}

TEST_F(DialogTest, UnknownOrMalformedActionsAreBadLines) {
    const struct {
        std::string_view line;
        std::string_view complaint;
    } cases[] = {
        {"jump", "unknown action \"jump\""},
        {"type nope 1", "unknown control \"nope\""},
        {"type print-mode 1", "not one"},
        {"type din", "needs a text"},
        {"choose print-mode 6", "print-mode has no item \"6\""},
        {"choose print-mode 0", "has no item"},
        {"choose print-mode Private", "has no item"},
        {"choose department True", "has no item"},
        {"key din f1", "unknown key \"f1\""},
        {"select din 3 1", "start lies after its end"},
        {"select din -1 2", "not a text position"},
        {"select din 0 40000", "not a text position"},
        {"sync sideways", "expected"},
        {"show now", "takes no arguments"},
    };
    for (const auto &[line, complaint] : cases) {
        SCOPED_TRACE(line);
        const CommandResult result = dialog.Run(std::string(line) + "\n");
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_THAT(result.err, HasSubstr("line 1: \"" + std::string(line) + "\": "));
        EXPECT_THAT(result.err, HasSubstr(complaint));
        EXPECT_TRUE(result.out.empty());
    }
}

TEST_F(DialogTest, OnlyTicketMayFollowOkOrCancel) {
    EXPECT_EQ(dialog.Run("ok\nticket\nticket\n").exitStatus, 0);
    for (const std::string_view script : {"ok\nshow\n", "cancel\nok\n", "ok\ncancel\n", "cancel\ntype din 1\n"}) {
        SCOPED_TRACE(script);
        const CommandResult result = dialog.Run(script);
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_THAT(result.err, HasSubstr("line 2:"));
        EXPECT_THAT(result.err, HasSubstr("only ticket may follow"));
    }
}

TEST_F(DialogTest, OtherModelGetsNoPaneAndPaneActionsExitWithThree) {
    const CommandResult result = dialog.Run("ticket\nshow\n", {"--ppd", kOtherModelPPD});
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_THAT(result.err, HasSubstr("not shown for this printer (printer model \"Korvane RM-2200\")"));
    EXPECT_THAT(result.err, HasSubstr("line 2: \"show\": this action needs the pane"));
    EXPECT_EQ(result.Reports().size(), 1u) << "ticket needs no pane";

    const CommandResult accepted = dialog.Run("ok\nticket\n", {"--ppd", kOtherModelPPD});
    EXPECT_EQ(accepted.exitStatus, 0) << accepted.err;
    EXPECT_TRUE(accepted.Reports().at(0).object().empty()) << "no pane writes the ticket";
}

TEST_F(DialogTest, EmptyPlugInsFolderLeavesNoPaneToDrive) {
    const auto empty = dialog.PathOf("PlugIns");
    std::filesystem::create_directories(empty);
    const CommandResult result = dialog.Run("show\n", {"--plugins", empty.string()});
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_THAT(result.err, HasSubstr("no print dialog extension in"));
    EXPECT_THAT(result.err, HasSubstr("\"Korvane RM-4750\""));
}

TEST_F(DialogTest, PaneLackingAControlIsTornDownAndOnlyThatPaneIsTried) {
    // Two copies of the bundle. The host finds a bundle's resources through
    // the latest bundle opened with its identifier, B, whose interface file
    // has lost the orientation popup: A's pane, shown first, declines in
    // Initialize after it was half built, and B is never tried.
    const auto plugIns = dialog.PathOf("PlugIns");
    for (const std::string_view name : {"A.plugin", "B.plugin"}) {
        std::filesystem::create_directories(plugIns / name);
        std::filesystem::copy(KVX_BUNDLE_DIR, plugIns / name, std::filesystem::copy_options::recursive);
    }
    const auto nib = plugIns / "B.plugin/Contents/Resources/PDE.nib";
    std::string interface = ReadFile(nib);
    const size_t orientation = interface.find("id=\"9\"");
    ASSERT_NE(orientation, std::string::npos);
    dialog.WriteFile(std::filesystem::relative(nib, dialog.PathOf("")), interface.replace(orientation, 6, "id=\"19\""));

    const CommandResult result = dialog.Run("ticket\nshow\n", {"--plugins", plugIns.string()});
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_THAT(result.err, HasSubstr("B.plugin: the dialog shows one pane; this one is left out"));
    EXPECT_THAT(result.err, HasSubstr("line 2: \"show\": this action needs the pane"));
}

TEST_F(DialogTest, HelpAndTheScriptOnStandardInput) {
    const CommandResult help = dialog.RunWithArguments({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    for (const std::string_view word : {"--ppd", "--plugins", "--settings", "--save", "--script", "choose CONTROL ITEM",
                                        "type CONTROL TEXT", "key CONTROL NAME", "select CONTROL START END",
                                        "settext CONTROL TEXT", "sync to-ticket", "sync from-ticket", "summary",
                                        "cancel", "Exit status"}) {
        EXPECT_THAT(help.out, HasSubstr(word));
    }
    const CommandResult result = dialog.RunWithArguments({"--ppd=" + kSupportedPPD, "--script", "-"},
                                                         dialog.WriteFile("in.script", "choose print-mode 2\nshow\n"));
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.Reports().at(0)["print-mode"]["item"].string(), "Proof");
}

TEST_F(DialogTest, BadUsageExitsWithTwoAndSaysWhy) {
    const std::string script = dialog.WriteFile("ok.script", "ok\n").string();
    const struct {
        std::vector<std::string> arguments;
        std::string_view complaint;
    } cases[] = {
        {{}, "--script"},
        {{"--bogus", "--script", script}, "unknown option \"--bogus\""},
        {{"--script"}, "--script needs a value"},
        {{"--script", dialog.PathOf("missing.script").string()}, "cannot read the script"},
        {{"--ppd", dialog.PathOf("missing.ppd").string(), "--script", script}, "cannot read the PPD file"},
        {{"--plugins", dialog.PathOf("nowhere").string(), "--script", script}, "cannot read the plug-ins folder"},
        {{"--ppd", kSupportedPPD, "--printer", "desk", "--script", script}, "--ppd and --printer"},
        {{"--print", script, "--script", script}, "--printer QUEUE"},
        {{"--save-defaults", "--script", script}, "--printer QUEUE"},
    };
    for (const auto &[arguments, complaint] : cases) {
        SCOPED_TRACE(complaint);
        const CommandResult result = dialog.RunWithArguments(arguments);
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_THAT(result.err, HasSubstr("kvx-dialog: "));
        EXPECT_THAT(result.err, HasSubstr(complaint));
        EXPECT_TRUE(result.out.empty());
    }
}

}  // namespace
}  // namespace kvx::test
