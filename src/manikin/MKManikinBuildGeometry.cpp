// Placement helpers of the geometric build, working in world directions so
// that the limb builders need not track each segment's frame.
#include <cmath>

#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "math/MK4x4Matrix.h"

namespace {

MK3DVertex Normalized(const MK3DVertex& v) {
  const double n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return n > 0.0 ? MK3DVertex(v.x / n, v.y / n, v.z / n) : v;
}

double Dot(const MK3DVertex& a, const MK3DVertex& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The world image of the local vector v of a frame whose global matrix is g.
MK3DVertex WorldVector(const MK4x4Matrix& g, const MK3DVertex& v) {
  const MK3x1Matrix a = g * MK3x1Matrix(v.x, v.y, v.z);
  const MK3x1Matrix b = g * MK3x1Matrix(0.0, 0.0, 0.0);
  return MK3DVertex(a(0) - b(0), a(1) - b(1), a(2) - b(2));
}

// The direction a segment points in the world.
MK3DVertex Pointing(MKSegment* segment) {
  return Normalized(WorldVector(segment->GetGlobalMatrix(), MK3DVertex(0.0, 0.0, 1.0)));
}

}  // namespace

void MKManikin::AimSegment(MKSegment* segment, const MK3DVertex& worldDirection,
                           const MK3DVertex& flexionWorld, double length) {
  if (!segment) return;
  segment->SetLength(length);
  const MK3DVertex target = Normalized(worldDirection);
  // The wanted direction in the frame the segment's rotations start from.
  segment->SetRotation(0.0, 0.0, 0.0);
  const MK4x4Matrix& start = segment->GetGlobalMatrix();
  const MK3DVertex ex = Normalized(WorldVector(start, MK3DVertex(1.0, 0.0, 0.0)));
  const MK3DVertex ey = Normalized(WorldVector(start, MK3DVertex(0.0, 1.0, 0.0)));
  const MK3DVertex ez = Normalized(WorldVector(start, MK3DVertex(0.0, 0.0, 1.0)));
  const double dx = Dot(target, ex), dy = Dot(target, ey), dz = Dot(target, ez);
  constexpr double kDegrees = 180.0 / 3.14159265358979323846;
  // Both orders of the two rotations and both sign conventions are tried;
  // the one that lands on the target is kept.
  const double pitchFirst = std::atan2(dy, dz) * kDegrees;
  const double yawSecond = std::asin(std::fmax(-1.0, std::fmin(1.0, dx))) * kDegrees;
  const double yawFirst = std::atan2(dx, dz) * kDegrees;
  const double pitchSecond = std::asin(std::fmax(-1.0, std::fmin(1.0, dy))) * kDegrees;
  const double candidates[][2] = {
      {pitchFirst, yawSecond},   {-pitchFirst, yawSecond},  {pitchFirst, -yawSecond},
      {-pitchFirst, -yawSecond}, {pitchSecond, yawFirst},   {-pitchSecond, yawFirst},
      {pitchSecond, -yawFirst},  {-pitchSecond, -yawFirst},
  };
  // Among the rotations that land on the target, the one with the least
  // turn about X is kept: a limb hanging from a sideways parent then rests
  // at (0, -90, roll), the rest that the body's postures are written for.
  double best = -2.0;
  int bestIndex = 0;
  for (int i = 0; i < 8; ++i) {
    segment->SetRotation(candidates[i][0], candidates[i][1], 0.0);
    const double score = Dot(Pointing(segment), target);
    const bool tie = std::fabs(score - best) <= 1e-9;
    if ((!tie && score > best) ||
        (tie && std::fabs(candidates[i][0]) < std::fabs(candidates[bestIndex][0]))) {
      best = std::fmax(best, score);
      bestIndex = i;
    }
  }
  const double pitch = candidates[bestIndex][0], yaw = candidates[bestIndex][1];
  segment->SetRotation(pitch, yaw, 0.0);

  // The roll about the segment's own axis (applied last) that turns its y
  // axis onto the wanted flexion direction, taken square to the segment.
  const MK3DVertex p = Pointing(segment);
  const double along = Dot(flexionWorld, p);
  const MK3DVertex wanted = Normalized(MK3DVertex(
      flexionWorld.x - along * p.x, flexionWorld.y - along * p.y, flexionWorld.z - along * p.z));
  const MK3DVertex y = Normalized(WorldVector(segment->GetGlobalMatrix(), MK3DVertex(0, 1, 0)));
  const MK3DVertex cross(y.y * wanted.z - y.z * wanted.y, y.z * wanted.x - y.x * wanted.z,
                         y.x * wanted.y - y.y * wanted.x);
  const double roll = std::atan2(Dot(cross, p), Dot(y, wanted)) * kDegrees;
  double bestRoll = 0.0;
  best = -2.0;
  for (double candidate : {roll, -roll}) {
    segment->SetRotation(pitch, yaw, candidate);
    const double score =
        Dot(Normalized(WorldVector(segment->GetGlobalMatrix(), MK3DVertex(0, 1, 0))), wanted);
    if (score > best) {
      best = score;
      bestRoll = candidate;
    }
  }
  segment->SetRotation(pitch, yaw, bestRoll);
}

void MKManikin::SizeSection(MKSegment* segment, MKShortName name, double major, double minor,
                            double z, const MK3DVertex& majorWorld, const MK3DVertex& shiftWorld) {
  MKEllipse* ellipse = segment ? segment->GetEllipse(name) : nullptr;
  if (!ellipse) return;
  const MK4x4Matrix& g = segment->GetGlobalMatrix();
  const MK3DVertex ex = Normalized(WorldVector(g, MK3DVertex(1.0, 0.0, 0.0)));
  const MK3DVertex ey = Normalized(WorldVector(g, MK3DVertex(0.0, 1.0, 0.0)));
  // The turn about the normal that brings the major axis nearest the wanted direction.
  constexpr double kDegrees = 180.0 / 3.14159265358979323846;
  const double turn = std::atan2(Dot(majorWorld, ey), Dot(majorWorld, ex)) * kDegrees;
  ellipse->SetRotationX(0.0);
  ellipse->SetRotationY(0.0);
  ellipse->SetRotationZ(std::fabs(turn) > 90.0 ? turn + (turn > 0.0 ? -180.0 : 180.0) : turn);
  ellipse->SetAxisValues(major, minor);
  ellipse->SetPosition(Dot(shiftWorld, ex), Dot(shiftWorld, ey), z);
}

void MKManikin::MoveSectionLandmark(MKSegment* segment, MKShortName name, MKPositionSpec spec,
                                    const MK3DVertex& worldTarget, bool useX, bool useY,
                                    bool useZ) {
  MKEllipse* ellipse = segment ? segment->GetEllipse(name) : nullptr;
  if (!ellipse) return;
  const MK3DVertex now = ellipse->GetPosition(spec, MKGlobalSpace);
  const MK3DVertex delta(useX ? worldTarget.x - now.x : 0.0, useY ? worldTarget.y - now.y : 0.0,
                         useZ ? worldTarget.z - now.z : 0.0);
  // The ellipse's position is held in the segment's frame.
  const MK4x4Matrix& g = segment->GetGlobalMatrix();
  const MK3DVertex ex = Normalized(WorldVector(g, MK3DVertex(1.0, 0.0, 0.0)));
  const MK3DVertex ey = Normalized(WorldVector(g, MK3DVertex(0.0, 1.0, 0.0)));
  const MK3DVertex ez = Normalized(WorldVector(g, MK3DVertex(0.0, 0.0, 1.0)));
  ellipse->SetPosition(ellipse->GetPositionX() + Dot(delta, ex),
                       ellipse->GetPositionY() + Dot(delta, ey),
                       ellipse->GetPositionZ() + Dot(delta, ez));
}
