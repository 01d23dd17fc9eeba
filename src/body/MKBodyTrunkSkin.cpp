// The skin where segments meet: the trunk's tube along the vertebrae and
// the shoulders joining the arms to it.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"

namespace {

// The trunk's sections from the buttocks to the neck, in the order they
// rise (the crotch section, under the buttocks' dome, is no part of it).
constexpr MKShortName kTrunkEllipses[] = {EBoBu, EBoIl, EBoNi, EBoOm, EBoBb,
                                          EBoCh, EBoSc, EBoTh, EBoNe, EHeNe};

// The segments the trunk's tube runs along, from the pelvis up: the pelvis
// and the neck keep their own rings below and above it.
constexpr MKShortName kTubeSegments[] = {SBoPh,  SBoTIp, SBoL5,  SBoL4, SBoL3, SBoL2, SBoL1,
                                         SBoT12, SBoT11, SBoT10, SBoT9, SBoT8, SBoT7, SBoT6,
                                         SBoT5,  SBoT4,  SBoT3,  SBoT2, SBoT1, SHeNe};

// At least this many equal steps along each segment (a ring at both ends
// and between), closer when the segment is long, besides the rings at the
// ellipses inside it.
constexpr int kRingsPerSegment = 2;
constexpr double kRingSpacing = 0.8;  // centimetres

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

MK3x1Matrix Vector(const MK3DVertex& p) {
  return MK3x1Matrix(p.x, p.y, p.z);
}

// v turned by `angle` (radians) about the unit `axis`.
MK3x1Matrix Turned(const MK3x1Matrix& v, const MK3x1Matrix& axis, double angle) {
  return v * std::cos(angle) + axis.VectProd(v) * std::sin(angle) +
         axis * (axis.VectDot(v) * (1.0 - std::cos(angle)));
}

// The rings of a bent pipe from ring a, facing along `along`, to ring b,
// facing along `onto` (world rings of equal size, each sampled clockwise
// about its direction). The centres follow a quadratic curve through the
// corner where the two directions meet, leaving a along its direction and
// reaching b along its own; each ring faces along the curve, and its shape
// passes from a's to b's, a's points turned to pair with b's nearest.
class PipeBend {
 public:
  PipeBend(const MKMesh& a, const MKMesh& b, MK3x1Matrix along, MK3x1Matrix onto)
      : a(a), b(b), ca(Vector(Centre(a))), cb(Vector(Centre(b))) {
    along.Normalize();
    onto.Normalize();
    axis = along.VectProd(onto);
    const double sine = axis.Norm();
    angle = std::atan2(sine, along.VectDot(onto));
    if (sine > 1e-9)
      axis *= 1.0 / sine;
    else
      angle = 0.0;
    // The corner: the nearest points of the line out of a and the line
    // back from b; halfway between the centres when they miss each other.
    corner = (ca + cb) * 0.5;
    const MK3x1Matrix r = ca - cb;
    const double c = -along.VectDot(onto), d = along.VectDot(r), e = -onto.VectDot(r);
    const double denominator = 1.0 - c * c;
    if (denominator > 1e-6) {
      const double s = (c * e - d) / denominator, u = (e - c * d) / denominator;
      if (s > 0.0 && u > 0.0) corner = ((ca + along * s) + (cb - onto * u)) * 0.5;
    }
    // The shift of a's points that best matches b's once a faces b's way.
    const unsigned int n = a.GetNumberOfPoints();
    double best = HUGE_VAL;
    for (unsigned int s = 0; s < n; ++s) {
      double sum = 0.0;
      for (unsigned int k = 0; k < n; ++k)
        sum += (Turned(Vector(a[(k + s) % n]) - ca, axis, angle) - (Vector(b[k]) - cb)).Norm();
      if (sum < best) {
        best = sum;
        turn = s;
      }
    }
  }

  // The ring at t from 0 (a) to 1 (b), in b's point order.
  MKMesh Ring(double t) const {
    const unsigned int n = a.GetNumberOfPoints();
    const MK3x1Matrix centre =
        ca * ((1.0 - t) * (1.0 - t)) + corner * (2.0 * t * (1.0 - t)) + cb * (t * t);
    MKMesh ring(MKMesh::MKRing);
    ring.Reserve(n);
    for (unsigned int k = 0; k < n; ++k) {
      const MK3x1Matrix p = centre +
                            Turned(Vector(a[(k + turn) % n]) - ca, axis, t * angle) * (1.0 - t) +
                            Turned(Vector(b[k]) - cb, axis, (t - 1.0) * angle) * t;
      ring.Append(p(0), p(1), p(2));
    }
    return ring;
  }

