// The skin where segments meet: the trunk's tube along the vertebrae and
// the shoulders joining the arms to it.
#include <algorithm>
#include <cmath>
#include <vector>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"

namespace {

// The trunk's sections from the crotch to the neck, in the order they rise.
constexpr MKShortName kTrunkEllipses[] = {EBoCr, EBoBu, EBoIl, EBoNi, EBoOm, EBoBb,
                                          EBoCh, EBoSc, EBoTh, EBoNe, EHeNe};

// The segments the trunk's tube runs along, from the pelvis up.
constexpr MKShortName kTubeSegments[] = {SBoL5,  SBoL4,  SBoL3, SBoL2, SBoL1, SBoT12,
                                         SBoT11, SBoT10, SBoT9, SBoT8, SBoT7, SBoT6,
                                         SBoT5,  SBoT4,  SBoT3, SBoT2, SBoT1, SHeNe};

// Equal steps along each segment (a ring at both ends and between), besides
// the rings at the ellipses inside it.
constexpr int kRingsPerSegment = 2;

// Heights closer than this (centimetres) are one ring.
constexpr double kSameHeight = 1e-6;

MK3DVertex Transformed(const MK3DVertex& p, const MK4x4Matrix& carry) {
  const MK3x1Matrix q = carry * MK3x1Matrix(p.x, p.y, p.z);
  return MK3DVertex(q(0), q(1), q(2));
}

bool IsFinite(const MK3DVertex& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

MK3DVertex Centre(const MKMesh& ring) {
  MK3DVertex c(0.0, 0.0, 0.0);
  const unsigned int n = ring.GetNumberOfPoints();
  for (unsigned int k = 0; k < n; ++k) {
    c.x += ring[k].x;
    c.y += ring[k].y;
    c.z += ring[k].z;
  }
  if (n > 0) c = MK3DVertex(c.x / n, c.y / n, c.z / n);
  return c;
}

// The ring of `ellipse` (n points) in world space; empty without owner.
MKMesh WorldRing(MKEllipse* ellipse, unsigned int n) {
  MKMesh ring(MKMesh::MKRing);
  MKSegment* segment = ellipse ? ellipse->GetSegment() : nullptr;
  if (!segment) return ring;
  MKMesh local(MKMesh::MKRing);
  ellipse->CreateSamplePoints(n, local, -1.0, -1.0, 0.0);
  const MK4x4Matrix& carry = segment->GetGlobalMatrix();
  ring.Reserve(local.GetNumberOfPoints());
  for (unsigned int k = 0; k < local.GetNumberOfPoints(); ++k)
    ring.Append(Transformed(local[k], carry));
  return ring;
}

// The world ring of ellipse `i` (from 0) of `ellipses`, sampled on its first
// use in `sampled` (one slot per ellipse): the rings of a tube pass are
// blended from the same few sections over and over.
const MKMesh& SampledWorldRing(std::vector<MKMesh>& sampled, KelRawCollPV& ellipses, unsigned int i,
                               unsigned int n) {
  MKMesh& ring = sampled[i];
  if (ring.GetNumberOfPoints() == 0)
    ring = WorldRing(static_cast<MKEllipse*>(ellipses[static_cast<int>(i) + 1]), n);
  return ring;
}

MK3DVertex Blend(const MK3DVertex& a, const MK3DVertex& b, double t) {
  return MK3DVertex((1.0 - t) * a.x + t * b.x, (1.0 - t) * a.y + t * b.y,
                    (1.0 - t) * a.z + t * b.z);
}

// The shift s that brings point k + s of `a` nearest to point k of `b`,
// summed over the ring (rings of equal size).
unsigned int BestTurn(const MKMesh& a, const MKMesh& b) {
  const unsigned int n = a.GetNumberOfPoints();
  unsigned int best = 0;
  double bestSum = HUGE_VAL;
  for (unsigned int s = 0; s < n; ++s) {
    double sum = 0.0;
    for (unsigned int k = 0; k < n; ++k) {
      const MK3DVertex& p = a[(k + s) % n];
      const MK3DVertex& q = b[k];
      sum += std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) +
                       (p.z - q.z) * (p.z - q.z));
    }
    if (sum < bestSum) {
      bestSum = sum;
      best = s;
    }
  }
  return best;
}

