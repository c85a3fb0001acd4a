// Property-list files: every value type survives a write and a read, binary
// files read too, bad files are refused naming the file, and no failed write
// damages the file that was there.
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
    Set(dictionary, key, CFHolder<CFNumberRef>(CFNumberCreate(nullptr, type, &value)).get());
}

CFTypeRef Get(CFTypeRef dictionary, const char *key) {
    return CFDictionaryGetValue(static_cast<CFDictionaryRef>(dictionary), kvx::MakeString(key).get());
}

class PropertyListFile : public kvx::test::LiveObjectCheck {
protected:
    kvx::test::TempFolder folder;
};

TEST_F(PropertyListFile, EveryTypeSurvivesARoundTripAndIntegersFitThirtyTwoBitsWhenTheyCan) {
    const auto plist = NewDictionary();
    Set(plist.get(), "string", kvx::MakeString("Gr\xC3\xBC\xC3\x9F" "e <&> \"q\"").get());
    SetNumber(plist.get(), "int32", kCFNumberSInt32Type, SInt32{-2147483647 - 1});
    SetNumber(plist.get(), "int64", kCFNumberSInt64Type, SInt64{1} << 31);
    SetNumber(plist.get(), "real", kCFNumberDoubleType, 2.5);
    Set(plist.get(), "true", kCFBooleanTrue);
    Set(plist.get(), "false", kCFBooleanFalse);
    const UInt8 bytes[] = {0x00, 0xFF, 0x10, 0x80};
    Set(plist.get(), "data", CFHolder<CFDataRef>(CFDataCreate(nullptr, bytes, sizeof bytes)).get());
    const CFHolder<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    const auto inner = NewDictionary();
    Set(inner.get(), "deep", CFSTR("value"));
    CFArrayAppendValue(array.get(), CFSTR("first"));
    CFArrayAppendValue(array.get(), inner.get());
    Set(plist.get(), "array", array.get());

    const auto target = folder.write("settings.plist", "old");
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    CFHolder<CFStringRef> error;
    ASSERT_TRUE(KVXPropertyListWriteToFile(plist.get(), target.c_str(), error.out())) << kvx::ToUTF8(error.get());
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640)) << "a replaced file keeps its mode";
    const CFHolder<CFPropertyListRef> back(KVXPropertyListCreateFromFile(target.c_str(), error.out()));
    ASSERT_TRUE(back) << kvx::ToUTF8(error.get());
    EXPECT_TRUE(CFEqual(back.get(), plist.get()));
    EXPECT_EQ(CFDictionaryGetCount(static_cast<CFDictionaryRef>(back.get())), 8);
    EXPECT_EQ(Get(back.get(), "true"), kCFBooleanTrue);
    SInt32 narrow = 0;
    EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(Get(back.get(), "int32")), kCFNumberSInt32Type, &narrow));
    EXPECT_EQ(narrow, -2147483647 - 1);
    EXPECT_FALSE(CFNumberGetValue(static_cast<CFNumberRef>(Get(back.get(), "int64")), kCFNumberSInt32Type, &narrow));
}

TEST_F(PropertyListFile, ReadsBinaryFilesAndDatesAsISO8601TextAndRefusesBadFilesNamingThem) {
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "name", plist_new_string("binary"));
    // 2024-03-05T07:08:09Z, in seconds after 2001-01-01.
    plist_dict_set_item(root, "when", plist_new_date(731315289, 0));
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    plist_free(root);
    const auto binary = folder.write("binary.plist", std::string(bytes, length));
    std::free(bytes);
    CFHolder<CFStringRef> error;
    const CFHolder<CFPropertyListRef> plist(KVXPropertyListCreateFromFile(binary.c_str(), error.out()));
    ASSERT_TRUE(plist) << kvx::ToUTF8(error.get());
    EXPECT_TRUE(CFEqual(Get(plist.get(), "name"), CFSTR("binary")));
    EXPECT_TRUE(CFEqual(Get(plist.get(), "when"), CFSTR("2024-03-05T07:08:09Z")));

    for (const std::string &path : {folder.write("notes.plist", "just some words\n").string(),
                                    folder.write("cut.plist", "<?xml version=\"1.0\"?><plist><dict><key>a</key>").string(),
                                    (folder.path() / "missing.plist").string(), folder.path().string()}) {
        EXPECT_FALSE(CFHolder<CFPropertyListRef>(KVXPropertyListCreateFromFile(path.c_str(), error.out()))) << path;
        ASSERT_TRUE(error) << path;
        EXPECT_NE(kvx::ToUTF8(error.get()).find(path), std::string::npos) << kvx::ToUTF8(error.get());
    }
}

TEST_F(PropertyListFile, FailedWritesLeaveTheTargetAndTheFolderAsTheyWere) {
    const std::string original = "<plist version=\"1.0\"><string>keep me</string></plist>\n";
    const auto target = folder.write("target.plist", original);
    const auto withUUID = NewDictionary();
    Set(withUUID.get(), "good", CFSTR("fine"));
    Set(withUUID.get(), "bad", CFHolder<CFUUIDRef>(CFUUIDCreateFromString(nullptr, CFSTR("5C83E0B7-2D19-4F6A-A3B5-7E90D14C26F8"))).get());
    const auto withNumberKey = NewDictionary();
    SInt32 one = 1;
    CFDictionarySetValue(withNumberKey.get(), CFHolder<CFNumberRef>(CFNumberCreate(nullptr, kCFNumberSInt32Type, &one)).get(), kCFBooleanTrue);
    for (CFTypeRef unwritable : {static_cast<CFTypeRef>(withUUID.get()), static_cast<CFTypeRef>(withNumberKey.get())}) {
        CFHolder<CFStringRef> error;
        EXPECT_FALSE(KVXPropertyListWriteToFile(unwritable, target.c_str(), error.out()));
        ASSERT_TRUE(error);
        EXPECT_NE(kvx::ToUTF8(error.get()).find(target.string()), std::string::npos) << kvx::ToUTF8(error.get());
        EXPECT_EQ(kvx::test::ReadFile(target), original);
    }
    // A target that cannot be replaced: the temporary file goes away again.
    const auto aFolder = folder.write("a-folder/inside", "x").parent_path();
    EXPECT_FALSE(KVXPropertyListWriteToFile(NewDictionary().get(), aFolder.c_str(), nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(aFolder));
    EXPECT_FALSE(KVXPropertyListWriteToFile(NewDictionary().get(), (folder.path() / "no-such/x.plist").c_str(), nullptr));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(folder.path())) ++entries;
    EXPECT_EQ(entries, 2u) << "only target.plist and a-folder should be there";
}

}  // namespace
