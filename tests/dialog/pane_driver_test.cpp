// The pane driver in process: every kind of bad script line (one scenario
// each would cost a dialog run apiece), how lines are counted, and a
// plug-ins folder whose second bundle breaks the first one's pane.
#include <gmock/gmock.h>

#include <filesystem>
#include <sstream>

#include "dialog/cli/dialog_error.hpp"
#include "dialog/script/pane_driver.hpp"
#include "support/temp_folder.hpp"

namespace kvx::test {
namespace {

using dialog::DialogError;
using ::testing::HasSubstr;

dialog::Options SamplePrinter(const std::string &plugInsFolder = KVX_PLUGINS_DIR) {
    dialog::Options options;
    options.ppdPath = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";
    options.plugInsFolder = plugInsFolder;
    return options;
}

// The status and message of the DialogError that the script ends with.
std::pair<int, std::string> FailureOf(dialog::PaneDriver &driver, const std::string &script) {
    std::istringstream lines(script);
    try {
        driver.RunScript(lines);
    } catch (const DialogError &error) {
        return {error.exitStatus(), error.what()};
    }
    return {dialog::kExitSuccess, ""};
}

TEST(PaneDriver, ABadLineEndsTheScriptNamingItsNumberLineAndFault) {
    // Comments, blank lines and CR LF endings count as lines but do nothing.
    // An item a popup lacks is dialog.scenario's.
    const std::pair<std::string, std::string> badLines[] = {
        {"frobnicate", "unknown action \"frobnicate\""},
        {"choose nope 1", "unknown control \"nope\""},
        {"choose print-mode", "choose needs an item after the control name"},
        {"type print-mode 1", "type needs a text field, and \"print-mode\" is not one"},
        {"type din", "type needs a text after the control name"},
        {"key din space", "unknown key \"space\""},
        {"select din 3 1", "the selection's start lies after its end"},
        {"select din -1 1", "\"-1\" is not a text position from 0 to 32767"},
        {"sync sideways", "expected \"sync to-ticket|from-ticket\""},
        {"show now", "show takes no arguments"},
    };
    for (const auto &[line, fault] : badLines) {
        std::ostringstream reports;
        dialog::PaneDriver driver(SamplePrinter(), reports);
        EXPECT_EQ(FailureOf(driver, "# the print mode\r\n\n   # indented\nshow\r\n" + line + "\nshow\n"),
                  std::pair(dialog::kExitUsage, "line 5: \"" + line + "\": " + fault));
        EXPECT_EQ(std::ranges::count(reports.str(), '\n'), 1) << reports.str();
    }
}

TEST(PaneDriver, PaneLackingAControlIsTornDownAndOnlyThatPaneIsTried) {
    // Two copies of the bundle. The host finds a bundle's resources through
    // the latest bundle opened with its identifier, B, whose interface file
    // has lost the orientation popup: A's pane, shown first, declines in
    // Initialize after it was half built, and B is never tried.
    const TempFolder folder;
    const auto plugIns = folder.path() / "PlugIns";
    for (const std::string_view name : {"A.plugin", "B.plugin"}) {
        std::filesystem::create_directories(plugIns / name);
        std::filesystem::copy(KVX_BUNDLE_DIR, plugIns / name, std::filesystem::copy_options::recursive);
    }
    const auto nib = plugIns / "B.plugin/Contents/Resources/PDE.nib";
    std::string interface = ReadFile(nib);
    const size_t orientation = interface.find("id=\"9\"");
    ASSERT_NE(orientation, std::string::npos);
    folder.write(std::filesystem::relative(nib, folder.path()), interface.replace(orientation, 6, "id=\"19\""));

    std::ostringstream reports;
    ::testing::internal::CaptureStderr();
    dialog::PaneDriver driver(SamplePrinter(plugIns.string()), reports);
    const auto [status, message] = FailureOf(driver, "ticket\nshow\n");
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, dialog::kExitNoPane);
    EXPECT_THAT(said, HasSubstr("B.plugin: the dialog shows one pane; this one is left out"));
    EXPECT_THAT(message, HasSubstr("line 2: \"show\": this action needs the pane"));
}

}  // namespace
}  // namespace kvx::test