// Whether the curve has at least two points and its Y never falls.
bool IsAscending(const MKMesh& curve) {
  const unsigned int n = curve.GetNumberOfPoints();
  if (n < 2) return false;
  for (unsigned int i = 1; i < n; ++i)
    if (!(curve[i].y >= curve[i - 1].y)) return false;
  return true;
}

// World height of the highest ring in a segment's skin; false when none.
bool TopRingHeight(MKSegment* segment, double& height) {
  MKSkinElement* skin = segment ? segment->GetSkinElement() : nullptr;
  if (!skin) return false;
  bool found = false;
  for (unsigned int i = 0; i < skin->GetNumberOfMeshes(); ++i) {
    const MKMesh* mesh = skin->GetMesh(i);
    if (mesh->GetType() != MKMesh::MKRing || mesh->GetNumberOfPoints() == 0) continue;
    const double y = Transformed(Centre(*mesh), segment->GetGlobalMatrix()).y;
    if (!found || y > height) height = y;
    found = true;
  }
  return found;
}

// World height of the lowest ring in a segment's skin; `height` untouched when none.
void LowestRingHeight(MKSegment* segment, double& height) {
  MKSkinElement* skin = segment->GetSkinElement();
  for (unsigned int i = 0; skin && i < skin->GetNumberOfMeshes(); ++i) {
    const MKMesh* mesh = skin->GetMesh(i);
    if (mesh->GetType() != MKMesh::MKRing || mesh->GetNumberOfPoints() == 0) continue;
    height = std::min(height, Transformed(Centre(*mesh), segment->GetGlobalMatrix()).y);
  }
}

void DeleteMeshes(KelRawCollPV& meshes) {
  for (int i = 1; i <= meshes.Size(); ++i) delete static_cast<MKMesh*>(meshes[i]);
  meshes.RemoveAll();
}

}  // namespace

unsigned int MKBody::SearchLowerBound(const MKMesh& curve, const MK3DVertex& p) const {
  if (!IsAscending(curve)) return sNoBound;
  const unsigned int last = curve.GetNumberOfPoints() - 1;
  if (p.y <= curve[0].y) return 0;
  if (p.y >= curve[last].y) return last;
  for (unsigned int i = 0; i < last; ++i)
    if (curve[i].y <= p.y && p.y < curve[i + 1].y) return i;
  return sNoBound;  // a NaN height
}

unsigned int MKBody::SearchHigherBound(const MKMesh& curve, const MK3DVertex& p) const {
  if (!IsAscending(curve)) return sNoBound;
  const unsigned int last = curve.GetNumberOfPoints() - 1;
  if (p.y <= curve[0].y) return 0;
  if (p.y >= curve[last].y) return last;
  for (unsigned int i = 0; i < last; ++i)
    if (curve[i].y < p.y && p.y <= curve[i + 1].y) return i + 1;
  return sNoBound;
}

bool MKBody::CreateInterpolatedEllipse(MKSegment* segment, KelRawCollPV& ellipses,
                                       const MKMesh& curve, const MK3DVertex& point, double scale,
                                       MKMesh& ring) {
  std::vector<MKMesh> sampled(static_cast<std::size_t>(ellipses.Size()));
  return InterpolateRing(segment, ellipses, curve, point, scale, ring, sampled);
}

