#include "math/MK3DVertex.h"

#include <cmath>

namespace {

// Constant-initialised, so it is usable from other static initialisers.
constexpr MK3DVertex kNullVertex(0.0, 0.0, 0.0);

}  // namespace

double MK3DVertex::DistanceFrom(const MK3DVertex& other) const {
  const double dx = x - other.x;
  const double dy = y - other.y;
  const double dz = z - other.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

const MK3DVertex& MKNULL3DVertex() {
  return kNullVertex;
}
