// CFBoolean: two constant objects, true and false.
#include "object.hpp"

namespace kvx::host {
namespace {

class BooleanValue final : public Object {
public:
    static CFTypeID TypeID() {
        static const CFTypeID type = RegisterType("CFBoolean");
        return type;
    }
    explicit BooleanValue(bool value) : Object(TypeID()), value_(value) {}
    bool value() const { return value_; }
    std::u16string describe() const override { return value_ ? u"true" : u"false"; }

private:
    bool value_;
};

CFBooleanRef MakeConstantBoolean(bool value) {
    BooleanValue *boolean = Create<BooleanValue>(value);
    boolean->makeConstant();
    return ToRef<CFBooleanRef>(boolean);
}

}  // namespace
}  // namespace kvx::host

using kvx::host::BooleanValue;

extern "C" {

const CFBooleanRef kCFBooleanTrue = kvx::host::MakeConstantBoolean(true);
const CFBooleanRef kCFBooleanFalse = kvx::host::MakeConstantBoolean(false);

CFTypeID CFBooleanGetTypeID(void) { return BooleanValue::TypeID(); }

Boolean CFBooleanGetValue(CFBooleanRef boolean) {
    const BooleanValue *object = kvx::host::As<BooleanValue>(boolean, BooleanValue::TypeID());
    return object != nullptr && object->value();
}

}  // extern "C"
