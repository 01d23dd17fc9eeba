// Basis of support and balance of MKBody.
#include <cmath>
#include <vector>

#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "math/MKMathRoutines.h"

namespace {

MK3DVertex ToVertex(const MK3x1Matrix& v) {
  return MK3DVertex(v(0), v(1), v(2));
}

// A centre-of-gravity coordinate this small (centimetres) counts as 0.
constexpr double kBalanceTolerance = 1e-06;

void Fill(MKMesh& mesh, std::vector<MK3DVertex> points, double y) {
  mesh.Clear();
  for (MK3DVertex& p : points) {
    p.y = y;
    mesh.Append(p);
  }
}

}  // namespace

MK3DVertex MKBody::SegmentEnd(MKShortName name) const {
  MKSegment* segment = GetSegment(name);
  return segment ? ToVertex(segment->GetEndPosition()) : MK3DVertex();
}

MK3DVertex MKBody::BallOfFoot(MKShortName ellipseName, MKShortName toes, double side) const {
  MKSegment* segment = GetSegment(toes);
  MKEllipse* ellipse = segment ? segment->GetEllipse(ellipseName) : nullptr;
  if (!ellipse) return MK3DVertex();
  MK4x4Matrix point;
  point.BuildFromTrans(side * 0.5 * ellipse->GetMajorAxis(), 0.0, 0.0);
  return ToVertex(
      (point * ellipse->GetLocalMatrix() * segment->GetGlobalMatrix()).GetTranslation());
}

void MKBody::GetBasisOfSupportWhenStanding(MKMesh& points) {
  // Heels, balls of the feet and toe tips, in order around both feet.
  std::vector<MK3DVertex> feet = {
      SegmentEnd(RSFoHe), SegmentEnd(LSFoHe), BallOfFoot(LEFoBa, LSFoTo, 1),
      SegmentEnd(LSFoTo), SegmentEnd(RSFoTo), BallOfFoot(REFoBa, RSFoTo, -1)};
  double meanY = 0.0;
  for (const MK3DVertex& p : feet) meanY += p.y;
  Fill(points, feet, meanY / static_cast<double>(feet.size()));
}

void MKBody::GetBasisOfSupportWhenSitting(MKMesh& points) {
  MKEllipse* buttocks = GetEllipse(EBoBu);
  auto seat = [buttocks](MKPositionSpec spec) {
    return buttocks ? buttocks->GetPosition(spec, MKGlobalSpace) : MK3DVertex();
  };
  std::vector<MK3DVertex> support = {
      seat(MKPositionLowestX), SegmentEnd(RSFoHe),       seat(MKPositionLowestZ),
      SegmentEnd(LSFoHe),      seat(MKPositionHighestX), BallOfFoot(LEFoBa, LSFoTo, 1),
      SegmentEnd(LSFoTo),      SegmentEnd(RSFoTo),       BallOfFoot(REFoBa, RSFoTo, -1)};
  double lowestY = support.front().y;
  for (const MK3DVertex& p : support) lowestY = std::fmin(lowestY, p.y);
  Fill(points, support, lowestY);
}

MKMesh MKBody::GetBasisOfSupport() {
  MKMesh points(MKMesh::MKPointSet);
  if (IsSittingConstruction())
    GetBasisOfSupportWhenSitting(points);
  else
    GetBasisOfSupportWhenStanding(points);
  return points.ConvexHull();
}

bool MKBody::IsBalanced() {
  const MK3x1Matrix g = centerOfGravity.GetGlobalMatrix().GetTranslation();
  const double x = std::fabs(g(0)) < kBalanceTolerance ? 0.0 : g(0);
  const double z = std::fabs(g(2)) < kBalanceTolerance ? 0.0 : g(2);
  const MKMesh hull = GetBasisOfSupport();
  MKMesh floor(MKMesh::MKPointSet);
  for (unsigned int i = 0; i < hull.GetNumberOfPoints(); ++i)
    floor.Append(hull[i].x, 0.0, hull[i].z);
  return MKMathRoutines::ContainsVertex(floor, MK3DVertex(x, 0.0, z));
}

void MKBody::SetMeshResolution(unsigned int resolution) {
  if (resolution < GetMinMeshResolution()) resolution = GetMinMeshResolution();
  if (resolution > GetMaxMeshResolution()) resolution = GetMaxMeshResolution();
  if (resolution == meshResolution) return;
  meshResolution = resolution;
  RebuildMeshes();
}

bool MKBody::IsSittingConstruction() const {
  return false;
}
