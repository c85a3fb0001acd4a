// Property-list files: every value type survives a write and a read, binary
// files read too, and no failure damages the file that was there.
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"
#include "temp_folder.hpp"

namespace {

using kvx::CFHolder;

CFHolder<CFMutableDictionaryRef> NewDictionary() {
    return CFHolder<CFMutableDictionaryRef>(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
}

void Set(CFMutableDictionaryRef dictionary, const char *key, CFTypeRef value) {
    CFDictionarySetValue(dictionary, kvx::MakeString(key).get(), value);
}

template <typename Value>
void SetNumber(CFMutableDictionaryRef dictionary, const char *key, CFNumberType type, Value value) {
    const CFHolder<CFNumberRef> number(CFNumberCreate(nullptr, type, &value));
    Set(dictionary, key, number.get());
}

CFTypeRef Get(CFTypeRef dictionary, const char *key) {
    return CFDictionaryGetValue(static_cast<CFDictionaryRef>(dictionary), kvx::MakeString(key).get());
}

std::string StringAt(CFTypeRef dictionary, const char *key) {
    const CFTypeRef value = Get(dictionary, key);
    if (value == nullptr || CFGetTypeID(value) != CFStringGetTypeID()) return "<not a string>";
    return kvx::ToUTF8(static_cast<CFStringRef>(value));
}

SInt64 IntegerAt(CFTypeRef dictionary, const char *key) {
    SInt64 value = -1;
    const CFTypeRef number = Get(dictionary, key);
    EXPECT_TRUE(number != nullptr && CFGetTypeID(number) == CFNumberGetTypeID()) << key;
    EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(number), kCFNumberSInt64Type, &value)) << key;
    return value;
}

class PropertyListFile : public kvx::test::LiveObjectCheck {
protected:
    kvx::test::TempFolder folder;
};

TEST_F(PropertyListFile, EveryTypeSurvivesARoundTrip) {
    const auto plist = NewDictionary();
    Set(plist.get(), "string", kvx::MakeString("Gr\xC3\xBC\xC3\x9F" "e <&> \"q\"").get());
    SetNumber(plist.get(), "int32", kCFNumberSInt32Type, SInt32{42});
    SetNumber(plist.get(), "negative", kCFNumberSInt32Type, SInt32{-7});
    SetNumber(plist.get(), "int64", kCFNumberSInt64Type, SInt64{1} << 40);
    SetNumber(plist.get(), "real", kCFNumberDoubleType, 2.5);
    Set(plist.get(), "true", kCFBooleanTrue);
    Set(plist.get(), "false", kCFBooleanFalse);
    const UInt8 bytes[] = {0x00, 0xFF, 0x10, 0x80};
    const CFHolder<CFDataRef> data(CFDataCreate(nullptr, bytes, sizeof bytes));
    Set(plist.get(), "data", data.get());
    const CFHolder<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    CFArrayAppendValue(array.get(), kvx::MakeString("first").get());
    const auto inner = NewDictionary();
    Set(inner.get(), "deep", kvx::MakeString("value").get());
    CFArrayAppendValue(array.get(), inner.get());
    Set(plist.get(), "array", array.get());

    const std::string path = (folder.path() / "settings.plist").string();
    CFHolder<CFStringRef> error;
    ASSERT_TRUE(KVXPropertyListWriteToFile(plist.get(), path.c_str(), error.out())) << kvx::ToUTF8(error.get());
    const CFHolder<CFPropertyListRef> back(KVXPropertyListCreateFromFile(path.c_str(), error.out()));
    ASSERT_TRUE(back) << kvx::ToUTF8(error.get());

    // Deep equality: every value of every type, the nested ones too.
    EXPECT_TRUE(CFEqual(back.get(), plist.get()));
    ASSERT_EQ(CFGetTypeID(back.get()), CFDictionaryGetTypeID());
    EXPECT_EQ(CFDictionaryGetCount(static_cast<CFDictionaryRef>(back.get())), 9);
    EXPECT_EQ(StringAt(back.get(), "string"), "Gr\xC3\xBC\xC3\x9F" "e <&> \"q\"");
    EXPECT_EQ(Get(back.get(), "true"), kCFBooleanTrue);
}

TEST_F(PropertyListFile, IntegersFitToThirtyTwoBitsWhenTheyCan) {
    const auto path = folder.write("numbers.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>small</key><integer>-2147483648</integer>
<key>large</key><integer>2147483648</integer>
<key>very negative</key><integer>-3000000000</integer>
</dict></plist>)");
    const CFHolder<CFPropertyListRef> plist(KVXPropertyListCreateFromFile(path.c_str(), nullptr));
    ASSERT_TRUE(plist);
    SInt32 narrow = 0;
    EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(Get(plist.get(), "small")), kCFNumberSInt32Type, &narrow));
    EXPECT_EQ(narrow, -2147483647 - 1);
    EXPECT_FALSE(CFNumberGetValue(static_cast<CFNumberRef>(Get(plist.get(), "large")), kCFNumberSInt32Type, &narrow));
    EXPECT_EQ(IntegerAt(plist.get(), "large"), 2147483648);
    EXPECT_EQ(IntegerAt(plist.get(), "very negative"), -3000000000);
}

