#pragma once

#include "math/MK3DVertex.h"
#include "parts/MKShortName.h"

// Conventions shared by the limb builders of the geometric build.
namespace MKBuildConventions {

// A left limb segment is its right twin plus 32; a left limb ellipse is its
// right twin minus 44.
constexpr int kLeftSegment = LSLeTh - RSLeTh;
constexpr int kLeftEllipse = LEArAc - REArAc;

// The short name of a right-side element on the requested side.
inline MKShortName Side(MKShortName right, bool left, int offset) {
  return left ? static_cast<MKShortName>(right + offset) : right;
}

// World directions of a built body: the manikin's right is -x, up +y, front +z.
constexpr MK3DVertex kLateral(1.0, 0.0, 0.0);
constexpr MK3DVertex kFront(0.0, 0.0, 1.0);
constexpr MK3DVertex kDown(0.0, -1.0, 0.0);
constexpr MK3DVertex kNoShift(0.0, 0.0, 0.0);

}  // namespace MKBuildConventions
