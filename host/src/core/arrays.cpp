// CFArray: an ordered list of values, retained and released through the
// array's callbacks (none: raw pointers, neither retained nor released).
#include <vector>

#include "collection_description.hpp"
#include "object.hpp"

namespace kvx::host {
namespace {

constexpr CFArrayCallBacks kNoCallBacks = {0, nullptr, nullptr, nullptr, nullptr};
constexpr std::u16string_view kIndent = u"    ";

class Array final : public Object {
public:
    static CFTypeID TypeID() {
        static const CFTypeID type = RegisterType("CFArray");
        return type;
    }
    explicit Array(const CFArrayCallBacks &callBacks) : Object(TypeID()), callBacks_(callBacks) {}
    ~Array() override {
        for (const void *value : values_) releaseValue(value);
    }

    CFIndex count() const { return static_cast<CFIndex>(values_.size()); }
    const void *at(CFIndex index) const {
        return index >= 0 && index < count() ? values_[static_cast<size_t>(index)] : nullptr;
    }
    void append(const void *value) {
        values_.push_back(callBacks_.retain != nullptr ? callBacks_.retain(nullptr, value) : value);
    }
    void removeAt(CFIndex index) {
        if (index < 0 || index >= count()) return;
        const void *removed = values_[static_cast<size_t>(index)];
        values_.erase(values_.begin() + index);
        // Released only once the array no longer holds it, in case releasing
        // runs code that looks at the array.
        releaseValue(removed);
    }

    bool equals(const Object &other) const override {
        const auto &theirs = static_cast<const Array &>(other).values_;
        if (values_.size() != theirs.size()) return false;
        for (size_t i = 0; i < values_.size(); ++i)
            if (!valuesEqual(values_[i], theirs[i])) return false;
        return true;
    }
    CFHashCode hash() const override { return values_.size(); }
    std::u16string describe() const override {
        std::u16string text = u"(\n";
        for (size_t i = 0; i < values_.size(); ++i) {
            text += kIndent;
            text += DescribeValue(values_[i], callBacks_.copyDescription);
            text += i + 1 < values_.size() ? u",\n" : u"\n";
        }
        return text + u")";
    }

private:
    void releaseValue(const void *value) const {
        if (callBacks_.release != nullptr) callBacks_.release(nullptr, value);
    }
    bool valuesEqual(const void *a, const void *b) const {
        return a == b || (callBacks_.equal != nullptr && callBacks_.equal(a, b));
    }

    CFArrayCallBacks callBacks_;
    std::vector<const void *> values_;
};

Array *AsArray(CFArrayRef ref) { return As<Array>(ref, Array::TypeID()); }

}  // namespace
}  // namespace kvx::host

using kvx::host::Array;
using kvx::host::AsArray;

extern "C" {

CFTypeID CFArrayGetTypeID(void) { return Array::TypeID(); }

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex, const CFArrayCallBacks *callBacks) {
    const CFArrayCallBacks &chosen = callBacks != nullptr ? *callBacks : kvx::host::kNoCallBacks;
    return kvx::host::ToRef<CFMutableArrayRef>(kvx::host::Create<Array>(chosen));
}

CFIndex CFArrayGetCount(CFArrayRef theArray) {
    const Array *array = AsArray(theArray);
    return array == nullptr ? 0 : array->count();
}

const void *CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx) {
    const Array *array = AsArray(theArray);
    return array == nullptr ? nullptr : array->at(idx);
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void *value) {
    if (Array *array = AsArray(theArray)) array->append(value);
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx) {
    if (Array *array = AsArray(theArray)) array->removeAt(idx);
}

}  // extern "C"
