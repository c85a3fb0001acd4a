// The dialog driving the real pane: what a user's choices, keys and pastes
// do, seen through the show, summary and ticket reports.
#include <gmock/gmock.h>

#include "dialog_fixture.hpp"

namespace kvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<double> SelectionOf(const JsonValue &field) {
    return {field["selection"][0].number(), field["selection"][1].number()};
}

TEST_F(DialogTest, ReportsAPrivateJobWithADepartmentCode) {
    const CommandResult result = dialog.Run(ReadFile(KVX_SOURCE_DIR "/dialog/demo.script"));
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<JsonValue> reports = result.Reports();
    ASSERT_EQ(reports.size(), 3u) << result.out;

    const JsonValue &show = reports[0];
    EXPECT_THAT(show.keys(), ElementsAre("print-mode", "din", "department", "dc", "orientation"));
    EXPECT_EQ(show["print-mode"]["position"].number(), 3);
    EXPECT_EQ(show["print-mode"]["item"].string(), "Private (DIN)");
    EXPECT_EQ(show["din"]["text"].string(), "42");
    EXPECT_TRUE(show["din"]["enabled"].boolean());
    EXPECT_EQ(show["department"]["item"].string(), "On");
    EXPECT_EQ(show["dc"]["text"].string(), "305");
    EXPECT_TRUE(show["dc"]["enabled"].boolean());

    const JsonValue &summary = reports[1];
    EXPECT_EQ(summary["status"].number(), 0);
    ASSERT_EQ(summary["rows"].array().size(), 3u);
    EXPECT_EQ(summary["rows"][0][1].string(), "Private (DIN)");
    EXPECT_EQ(summary["rows"][1][1].string(), "00042");
    EXPECT_EQ(summary["rows"][2][1].string(), "00305");

    const JsonValue &ticket = reports[2];
    EXPECT_EQ(ticket["PrintMode"].string(), "Private");
    EXPECT_EQ(DigitsOf(ticket, "DINDigit"), "00042");
    EXPECT_EQ(ticket["DeptCode"].string(), "True");
    EXPECT_EQ(DigitsOf(ticket, "DCDigit"), "00305");
    EXPECT_EQ(ticket["ZELOrientation"].string(), "Portrait");
}

TEST_F(DialogTest, KeysMeetTheFieldsLimitsAsAUsersWould) {
    const CommandResult result = dialog.Run(
        "choose print-mode Private (DIN)\n"
        "settext din\n"
        "type din 1a b2\n"
        "show\n"
        "settext din\n"
        "type din 123456\n"
        "show\n"
        "select din 1 3\n"
        "type din 9\n"
        "show\n"
        "key din backspace\n"
        "key din home\n"
        "type din 7\n"
        "show\n");
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<JsonValue> reports = result.Reports();
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0]["din"]["text"].string(), "12") << "letters and blanks are refused";
    EXPECT_EQ(reports[1]["din"]["text"].string(), "12345") << "a sixth digit is refused";
    EXPECT_THAT(SelectionOf(reports[1]["din"]), ElementsAre(5, 5));
    EXPECT_EQ(reports[2]["din"]["text"].string(), "1945") << "a digit replaces the selection";
    EXPECT_EQ(reports[3]["din"]["text"].string(), "7145") << "backspace takes the digit before the caret";
    EXPECT_THAT(SelectionOf(reports[3]["din"]), ElementsAre(1, 1));
}

TEST_F(DialogTest, DisabledFieldTakesNothingAndTheDialogSaysSo) {
    const CommandResult result = dialog.Run(
        "type din 1\n"
        "settext din 7\n"
        "select din 0 0\n"
        "choose department On\n"
        "choose department Off\n"
        "type dc 5\n"
        "show\n");
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const JsonValue show = result.Reports().at(0);
    EXPECT_EQ(show["din"]["text"].string(), "00000");
    EXPECT_FALSE(show["din"]["enabled"].boolean());
    EXPECT_EQ(show["dc"]["text"].string(), "00000");
    EXPECT_FALSE(show["dc"]["enabled"].boolean());
    EXPECT_THAT(result.err, HasSubstr("line 1: \"type din 1\": din is disabled"));
    EXPECT_THAT(result.err, HasSubstr("line 3:"));
    EXPECT_THAT(result.err, HasSubstr("line 6: \"type dc 5\": dc is disabled"));
}

