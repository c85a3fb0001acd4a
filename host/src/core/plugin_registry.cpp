// The plug-in registry's instance counts, one per factory UUID.
#include <array>
#include <cstring>
#include <map>

#include "KVXHost.h"

namespace {

using FactoryKey = std::array<UInt8, sizeof(CFUUIDBytes)>;

std::map<FactoryKey, CFIndex> &InstanceCounts() {
    static std::map<FactoryKey, CFIndex> counts;
    return counts;
}

FactoryKey KeyOf(CFUUIDRef factoryID) {
    const CFUUIDBytes bytes = CFUUIDGetUUIDBytes(factoryID);
    FactoryKey key;
    std::memcpy(key.data(), &bytes, key.size());
    return key;
}

bool IsUUID(CFUUIDRef ref) { return ref != nullptr && CFGetTypeID(ref) == CFUUIDGetTypeID(); }

}  // namespace

extern "C" {

void CFPlugInAddInstanceForFactory(CFUUIDRef factoryID) {
    if (IsUUID(factoryID)) ++InstanceCounts()[KeyOf(factoryID)];
}

// Removing an instance that was never added is ignored: a count never goes below 0.
void CFPlugInRemoveInstanceForFactory(CFUUIDRef factoryID) {
    if (!IsUUID(factoryID)) return;
    const auto found = InstanceCounts().find(KeyOf(factoryID));
    if (found == InstanceCounts().end()) return;
    if (--found->second == 0) InstanceCounts().erase(found);
}

CFIndex KVXPlugInGetInstanceCountForFactory(CFUUIDRef factoryID) {
    if (!IsUUID(factoryID)) return 0;
    const auto found = InstanceCounts().find(KeyOf(factoryID));
    return found == InstanceCounts().end() ? 0 : found->second;
}

}  // extern "C"
