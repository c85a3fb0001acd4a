#include "object.hpp"

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "KVXHost.h"

namespace kvx::host {
namespace {

// The host registers a fixed set of types, about twenty; the room is ample.
constexpr size_t kMaxTypes = 128;

// Index 0 is unused so that no type has the ID 0. Names are guarded because
// run loops (and so timers) may be made on any thread; the live counts are
// atomic instead, since every object made and freed changes one.
struct TypeTable {
    std::mutex mutex;
    std::vector<std::string> names{"(none)"};
    std::array<std::atomic<CFIndex>, kMaxTypes> live{};
};

TypeTable &Types() {
    static TypeTable table;
    return table;
}

void CountLive(CFTypeID type, CFIndex delta) { Types().live[type].fetch_add(delta, std::memory_order_relaxed); }

}  // namespace

Object::Object(CFTypeID type) : type_(type) { CountLive(type_, +1); }

Object::~Object() {
    if (counted_) CountLive(type_, -1);
}

void Object::release() {
    if (constant_) return;
    if (--retainCount_ == 0) std::unique_ptr<Object>{this}.reset();
}

void Object::makeConstant() {
    if (constant_) return;
    constant_ = true;
    leaveLiveCount();
}

void Object::leaveLiveCount() {
    if (!counted_) return;
    counted_ = false;
    CountLive(type_, -1);
}

void Object::rejoinLiveCount() {
    if (counted_ || constant_) return;
    counted_ = true;
    CountLive(type_, +1);
}

std::u16string Object::describe() const {
    char text[64];
    std::snprintf(text, sizeof text, "<%s %p>", TypeName(type_), static_cast<const void *>(this));
    return {text, text + std::char_traits<char>::length(text)};
}

CFTypeID RegisterType(const char *name) {
    TypeTable &table = Types();
    std::lock_guard lock(table.mutex);
    if (table.names.size() == kMaxTypes) {
        std::fprintf(stderr, "kvxhost: no room to register the type %s\n", name);
        std::abort();
    }
    table.names.emplace_back(name);
    return table.names.size() - 1;
}

const char *TypeName(CFTypeID type) {
    TypeTable &table = Types();
    std::lock_guard lock(table.mutex);
    return type < table.names.size() ? table.names[type].c_str() : "(unknown)";
}

}  // namespace kvx::host

using kvx::host::ObjectFrom;

extern "C" {

CFTypeRef CFRetain(CFTypeRef cf) {
    if (cf != nullptr) ObjectFrom(cf)->retain();
    return cf;
}

void CFRelease(CFTypeRef cf) {
    if (cf != nullptr) ObjectFrom(cf)->release();
}

CFIndex CFGetRetainCount(CFTypeRef cf) { return cf == nullptr ? 0 : ObjectFrom(cf)->retainCount(); }

Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2) {
    if (cf1 == cf2) return true;
    if (cf1 == nullptr || cf2 == nullptr) return false;
    const auto *a = ObjectFrom(cf1);
    const auto *b = ObjectFrom(cf2);
    return a->type() == b->type() && a->equals(*b);
}

CFHashCode CFHash(CFTypeRef cf) { return cf == nullptr ? 0 : ObjectFrom(cf)->hash(); }

CFTypeID CFGetTypeID(CFTypeRef cf) { return cf == nullptr ? 0 : ObjectFrom(cf)->type(); }

CFIndex KVXHostGetLiveObjectCount(CFTypeID typeID) {
    auto &table = kvx::host::Types();
    std::lock_guard lock(table.mutex);
    if (typeID != 0) return typeID < table.names.size() ? table.live[typeID].load() : 0;
    CFIndex total = 0;
    for (size_t type = 0; type < table.names.size(); ++type) total += table.live[type].load();
    return total;
}

void KVXHostShowLiveObjects(void) {
    auto &table = kvx::host::Types();
    std::lock_guard lock(table.mutex);
    for (size_t type = 0; type < table.names.size(); ++type) {
        const CFIndex live = table.live[type].load();
        if (live != 0) std::fprintf(stderr, "%s: %ld\n", table.names[type].c_str(), static_cast<long>(live));
    }
}

}  // extern "C"