TEST_F(DialogTest, TextArrivesWithItsBlanksAndCharactersIntact) {
    const CommandResult result = dialog.Run(
        "choose print-mode 3\n"
        "settext din  1 2 \n"
        "show\n"
        "settext din Zürich\r\n"
        "show\n"
        "settext din\n"
        "type din \xC3\xA9\xF0\x9F\x96\xA8\n"
        "show\n");
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<JsonValue> reports = result.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0]["din"]["text"].string(), " 1 2 ");
    EXPECT_EQ(reports[1]["din"]["text"].string(), "Zürich") << "a script line's CR LF ending is not text";
    // The field lets through a key beyond 7-bit ASCII ('é' is a Mac Roman
    // byte), but not the two halves of the printer emoji, which Mac Roman
    // lacks and which thus arrive as '?'.
    EXPECT_EQ(reports[2]["din"]["text"].string(), "\xC3\xA9");
    EXPECT_THAT(SelectionOf(reports[2]["din"]), ElementsAre(1, 1));
}

TEST_F(DialogTest, ByPositionOrByExactItemText) {
    const CommandResult result = dialog.Run(
        "summary\n"
        "choose print-mode 5\n"
        "choose orientation Landscape\n"
        "show\n"
        "summary\n"
        "choose print-mode Proof\n"
        "show\n");
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<JsonValue> reports = result.Reports();
    ASSERT_EQ(reports.size(), 4u);
    ASSERT_EQ(reports[0]["rows"].array().size(), 1u);
    EXPECT_EQ(reports[0]["rows"][0][1].string(), "Normal");
    EXPECT_EQ(reports[1]["print-mode"]["position"].number(), 5);
    EXPECT_EQ(reports[1]["print-mode"]["item"].string(), "ZELP");
    EXPECT_EQ(reports[1]["orientation"]["item"].string(), "Landscape");
    ASSERT_EQ(reports[2]["rows"].array().size(), 2u);
    EXPECT_EQ(reports[2]["rows"][1][1].string(), "Landscape");
    EXPECT_EQ(reports[3]["print-mode"]["position"].number(), 2);
    EXPECT_EQ(reports[3]["print-mode"]["item"].string(), "Proof");
}

TEST_F(DialogTest, SyncsMoveTheFieldsToAndFromTheTicket) {
    const CommandResult result = dialog.Run(
        "choose print-mode Private (DIN)\n"
        "settext din 77\n"
        "sync to-ticket\n"
        "ticket\n"
        "settext din 123\n"
        "sync from-ticket\n"
        "show\n");
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<JsonValue> reports = result.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0]["PrintMode"].string(), "Private");
    EXPECT_EQ(DigitsOf(reports[0], "DINDigit"), "00077");
    EXPECT_EQ(reports[1]["din"]["text"].string(), "00077");
}

TEST_F(DialogTest, OkWritesTheTicketInThePanesOrderAndCancelDoesNot) {
    const CommandResult accepted = dialog.Run("choose print-mode ZEL\nok\nticket\n");
    ASSERT_EQ(accepted.exitStatus, 0) << accepted.err;
    const JsonValue ticket = accepted.Reports().at(0);
    EXPECT_THAT(ticket.keys(), ElementsAre("DeptCode", "PrintMode", "ZELOrientation", "DINDigit1", "DINDigit2",
                                           "DINDigit3", "DINDigit4", "DINDigit5", "DCDigit1", "DCDigit2",
                                           "DCDigit3", "DCDigit4", "DCDigit5"));
    EXPECT_EQ(ticket["PrintMode"].string(), "ZEL");

    const CommandResult canceled = dialog.Run("choose print-mode ZEL\ncancel\nticket\n");
    ASSERT_EQ(canceled.exitStatus, 0) << canceled.err;
    EXPECT_TRUE(canceled.Reports().at(0).object().empty());
}

}  // namespace
}  // namespace kvx::test
