#include "body/MKEllipse.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "body/MKSegment.h"
#include "host/MKTrace.h"
#include "math/MK3DVertexCompare.h"
#include "math/MK3x1Matrix.h"
#include "math/MKIEEE.h"
#include "math/MKMesh.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct UnitPoint {
  double c, s;
};

// The n points of the unit circle that every ring of n points samples,
// clockwise from angle 2 pi. Skins sample thousands of rings of one size, so
// the last size asked for is kept (per thread: hosts may build in parallel).
const std::vector<UnitPoint>& UnitCircle(unsigned int n) {
  thread_local std::vector<UnitPoint> circle;
  if (circle.size() != n) {
    circle.resize(n);
    const double step = 2.0 * kPi / static_cast<double>(n);
    for (unsigned int i = 0; i < n; ++i) {
      const double t = 2.0 * kPi - static_cast<double>(i) * step;
      circle[i] = {std::cos(t), std::sin(t)};
    }
  }
  return circle;
}
constexpr double kDegreesToRadians = kPi / 180.0;
// Single-precision epsilon: below it a normal component or a radius counts as zero.
constexpr double kZeroThreshold = 1.1920929e-07;

bool IsUsable(double value) {
  return !MKIEEE::IsNaN(value) && !MKIEEE::IsInfinite(value);
}

MK3DVertex NaNVertex() {
  return MK3DVertex(MKIEEE::NaN(), MKIEEE::NaN(), MKIEEE::NaN());
}

MK3DVertex ToVertex(const MK3x1Matrix& v) {
  return MK3DVertex(v(0), v(1), v(2));
}

// The four ellipses whose cap depth follows the minor axis only: the ball of the foot and the
// palm end, which are flat along their major axis.
bool DepthFollowsMinorAxisOnly(MKShortName name) {
  return name == LEFoBa || name == REFoBa || name == LEHaPa1 || name == REHaPa1;
}

}  // namespace

MKEllipse::MKEllipse() : MKBodyElement(MKEllipseClass, nullptr, static_cast<MKShortName>(-1)) {
  localMatrix.Unit();
}

MKEllipse::MKEllipse(MKSegment* segment, MKShortName name, int flags)
    : MKBodyElement(MKEllipseClass, segment, name), flags(flags) {
  localMatrix.Unit();
}

MKEllipse::MKEllipse(const MKEllipse& source)
    : MKBodyElement(MKEllipseClass, source.owner, source.shortName) {
  *this = source;
}

MKEllipse& MKEllipse::operator=(const MKEllipse& source) {
  if (this == &source) return *this;
  SetShortName(source.shortName);
  SetOwnerElement(source.owner);
  flags = source.flags;
  localMatrix = source.localMatrix;
  majorAxis = source.majorAxis;
  minorAxis = source.minorAxis;
  std::copy(source.position, source.position + 3, position);
  std::copy(source.rotation, source.rotation + 3, rotation);
  ellipsoidDepth = source.ellipsoidDepth;
  matrixStale = 1;
  return *this;
}

MKSegment* MKEllipse::GetSegment() const {
  return owner && owner->GetMKClassName() == MKSegmentClass ? static_cast<MKSegment*>(owner)
                                                            : nullptr;
}

double MKEllipse::GetRotationXInDegrees() const {
  return rotation[0] / kDegreesToRadians;
}
double MKEllipse::GetRotationYInDegrees() const {
  return rotation[1] / kDegreesToRadians;
}
double MKEllipse::GetRotationZInDegrees() const {
  return rotation[2] / kDegreesToRadians;
}

const MK4x4Matrix& MKEllipse::GetLocalMatrix() {
  Update();
  return localMatrix;
}

void MKEllipse::GetLocalMatrix(MKFrame& frame) {
  GetLocalMatrix().GetMKFrame(frame);
}

double MKEllipse::GetEllipsoidDepth() const {
  if (!HasMesh() || (!HasBeginCap() && !HasEndCap())) return 0.0;
  return ellipsoidDepth;
}

void MKEllipse::SetEllipsoidDepth(double depth) {
  ellipsoidDepth = depth;
  matrixStale = 1;
}

void MKEllipse::SetAxisValues(double major, double minor) {
  if (major > 0.0) majorAxis = major;
  if (minor > 0.0) minorAxis = minor;
  RecomputeDepth();
  matrixStale = 1;
}

