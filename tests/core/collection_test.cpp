#include <string>
#include <utility>
#include <vector>

#include "host_objects_test.hpp"

namespace {

using kvx::CFHolder;
using kvx::MakeString;
using kvx::ToUTF8;

using Entries = std::vector<std::pair<const void *, const void *>>;

Entries EntriesOf(CFDictionaryRef dictionary) {
    Entries entries;
    CFDictionaryApplyFunction(
        dictionary,
        [](const void *key, const void *value, void *context) {
            static_cast<Entries *>(context)->emplace_back(key, value);
        },
        &entries);
    return entries;
}

CFHolder<CFMutableDictionaryRef> MakeDictionary() {
    return CFHolder<CFMutableDictionaryRef>(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
}

class Arrays : public kvx::test::HostObjectsTest {};

TEST_F(Arrays, RetainingCallbacksHoldValuesUntilRemovedOrDestroyed) {
    const auto first = MakeString("first");
    const auto second = MakeString("second");
    {
        const CFHolder<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
        CFArrayAppendValue(array.get(), first.get());
        CFArrayAppendValue(array.get(), second.get());
        EXPECT_EQ(CFGetRetainCount(first.get()), 2);
        CFArrayRemoveValueAtIndex(array.get(), 0);
        EXPECT_EQ(CFGetRetainCount(first.get()), 1);
        ASSERT_EQ(CFArrayGetCount(array.get()), 1);
        EXPECT_EQ(CFArrayGetValueAtIndex(array.get(), 0), second.get());
        EXPECT_EQ(CFGetRetainCount(second.get()), 2);
    }
    EXPECT_EQ(CFGetRetainCount(second.get()), 1);
}

TEST_F(Arrays, WithoutCallbacksValuesAreRawPointers) {
    int plainValues[2] = {1, 2};
    const CFHolder<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, nullptr));
    // Were these retained or released as objects, the test would crash.
    CFArrayAppendValue(array.get(), &plainValues[0]);
    CFArrayAppendValue(array.get(), &plainValues[1]);
    CFArrayRemoveValueAtIndex(array.get(), 0);
    EXPECT_EQ(CFArrayGetValueAtIndex(array.get(), 0), &plainValues[1]);
}

class Dictionaries : public kvx::test::HostObjectsTest {};

TEST_F(Dictionaries, KeysAreFoundByEqualTextNotIdentity) {
    const auto dictionary = MakeDictionary();
    CFDictionarySetValue(dictionary.get(), MakeString("PrintMode").get(), CFSTR("Private"));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("PrintMode")), CFSTR("Private"));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("printmode")), nullptr);
    EXPECT_EQ(CFDictionaryGetValue(nullptr, CFSTR("PrintMode")), nullptr);
}

TEST_F(Dictionaries, ReplacingAValueReleasesTheOldRetainsTheNewAndKeepsTheKey) {
    const auto dictionary = MakeDictionary();
    const auto key = MakeString("DeptCode");
    const auto equalKey = MakeString("DeptCode");
    const auto oldValue = MakeString("False");
    const auto newValue = MakeString("True");
    CFDictionarySetValue(dictionary.get(), key.get(), oldValue.get());
    EXPECT_EQ(CFGetRetainCount(oldValue.get()), 2);

    CFDictionarySetValue(dictionary.get(), equalKey.get(), newValue.get());
    EXPECT_EQ(CFGetRetainCount(oldValue.get()), 1);
    EXPECT_EQ(CFGetRetainCount(newValue.get()), 2);
    EXPECT_EQ(CFGetRetainCount(key.get()), 2);
    EXPECT_EQ(CFGetRetainCount(equalKey.get()), 1);
    const Entries entries = EntriesOf(dictionary.get());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, key.get());
    EXPECT_EQ(entries[0].second, newValue.get());
}

