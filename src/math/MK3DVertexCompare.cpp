#include "math/MK3DVertexCompare.h"

#include <cmath>

namespace {

// Single-precision epsilon, 2^-23 (1.1920929e-07): vertices are often built from float data.
constexpr double kPrimaryTolerance = 1.1920929e-07f;

// Descending order. The strict test comes first, so a primary that is greater by less than the
// tolerance still sorts first; only a smaller primary within the tolerance counts as equal.
int CompareHigher(double aPrimary, double bPrimary, double aSecondary, double bSecondary) {
  if (aPrimary > bPrimary) return -1;
  if (std::fabs(aPrimary - bPrimary) >= kPrimaryTolerance) return 1;
  if (aSecondary > bSecondary) return -1;
  if (aSecondary < bSecondary) return 1;
  return 0;
}

int CompareLower(double aPrimary, double bPrimary, double aSecondary, double bSecondary) {
  if (aPrimary < bPrimary) return -1;
  if (std::fabs(aPrimary - bPrimary) >= kPrimaryTolerance) return 1;
  if (aSecondary < bSecondary) return -1;
  if (aSecondary > bSecondary) return 1;
  return 0;
}

}  // namespace

int MK3DVertexCompareHigherZHigherX(const MK3DVertex& a, const MK3DVertex& b) {
  return CompareHigher(a.z, b.z, a.x, b.x);
}

int MK3DVertexCompareLowerZLowerX(const MK3DVertex& a, const MK3DVertex& b) {
  return CompareLower(a.z, b.z, a.x, b.x);
}

int MK3DVertexCompareHigherYHigherZ(const MK3DVertex& a, const MK3DVertex& b) {
  return CompareHigher(a.y, b.y, a.z, b.z);
}

int MK3DVertexCompareLowerYLowerZ(const MK3DVertex& a, const MK3DVertex& b) {
  return CompareLower(a.y, b.y, a.z, b.z);
}

int MK3DVertexCompareHigherXHigherY(const MK3DVertex& a, const MK3DVertex& b) {
  return CompareHigher(a.x, b.x, a.y, b.y);
}

int MK3DVertexCompareLowerXLowerY(const MK3DVertex& a, const MK3DVertex& b) {
  return CompareLower(a.x, b.x, a.y, b.y);
}