void MKEllipse::SetPosition(double x, double y, double z) {
  invalidInput = 0;
  matrixStale = 1;
  if (!IsUsable(x) || !IsUsable(y) || !IsUsable(z)) {
    invalidInput = 1;
    return;
  }
  position[0] = x;
  position[1] = y;
  position[2] = z;
  RecomputeDepth();
}

void MKEllipse::SetRotationX(double degrees) {
  invalidInput = 0;
  matrixStale = 1;
  if (!IsUsable(degrees)) {
    invalidInput = 1;
    return;
  }
  rotation[0] = degrees * kDegreesToRadians;
}

void MKEllipse::SetRotationY(double degrees) {
  invalidInput = 0;
  matrixStale = 1;
  if (!IsUsable(degrees)) {
    invalidInput = 1;
    return;
  }
  rotation[1] = degrees * kDegreesToRadians;
}

void MKEllipse::SetRotationZ(double degrees) {
  invalidInput = 0;
  matrixStale = 1;
  if (!IsUsable(degrees)) {
    invalidInput = 1;
    return;
  }
  rotation[2] = degrees * kDegreesToRadians;
}

void MKEllipse::RecomputeDepth() {
  const double alongMinor = minorAxis * 0.5 + position[1];
  if (DepthFollowsMinorAxisOnly(shortName)) {
    ellipsoidDepth = alongMinor;
  } else {
    ellipsoidDepth = std::max(majorAxis * 0.5 + position[0], alongMinor);
  }
}

void MKEllipse::SetOwner(MKSegment* segment) {
  // A spine ellipse may not rise above the top of the thoracic spine.
  if (segment && IsPartOfSpine() && segment->GetShortName() == SBoT1) {
    const double top = segment->GetEndPosition()(1);
    if (localMatrix(3, 2) > top) localMatrix(3, 2) = top - 0.1;
  }
  SetOwnerElement(segment);
  if (!segment) return;
  MK4x4Matrix rootConvention;
  rootConvention.Unit();
  rootConvention.RotX(-kPi / 2.0);
  rootConvention.RotZ(kPi);
  const MK4x4Matrix& ownerGlobal = segment->GetGlobalMatrix();
  localMatrix = localMatrix / rootConvention;
  localMatrix = localMatrix / ownerGlobal;
  globalMatrix = localMatrix * ownerGlobal;
}

void MKEllipse::SetSegment(MKSegment* segment) {
  SetOwnerElement(segment);
  matrixStale = 1;
}

void MKEllipse::Update() {
  if (matrixStale) UpdateMatrix();
}

void MKEllipse::UpdateMatrix() {
  MKSegment* segment = GetSegment();
  if (!segment || !segment->GetBody()) return;
  // A spine ellipse spread onto a vertebra keeps the placement SetOwner gave it; the root
  // segment is the one without ancestor.
  const bool keepsLocal = IsPartOfSpine() && segment->GetAncestor() != nullptr;
  if (!keepsLocal) {
    localMatrix.BuildFromTrans(position[0], position[1], position[2]);
    localMatrix.RotX(rotation[0]);
    localMatrix.RotY(rotation[1]);
    localMatrix.RotZ(rotation[2]);
  }
  globalMatrix = localMatrix;
  globalMatrix *= segment->GetGlobalMatrix();
  matrixStale = 0;
}

MK3DVertex MKEllipse::Carry(const MK3DVertex& p, const MK4x4Matrix& m) const {
  return ToVertex(m * MK3x1Matrix(p));
}