bool MKBody::InterpolateRing(MKSegment* segment, KelRawCollPV& ellipses, const MKMesh& curve,
                             const MK3DVertex& point, double scale, MKMesh& ring,
                             std::vector<MKMesh>& sampled) {
  ring.Clear();
  if (!segment || static_cast<int>(curve.GetNumberOfPoints()) != ellipses.Size()) return false;
  const unsigned int lower = SearchLowerBound(curve, point);
  const unsigned int higher = SearchHigherBound(curve, point);
  if (lower == sNoBound || higher == sNoBound) return false;
  auto* below = static_cast<MKEllipse*>(ellipses[static_cast<int>(lower) + 1]);
  auto* above = static_cast<MKEllipse*>(ellipses[static_cast<int>(higher) + 1]);
  if (!below || !above) return false;
  const MKMesh& a = SampledWorldRing(sampled, ellipses, lower, meshResolution);
  const MKMesh& b = SampledWorldRing(sampled, ellipses, higher, meshResolution);
  const unsigned int n = a.GetNumberOfPoints();
  if (n != meshResolution || b.GetNumberOfPoints() != n) return false;
  const double span = curve[higher].y - curve[lower].y;
  double t = span > 0.0 ? (point.y - curve[lower].y) / span : 0.0;
  t = std::min(1.0, std::max(0.0, t));
  MKMesh blended(MKMesh::MKRing);
  blended.Reserve(n);
  for (unsigned int k = 0; k < n; ++k) blended.Append(Blend(a[k], b[k], t));
  const MK3DVertex c = Centre(blended);
  const MK4x4Matrix toSegment = !segment->GetGlobalMatrix();
  MKMesh result(MKMesh::MKRing);
  result.Reserve(n);
  for (unsigned int k = 0; k < n; ++k) {
    const MK3DVertex& q = blended[k];
    const MK3DVertex p = Transformed(
        MK3DVertex(c.x + scale * (q.x - c.x), c.y + scale * (q.y - c.y), c.z + scale * (q.z - c.z)),
        toSegment);
    if (!IsFinite(p)) return false;
    result.Append(p);
  }
  ring = result;
  return true;
}

int MKBody::GenerateMeshForSpineSegment(MKSegment* segment, KelRawCollPV& ellipses,
                                        const MKMesh& curve, KelRawCollPV& rings, int count) {
  std::vector<MKMesh> sampled(static_cast<std::size_t>(ellipses.Size()));
  return GenerateSpineRings(segment, ellipses, curve, rings, count, sampled);
}

int MKBody::GenerateSpineRings(MKSegment* segment, KelRawCollPV& ellipses, const MKMesh& curve,
                               KelRawCollPV& rings, int count, std::vector<MKMesh>& sampled) {
  if (!segment || count < 1 || !IsAscending(curve)) return 0;
  const MK3x1Matrix origin = segment->GetOriginPosition();
  const MK3x1Matrix end = segment->GetEndPosition();
  const double low = std::min(origin(1), end(1));
  const double high = std::max(origin(1), end(1));
  std::vector<double> heights;
  for (int k = 0; k <= count; ++k) heights.push_back(low + (high - low) * k / count);
  for (unsigned int i = 0; i < curve.GetNumberOfPoints(); ++i)
    if (curve[i].y > low && curve[i].y < high) heights.push_back(curve[i].y);
  std::sort(heights.begin(), heights.end());
  const double bottom = curve[0].y;
  const double top = curve[curve.GetNumberOfPoints() - 1].y;
  int added = 0;
  double previous = -HUGE_VAL;
  for (double y : heights) {
    if (y < bottom || y > top || y - previous <= kSameHeight) continue;
    // The spine's own point at that height: along the segment.
    const double f = high > low ? (y - origin(1)) / (end(1) - origin(1)) : 0.0;
    const MK3DVertex point(origin(0) + f * (end(0) - origin(0)), y,
                           origin(2) + f * (end(2) - origin(2)));
    MKMesh ring(MKMesh::MKRing);
    if (!InterpolateRing(segment, ellipses, curve, point, 1.0, ring, sampled)) continue;
    rings.Append(new MKMesh(ring));
    previous = y;
    ++added;
  }
  return added;
}