 private:
  const MKMesh& a;
  const MKMesh& b;
  MK3x1Matrix ca, cb, corner, axis;
  double angle = 0.0;
  unsigned int turn = 0;
};

// Whether the curve has at least two points and its Y never falls.
bool IsAscending(const MKMesh& curve) {
  const unsigned int n = curve.GetNumberOfPoints();
  if (n < 2) return false;
  for (unsigned int i = 1; i < n; ++i)
    if (!(curve[i].y >= curve[i - 1].y)) return false;
  return true;
}

// World height of a ring's centre in the frame of `segment`.
double RingHeight(MKSegment* segment, const MKMesh& ring) {
  return Transformed(Centre(ring), segment->GetGlobalMatrix()).y;
}

// Removes the rings of a segment's skin whose height lies strictly between
// `low` and `high`, where the tube takes over.
void RemoveRingsBetween(MKSegment* segment, double low, double high) {
  MKSkinElement* skin = segment->GetSkinElement();
  for (unsigned int i = skin->GetNumberOfMeshes(); i-- > 0;) {
    const MKMesh& mesh = *skin->GetMesh(i);
    if (mesh.GetType() != MKMesh::MKRing || mesh.GetNumberOfPoints() == 0) continue;
    const double y = RingHeight(segment, mesh);
    if (y > low + kSameHeight && y < high - kSameHeight) skin->RemoveMeshAtIndex(i);
  }
}

void RemoveCaps(MKSegment* segment) {
  MKSkinElement* skin = segment->GetSkinElement();
  for (unsigned int i = skin->GetNumberOfMeshes(); i-- > 0;)
    if (skin->GetMesh(i)->GetType() == MKMesh::MKCap) skin->RemoveMeshAtIndex(i);
}

// Where a tube ring at height y goes among a segment's own meshes: before
// the first ring above it; nowhere (false) when a ring of that height is
// there already.
bool TubeRingPlace(MKSegment* segment, double y, unsigned int& place) {
  MKSkinElement* skin = segment->GetSkinElement();
  place = skin->GetNumberOfMeshes();
  for (unsigned int i = 0; i < skin->GetNumberOfMeshes(); ++i) {
    const MKMesh& mesh = *skin->GetMesh(i);
    if (mesh.GetType() != MKMesh::MKRing || mesh.GetNumberOfPoints() == 0) continue;
    const double own = RingHeight(segment, mesh);
    if (std::fabs(own - y) <= kSameHeight) return false;
    if (own > y) {
      place = i;
      return true;
    }
  }
  return true;
}

// The ring of a segment's skin with the lowest (or highest) centre; null when none.
MKMesh* EndRing(MKSegment* segment, bool highest) {
  MKSkinElement* skin = segment ? segment->GetSkinElement() : nullptr;
  MKMesh* found = nullptr;
  double best = 0.0;
  for (unsigned int i = 0; skin && i < skin->GetNumberOfMeshes(); ++i) {
    MKMesh* mesh = skin->GetMesh(i);
    if (mesh->GetType() != MKMesh::MKRing || mesh->GetNumberOfPoints() == 0) continue;
    const double y = RingHeight(segment, *mesh);
    if (!found || (highest ? y > best : y < best)) {
      found = mesh;
      best = y;
    }
  }
  return found;
}

// A direction of the frame whose global matrix is `carry`, in the world.
MK3DVertex Direction(const MK3DVertex& v, const MK4x4Matrix& carry) {
  const MK3DVertex p = Transformed(v, carry), o = Transformed(MK3DVertex(0.0, 0.0, 0.0), carry);
  return MK3DVertex(p.x - o.x, p.y - o.y, p.z - o.z);
}

// Gives the points that two rings of two segments share in the world the
// mean of their two normals.
void ShareNormals(MKSegment* sa, MKMesh& a, MKSegment* sb, MKMesh& b) {
  if (a.GetNumberOfPoints() != b.GetNumberOfPoints()) return;
  const MK4x4Matrix& ga = sa->GetGlobalMatrix();
  const MK4x4Matrix& gb = sb->GetGlobalMatrix();
  const MK4x4Matrix ia = !ga, ib = !gb;
  for (unsigned int k = 0; k < a.GetNumberOfPoints(); ++k) {
    const MK3DVertex p = Transformed(a[k], ga), q = Transformed(b[k], gb);
    if (std::fabs(p.x - q.x) + std::fabs(p.y - q.y) + std::fabs(p.z - q.z) > kSameHeight) continue;
    const MK3DVertex na = Direction(a.GetNormalOnVertice(k), ga);
    const MK3DVertex nb = Direction(b.GetNormalOnVertice(k), gb);
    MK3DVertex m(na.x + nb.x, na.y + nb.y, na.z + nb.z);
    const double length = std::sqrt(m.x * m.x + m.y * m.y + m.z * m.z);
    if (!(length > 0.0)) continue;
    m = MK3DVertex(m.x / length, m.y / length, m.z / length);
    const MK3DVertex ma = Direction(m, ia), mb = Direction(m, ib);
    a.SetNormalOnVertice(k, ma.x, ma.y, ma.z);
    b.SetNormalOnVertice(k, mb.x, mb.y, mb.z);
  }
}

// Slope at a section of the monotone cubic through the sections' values
// (the weighted harmonic mean of the slopes on either side, zero where they
// differ in sign): the tube is smooth through its sections and never swells
// beyond them.
double SectionSlope(double h0, double s0, double h1, double s1) {
  if (!(s0 * s1 > 0.0)) return 0.0;
  const double w0 = 2.0 * h1 + h0, w1 = h1 + 2.0 * h0;
  return (w0 + w1) / (w0 / s0 + w1 / s1);
}

double Coordinate(const MK3DVertex& p, int c) {
  return c == 0 ? p.x : (c == 1 ? p.y : p.z);
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
  const unsigned int last = curve.GetNumberOfPoints() - 1;
  // The two sections bracketing the height and their outer neighbours,
  // which set the slopes at the two.
  const unsigned int nodes[4] = {lower > 0 ? lower - 1 : lower, lower, higher,
                                 higher < last ? higher + 1 : higher};
  const MKMesh* rings[4];
  for (int i = 0; i < 4; ++i) {
    if (!ellipses[static_cast<int>(nodes[i]) + 1]) return false;
    rings[i] = &SampledWorldRing(sampled, ellipses, nodes[i], meshResolution);
    if (rings[i]->GetNumberOfPoints() != meshResolution) return false;
  }
  const double y[4] = {curve[nodes[0]].y, curve[nodes[1]].y, curve[nodes[2]].y, curve[nodes[3]].y};
  const double span = y[2] - y[1];
  double t = span > 0.0 ? (point.y - y[1]) / span : 0.0;
  t = std::min(1.0, std::max(0.0, t));
  // Cubic Hermite weights of the two values and the two slopes.
  const double t2 = t * t, t3 = t2 * t;
  const double h00 = 2.0 * t3 - 3.0 * t2 + 1.0, h10 = t3 - 2.0 * t2 + t;
  const double h01 = 3.0 * t2 - 2.0 * t3, h11 = t3 - t2;
  const unsigned int n = meshResolution;
  MKMesh blended(MKMesh::MKRing);
  blended.Reserve(n);
  for (unsigned int k = 0; k < n; ++k) {
    double p[3];
    for (int c = 0; c < 3; ++c) {
      const double v[4] = {Coordinate((*rings[0])[k], c), Coordinate((*rings[1])[k], c),
                           Coordinate((*rings[2])[k], c), Coordinate((*rings[3])[k], c)};
      if (!(span > 0.0)) {
        p[c] = v[1];
        continue;
      }
      const double s = (v[2] - v[1]) / span;
      // The tube ends square to its end sections: there it rises straight.
      const double end = c == 1 ? 1.0 : 0.0;
      const double h0 = y[1] - y[0], h1 = y[3] - y[2];
      const double d1 = h0 > 0.0 ? SectionSlope(h0, (v[1] - v[0]) / h0, span, s) : end;
      const double d2 = h1 > 0.0 ? SectionSlope(span, s, h1, (v[3] - v[2]) / h1) : end;
      p[c] = h00 * v[1] + h10 * span * d1 + h01 * v[2] + h11 * span * d2;
    }
    blended.Append(p[0], p[1], p[2]);
  }
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
  if (!segment) return 0;
  std::vector<MKMesh> sampled(static_cast<std::size_t>(ellipses.Size()));
  const double from = segment->GetOriginPosition()(1), to = segment->GetEndPosition()(1);
  return GenerateSpineRings(segment, ellipses, curve, rings, count, sampled, std::min(from, to),
                            std::max(from, to));
}

int MKBody::GenerateSpineRings(MKSegment* segment, KelRawCollPV& ellipses, const MKMesh& curve,
                               KelRawCollPV& rings, int count, std::vector<MKMesh>& sampled,
                               double low, double high) {
  if (!segment || count < 1 || !IsAscending(curve) || !(low <= high)) return 0;
  std::vector<double> heights = {low, high};
  for (unsigned int i = 0; i < curve.GetNumberOfPoints(); ++i)
    if (curve[i].y > low && curve[i].y < high) heights.push_back(curve[i].y);
  // A step that falls close to an ellipse's own ring gives way to it.
  const double step = (high - low) / count;
  for (int k = 1; k < count; ++k) {
    const double y = low + step * k;
    bool clear = true;
    for (unsigned int i = 0; i < curve.GetNumberOfPoints(); ++i)
      clear = clear && std::fabs(curve[i].y - y) >= 0.3 * step;
    if (clear) heights.push_back(y);
  }
  std::sort(heights.begin(), heights.end());
  const double bottom = curve[0].y;
  const double top = curve[curve.GetNumberOfPoints() - 1].y;
  int added = 0;
  double previous = -HUGE_VAL;
  for (double y : heights) {
    if (y < bottom || y > top || y - previous <= kSameHeight) continue;
    MKMesh ring(MKMesh::MKRing);
    if (!InterpolateRing(segment, ellipses, curve, MK3DVertex(0.0, y, 0.0), 1.0, ring, sampled))
      continue;
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
  // From the lowest section (the buttocks, under which the pelvis's own
  // dome closes the tube) to the highest (the neck, under the head).
  const double start = curve[0].y;
  const double top = curve[curve.GetNumberOfPoints() - 1].y;

  std::vector<MKMesh> sampled(static_cast<std::size_t>(ellipses.Size()));
  bool first = true;
  for (MKShortName name : kTubeSegments) {
    MKSegment* segment = GetSegment(name);
    MKSkinElement* skin = segment ? segment->GetSkinElement() : nullptr;
    if (!skin) continue;
    // A vertebra's skin is the tube alone; another segment keeps its own
    // meshes outside the tube's span.
    if (segment->IsPartOfSpine())
      skin->Clear();
    else
      RemoveRingsBetween(segment, start, top);
    // The head closes the tube's top: the neck's own end cap, which would
    // close it downwards behind its last ring, goes.
    if (name == kTubeSegments[std::size(kTubeSegments) - 1]) RemoveCaps(segment);
    const double from = segment->GetOriginPosition()(1), to = segment->GetEndPosition()(1);
    const double low = first ? start : std::min(from, to);
    const double high = std::max(from, to);
    first = false;
    const int count =
        std::max(kRingsPerSegment, static_cast<int>(std::ceil((high - low) / kRingSpacing)));
    KelRawCollPV rings;
    GenerateSpineRings(segment, ellipses, curve, rings, count, sampled, low, high);
    for (int i = 1; i <= rings.Size(); ++i) {
      const MKMesh& ring = *static_cast<MKMesh*>(rings[i]);
      unsigned int place = 0;
      if (TubeRingPlace(segment, RingHeight(segment, ring), place))
        skin->InsertMeshAtIndex(place, ring);
    }
    DeleteMeshes(rings);
  }
}

void MKBody::SmoothTrunkSeams() {
  // Consecutive pieces of the tube share a ring, each computing its normals
  // from its own side: the shared ring takes the mean of both.
  MKSegment* below = nullptr;
  for (MKShortName name : kTubeSegments) {
    MKSegment* above = GetSegment(name);
    MKMesh* a = EndRing(below, true);
    MKMesh* b = EndRing(above, false);
    if (a && b) ShareNormals(below, *a, above, *b);
    below = above;
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
    const PipeBend bend(a, b, Vector(from->GetNormalVector(MKGlobalSpace)),
                        Vector(to->GetNormalVector(MKGlobalSpace)));
    // The clavicle's last ring, then rings bent on towards the arm's first
    // ring, which already heads the arm's skin.
    const MK4x4Matrix toArm = !arm->GetGlobalMatrix();
    std::vector<MKMesh> bridge;
    bool finite = true;
    for (unsigned int s = 0; s <= steps && finite; ++s) {
      const MKMesh world = bend.Ring(static_cast<double>(s) / (steps + 1));
      MKMesh ring(MKMesh::MKRing);
      ring.Reserve(n);
      for (unsigned int k = 0; k < n; ++k) {
        const MK3DVertex p = Transformed(world[k], toArm);
        finite = finite && IsFinite(p);
        ring.Append(p);
      }
      bridge.push_back(ring);
    }
    if (!finite) continue;
    for (unsigned int s = 0; s < bridge.size(); ++s) skin->InsertMeshAtIndex(s, bridge[s]);
  }
}
