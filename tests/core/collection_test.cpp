// Arrays and dictionaries: who holds what, lookup by equal keys, and the
// insertion order that the ticket's listing follows.
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

TEST_F(Collections, ArraysHoldTheirValuesUntilDestroyed) {
    const auto first = MakeString("first");
    {
        const CFHolder<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
        CFArrayAppendValue(array.get(), first.get());
        CFArrayAppendValue(array.get(), CFSTR("second"));
        EXPECT_EQ(CFGetRetainCount(first.get()), 2);
        ASSERT_EQ(CFArrayGetCount(array.get()), 2);
        EXPECT_EQ(CFArrayGetValueAtIndex(array.get(), 1), CFSTR("second"));
    }
    EXPECT_EQ(CFGetRetainCount(first.get()), 1);
}

TEST_F(Collections, DictionaryFindsKeysByEqualTextAndKeepsInsertionOrderWhenValuesAreReplaced) {
    const auto dictionary = MakeDictionary();
    const auto key = MakeString("DeptCode");
    const auto oldValue = MakeString("False");
    const auto newValue = MakeString("True");
    CFDictionarySetValue(dictionary.get(), key.get(), oldValue.get());
    CFDictionarySetValue(dictionary.get(), CFSTR("PrintMode"), CFSTR("Private"));
    CFDictionarySetValue(dictionary.get(), MakeString("DeptCode").get(), newValue.get());
    EXPECT_EQ(CFGetRetainCount(oldValue.get()), 1) << "the replaced value was released";
    EXPECT_EQ(CFGetRetainCount(newValue.get()), 2);
    EXPECT_EQ(CFGetRetainCount(key.get()), 2) << "the first key stays";
    EXPECT_EQ(EntriesOf(dictionary.get()), (Entries{{key.get(), newValue.get()}, {CFSTR("PrintMode"), CFSTR("Private")}}));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), MakeString("PrintMode").get()), CFSTR("Private"));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), CFSTR("printmode")), nullptr);

    // Setting the value it already holds, its only owner, keeps it alive.
    CFStringRef sole = CFStringCreateWithCString(nullptr, "sole", kCFStringEncodingUTF8);
    CFDictionarySetValue(dictionary.get(), CFSTR("key"), sole);
    CFRelease(sole);
    CFDictionarySetValue(dictionary.get(), CFSTR("key"), sole);
    EXPECT_EQ(kvx::ToUTF8(static_cast<CFStringRef>(CFDictionaryGetValue(dictionary.get(), CFSTR("key")))), "sole");
    CFDictionaryRemoveAllValues(dictionary.get());
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
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
}

}  // namespace