void MKBody::CreateTrunkMeshes() {
  // The sections that exist, in world height order.
  std::vector<MKEllipse*> found;
  for (MKShortName name : kTrunkEllipses)
    if (MKEllipse* ellipse = GetEllipse(name)) found.push_back(ellipse);
  std::stable_sort(found.begin(), found.end(), [](MKEllipse* a, MKEllipse* b) {
    return a->GetPosition(MKPositionCenter, MKGlobalSpace).y <
           b->GetPosition(MKPositionCenter, MKGlobalSpace).y;
  });
  KelRawCollPV ellipses;
  MKMesh curve(MKMesh::MKPointSet);
  for (MKEllipse* ellipse : found) {
    const MK3DVertex c = ellipse->GetPosition(MKPositionCenter, MKGlobalSpace);
    if (!IsFinite(c)) continue;
    ellipses.Append(ellipse);
    curve.Append(c);
  }
  if (!IsAscending(curve)) return;

  // The tube starts at the pelvis's top ring, so the first vertebra goes on
  // from there rather than overlapping it.
  MKSegment* first = GetSegment(kTubeSegments[0]);
  double start = curve[0].y;
  if (first) TopRingHeight(first->GetAncestor(), start);

  std::vector<MKMesh> sampled(static_cast<std::size_t>(ellipses.Size()));
  for (MKShortName name : kTubeSegments) {
    MKSegment* segment = GetSegment(name);
    MKSkinElement* skin = segment ? segment->GetSkinElement() : nullptr;
    if (!skin) continue;
    KelRawCollPV rings;
    GenerateSpineRings(segment, ellipses, curve, rings, kRingsPerSegment, sampled);
    // A vertebra's skin is the tube alone; another segment keeps its own
    // rings above the tube's.
    double limit = HUGE_VAL;
    if (segment->IsPartOfSpine())
      skin->Clear();
    else
      LowestRingHeight(segment, limit);
    unsigned int at = 0;
    for (int i = 1; i <= rings.Size(); ++i) {
      const MKMesh& ring = *static_cast<MKMesh*>(rings[i]);
      const double y = Transformed(Centre(ring), segment->GetGlobalMatrix()).y;
      if (y < start - kSameHeight || y >= limit - kSameHeight) continue;
      skin->InsertMeshAtIndex(at++, ring);
    }
    DeleteMeshes(rings);
  }
}

void MKBody::CreateShoulderMeshes() {
  struct Shoulder {
    MKShortName clavicle, arm;
  };
  const unsigned int steps = GetCapMeshResolution();
  for (const Shoulder& side : {Shoulder{RSArCl, RSArAr}, Shoulder{LSArCl, LSArAr}}) {
    MKSegment* clavicle = GetSegment(side.clavicle);
    MKSegment* arm = GetSegment(side.arm);
    MKSkinElement* skin = arm ? arm->GetSkinElement() : nullptr;
    if (!clavicle || !skin) continue;
    MKEllipse* from = nullptr;
    for (int e = 0; e < clavicle->GetNumberOfEllipses(); ++e)
      if (clavicle->GetEllipseAtIndex(e)->HasMesh()) from = clavicle->GetEllipseAtIndex(e);
    MKEllipse* to = nullptr;
    for (int e = 0; e < arm->GetNumberOfEllipses() && !to; ++e)
      if (arm->GetEllipseAtIndex(e)->HasMesh()) to = arm->GetEllipseAtIndex(e);
    if (!from || !to) continue;
    const MKMesh a = WorldRing(from, meshResolution);
    const MKMesh b = WorldRing(to, meshResolution);
    const unsigned int n = a.GetNumberOfPoints();
    if (n != meshResolution || b.GetNumberOfPoints() != n) continue;
    // The two rings face along the limb but their +X ends need not match:
    // the clavicle's ring is turned to the arm's, so the bridge does not twist.
    const unsigned int turn = BestTurn(a, b);
    // The clavicle's last ring, then blends towards the arm's first ring,
    // which already heads the arm's skin; points in the arm ring's order.
    const MK4x4Matrix toArm = !arm->GetGlobalMatrix();
    std::vector<MKMesh> bridge;
    bool finite = true;
    for (unsigned int s = 0; s <= steps && finite; ++s) {
      const double t = static_cast<double>(s) / (steps + 1);
      MKMesh ring(MKMesh::MKRing);
      for (unsigned int k = 0; k < n; ++k) {
        const MK3DVertex p = Transformed(Blend(a[(k + turn) % n], b[k], t), toArm);
        finite = finite && IsFinite(p);
        ring.Append(p);
      }
      bridge.push_back(ring);
    }
    if (!finite) continue;
    for (unsigned int s = 0; s < bridge.size(); ++s) skin->InsertMeshAtIndex(s, bridge[s]);
  }
}