TEST_F(Dictionaries, SettingTheValueItAlreadyHoldsKeepsItAlive) {
    const auto dictionary = MakeDictionary();
    CFStringRef onlyHeldByDictionary = CFStringCreateWithCString(nullptr, "sole", kCFStringEncodingUTF8);
    CFDictionarySetValue(dictionary.get(), CFSTR("key"), onlyHeldByDictionary);
    CFRelease(onlyHeldByDictionary);
    CFDictionarySetValue(dictionary.get(), CFSTR("key"), onlyHeldByDictionary);
    EXPECT_EQ(ToUTF8(static_cast<CFStringRef>(CFDictionaryGetValue(dictionary.get(), CFSTR("key")))), "sole");
}

TEST_F(Dictionaries, EntriesComeInInsertionOrder) {
    const auto dictionary = MakeDictionary();
    for (const CFStringRef key : {CFSTR("c"), CFSTR("a"), CFSTR("b")}) CFDictionarySetValue(dictionary.get(), key, key);
    CFDictionarySetValue(dictionary.get(), CFSTR("a"), CFSTR("replaced"));
    CFDictionaryRemoveValue(dictionary.get(), CFSTR("c"));
    CFDictionarySetValue(dictionary.get(), CFSTR("c"), CFSTR("again"));
    const Entries expected = {{CFSTR("a"), CFSTR("replaced")}, {CFSTR("b"), CFSTR("b")}, {CFSTR("c"), CFSTR("again")}};
    EXPECT_EQ(EntriesOf(dictionary.get()), expected);
}

TEST_F(Dictionaries, RemovingReleasesKeyAndValue) {
    const auto key = MakeString("key");
    const auto value = MakeString("value");
    const auto dictionary = MakeDictionary();
    CFDictionarySetValue(dictionary.get(), key.get(), value.get());
    CFDictionaryRemoveValue(dictionary.get(), CFSTR("key"));
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
    EXPECT_EQ(CFGetRetainCount(value.get()), 1);
    CFDictionarySetValue(dictionary.get(), key.get(), value.get());
    CFDictionaryRemoveAllValues(dictionary.get());
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
    EXPECT_EQ(CFDictionaryGetCount(dictionary.get()), 0);
}

TEST_F(Dictionaries, AMutableCopyRetainsItsEntriesAndChangesAlone) {
    const auto value = MakeString("value");
    const auto original = MakeDictionary();
    CFDictionarySetValue(original.get(), CFSTR("key"), value.get());
    const CFHolder<CFMutableDictionaryRef> copy(CFDictionaryCreateMutableCopy(nullptr, 0, original.get()));
    EXPECT_EQ(CFGetRetainCount(value.get()), 3);
    EXPECT_TRUE(CFEqual(copy.get(), original.get()));

    CFDictionaryRemoveValue(original.get(), CFSTR("key"));
    EXPECT_EQ(CFDictionaryGetValue(copy.get(), CFSTR("key")), value.get());
    EXPECT_FALSE(CFEqual(copy.get(), original.get()));
}

TEST_F(Dictionaries, KeysWhoseHashesCollideStayApart) {
    CFDictionaryKeyCallBacks colliding = kCFTypeDictionaryKeyCallBacks;
    colliding.hash = [](const void *) -> CFHashCode { return 7; };
    const CFHolder<CFMutableDictionaryRef> dictionary(
        CFDictionaryCreateMutable(nullptr, 0, &colliding, &kCFTypeDictionaryValueCallBacks));
    for (const CFStringRef key : {CFSTR("DINDigit1"), CFSTR("DINDigit2"), CFSTR("DINDigit3")})
        CFDictionarySetValue(dictionary.get(), key, key);
    CFDictionaryRemoveValue(dictionary.get(), CFSTR("DINDigit2"));
    EXPECT_EQ(CFDictionaryGetCount(dictionary.get()), 2);
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("DINDigit1")), CFSTR("DINDigit1"));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("DINDigit2")), nullptr);
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("DINDigit3")), CFSTR("DINDigit3"));
}

}  // namespace