TEST_F(PropertyListFile, ReadsBinaryFilesAndDatesAsISO8601Text) {
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "name", plist_new_string("binary"));
    plist_dict_set_item(root, "count", plist_new_uint(3));
    // 2024-03-05T07:08:09Z, in seconds after 2001-01-01.
    plist_dict_set_item(root, "when", plist_new_date(731315289, 0));
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    plist_free(root);
    const auto path = folder.write("binary.plist", std::string(bytes, length));
    std::free(bytes);

    CFHolder<CFStringRef> error;
    const CFHolder<CFPropertyListRef> plist(KVXPropertyListCreateFromFile(path.c_str(), error.out()));
    ASSERT_TRUE(plist) << kvx::ToUTF8(error.get());
    EXPECT_EQ(StringAt(plist.get(), "name"), "binary");
    EXPECT_EQ(IntegerAt(plist.get(), "count"), 3);
    EXPECT_EQ(StringAt(plist.get(), "when"), "2024-03-05T07:08:09Z");
}

TEST_F(PropertyListFile, ReadFailuresNameTheFile) {
    const auto notAPlist = folder.write("notes.plist", "just some words\n");
    const auto truncated = folder.write("truncated.plist", "<?xml version=\"1.0\"?><plist><dict><key>a</key>");
    const std::string missing = (folder.path() / "missing.plist").string();
    for (const std::string &path : {notAPlist.string(), truncated.string(), missing, folder.path().string()}) {
        CFHolder<CFStringRef> error;
        EXPECT_FALSE(CFHolder<CFPropertyListRef>(KVXPropertyListCreateFromFile(path.c_str(), error.out()))) << path;
        ASSERT_TRUE(error) << path;
        EXPECT_NE(kvx::ToUTF8(error.get()).find(path), std::string::npos) << kvx::ToUTF8(error.get());
    }
}

TEST_F(PropertyListFile, FailedWritesLeaveTheTargetUntouched) {
    const std::string original = "<plist version=\"1.0\"><string>keep me</string></plist>\n";
    const auto target = folder.write("target.plist", original);

    const auto withUUID = NewDictionary();
    const CFHolder<CFUUIDRef> uuid(CFUUIDCreateFromString(nullptr, CFSTR("5C83E0B7-2D19-4F6A-A3B5-7E90D14C26F8")));
    Set(withUUID.get(), "good", kvx::MakeString("fine").get());
    Set(withUUID.get(), "bad", uuid.get());
    const auto withNumberKey = NewDictionary();
    SInt32 one = 1;
    const CFHolder<CFNumberRef> numberKey(CFNumberCreate(nullptr, kCFNumberSInt32Type, &one));
    CFDictionarySetValue(withNumberKey.get(), numberKey.get(), kCFBooleanTrue);

    for (CFTypeRef unwritable : {static_cast<CFTypeRef>(withUUID.get()), static_cast<CFTypeRef>(withNumberKey.get())}) {
        CFHolder<CFStringRef> error;
        EXPECT_FALSE(KVXPropertyListWriteToFile(unwritable, target.c_str(), error.out()));
        ASSERT_TRUE(error);
        EXPECT_NE(kvx::ToUTF8(error.get()).find(target.string()), std::string::npos) << kvx::ToUTF8(error.get());
        EXPECT_EQ(kvx::test::ReadFile(target), original);
    }

    // A target that cannot be replaced: the temporary file goes away again.
    const auto aFolder = folder.path() / "a-folder";
    std::filesystem::create_directory(aFolder);
    folder.write("a-folder/inside", "x");
    const auto valid = NewDictionary();
    CFHolder<CFStringRef> error;
    EXPECT_FALSE(KVXPropertyListWriteToFile(valid.get(), aFolder.c_str(), error.out()));
    EXPECT_TRUE(std::filesystem::is_directory(aFolder));
    EXPECT_FALSE(KVXPropertyListWriteToFile(valid.get(), (folder.path() / "no-such/x.plist").c_str(), error.out()));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(folder.path())) ++entries;
    EXPECT_EQ(entries, 2u) << "only target.plist and a-folder should be there";
    EXPECT_EQ(kvx::test::ReadFile(target), original);
}

TEST_F(PropertyListFile, ReplacingAFileKeepsItsMode) {
    const auto target = folder.write("mode.plist", "old");
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    const auto plist = NewDictionary();
    ASSERT_TRUE(KVXPropertyListWriteToFile(plist.get(), target.c_str(), nullptr));
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
    EXPECT_NE(kvx::test::ReadFile(target), "old");
}

}  // namespace
