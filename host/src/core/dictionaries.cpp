// CFDictionary: key-value entries in insertion order, keys looked up by the
// key callbacks' hash and equality (none: by address), keys and values
// retained and released through the callbacks.
#include <iterator>
#include <list>
#include <unordered_map>
#include <vector>

#include "collection_description.hpp"
#include "object.hpp"

namespace kvx::host {
namespace {

constexpr CFDictionaryKeyCallBacks kNoKeyCallBacks = {0, nullptr, nullptr, nullptr, nullptr, nullptr};
constexpr CFDictionaryValueCallBacks kNoValueCallBacks = {0, nullptr, nullptr, nullptr, nullptr};
constexpr std::u16string_view kIndent = u"    ";

struct Entry {
    const void *key;
    const void *value;
};

class Dictionary final : public Object {
public:
    static CFTypeID TypeID() {
        static const CFTypeID type = RegisterType("CFDictionary");
        return type;
    }
    Dictionary(const CFDictionaryKeyCallBacks &keyCallBacks, const CFDictionaryValueCallBacks &valueCallBacks)
        : Object(TypeID()), keyCallBacks_(keyCallBacks), valueCallBacks_(valueCallBacks) {}
    ~Dictionary() override { removeAll(); }

    const CFDictionaryKeyCallBacks &keyCallBacks() const { return keyCallBacks_; }
    const CFDictionaryValueCallBacks &valueCallBacks() const { return valueCallBacks_; }
    CFIndex count() const { return static_cast<CFIndex>(entries_.size()); }

    const Entry *find(const void *key) const {
        const auto found = locate(key);
        return found == entries_.end() ? nullptr : &*found;
    }

    void set(const void *key, const void *value) {
        const auto found = locate(key);
        if (found != entries_.end()) {
            // The new value is retained before the old one is released: they
            // may be the same object, held only by this entry. The key stays.
            const void *old = found->value;
            found->value = retainValue(value);
            releaseValue(old);
            return;
        }
        const CFHashCode hash = hashKey(key);
        entries_.push_back(Entry{retainKey(key), retainValue(value)});
        index_.emplace(hash, std::prev(entries_.end()));
    }

    void remove(const void *key) {
        const CFHashCode hash = hashKey(key);
        const auto [first, last] = index_.equal_range(hash);
        for (auto slot = first; slot != last; ++slot) {
            if (!keysEqual(slot->second->key, key)) continue;
            const Entry removed = *slot->second;
            entries_.erase(slot->second);
            index_.erase(slot);
            // Released once the entry is gone, in case releasing reaches back here.
            releaseKey(removed.key);
            releaseValue(removed.value);
            return;
        }
    }

    void removeAll() {
        std::list<Entry> removed;
        removed.swap(entries_);
        index_.clear();
        for (const Entry &entry : removed) {
            releaseKey(entry.key);
            releaseValue(entry.value);
        }
    }

    // A copy of the entries, so that an applier that changes the dictionary
    // does not pull the ground from under the iteration.
    std::vector<Entry> snapshot() const { return {entries_.begin(), entries_.end()}; }

    bool equals(const Object &other) const override {
        const auto &theirs = static_cast<const Dictionary &>(other);
        if (count() != theirs.count()) return false;
        for (const Entry &entry : entries_) {
            const Entry *match = theirs.find(entry.key);
            if (match == nullptr) return false;
            if (match->value != entry.value &&
                (valueCallBacks_.equal == nullptr || !valueCallBacks_.equal(entry.value, match->value)))
                return false;
        }
        return true;
    }
    CFHashCode hash() const override { return entries_.size(); }
    std::u16string describe() const override {
        std::u16string text = u"{\n";
        for (const Entry &entry : entries_) {
            text += kIndent;
            text += DescribeValue(entry.key, keyCallBacks_.copyDescription);
            text += u" = ";
            text += DescribeValue(entry.value, valueCallBacks_.copyDescription);
            text += u";\n";
        }
        return text + u"}";
    }

private:
    using Entries = std::list<Entry>;

