#include "geometry.hpp"

#include <algorithm>
#include <limits>

#include "Carbon.h"

namespace kvx::host {

SInt16 SaturateCoordinate(long value) {
    constexpr long kLowest = std::numeric_limits<SInt16>::min();
    constexpr long kHighest = std::numeric_limits<SInt16>::max();
    return static_cast<SInt16>(std::clamp(value, kLowest, kHighest));
}

Rect OffsetBy(const Rect &r, long dh, long dv) {
    return Rect{SaturateCoordinate(r.top + dv), SaturateCoordinate(r.left + dh), SaturateCoordinate(r.bottom + dv),
                SaturateCoordinate(r.right + dh)};
}

}  // namespace kvx::host

extern "C" void OffsetRect(Rect *r, SInt16 dh, SInt16 dv) {
    if (r != nullptr) *r = kvx::host::OffsetBy(*r, dh, dv);
}