MK3DVertex MKEllipse::GetPosition(MKPositionSpec spec, MKCoordinateSpace space) {
  if (space != MKLocalSpace && space != MKGlobalSpace) {
    MKTrace("Error in MKEllipse::GetPosition: Invalid argument.\n");
    return NaNVertex();
  }
  if (spec < 0 || spec > MKPositionMinorEnd) {
    MKTrace("Invalid argument in MKEllipse::GetPosition\n");
    return NaNVertex();
  }
  const MK4x4Matrix& m = space == MKLocalSpace ? GetLocalMatrix() : GetGlobalMatrix();
  const double a = 0.5 * majorAxis;
  const double b = 0.5 * minorAxis;
  const MK3DVertex p1 = Carry(MK3DVertex(0.0, b, 0.0), m);
  const MK3DVertex p2 = Carry(MK3DVertex(a, 0.0, 0.0), m);

  int (*compare)(const MK3DVertex&, const MK3DVertex&) = nullptr;
  switch (spec) {
    case MKPositionHighestZ:
      compare = MK3DVertexCompareHigherZHigherX;
      break;
    case MKPositionLowestZ:
      compare = MK3DVertexCompareLowerZLowerX;
      break;
    case MKPositionHighestY:
      compare = MK3DVertexCompareHigherYHigherZ;
      break;
    case MKPositionLowestY:
      compare = MK3DVertexCompareLowerYLowerZ;
      break;
    case MKPositionHighestX:
      compare = MK3DVertexCompareHigherXHigherY;
      break;
    case MKPositionLowestX:
      compare = MK3DVertexCompareLowerXLowerY;
      break;
    case MKPositionMajorEnd:
      return p2;
    case MKPositionMinorEnd:
      return p1;
    default:
      return ToVertex(m.GetTranslation());
  }
  MKMesh extremities(MKMesh::MKPointSet);
  extremities.Append(Carry(MK3DVertex(-a, 0.0, 0.0), m));
  extremities.Append(p1);
  extremities.Append(p2);
  extremities.Append(Carry(MK3DVertex(0.0, -b, 0.0), m));
  extremities.QuickSort(compare);
  return extremities[0];
}

MK3DVertex MKEllipse::GetNormalVector(MKCoordinateSpace space) {
  if ((space != MKLocalSpace && space != MKGlobalSpace) || (space == MKGlobalSpace && !owner)) {
    MKTrace("Error in MKEllipse::GetNormalVector: Invalid argument.\n");
    return NaNVertex();
  }
  MK4x4Matrix m = GetLocalMatrix();
  if (space == MKGlobalSpace) m *= owner->GetGlobalMatrix();
  const MK3x1Matrix n = m * MK3x1Matrix(0.0, 0.0, 1.0) - m * MK3x1Matrix(0.0, 0.0, 0.0);
  double c[3] = {n(0), n(1), n(2)};
  for (double& v : c)
    if (std::fabs(v) < kZeroThreshold) v = 0.0;
  return MK3DVertex(c[0], c[1], c[2]);
}

void MKEllipse::CreateSamplePoints(unsigned int n, MKMesh& mesh, double a, double b, double z) {
  mesh.Clear();
  if (n == 0) return;
  Update();
  if (a < 0.0) a = 0.5 * majorAxis;
  if (b < 0.0) b = 0.5 * minorAxis;
  // The elbow ring is a circle, so that the arm's skin does not twist when the elbow bends.
  if (shortName == REArEl || shortName == LEArEl) a = b = (a + b) * 0.5;
  const std::vector<UnitPoint>& circle = UnitCircle(n);
  mesh.Reserve(n);
  for (unsigned int i = 0; i < n; ++i)
    mesh.Append(Carry(MK3DVertex(a * circle[i].c, b * circle[i].s, z), localMatrix));
}

void MKEllipse::CreateEllipsoid(unsigned int rings, unsigned int points, double depth,
                                KelRawCollPV& meshes, double a, double b) {
  for (int i = 1; i <= meshes.Size(); ++i) delete static_cast<MKMesh*>(meshes[i]);
  meshes.RemoveAll();
  if (rings == 0 || points == 0 || depth == 0.0 || !IsUsable(depth)) return;
  if (a < 0.0) a = 0.5 * majorAxis;
  if (b < 0.0) b = 0.5 * minorAxis;
  const double step = kPi / (2.0 * static_cast<double>(rings));
  for (unsigned int k = 0; k < rings; ++k) {
    const double latitude =
        depth > 0.0 ? static_cast<double>(k + 1) * step : 0.5 * kPi - static_cast<double>(k) * step;
    const double shrink = std::cos(latitude);
    double ringA = a * shrink;
    double ringB = b * shrink;
    if (std::fabs(ringA) < kZeroThreshold) ringA = 0.0;
    if (std::fabs(ringB) < kZeroThreshold) ringB = 0.0;
    const double height = std::fabs(depth * std::sin(latitude));
    auto* ring = new MKMesh(MKMesh::MKCap);
    CreateSamplePoints(points, *ring, ringA, ringB, depth > 0.0 ? height : -height);
    meshes.Append(ring);
  }
}