    Entries::iterator locate(const void *key) { return Locate(*this, key); }
    Entries::const_iterator locate(const void *key) const { return Locate(*this, key); }
    template <typename Self>
    static auto Locate(Self &self, const void *key) -> decltype(self.entries_.begin()) {
        const auto [first, last] = self.index_.equal_range(self.hashKey(key));
        for (auto slot = first; slot != last; ++slot)
            if (self.keysEqual(slot->second->key, key)) return slot->second;
        return self.entries_.end();
    }
    CFHashCode hashKey(const void *key) const {
        return keyCallBacks_.hash != nullptr ? keyCallBacks_.hash(key) : reinterpret_cast<CFHashCode>(key);
    }
    bool keysEqual(const void *a, const void *b) const {
        return a == b || (keyCallBacks_.equal != nullptr && keyCallBacks_.equal(a, b));
    }
    const void *retainKey(const void *key) const {
        return keyCallBacks_.retain != nullptr ? keyCallBacks_.retain(nullptr, key) : key;
    }
    const void *retainValue(const void *value) const {
        return valueCallBacks_.retain != nullptr ? valueCallBacks_.retain(nullptr, value) : value;
    }
    void releaseKey(const void *key) const {
        if (keyCallBacks_.release != nullptr) keyCallBacks_.release(nullptr, key);
    }
    void releaseValue(const void *value) const {
        if (valueCallBacks_.release != nullptr) valueCallBacks_.release(nullptr, value);
    }

    CFDictionaryKeyCallBacks keyCallBacks_;
    CFDictionaryValueCallBacks valueCallBacks_;
    Entries entries_;
    std::unordered_multimap<CFHashCode, Entries::iterator> index_;
};

Dictionary *AsDictionary(CFDictionaryRef ref) { return As<Dictionary>(ref, Dictionary::TypeID()); }

}  // namespace
}  // namespace kvx::host

using kvx::host::AsDictionary;
using kvx::host::Dictionary;

extern "C" {

CFTypeID CFDictionaryGetTypeID(void) { return Dictionary::TypeID(); }

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex, const CFDictionaryKeyCallBacks *keyCallBacks,
                                                 const CFDictionaryValueCallBacks *valueCallBacks) {
    using namespace kvx::host;
    return ToRef<CFMutableDictionaryRef>(Create<Dictionary>(keyCallBacks != nullptr ? *keyCallBacks : kNoKeyCallBacks,
                                                            valueCallBacks != nullptr ? *valueCallBacks
                                                                                      : kNoValueCallBacks));
}

CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef, CFIndex, CFDictionaryRef theDict) {
    using namespace kvx::host;
    const Dictionary *source = AsDictionary(theDict);
    if (source == nullptr) return nullptr;
    Dictionary *copy = Create<Dictionary>(source->keyCallBacks(), source->valueCallBacks());
    for (const Entry &entry : source->snapshot()) copy->set(entry.key, entry.value);
    return ToRef<CFMutableDictionaryRef>(copy);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict) {
    const Dictionary *dictionary = AsDictionary(theDict);
    return dictionary == nullptr ? 0 : dictionary->count();
}

const void *CFDictionaryGetValue(CFDictionaryRef theDict, const void *key) {
    const Dictionary *dictionary = AsDictionary(theDict);
    const kvx::host::Entry *entry = dictionary == nullptr ? nullptr : dictionary->find(key);
    return entry == nullptr ? nullptr : entry->value;
}

void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void *key, const void *value) {
    if (Dictionary *dictionary = AsDictionary(theDict)) dictionary->set(key, value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void *key) {
    if (Dictionary *dictionary = AsDictionary(theDict)) dictionary->remove(key);
}

void CFDictionaryRemoveAllValues(CFMutableDictionaryRef theDict) {
    if (Dictionary *dictionary = AsDictionary(theDict)) dictionary->removeAll();
}

void CFDictionaryApplyFunction(CFDictionaryRef theDict, CFDictionaryApplierFunction applier, void *context) {
    const Dictionary *dictionary = AsDictionary(theDict);
    if (dictionary == nullptr || applier == nullptr) return;
    for (const kvx::host::Entry &entry : dictionary->snapshot()) applier(entry.key, entry.value, context);
}

}  // extern "C"
