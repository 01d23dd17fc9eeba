// The skin of the body: rings swept through every ellipse and stored, in
// each segment's frame, in the segment's skin element, with caps at the
// ends of limbs and strips where segments meet.
#include <cmath>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"

namespace {

// The last ellipse of a segment that has a mesh; null when none has.
MKEllipse* LastMeshedEllipse(MKSegment& segment) {
  MKEllipse* last = nullptr;
  for (int e = 0; e < segment.GetNumberOfEllipses(); ++e)
    if (segment.GetEllipseAtIndex(e)->HasMesh()) last = segment.GetEllipseAtIndex(e);
  return last;
}

// The points of `ring` carried by `carry` (row-vector convention).
MKMesh Carried(const MKMesh& ring, const MK4x4Matrix& carry, MKMesh::MKMeshType type) {
  MKMesh result(type);
  result.Reserve(ring.GetNumberOfPoints());
  for (unsigned int k = 0; k < ring.GetNumberOfPoints(); ++k) {
    const MK3x1Matrix q = carry * MK3x1Matrix(ring[k].x, ring[k].y, ring[k].z);
    result.Append(q(0), q(1), q(2));
  }
  return result;
}

// An end cap on the ancestor's side of a limb section: a joint's dome.
bool IsJointDome(const MKEllipse& ellipse) {
  return ellipse.HasEndCap() && ellipse.IsEndingMeshOnAncestor() && !ellipse.IsPartOfSpine();
}

MK4x4Matrix Identity() {
  MK4x4Matrix unit;
  unit.Unit();
  return unit;
}

// Appends to `skin` the rings of a cap over `ellipse` (`rings` rings of
// `points` points, on the +Z side for a positive depth), carried from the
// ellipse's segment frame by `carry`.
void AppendCap(MKEllipse& ellipse, unsigned int rings, unsigned int points, double depth,
               const MK4x4Matrix& carry, MKSkinElement& skin) {
  KelRawCollPV caps;
  ellipse.CreateEllipsoid(rings, points, depth, caps, -1.0, -1.0);
  for (int k = 1; k <= caps.Size(); ++k) {
    auto* cap = static_cast<MKMesh*>(caps[k]);
    skin.AddMesh(Carried(*cap, carry, MKMesh::MKCap));
    delete cap;
  }
}

}  // namespace

void MKBody::RebuildMeshes() {
  // Only a manikin's body dresses itself, in its reference posture: every
  // DOF's value, limits and locks are kept around the rebuild.
  if (!manikin || !createMeshes) return;
  const std::vector<SavedDOFState> saved = SaveAndFreeDOFs();
  ResetPosture();
  BuildSkin();
  RestoreDOFs(saved);
}

void MKBody::BuildSkin() {
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i) {
    MKSegment* segment = GetSegmentAtIndex(i);
    if (segment->GetNumberOfEllipses() > 0 || segment->IsPartOfSpine() || segment->GetSkinElement())
      segment->InitSkinElement();
  }
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i) {
    MKSegment* segment = GetSegmentAtIndex(i);
    MKSkinElement* skin = segment->GetSkinElement();
    if (!skin) continue;
    MKEllipse* last = nullptr;
    for (int e = 0; e < segment->GetNumberOfEllipses(); ++e) {
      MKEllipse* ellipse = segment->GetEllipseAtIndex(e);
      if (!ellipse->HasMesh()) continue;
      if (ellipse->HasBeginCap()) CreateCapMeshes(ellipse, true);
      // A limb that starts unlinked inside its ancestor (a thigh in the
      // pelvis, a shoulder in the neck) is closed there by a dome, so that
      // its start shows no open rim when the limb turns.
      if (!last && !ellipse->HasBeginCap() && !ellipse->IsLinkedToAncestor() &&
          segment->GetAncestor())
        AppendCap(*ellipse, GetCapMeshResolution(), meshResolution,
                  -0.5 * std::fmin(ellipse->GetMajorAxis(), ellipse->GetMinorAxis()), Identity(),
                  *skin);
      // Sample rings come in the segment's frame already.
      MKMesh ring(MKMesh::MKRing);
      ellipse->CreateSamplePoints(meshResolution, ring, -1.0, -1.0, 0.0);
      MKSegment* ancestor = segment->GetAncestor();
      // A joint whose linking mesh is not on the ancestor (the elbow) is
      // closed from this side: the ancestor's last ring heads this skin and
      // moves with it.
      MKEllipse* joint = ancestor ? LastMeshedEllipse(*ancestor) : nullptr;
      if (!last && joint && ellipse->IsLinkedToAncestor() && !ellipse->IsLinkingMeshOnAncestor()) {
        MKMesh link(MKMesh::MKRing);
        joint->CreateSamplePoints(meshResolution, link, -1.0, -1.0, 0.0);
        const MK4x4Matrix carry = ancestor->GetGlobalMatrix() * !segment->GetGlobalMatrix();
        skin->AddMesh(Carried(link, carry, MKMesh::MKRing));
      }
      skin->AddMesh(ring);
      if (!last && ellipse->IsLinkingMeshOnAncestor() && ancestor && ancestor->GetSkinElement()) {
        const MK4x4Matrix carry = segment->GetGlobalMatrix() * !ancestor->GetGlobalMatrix();
        ancestor->GetSkinElement()->AddMesh(Carried(ring, carry, MKMesh::MKRing));
        // A joint section heading its segment (the knee, the knuckles) whose
        // end mesh lies on the ancestor closes the ancestor's end with a
        // dome on into this segment, inside it while the joint is straight.
        // The dome turns with the ancestor; this segment's first ring, turned
        // about the joint, stays on it, so the joint stays closed as it bends.
        if (IsJointDome(*ellipse))
          AppendCap(*ellipse, ellipse->IsEndingMeshFlat() ? 1 : GetCapMeshResolution(),
                    meshResolution, ellipse->GetEllipsoidDepth(), carry,
                    *ancestor->GetSkinElement());
      }
      last = ellipse;
    }
    // Elsewhere than a joint, the end cap closes the segment forwards (or
    // backwards, when its mesh ends on the ancestor) after its last ring.
    if (last && last->HasEndCap() && !IsJointDome(*last) && !segment->IsPartOfSpine())
      CreateCapMeshes(last, false);
  }
  // Where segments meet: the trunk first, whose tube the shoulders reach into.
  CreateTrunkMeshes();
  CreateShoulderMeshes();
  CreateAnkleMeshes();
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i)
    if (MKSkinElement* skin = GetSegmentAtIndex(i)->GetSkinElement())
      skin->CalculateNormalOnVertices();
  SmoothTrunkSeams();
}

