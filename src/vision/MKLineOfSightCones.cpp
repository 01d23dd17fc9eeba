// Display meshes of the vision cones, in the frame of the line of sight (the
// eye at the origin, looking along +Z).
#include <algorithm>
#include <cmath>

#include "body/MKBody.h"
#include "manikin/MKManikin.h"
#include "math/MKUnitConversions.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

namespace {

// Half-angles are kept short of a right angle so that the section stays in
// front of the eye.
constexpr double kWidestHalfAngle = 89.0;

double HalfAxis(double length, double degrees) {
  const double angle = std::fmin(std::fmax(degrees, 0.0), kWidestHalfAngle);
  return length * std::tan(MKUnitConversions::DegreesToRadians(angle));
}

MK3DVertex OntoSphere(const MK3DVertex& p, double radius) {
  const double norm = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
  if (norm == 0.0) return p;
  const double f = radius / norm;
  return MK3DVertex(p.x * f, p.y * f, p.z * f);
}

MKMesh Projected(const MKMesh& section, bool sphere, double radius) {
  MKMesh result(MKMesh::MKCap);
  for (unsigned int i = 0; i < section.GetNumberOfPoints(); ++i)
    result.Append(sphere ? OntoSphere(section[i], radius) : section[i]);
  return result;
}

// A fan from `apex` over the points, closed with the first one again.
MKMesh Fan(const MK3DVertex& apex, const MKMesh& points) {
  MKMesh fan(MKMesh::MKCap);
  fan.Append(apex);
  for (unsigned int i = 0; i < points.GetNumberOfPoints(); ++i) fan.Append(points[i]);
  if (points.GetNumberOfPoints() > 0) fan.Append(points[0]);
  return fan;
}

// The strip between two sections of as many points, closed with the first pair.
MKMesh Strip(const MKMesh& inner, const MKMesh& outer) {
  MKMesh strip(MKMesh::MKRing);
  const unsigned int n = std::min(inner.GetNumberOfPoints(), outer.GetNumberOfPoints());
  for (unsigned int i = 0; i < n; ++i) {
    strip.Append(inner[i]);
    strip.Append(outer[i]);
  }
  if (n > 0) {
    strip.Append(inner[0]);
    strip.Append(outer[0]);
  }
  return strip;
}

}  // namespace

MKMesh MKLineOfSight::GetOnePeripheralCone(double binocular, double ambinocular, double verticalTop,
                                           double verticalBottom) const {
  MKMesh section(MKMesh::MKCap);
  const double reach = GetLength();
  const MKManikin* manikin = vision ? vision->GetManikin() : nullptr;
  const MKBody* body = manikin ? manikin->GetBody() : nullptr;
  if (!std::isfinite(reach) || !body) return section;
  // Four quarter-ellipses at the line's length: the ambinocular half-angle
  // on +X, the binocular one on -X, the top angle above, the bottom one below.
  const double outer = HalfAxis(reach, ambinocular * 0.5);
  const double inner = HalfAxis(reach, binocular * 0.5);
  const double top = HalfAxis(reach, verticalTop);
  const double bottom = HalfAxis(reach, verticalBottom);
  const unsigned int perQuarter = std::max(1u, body->GetMeshResolution() / 4);
  const unsigned int count = 4 * perQuarter;
  for (unsigned int k = 0; k < count; ++k) {
    const double t = 2.0 * M_PI * k / count;
    const double c = std::cos(t), s = std::sin(t);
    section.Append((c >= 0.0 ? outer : inner) * c, (s >= 0.0 ? top : bottom) * s, reach);
  }
  return section;
}

void MKLineOfSight::AddSphereCap(MKBagOfMKMesh& bag, double binocular, double ambinocular,
                                 double verticalTop, double verticalBottom) const {
  const MKManikin* manikin = vision ? vision->GetManikin() : nullptr;
  const MKBody* body = manikin ? manikin->GetBody() : nullptr;
  if (!body) return;
  const double reach = GetLength();
  const unsigned int r = std::max(1u, body->GetMeshResolution());
  auto sectionAt = [&](double fraction) {
    return Projected(GetOnePeripheralCone(binocular * fraction, ambinocular * fraction,
                                          verticalTop * fraction, verticalBottom * fraction),
                     true, reach);
  };
  for (unsigned int j = 1; j < r; ++j)
    bag.AddMesh(Strip(sectionAt(double(j) / r), sectionAt(double(j + 1) / r)));
  bag.AddMesh(Fan(MK3DVertex(0.0, 0.0, reach), sectionAt(1.0 / r)));
}

MKBagOfMKMesh MKLineOfSight::GetPeripheralCone(MKProjectionStyle style) const {
  peripheralConeMeshes.Clear();
  const MKLineOfSight* middle = vision ? vision->GetCentralLineOfSight() : nullptr;
  if (!middle || !std::isfinite(middle->GetLength())) return peripheralConeMeshes;
  const double binocular = vision->GetBinocularAngle();
  const double ambinocular = vision->GetAmbinocularAngle();
  const double top = vision->GetVerticalTopAngle();
  const double bottom = vision->GetVerticalBottomAngle();
  const bool sphere = style == MKProjectionOnSphere;
  const MKMesh section = GetOnePeripheralCone(binocular, ambinocular, top, bottom);
  peripheralConeMeshes.AddMesh(Fan(MK3DVertex(), Projected(section, sphere, GetLength())));
  if (sphere) AddSphereCap(peripheralConeMeshes, binocular, ambinocular, top, bottom);
  return peripheralConeMeshes;
}

MKBagOfMKMesh MKLineOfSight::GetCentralCone(MKProjectionStyle style) const {
  centralConeMeshes.Clear();
  if (!vision || !std::isfinite(GetLength())) return centralConeMeshes;
  // A circular ring of half-angle c / 2.
  const double c = vision->GetCentralConeAngle();
  const bool sphere = style == MKProjectionOnSphere;
  const MKMesh section = GetOnePeripheralCone(c, c, c * 0.5, c * 0.5);
  centralConeMeshes.AddMesh(Fan(MK3DVertex(), Projected(section, sphere, GetLength())));
  if (sphere) AddSphereCap(centralConeMeshes, c, c, c * 0.5, c * 0.5);
  return centralConeMeshes;
}
