// Property-list files: every value type survives a write and a read, binary
// files read too, bad files are refused naming the file, and no failed write
// damages the file that was there.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"
#include "temp_folder.hpp"

namespace {

using kvx::CFHolder;

CFHolder<CFMutableDictionaryRef> NewDictionary() {
    return CFHolder<CFMutableDictionaryRef>(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
}

CFTypeRef Get(CFTypeRef dictionary, const char *key) {
    return CFDictionaryGetValue(static_cast<CFDictionaryRef>(dictionary), kvx::MakeString(key).get());
}

class PropertyListFile : public kvx::test::LiveObjectCheck {
protected:
    kvx::test::TempFolder folder;
};

constexpr std::string_view kEveryType = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>string</key><string>Grü&#xDF;e &lt;&amp;&gt; "q"</string>
  <key>int32</key><integer>-2147483648</integer>
  <key>int64</key><integer>2147483648</integer>
  <key>real</key><real>2.5</real>
  <key>true</key><true/>
  <key>false</key><false/>
  <key>data</key><data>AP8QgA==</data>
  <key>array</key><array><string>first</string><dict><key>deep</key><string>value</string></dict></array>
</dict></plist>
)";

// Strings with markup and quotes, booleans and reals as the dialog reads them
// are dialog.scenario's; so are an OpenStep file and a missing one refused.
TEST_F(PropertyListFile, EveryTypeSurvivesARoundTripAndIntegersFitThirtyTwoBitsWhenTheyCan) {
    CFHolder<CFStringRef> error;
    const CFHolder<CFPropertyListRef> plist(KVXPropertyListCreateFromFile(folder.write("in.plist", kEveryType).c_str(), error.out()));
    ASSERT_TRUE(plist) << kvx::ToUTF8(error.get());
    EXPECT_EQ(CFDictionaryGetCount(static_cast<CFDictionaryRef>(plist.get())), 8);
    const UInt8 bytes[] = {0x00, 0xFF, 0x10, 0x80};
    EXPECT_TRUE(CFEqual(Get(plist.get(), "data"), CFHolder<CFDataRef>(CFDataCreate(nullptr, bytes, sizeof bytes)).get()));
    SInt32 narrow = 0;
    EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(Get(plist.get(), "int32")), kCFNumberSInt32Type, &narrow));
    EXPECT_EQ(narrow, -2147483647 - 1);
    EXPECT_FALSE(CFNumberGetValue(static_cast<CFNumberRef>(Get(plist.get(), "int64")), kCFNumberSInt32Type, &narrow));

    const auto target = folder.write("settings.plist", "old");
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    ASSERT_TRUE(KVXPropertyListWriteToFile(plist.get(), target.c_str(), error.out())) << kvx::ToUTF8(error.get());
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640)) << "a replaced file keeps its mode";
    const CFHolder<CFPropertyListRef> back(KVXPropertyListCreateFromFile(target.c_str(), error.out()));
    ASSERT_TRUE(back) << kvx::ToUTF8(error.get());
    EXPECT_TRUE(CFEqual(back.get(), plist.get()));
}

TEST_F(PropertyListFile, ReadsBinaryFilesAndDatesAsISO8601TextAndRefusesBadFilesNamingThem) {
    // {"name": "binary", "when": 2024-03-05T07:08:09Z} as Python's plistlib writes it.
    constexpr char kBinary[] = "bplist00\xD2\x01\x02\x03\x04TnameTwhenVbinary3\x41\xC5\xCB\x7E\x2C\x80\x00\x00\x08\x0D\x12\x17\x1E"
                               "\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x05\x00\x00\x00\x00\x00\x00\x00\x00"
                               "\x00\x00\x00\x00\x00\x00\x00\x27";
    const auto binary = folder.write("binary.plist", std::string_view(kBinary, sizeof kBinary - 1));
    CFHolder<CFStringRef> error;
    const CFHolder<CFPropertyListRef> plist(KVXPropertyListCreateFromFile(binary.c_str(), error.out()));
    ASSERT_TRUE(plist) << kvx::ToUTF8(error.get());
    EXPECT_TRUE(CFEqual(Get(plist.get(), "name"), CFSTR("binary")));
    EXPECT_TRUE(CFEqual(Get(plist.get(), "when"), CFSTR("2024-03-05T07:08:09Z")));

    for (const std::string &path : {folder.write("json.plist", "{\"PrintMode\": \"Private\"}").string(),
                                    folder.write("cut.plist", "<?xml version=\"1.0\"?><plist><dict><key>a</key>").string(),
                                    folder.path().string()}) {
        EXPECT_FALSE(CFHolder<CFPropertyListRef>(KVXPropertyListCreateFromFile(path.c_str(), error.out()))) << path;
        ASSERT_TRUE(error) << path;
        EXPECT_NE(kvx::ToUTF8(error.get()).find(path), std::string::npos) << kvx::ToUTF8(error.get());
    }
}

TEST_F(PropertyListFile, FailedWritesLeaveTheTargetAndTheFolderAsTheyWere) {
    const std::string original = "<plist version=\"1.0\"><string>keep me</string></plist>\n";
    const auto target = folder.write("target.plist", original);
    const auto withUUID = NewDictionary();
    CFDictionarySetValue(withUUID.get(), CFSTR("good"), CFSTR("fine"));
    CFDictionarySetValue(withUUID.get(), CFSTR("bad"), CFHolder<CFUUIDRef>(CFUUIDCreateFromString(nullptr, CFSTR("5C83E0B7-2D19-4F6A-A3B5-7E90D14C26F8"))).get());
    CFHolder<CFStringRef> error;
    EXPECT_FALSE(KVXPropertyListWriteToFile(withUUID.get(), target.c_str(), error.out()));
    ASSERT_TRUE(error);
    EXPECT_NE(kvx::ToUTF8(error.get()).find(target.string()), std::string::npos) << kvx::ToUTF8(error.get());
    EXPECT_EQ(kvx::test::ReadFile(target), original);
    // A target that cannot be replaced: the temporary file goes away again.
    const auto aFolder = folder.write("a-folder/inside", "x").parent_path();
    EXPECT_FALSE(KVXPropertyListWriteToFile(NewDictionary().get(), aFolder.c_str(), nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(aFolder));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(folder.path())) ++entries;
    EXPECT_EQ(entries, 2u) << "only target.plist and a-folder should be there";
}

}  // namespace
