// Rectangle arithmetic in the toolbox's 16-bit coordinate space.
#pragma once

#include "MacTypes.h"

namespace kvx::host {

// Narrows a coordinate to 16 bits by saturating: a rectangle pushed past the
// edge of the coordinate space is squashed against it instead of wrapping
// round to the other side, so it never turns inside out.
SInt16 SaturateCoordinate(long value);

// The rectangle moved by dh horizontally and dv vertically.
Rect OffsetBy(const Rect &r, long dh, long dv);

inline long Width(const Rect &r) { return static_cast<long>(r.right) - r.left; }
inline long Height(const Rect &r) { return static_cast<long>(r.bottom) - r.top; }

}  // namespace kvx::host
