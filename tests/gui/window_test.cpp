// kvx-dialog's window on a real X display (CTest runs this under
// xvfb-run): screenshots, the pane shown or not, and keys and clicks sent as
// real X events with xdotool, which reach the pane only through the host.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "gui_process.hpp"

namespace kvx::test {
namespace {

const std::string kSupportedPPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";
const std::string kOtherModelPPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm2200.ppd";

// The middle of the print-mode popup, in the pane's coordinates as its
// interface file lays them out, and the pane's size.
constexpr int kPrintModeX = (150 + 300) / 2, kPrintModeY = (18 + 38) / 2;
constexpr double kPaneWidth = 460, kPaneHeight = 130;

// The width and height in the PNG's header: the signature, then IHDR.
std::pair<double, double> ReadPngSize(const std::filesystem::path &path) {
    const std::string header = ReadFile(path).substr(0, 24);
    EXPECT_EQ(header.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(header.substr(12, 4), "IHDR");
    const auto at = [&](size_t index) {
        uint32_t value = 0;
        for (size_t byte = 0; byte < 4; ++byte) value = value << 8 | static_cast<unsigned char>(header.at(index + byte));
        return static_cast<double>(value);
    };
    return {at(16), at(20)};
}

// The X server's bells as xkbevd hears them: a line in a file for each.
// xkbevd rings once itself when it starts to listen; the count starts there.
class BellLog {
public:
    explicit BellLog(const TempFolder &folder) : path_(folder.path() / "bells") {
        const auto config = folder.write("xkbevd.cf", "Bell() shell \"echo >> " + path_.string() + "\"\n");
        pid_ = StartProgram({"xkbevd", "-cfg", config.string()}, "/dev/null", "/dev/null", false, out_);
        own_ = CountAfterWaitingFor(1);
    }
    ~BellLog() {
        close(out_);
        ::kill(pid_, SIGTERM);
        Reap(pid_, false);
    }
    // Waits a while for the bells still on their way.
    long CountAfterWaitingFor(long expected) const {
        long count = 0;
        for (int wait = 0; wait < 50 && (count = std::ranges::count(ReadFile(path_), '\n') - own_) < expected; ++wait) {
            std::this_thread::sleep_for(100ms);
        }
        return count;
    }

private:
    std::filesystem::path path_;
    pid_t pid_ = -1;
    int out_ = -1;
    long own_ = 0;
};

bool IsWindowLine(const Json &line) { return line.size() == 1 && line.contains("window"); }
// A `show` report, not a layout or printer chooser line.
bool IsControlsLine(const Json &line) { return line.contains("din"); }

class DialogWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char *display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X display: run under xvfb-run";
    }

    static CommandResult RunDialog(std::vector<std::string> arguments, bool withoutDisplay = false) {
        arguments.insert(arguments.begin(), KVX_DIALOG_EXECUTABLE);
        return RunCommand(arguments, 20s, withoutDisplay);
    }

