#include <utility>
#include <vector>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"

namespace {

using kvx::CFHolder;
using kvx::MakeString;
using Collections = kvx::test::LiveObjectCheck;
using Entries = std::vector<std::pair<const void *, const void *>>;

Entries EntriesOf(CFDictionaryRef dictionary) {
    Entries entries;
    CFDictionaryApplyFunction(
        dictionary, [](const void *key, const void *value, void *into) { static_cast<Entries *>(into)->emplace_back(key, value); },
        &entries);
    return entries;
}

CFHolder<CFMutableDictionaryRef> MakeDictionary(const CFDictionaryKeyCallBacks *keys = &kCFTypeDictionaryKeyCallBacks) {
    return CFHolder<CFMutableDictionaryRef>(CFDictionaryCreateMutable(nullptr, 0, keys, &kCFTypeDictionaryValueCallBacks));
}

TEST_F(Collections, ArraysHoldValuesUntilRemovedOrDestroyedAndRawPointersWithoutCallbacks) {
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

    int plainValues[2] = {1, 2};
    const CFHolder<CFMutableArrayRef> raw(CFArrayCreateMutable(nullptr, 0, nullptr));
    // Were these retained or released as objects, the test would crash.
    CFArrayAppendValue(raw.get(), &plainValues[0]);
    CFArrayAppendValue(raw.get(), &plainValues[1]);
    CFArrayRemoveValueAtIndex(raw.get(), 0);
    EXPECT_EQ(CFArrayGetValueAtIndex(raw.get(), 0), &plainValues[1]);
}

TEST_F(Collections, DictionaryKeysAreFoundByEqualTextNotIdentity) {
    const auto dictionary = MakeDictionary();
    CFDictionarySetValue(dictionary.get(), MakeString("PrintMode").get(), CFSTR("Private"));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("PrintMode")), CFSTR("Private"));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("printmode")), nullptr);
    EXPECT_EQ(CFDictionaryGetValue(nullptr, CFSTR("PrintMode")), nullptr);
}

TEST_F(Collections, ReplacingADictionaryValueReleasesTheOldRetainsTheNewAndKeepsTheKey) {
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
    EXPECT_EQ(EntriesOf(dictionary.get()), (Entries{{key.get(), newValue.get()}}));

    // Setting the value it already holds, its only owner, keeps it alive.
    CFStringRef sole = CFStringCreateWithCString(nullptr, "sole", kCFStringEncodingUTF8);
    CFDictionarySetValue(dictionary.get(), CFSTR("key"), sole);
    CFRelease(sole);
    CFDictionarySetValue(dictionary.get(), CFSTR("key"), sole);
    EXPECT_EQ(kvx::ToUTF8(static_cast<CFStringRef>(CFDictionaryGetValue(dictionary.get(), CFSTR("key")))), "sole");
}

TEST_F(Collections, DictionaryEntriesComeInInsertionOrder) {
    const auto dictionary = MakeDictionary();
    for (const CFStringRef key : {CFSTR("c"), CFSTR("a"), CFSTR("b")}) CFDictionarySetValue(dictionary.get(), key, key);
    CFDictionarySetValue(dictionary.get(), CFSTR("a"), CFSTR("replaced"));
    CFDictionaryRemoveValue(dictionary.get(), CFSTR("c"));
    CFDictionarySetValue(dictionary.get(), CFSTR("c"), CFSTR("again"));
    const Entries expected = {{CFSTR("a"), CFSTR("replaced")}, {CFSTR("b"), CFSTR("b")}, {CFSTR("c"), CFSTR("again")}};
    EXPECT_EQ(EntriesOf(dictionary.get()), expected);
}

TEST_F(Collections, RemovingReleasesAndAMutableCopyRetainsItsEntriesAndChangesAlone) {
    const auto key = MakeString("key");
    const auto value = MakeString("value");
    const auto original = MakeDictionary();
    CFDictionarySetValue(original.get(), key.get(), value.get());
    CFDictionaryRemoveValue(original.get(), CFSTR("key"));
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
    EXPECT_EQ(CFGetRetainCount(value.get()), 1);
    CFDictionarySetValue(original.get(), key.get(), value.get());
    CFDictionaryRemoveAllValues(original.get());
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
    EXPECT_EQ(CFDictionaryGetCount(original.get()), 0);

    CFDictionarySetValue(original.get(), CFSTR("key"), value.get());
    const CFHolder<CFMutableDictionaryRef> copy(CFDictionaryCreateMutableCopy(nullptr, 0, original.get()));
    EXPECT_EQ(CFGetRetainCount(value.get()), 3);
    EXPECT_TRUE(CFEqual(copy.get(), original.get()));
    CFDictionaryRemoveValue(original.get(), CFSTR("key"));
    EXPECT_EQ(CFDictionaryGetValue(copy.get(), CFSTR("key")), value.get());
    EXPECT_FALSE(CFEqual(copy.get(), original.get()));
}

TEST_F(Collections, DictionaryKeysWhoseHashesCollideStayApart) {
    CFDictionaryKeyCallBacks colliding = kCFTypeDictionaryKeyCallBacks;
    colliding.hash = [](const void *) -> CFHashCode { return 7; };
    const auto dictionary = MakeDictionary(&colliding);
    for (const CFStringRef key : {CFSTR("DINDigit1"), CFSTR("DINDigit2"), CFSTR("DINDigit3")})
        CFDictionarySetValue(dictionary.get(), key, key);
    CFDictionaryRemoveValue(dictionary.get(), CFSTR("DINDigit2"));
    EXPECT_EQ(EntriesOf(dictionary.get()), (Entries{{CFSTR("DINDigit1"), CFSTR("DINDigit1")}, {CFSTR("DINDigit3"), CFSTR("DINDigit3")}}));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("DINDigit2")), nullptr);
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("DINDigit1")), CFSTR("DINDigit1"));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("DINDigit3")), CFSTR("DINDigit3"));
}

}  // namespace
