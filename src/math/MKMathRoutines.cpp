#include "math/MKMathRoutines.h"

#include "math/MKMesh.h"

#include <cmath>

#include "host/KelMathVector.h"
#include "math/MK3DVertex.h"
#include "math/MKIEEE.h"
#include "math/MKUnitConversions.h"
#include "math/detail/MKNormalTables.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// z range covered by the cumulative table.
constexpr double kTableRange = 4.5;
constexpr int kLastEntry = MKNormalTables::sSize - 1;
// Cumulative probability beyond the table, either side of 0.5.
constexpr double kClampedHalfProbability = 0.4999;
// Distance from the triangle's plane still counted as in the plane (single-precision epsilon).
constexpr double kPlaneTolerance = 1.1920929e-07f;

// Linear interpolation at position s, 0 <= s <= kLastEntry.
double Interpolate(const double* table, double s) {
  const double lower = std::floor(s);
  const double f = s - lower;
  return (1.0 - f) * table[static_cast<int>(lower)] + f * table[static_cast<int>(std::ceil(s))];
}

// Edge function of the point (px, pz) against the edge (ux, uz) -> (vx, vz); its sign tells the
// side of the edge.
double Edge(double ux, double uz, double vx, double vz, double px, double pz) {
  return (vz - uz) * (px - ux) + (ux - vx) * (pz - uz);
}

bool InsideByEdges(double ax, double az, double bx, double bz, double cx, double cz, double px,
                   double pz) {
  const double e1 = Edge(ax, az, bx, bz, px, pz);
  const double e2 = Edge(bx, bz, cx, cz, px, pz);
  const double e3 = Edge(cx, cz, ax, az, px, pz);
  return e1 * e2 >= 0.0 && e1 * e3 >= 0.0;
}

}  // namespace

double MKMathRoutines::Cos(double degrees) {
  return std::cos(MKUnitConversions::DegreesToRadians(degrees));
}

double MKMathRoutines::Sin(double degrees) {
  return std::sin(MKUnitConversions::DegreesToRadians(degrees));
}

double MKMathRoutines::Tan(double degrees) {
  return std::tan(MKUnitConversions::DegreesToRadians(degrees));
}

double MKMathRoutines::ACos(double x) {
  if (x >= -1.0 && x <= 1.0) return MKUnitConversions::RadiansToDegrees(std::acos(x));
  return 0.0;
}

double MKMathRoutines::ATan(double x) {
  return MKUnitConversions::RadiansToDegrees(std::atan(x));
}

double MKMathRoutines::Length(double a, double b) {
  return std::sqrt(a * a + b * b);
}

double MKMathRoutines::CircAxe(double c, double b) {
  return std::sqrt(2.0 * c * c / (kPi * kPi) - b * b);
}

double MKMathRoutines::Gauss(double mean, double stdDev, double value) {
  const double z = (value - mean) / stdDev;
  const double s = std::fabs(z) / kTableRange * kLastEntry;
  // Written so that a NaN position also takes the clamped value.
  const double v =
      s <= kLastEntry ? Interpolate(MKNormalTables::sCumulative, s) : kClampedHalfProbability;
  return z >= 0.0 ? 0.5 + v : 0.5 - v;
}

double MKMathRoutines::GaussianPercentileFromValue(double mean, double stdDev, double value) {
  return 100.0 * Gauss(mean, stdDev, value);
}

double MKMathRoutines::GaussInv(double mean, double stdDev, double p) {
  if (p < 0.0) return 0.0;
  if (p > 1.0) return 4.0;
  if (std::isnan(p)) return MKIEEE::NaN();
  const double s = (p - 0.5) * 2.0 * kLastEntry;
  const double v = Interpolate(MKNormalTables::sInverse, std::fabs(s));
  return s >= 0.0 ? mean + stdDev * v : mean - stdDev * v;
}

double MKMathRoutines::GaussianValueFromPercentile(double mean, double stdDev, double percentile) {
  return GaussInv(mean, stdDev, percentile / 100.0);
}

bool MKMathRoutines::PointInTriangle(const MK3DVertex& p, const MK3DVertex& a, const MK3DVertex& b,
                                     const MK3DVertex& c) {
  if (a.x == b.x || b.x == c.x || c.x == a.x) return false;
  if (a.z == b.z || b.z == c.z || c.z == a.z) return false;
  return InsideByEdges(a.x, a.z, b.x, b.z, c.x, c.z, p.x, p.z);
}

// Works in the triangle's plane with b as origin, u along b->c and w across it, so c sits at
// (|c - b|, 0). The rejected coordinates are the degenerate configurations of that frame.
bool MKMathRoutines::PointInTriangle(const KelMathVector& p, const KelMathVector& a,
                                     const KelMathVector& b, const KelMathVector& c) {
  const KelMathVector bc = c - b;
  const double length = bc.Norm();
  KelMathVector u = bc;
  u.Normalize();
  KelMathVector n = bc.Cross(a - b);
  n.Normalize();
  const KelMathVector w = u.Cross(n);

  const KelMathVector bp = p - b;
  if (std::fabs(bp.Dot(n)) > kPlaneTolerance) return false;

  const KelMathVector ba = a - b;
  const double au = ba.Dot(u);
  const double aw = ba.Dot(w);
  const double pu = bp.Dot(u);
  const double pw = bp.Dot(w);
  if (au == 0.0 || aw == 0.0 || au == length || aw == pw || length == 0.0 || pw == 0.0) {
    return false;
  }
  return InsideByEdges(au, aw, 0.0, 0.0, length, 0.0, pu, pw);
}

namespace {

// The triangles ContainsVertex tries, as vertex indices: every three
// consecutive vertices (wrapping), then the fan from vertex 0.
template <typename Point, typename Test>
bool AnyTriangleContains(const MKMesh& polygon, const Point& p, Test inTriangle) {
  if (polygon.GetType() != MKMesh::MKPointSet) return false;
  const unsigned int n = polygon.GetNumberOfPoints();
  if (n < 3) return false;
  auto at = [&polygon](unsigned int i) { return Point(polygon[i].x, polygon[i].y, polygon[i].z); };
  for (unsigned int i = 0; i < n; ++i)
    if (inTriangle(p, at(i), at((i + 1) % n), at((i + 2) % n))) return true;
  for (unsigned int k = 1; k + 1 < n; ++k)
    if (inTriangle(p, at(0), at(k), at(k + 1))) return true;
  return false;
}

}  // namespace

bool MKMathRoutines::ContainsVertex(const MKMesh& polygon, const MK3DVertex& p) {
  return AnyTriangleContains(polygon, p,
                             [](const MK3DVertex& q, const MK3DVertex& a, const MK3DVertex& b,
                                const MK3DVertex& c) { return PointInTriangle(q, a, b, c); });
}

bool MKMathRoutines::ContainsVertex(const MKMesh& polygon, const KelMathVector& p) {
  return AnyTriangleContains(
      polygon, p,
      [](const KelMathVector& q, const KelMathVector& a, const KelMathVector& b,
         const KelMathVector& c) { return PointInTriangle(q, a, b, c); });
}
