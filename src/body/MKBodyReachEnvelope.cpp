// The reach envelope of an arm: the surface its hand sweeps with the
// shoulder girdle held still, sampled by the manikin's IK solver.
#include <cmath>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"
#include "host/KelRawColl.h"
#include "host/MKTrace.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "manikin/MKManikin.h"
#include "math/MK3x1Matrix.h"
#include "math/MK4x4Matrix.h"
#include "math/MKMesh.h"
#include "parts/MKPartHolder.h"
#include "parts/MKPartID.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// The sphere of targets lies this far beyond the stretched chain, so that
// every direction is swept out to the arm's full extension.
constexpr double kRadiusFactor = 1.2;
// A coarse tolerance: the envelope is a picture of reach, not a posture.
constexpr double kSweepTolerance = 0.025;
constexpr int kLocalBehavior = 1;

MK3DVertex Carried(const MK3DVertex& p, const MK4x4Matrix& m) {
  const MK3x1Matrix q = m * MK3x1Matrix(p.x, p.y, p.z);
  return MK3DVertex(q(0), q(1), q(2));
}

// The solver settings, constraint activity, pelvic movement and posture that
// the sweep changes, put back when it ends.
class SweepState {
 public:
  SweepState(MKManikin& manikin, MKIKManager& solver)
      : manikin(manikin),
        solver(solver),
        posture(manikin.ExtractPart(MKPartPostureID, 0, nullptr)),
        behavior(solver.GetBehavior()),
        tolerance(solver.GetIKTolerance()) {
    solver.GetPelvicMovement(pelvicFrame);
    solver.DeactivateAllConstraints(states);
    solver.SetBehavior(kLocalBehavior);
    solver.SetIKTolerance(kSweepTolerance);
  }
  SweepState(const SweepState&) = delete;
  SweepState& operator=(const SweepState&) = delete;
  ~SweepState() {
    solver.ReactivateAllConstraints(states);
    solver.SetIKTolerance(tolerance);
    solver.SetBehavior(behavior);
    solver.SetPelvicFrame(pelvicFrame);
    if (posture) manikin.PasteFrom(posture.get(), 1);
  }

 private:
  MKManikin& manikin;
  MKIKManager& solver;
  MKPartHolder<> posture;
  KelRawCollint states;
  int behavior;
  double tolerance;
  MKFrame pelvicFrame;
};

// Drives the reach constraint to one target (in the girdle's frame) from the
// middle of the chain's ranges and answers the point reached, in that frame.
MK3DVertex ReachFromMiddle(MKIKManager& solver, MKIKConstraint& reach, const MK3DVertex& target,
                           const MK4x4Matrix& girdleToWorld, const MK4x4Matrix& worldToGirdle) {
  const MK3DVertex world = Carried(target, girdleToWorld);
  MK4x4Matrix targetMatrix;
  targetMatrix.BuildFromTrans(world.x, world.y, world.z);
  reach.SetTargetMatrix(targetMatrix);
  reach.ResetIKChainWithMiddleDOFValues();
  solver.QuikLocalResolve();
  const MK3x1Matrix reached = reach.GetEndEffectorMatrix().GetTranslation();
  return Carried(MK3DVertex(reached(0), reached(1), reached(2)), worldToGirdle);
}

}  // namespace

void MKBody::BuildReachEnvelope(MKShortName from, MKShortName to, const MKFrame& frame) {
  MKSegment* start = GetSegment(from);
  MKSegment* end = GetSegment(to);
  MKIKManager* solver = manikin ? manikin->GetIKManager() : nullptr;
  if (!start || !end || !solver) {
    MKTrace("MKBody::BuildReachEnvelope: no such segment or no solver.\n");
    return;
  }
  const bool right = end->IsDescendant(GetSegment(RSArFAr)) && start->IsOnRightSide();
  const bool left = end->IsDescendant(GetSegment(LSArFAr)) && start->IsOnLeftSide();
  MKSegment* girdle = GetSegment(right ? RSBoTst : LSBoTst);
  MKSegment* arm = GetSegment(right ? RSArAr : LSArAr);
  if ((!right && !left) || !girdle || !arm) {
    MKTrace("MKBody::BuildReachEnvelope: the segments are not one arm's.\n");
    return;
  }
  double chainLength = 0.0;
  for (MKSegment* s = end; s; s = s->GetAncestor()) {
    chainLength += s->GetLength();
    if (s == arm) break;
  }
  const double radius = kRadiusFactor * chainLength;
  const unsigned int n = GetMeshResolution();

  SweepState state(*manikin, *solver);
  MKIKConstraint* reach = nullptr;
  if (solver->AddConstraint(end, arm, MKIKConstraint::sPosition, reach, nullptr) != MKStatusSuccess)
    return;
  reach->SetOffsetMatrix(frame);
  reach->Activate();

  const MK4x4Matrix girdleToWorld = girdle->GetGlobalMatrix();
  const MK4x4Matrix worldToGirdle = !girdleToWorld;
  // The targets are the latitude circles of a sphere about the arm's origin
  // whose poles lie on the girdle's X axis (vertical when the manikin
  // stands): the circles of an ellipse turned to face that axis, owned by the
  // girdle but not attached to it.
  MKEllipse sphere(girdle, static_cast<MKShortName>(-1), 0);
  const MK3DVertex centre = Carried(arm->GetBeginPoint(MKGlobalSpace), worldToGirdle);
  sphere.SetPosition(centre.x, centre.y, centre.z);
  sphere.SetRotationY(90.0);
  sphere.SetRotationZ(90.0);

  MKSkinElement* skin = girdle->InitSkinElement();
  MKMesh targets;
  // Each pole is closed by a fan: a cap of n copies of the point reached
  // towards the pole, which meets every point of the nearest ring.
  auto addPole = [&](double height) {
    sphere.CreateSamplePoints(1, targets, 0.0, 0.0, height);
    const MK3DVertex pole =
        ReachFromMiddle(*solver, *reach, targets[0], girdleToWorld, worldToGirdle);
    MKMesh cap(MKMesh::MKCap);
    cap.Reserve(n);
    for (unsigned int i = 0; i < n; ++i) cap.Append(pole);
    skin->AddMesh(cap);
  };
  // The sweep runs from the upper pole down; the turned ellipse's normal
  // points up or down depending on the side's girdle frame.
  const double top = sphere.GetNormalVector(MKGlobalSpace).y >= 0.0 ? radius : -radius;
  addPole(top);
  const double step = kPi / static_cast<double>(n);
  for (unsigned int k = 1; k < n; ++k) {
    const double latitude = static_cast<double>(k) * step;
    const double ringRadius = radius * std::sin(latitude);
    sphere.CreateSamplePoints(n, targets, ringRadius, ringRadius, top * std::cos(latitude));
    MKMesh ring(MKMesh::MKRing);
    ring.Reserve(n);
    for (unsigned int i = 0; i < n; ++i)
      ring.Append(ReachFromMiddle(*solver, *reach, targets[i], girdleToWorld, worldToGirdle));
    skin->AddMesh(ring);
  }
  addPole(-top);
  skin->CalculateNormalOnVertices();
  solver->RemoveConstraint(reach);
}
