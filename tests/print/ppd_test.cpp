// PPD access as the pane reads its printer: main keys by exact name,
// invocation strings in Mac Roman from the file's LanguageEncoding, cut to
// 255 bytes, and every open matched by a close.
#include <optional>
#include <string>
#include <vector>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"
#include "temp_folder.hpp"

namespace {

constexpr std::string_view kHeader = "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n";
constexpr std::string_view kKorvane = R"(*PPD-Adobe: "4.3"
*LanguageEncoding: ISOLatin1
*ModelName: "Korvane RM-4750"
*ModelName: "Second Model"
)";
constexpr std::string_view kBroken = "*NotAPPD: \"x\"\n";

// A main key's name as the pane passes it: a length byte, then the bytes.
struct PascalName {
    explicit PascalName(std::string_view name) : bytes{static_cast<unsigned char>(name.size())} {
        std::copy(name.begin(), name.end(), bytes + 1);
    }
    operator ConstStr255Param() const { return bytes; }
    Str255 bytes;
};

class PPDAccess : public kvx::test::LiveObjectCheck {
protected:
    void TearDown() override {
        for (const PMTicketRef ticket : tickets) KVXTicketRelease(ticket);
        LiveObjectCheck::TearDown();
    }

    // A printer-info ticket bound to a PPD file with this content (none: no file).
    PMTicketRef Printer(std::optional<std::string_view> content, const std::string &name = "printer.ppd") {
        const std::string path = content ? folder.write(name, *content).string() : (folder.path() / name).string();
        tickets.push_back(KVXTicketCreatePrinterInfo(path.c_str()));
        return tickets.back();
    }

    // A main key's invocation string read as the pane reads it; "<error>"
    // when any step fails.
    std::string Invocation(PMTicketRef printer, std::string_view key, SInt32 bufferSize = 256) {
        PPDContext context = nullptr;
        FSSpec spec{};
        if (ppdOpenCompiledPPDFromTicket(printer, &context, &spec) != noErr) return "<error>";
        unsigned char buffer[512]{};
        const OSStatus status = ppdGetInvocationString(context, ppdGetMainIndex(context, PascalName(key)), 0, buffer, bufferSize);
        EXPECT_EQ(ppdCloseCompiledPPDFromTicket(context, &spec), noErr);
        return status == noErr ? std::string(reinterpret_cast<const char *>(buffer + 1), buffer[0]) : "<error>";
    }

    kvx::test::TempFolder folder;
    std::vector<PMTicketRef> tickets;
};

TEST_F(PPDAccess, MainKeyIsFoundByItsExactNameAndItsInvocationIsCutToTheBufferAndTo255Bytes) {
    // libcups takes lines of at most 255 bytes: a longer value spans lines.
    const std::string line(100, 'x');
    const std::string value = line + "\n" + line + "\n" + line;
    const PMTicketRef printer = Printer(std::string(kKorvane) + "*Invocation: \"" + value + "\"\n");
    EXPECT_EQ(Invocation(printer, "ModelName"), "Korvane RM-4750") << "the first of two";
    EXPECT_EQ(Invocation(printer, "Invocation", 512), value.substr(0, 255));
    EXPECT_EQ(Invocation(printer, "Invocation", 10), value.substr(0, 9));
    EXPECT_EQ(Invocation(printer, "Invocation", 1), "");
    for (const char *absent : {"modelname", "Model", "ModelNameX", "NickName"}) EXPECT_EQ(Invocation(printer, absent), "<error>") << absent;

    PPDContext context = nullptr;
    FSSpec spec{};
    ASSERT_EQ(ppdOpenCompiledPPDFromTicket(printer, &context, &spec), noErr);
    EXPECT_EQ(ppdGetMainIndex(context, nullptr), 0);
    const Mindex model = ppdGetMainIndex(context, PascalName("ModelName"));
    Str255 buffer{0xAA};
    for (const Mindex bad : {0, -1, 999}) EXPECT_EQ(ppdGetInvocationString(context, bad, 0, buffer, 256), paramErr);
    EXPECT_EQ(ppdGetInvocationString(context, model, 1, buffer, 256), paramErr);
    EXPECT_EQ(ppdGetInvocationString(context, model, 0, buffer, 0), paramErr);
    EXPECT_EQ(ppdGetInvocationString(context, model, 0, nullptr, 256), paramErr);
    KVXHostFailNext(kKVXFaultGetInvocationString, 1);
    EXPECT_EQ(ppdGetInvocationString(context, model, 0, buffer, 256), paramErr);
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_EQ(ppdGetInvocationString(context, model, 0, buffer, 256), noErr);
    EXPECT_EQ(ppdCloseCompiledPPDFromTicket(context, &spec), noErr);
}

