// kvx-dialog's window on a real X display (CTest runs this under
// xvfb-run): screenshots, the pane shown or not, and keys and clicks sent as
// real X events with xdotool, which reach the pane only through the host.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "gui_process.hpp"

namespace kvx::test {
namespace {

const std::string kSupportedPPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";
const std::string kOtherModelPPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm2200.ppd";

// Where the pane's interface file puts the print-mode popup and the DIN
// field, in the pane's own coordinates: the middle of each control.
constexpr int kPrintModeX = (150 + 300) / 2;
constexpr int kPrintModeY = (18 + 38) / 2;
constexpr int kDINX = (360 + 430) / 2;
constexpr int kDINY = (20 + 38) / 2;
constexpr int kPaneWidth = 460;
constexpr int kPaneHeight = 130;

struct PngSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

uint32_t BigEndian32(const unsigned char *bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

// The size in the PNG's header: the signature, then the IHDR chunk first.
PngSize ReadPngSize(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary);
    std::string header(24, '\0');
    file.read(header.data(), static_cast<std::streamsize>(header.size()));
    EXPECT_EQ(header.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(header.substr(12, 4), "IHDR");
    const auto *bytes = reinterpret_cast<const unsigned char *>(header.data());
    return {BigEndian32(bytes + 16), BigEndian32(bytes + 20)};
}

bool IsWindowLine(const JsonValue &line) {
    return line.keys() == std::vector<std::string>{"window"};
}

bool IsControlsLine(const JsonValue &line) {
    return !IsWindowLine(line);
}

// The last window layout that the trace reported.
JsonValue LastWindowLine(const std::string &trace) {
    JsonValue last;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        const JsonValue parsed = ParseJson(line);
        if (IsWindowLine(parsed)) last = parsed["window"];
    }
    return last;
}

class DialogWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char *display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X display: run under xvfb-run";
    }

    CommandResult RunDialog(const std::vector<std::string> &arguments, bool withoutDisplay = false) {
        std::vector<std::string> argv{KVX_DIALOG_EXECUTABLE};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return RunCommand(argv, 20s, withoutDisplay);
    }

    std::string WriteScript(std::string_view script) { return folder.write("test.script", script).string(); }

    TempFolder folder;
};

TEST_F(DialogWindowTest, ScreenshotIsAPngOfTheWholeWindow) {
    const std::string png = (folder.path() / "window.png").string();
    const CommandResult result = RunDialog({"--gui", "--gui-trace", "--ppd", kSupportedPPD, "--script",
                                            WriteScript("choose print-mode Private (DIN)\nselect din 0 5\ntype din 42\n"),
                                            "--screenshot", png});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const JsonValue window = LastWindowLine(result.out);
    ASSERT_FALSE(window.isNull()) << result.out;
    const PngSize size = ReadPngSize(png);
    EXPECT_EQ(size.width, window["width"].number());
    EXPECT_EQ(size.height, window["height"].number());
    // The window holds the pane at its full size, and more besides.
    EXPECT_GT(size.width, static_cast<uint32_t>(kPaneWidth));
    EXPECT_GT(size.height, static_cast<uint32_t>(kPaneHeight));
    EXPECT_FALSE(window["pane"].isNull());
}

TEST_F(DialogWindowTest, PrinterThePaneDoesNotServeShowsTheDialogWithoutIt) {
    const std::string png = (folder.path() / "window.png").string();
    const CommandResult result =
        RunDialog({"--gui", "--gui-trace", "--ppd", kOtherModelPPD, "--script", WriteScript("ticket\n"), "--screenshot", png});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const JsonValue window = LastWindowLine(result.out);
    ASSERT_FALSE(window.isNull()) << result.out;
    EXPECT_TRUE(window["pane"].isNull());
    EXPECT_NE(result.err.find("Korvane RM-2200"), std::string::npos) << result.err;
    EXPECT_EQ(ReadPngSize(png).width, window["width"].number());
}