void MKBody::CreateCapMeshes(MKEllipse* ellipse) {
  if (!ellipse) return;
  if (ellipse->HasBeginCap()) CreateCapMeshes(ellipse, true);
  if (ellipse->HasEndCap()) CreateCapMeshes(ellipse, false);
}

void MKBody::CreateCapMeshes(MKEllipse* ellipse, bool beginCap) {
  MKSegment* segment = ellipse ? ellipse->GetSegment() : nullptr;
  MKSkinElement* skin = segment ? segment->GetSkinElement() : nullptr;
  if (!skin || !ellipse->HasMesh()) return;
  const double depth = ellipse->GetEllipsoidDepth();
  const bool flat = beginCap ? ellipse->IsBeginningMeshFlat() : ellipse->IsEndingMeshFlat();
  const unsigned int rings = flat ? 1 : GetCapMeshResolution();
  // A begin cap closes the segment backwards; an end cap forwards, or
  // backwards when its mesh ends on the ancestor.
  const bool backwards = beginCap || ellipse->IsEndingMeshOnAncestor();
  // A begin cap comes before its ring, an end cap after.
  AppendCap(*ellipse, rings, meshResolution, backwards ? -depth : depth, Identity(), *skin);
}

void MKBody::CreateAnkleMeshes() {
  // Each ankle is stitched from its own side: the last ring of the lower leg
  // and the ring of the foot's ankle ellipse, both in the ankle's frame.
  struct Ankle {
    MKShortName leg, foot, legEllipse, footEllipse, tarsus, tarsusEllipse;
  };
  for (const Ankle& side : {Ankle{RSLeLe, RSFoAn, RELeAn2, REFoHAn, RSFoTa, REFoTa},
                            Ankle{LSLeLe, LSFoAn, LELeAn2, LEFoHAn, LSFoTa, LEFoTa}}) {
    MKSegment* leg = GetSegment(side.leg);
    MKSegment* foot = GetSegment(side.foot);
    MKEllipse* legEllipse = leg ? leg->GetEllipse(side.legEllipse) : nullptr;
    MKEllipse* footEllipse = foot ? foot->GetEllipse(side.footEllipse) : nullptr;
    MKSkinElement* skin = foot ? foot->GetSkinElement() : nullptr;
    if (!legEllipse || !footEllipse || !skin) continue;
    MKMesh legRing(MKMesh::MKRing), footRing(MKMesh::MKRing);
    legEllipse->CreateSamplePoints(meshResolution, legRing, -1.0, -1.0, 0.0);
    legRing = Carried(legRing, leg->GetGlobalMatrix() * !foot->GetGlobalMatrix(), MKMesh::MKRing);
    footEllipse->CreateSamplePoints(meshResolution, footRing, -1.0, -1.0, 0.0);
    const unsigned int n = legRing.GetNumberOfPoints();
    if (n == 0 || footRing.GetNumberOfPoints() != n) continue;
    // The foot's skin is all built here: the mid-foot ring that its child
    // linked on at its end comes again below, after the heel-ankle loop.
    skin->Clear();
    MKMesh strip(MKMesh::MKRing);
    for (unsigned int i = n; i-- > 0;) {
      strip.Append(legRing[i]);
      strip.Append(footRing[i]);
    }
    skin->AddMesh(strip);
    const MK3DVertex& first = legRing[0];
    const MK3DVertex& lastPoint = legRing[n - 1];
    const MK3DVertex centre((first.x + lastPoint.x) * 0.5, (first.y + lastPoint.y) * 0.5,
                            (first.z + lastPoint.z) * 0.5);
    MKMesh fan(MKMesh::MKCap);
    fan.Append(centre);
    for (unsigned int i = 0; i < n; ++i) fan.Append(legRing[i]);
    fan.Append(centre);
    skin->AddMesh(fan);
    // Under and in front of the ankle, the heel-ankle loop runs on to the
    // mid-foot ring, which heads the tarsus's own skin.
    MKSegment* tarsus = GetSegment(side.tarsus);
    MKEllipse* midFoot = tarsus ? tarsus->GetEllipse(side.tarsusEllipse) : nullptr;
    if (!midFoot) continue;
    MKMesh midRing(MKMesh::MKRing);
    midFoot->CreateSamplePoints(meshResolution, midRing, -1.0, -1.0, 0.0);
    skin->AddMesh(footRing);
    skin->AddMesh(
        Carried(midRing, tarsus->GetGlobalMatrix() * !foot->GetGlobalMatrix(), MKMesh::MKRing));
  }
}