TEST_F(PPDAccess, TextArrivesInMacRomanFromTheLanguageEncoding) {
    struct Case {
        std::string_view encoding, value, macRoman;
    };
    for (const auto &[encoding, value, macRoman] : {
             Case{"ISOLatin1", "Caf\xE9 \xFF", "Caf\x8E \xD8"},
             Case{"", "Caf\xE9 \xFF", "Caf\x8E \xD8"},
             Case{"Klingon", "Caf\xE9", "Caf\x8E"},
             Case{"UTF-8", "Caf\xC3\xA9 \xC3\xBF", "Caf\x8E \xD8"},
             Case{"UTF-8", "a\xE4\xB8\xAD" "b", "a?b"},
             Case{"ISOLatin2", "\xA3\xE9", "?\x8E"},
             Case{"WindowsANSI", "\x93q\x94", "\xD2q\xD3"},
             Case{"MacStandard", "Caf\x8E", "Caf\x8E"},
         }) {
        std::string ppd(kHeader);
        if (!encoding.empty()) ppd += "*LanguageEncoding: " + std::string(encoding) + "\n";
        ppd += "*ModelName: \"" + std::string(value) + "\"\n";
        EXPECT_EQ(Invocation(Printer(ppd), "ModelName"), macRoman) << encoding;
    }
}

TEST_F(PPDAccess, OnlyARealOpenCountsAndEveryCloseFreesItsContext) {
    const PMTicketRef printer = Printer(kKorvane);
    const CFIndex opened = KVXPPDGetOpenCount();
    const CFIndex closed = KVXPPDGetCloseCount();
    PPDContext context = nullptr;
    FSSpec spec{};
    EXPECT_EQ(ppdOpenCompiledPPDFromTicket(Printer(std::nullopt, "missing.ppd"), &context, &spec), fnfErr);
    EXPECT_EQ(ppdOpenCompiledPPDFromTicket(Printer(kBroken, "broken.ppd"), &context, &spec), kPMGeneralError);
    tickets.push_back(KVXTicketCreatePrintSettings());
    EXPECT_EQ(ppdOpenCompiledPPDFromTicket(tickets.back(), &context, &spec), kPMInvalidTicket);
    EXPECT_EQ(context, nullptr);
    EXPECT_EQ(KVXPPDGetOpenCount(), opened);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXPPDContextGetTypeID()), 0);

    ASSERT_EQ(ppdOpenCompiledPPDFromTicket(printer, &context, &spec), noErr);
    EXPECT_EQ(KVXPPDGetOpenCount(), opened + 1);
    // A failed open or close, injected, is pane_test's (PrinterCheck).
    EXPECT_EQ(ppdCloseCompiledPPDFromTicket(context, &spec), noErr);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXPPDContextGetTypeID()), 0);
    EXPECT_EQ(KVXPPDGetCloseCount(), closed + 1);
    EXPECT_EQ(ppdCloseCompiledPPDFromTicket(nullptr, &spec), paramErr);
    EXPECT_EQ(KVXPPDGetCloseCount(), closed + 1);
}

}  // namespace
