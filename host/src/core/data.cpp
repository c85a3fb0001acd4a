// CFData: an immutable run of bytes.
#include <vector>

#include "hashing.hpp"
#include "object.hpp"

namespace kvx::host {
namespace {

class Data final : public Object {
public:
    static CFTypeID TypeID() {
        static const CFTypeID type = RegisterType("CFData");
        return type;
    }
    Data(const UInt8 *bytes, size_t length) : Object(TypeID()), bytes_(bytes, bytes + length) {}
    const std::vector<UInt8> &bytes() const { return bytes_; }

    bool equals(const Object &other) const override { return bytes_ == static_cast<const Data &>(other).bytes_; }
    CFHashCode hash() const override { return HashBytes(bytes_.data(), bytes_.size()); }

private:
    std::vector<UInt8> bytes_;
};

const Data *AsData(CFDataRef ref) { return As<Data>(ref, Data::TypeID()); }

}  // namespace
}  // namespace kvx::host

using kvx::host::Data;

extern "C" {

CFTypeID CFDataGetTypeID(void) { return Data::TypeID(); }

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8 *bytes, CFIndex length) {
    if (length < 0 || (bytes == nullptr && length > 0)) return nullptr;
    return kvx::host::ToRef<CFDataRef>(kvx::host::Create<Data>(bytes, static_cast<size_t>(length)));
}

CFIndex CFDataGetLength(CFDataRef theData) {
    const Data *data = kvx::host::AsData(theData);
    return data == nullptr ? 0 : static_cast<CFIndex>(data->bytes().size());
}

const UInt8 *CFDataGetBytePtr(CFDataRef theData) {
    const Data *data = kvx::host::AsData(theData);
    return data == nullptr ? nullptr : data->bytes().data();
}

}  // extern "C"