    TempFolder folder;
};

TEST_F(DialogWindowTest, ScreenshotIsAPngOfTheWholeWindowWithThePaneOnlyForItsPrinter) {
    const std::string png = (folder.path() / "window.png").string();
    for (const bool supported : {true, false}) {
        SCOPED_TRACE(supported);
        const std::string script =
            folder.write("test.script", "choose print-mode Private (DIN)\nselect din 0 5\ntype din 42\n").string();
        const CommandResult result = RunDialog({"--gui", "--gui-trace", "--ppd", supported ? kSupportedPPD : kOtherModelPPD,
                                                "--script", supported ? script : folder.write("t", "ticket\n").string(),
                                                "--screenshot", png});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        Json window;  // the last layout that the trace reported
        for (const Json &line : result.Reports()) {
            if (IsWindowLine(line)) window = line.at("window");
        }
        ASSERT_FALSE(window.is_null()) << result.out;
        const auto [width, height] = ReadPngSize(png);
        EXPECT_EQ(width, window.at("width").get<double>());
        EXPECT_EQ(height, window.at("height").get<double>());
        EXPECT_EQ(window.at("pane").is_null(), !supported);
        if (supported) {  // the pane at its full size, and more besides
            EXPECT_GT(width, kPaneWidth);
            EXPECT_GT(height, kPaneHeight);
        } else {
            EXPECT_NE(result.err.find("Korvane RM-2200"), std::string::npos) << result.err;
        }
    }
}

// --gui without a display is dialog.scenario's.
TEST_F(DialogWindowTest, WithoutAScriptThereIsNothingToRunHeadlessOrToShoot) {
    EXPECT_EQ(RunDialog({}, true).exitStatus, 2);
    EXPECT_EQ(RunDialog({"--gui", "--screenshot", "out.png"}).exitStatus, 2);
}

// xdotool drives the window as a person would; the trace tells what the
// host's model holds after each step.
TEST_F(DialogWindowTest, KeysAndChoicesReachThePaneThroughTheHost) {
    if (RunCommand({"xdotool", "version"}).exitStatus != 0) GTEST_SKIP() << "xdotool is not installed";
    const auto xdotool = [](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "xdotool");
        const CommandResult result = RunCommand(arguments, 10s);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        return result.out;
    };
    // GTK's own select-on-focus off: every selection on focus below is the pane's.
    folder.write("config/gtk-3.0/settings.ini", "[Settings]\ngtk-entry-select-on-focus=false\n");
    setenv("XDG_CONFIG_HOME", (folder.path() / "config").c_str(), 1);
    RunningDialog dialog({"--gui", "--gui-trace", "--ppd", kSupportedPPD});
    const Json window =
        dialog.WaitFor([](const Json &line) { return IsWindowLine(line) && !line.at("window").at("pane").is_null(); }).at("window");
    std::string id;  // the window's X id, searched by the title that the trace reported
    for (int attempt = 0; attempt < 5 && id.empty(); ++attempt) {
        const CommandResult found =
            RunCommand({"xdotool", "search", "--sync", "--name", "^" + window.at("title").get<std::string>() + "$"}, 5s);
        if (found.exitStatus == 0) id = found.out.substr(0, found.out.find('\n'));
    }
    ASSERT_FALSE(id.empty()) << "no window titled " << window.at("title").get<std::string>();
    const BellLog bells(folder);
    const auto field = [&](const std::string &name, const std::string &text, int start, int end) {
        dialog.WaitFor([&](const Json &line) {
            if (!IsControlsLine(line)) return false;
            const Json &shown = line.at(name);
            return shown.at("text").get<std::string>() == text &&
                   (start < 0 || (shown.at("selection")[0].get<double>() == start &&
                                  shown.at("selection")[1].get<double>() == end));
        });
    };
    xdotool({"windowfocus", "--sync", id});
    EXPECT_FALSE(dialog.Lines().front().at("din").at("enabled").get<bool>());

    // "Private" from the print-mode combo's menu: the relationship timer,
    // turned by the window's run loop, then enables the DIN field.
    xdotool({"mousemove", "--sync", "--window", id,
             std::to_string(static_cast<int>(window.at("pane")[0].get<double>()) + kPrintModeX),
             std::to_string(static_cast<int>(window.at("pane")[1].get<double>()) + kPrintModeY), "click", "1"});
    xdotool({"key", "--delay", "150", "Down", "Down", "Return"});
    dialog.WaitFor([](const Json &line) {
        return IsControlsLine(line) && line.at("print-mode").at("item").get<std::string>() == "Private (DIN)" &&
               line.at("din").at("enabled").get<bool>();
    });

    // Tab into the DIN field selects its zeros; then a letter (refused with
    // a bell, the selection stays), digits over the selection, a sixth digit
    // (refused with a bell), and a digit over the last two.
    xdotool({"key", "Tab"});
    field("din", "00000", 0, 5);
    xdotool({"type", "--delay", "50", "a12345"});
    xdotool({"type", "6"});
    xdotool({"key", "shift+Left", "shift+Left"});
    field("din", "12345", 3, 5);
    xdotool({"type", "9"});
    field("din", "1239", -1, -1);

    // Tab, Shift+Tab and clicks into the zeros are the GTK print dialog's
    // tests' (tests/gtk-module), on the same pane view.
    EXPECT_EQ(bells.CountAfterWaitingFor(2), 2) << "a bell for the letter and the sixth digit, none else";

    // Every text the field held, in order: no letter, never six digits.
    std::vector<std::string> texts;
    for (const Json &line : dialog.Lines()) {
        if (!IsControlsLine(line)) continue;
        const std::string &text = line.at("din").at("text").get<std::string>();
        if (texts.empty() || texts.back() != text) texts.push_back(text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"00000", "1", "12", "123", "1234", "12345", "1239"}));
}

}  // namespace
}  // namespace kvx::test