TEST_F(DialogWindowTest, WindowWithoutADisplayIsABadUsage) {
    const CommandResult explicitWindow = RunDialog({"--gui"}, true);
    EXPECT_EQ(explicitWindow.exitStatus, 2);
    EXPECT_NE(explicitWindow.err.find("display"), std::string::npos) << explicitWindow.err;
    // Without a display and a script there is nothing to run.
    EXPECT_EQ(RunDialog({}, true).exitStatus, 2);
    EXPECT_EQ(RunDialog({"--gui", "--screenshot", "out.png"}).exitStatus, 2);
}

// xdotool drives the window as a person would; the trace tells what the
// host's model holds after each step.
class RealEventsTest : public DialogWindowTest {
protected:
    void SetUp() override {
        DialogWindowTest::SetUp();
        if (IsSkipped()) return;
        if (RunCommand({"xdotool", "version"}).exitStatus != 0) GTEST_SKIP() << "xdotool is not installed";
    }

    // The window's X id, searched by the title that the trace reported.
    std::string FindWindow(const std::string &title) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            const CommandResult found = RunCommand({"xdotool", "search", "--sync", "--name", "^" + title + "$"}, 5s);
            if (found.exitStatus == 0 && !found.out.empty()) return found.out.substr(0, found.out.find('\n'));
        }
        ADD_FAILURE() << "no window titled " << title;
        return {};
    }

    void Xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "xdotool");
        const CommandResult result = RunCommand(arguments, 10s);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
    }

    void ClickInPane(const std::string &window, const JsonValue &pane, int x, int y) {
        Xdotool({"mousemove", "--sync", "--window", window, std::to_string(static_cast<int>(pane[0].number()) + x),
                 std::to_string(static_cast<int>(pane[1].number()) + y), "click", "1"});
    }
};

std::string DINText(const JsonValue &controls) {
    return controls["din"]["text"].string();
}

TEST_F(RealEventsTest, KeysAndChoicesReachThePaneThroughTheHost) {
    RunningDialog dialog({"--gui", "--gui-trace", "--ppd", kSupportedPPD});
    const JsonValue window =
        dialog.WaitFor([](const JsonValue &line) { return IsWindowLine(line) && !line["window"]["pane"].isNull(); });
    const JsonValue &pane = window["window"]["pane"];
    const std::string id = FindWindow(window["window"]["title"].string());
    ASSERT_FALSE(id.empty());
    Xdotool({"windowfocus", "--sync", id});
    EXPECT_FALSE(dialog.Lines().front()["din"]["enabled"].boolean());

    // "Private" from the print-mode combo's menu: the relationship timer,
    // turned by the window's run loop, then enables the DIN field.
    ClickInPane(id, pane, kPrintModeX, kPrintModeY);
    Xdotool({"key", "--delay", "150", "Down", "Down", "Return"});
    dialog.WaitFor([](const JsonValue &line) {
        return IsControlsLine(line) && line["print-mode"]["item"].string() == "Private (DIN)" &&
               line["din"]["enabled"].boolean();
    });

    // Into the DIN field: select all, then a letter (refused, the selection
    // stays), digits over the selection, a sixth digit (refused), and a digit
    // over the last two.
    ClickInPane(id, pane, kDINX, kDINY);
    Xdotool({"key", "ctrl+a"});
    dialog.WaitFor([](const JsonValue &line) {
        return IsControlsLine(line) && line["din"]["selection"][0].number() == 0 &&
               line["din"]["selection"][1].number() == 5;
    });
    Xdotool({"type", "--delay", "50", "a12345"});
    Xdotool({"type", "6"});
    Xdotool({"key", "shift+Left", "shift+Left"});
    dialog.WaitFor([](const JsonValue &line) {
        return IsControlsLine(line) && DINText(line) == "12345" && line["din"]["selection"][0].number() == 3 &&
               line["din"]["selection"][1].number() == 5;
    });
    Xdotool({"type", "9"});
    dialog.WaitFor([](const JsonValue &line) { return IsControlsLine(line) && DINText(line) == "1239"; });

    // Every text the field held, in order: no letter, never six digits.
    std::vector<std::string> texts;
    for (const JsonValue &line : dialog.Lines()) {
        if (IsControlsLine(line) && (texts.empty() || texts.back() != DINText(line))) texts.push_back(DINText(line));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"00000", "1", "12", "123", "1234", "12345", "1239"}));
}

}  // namespace
}  // namespace kvx::test
