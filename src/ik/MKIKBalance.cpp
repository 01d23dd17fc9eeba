// Balance by pelvis shift: the pelvis moves horizontally towards the middle
// of the feet, the legs following their targets, until the centre of
// gravity stands over the basis of support.
#include <vector>

#include "body/MKBody.h"
#include "body/MKCenterOfGravity.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKSpecs.h"
#include "manikin/MKManikin.h"
#include "math/MKMathRoutines.h"
#include "math/MKMesh.h"
#include "parts/MKPartHolder.h"

namespace {

constexpr double kLegTolerance = 0.5;

MK4x4Matrix RotationOf(const MK4x4Matrix& m) {
  MK4x4Matrix r = m;
  r(3, 0) = r(3, 1) = r(3, 2) = 0.0;
  return r;
}

MK3DVertex OnFloor(const MK3x1Matrix& p) {
  return MK3DVertex(p(0), 0.0, p(2));
}

MK4x4Matrix Translation(const MK3x1Matrix& v) {
  MK4x4Matrix t;
  t.BuildFromTrans(v(0), v(1), v(2));
  return t;
}

}  // namespace

bool MKIKManager::CheckRebalance(const MK4x4Matrix& m) const {
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  if (!body) return false;
  const MK4x4Matrix r = RotationOf(m);
  const MK3DVertex cog =
      OnFloor(r * body->GetCenterOfGravity()->GetGlobalMatrix().GetTranslation());
  const MKMesh support = body->GetBasisOfSupport();
  MKMesh floor(support.GetType());
  for (unsigned int i = 0; i < support.GetNumberOfPoints(); ++i)
    floor.Append(OnFloor(r * MK3x1Matrix(support[i])));
  return MKMathRoutines::ContainsVertex(floor, cog);
}

bool MKIKManager::RebalanceWithPelvic(MK4x4Matrix& m) {
  if (!manikin || CheckRebalance(m)) return true;
  MKBody* body = manikin->GetBody();
  const MK4x4Matrix r = RotationOf(m);
  const MK4x4Matrix back = !r;
  const MK3x1Matrix g = r * body->GetCenterOfGravity()->GetGlobalMatrix().GetTranslation();
  const MKMesh support = body->GetBasisOfSupport();
  MK3x1Matrix middle(0.0, 0.0, 0.0);
  for (unsigned int i = 0; i < support.GetNumberOfPoints(); ++i)
    middle += r * MK3x1Matrix(support[i]);
  if (support.GetNumberOfPoints() > 0) middle *= 1.0 / support.GetNumberOfPoints();
  // The pelvis goes towards the middle of the feet: the targets, and with
  // them the feet, go the other way.
  MK3x1Matrix d = g - middle;
  d(1) = 0.0;

  // Only the legs follow the shifts.
  KelRawCollint states;
  DeactivateAllConstraints(states);
  for (unsigned int i = 0; i < GetNumberOfConstraints(); ++i) {
    MKIKConstraint* c = GetIKConstraint(i);
    const int start = c->GetShortNameOfStartSegment();
    if (start == RSBoIlp || start == LSBoIlp) c->Activate();
  }
  const double tolerance = GetIKTolerance();
  SetIKTolerance(kLegTolerance);
  const MK4x4Matrix entry = m;
  MKPartHolder<> posture(manikin->ExtractPart(MKPartPostureID, 0, nullptr));
  MK3x1Matrix moved(0.0, 0.0, 0.0);
  bool balanced = CheckRebalance(m);
  for (double s = 0.5; !balanced && s > 0.1; s *= 0.5) {
    const MK3x1Matrix shift = back * (d * s);
    const MK4x4Matrix t = Translation(shift);
    ApplyTransf(t);
    moved += shift;
    SetInitValues();
    QuasiNewton2Resolve();
    if (!(GetMaxPositionPotential() < kLegTolerance)) break;
    m = m * !t;
    balanced = CheckRebalance(m);
  }
  if (!balanced) {
    ApplyTransf(Translation(moved * -1.0));
    m = entry;
    if (posture) manikin->PasteFrom(posture.get(), 1);
  }
  ReactivateAllConstraints(states);
  SetIKTolerance(tolerance);
  if (balanced) {
    SetInitValues();
    QuasiNewton2Resolve();
  }
  return balanced;
}

MKStatus MKIKManager::Rebalance(MKStatus status) {
  MKPartHolder<> posture(manikin->ExtractPart(MKPartPostureID, 0, nullptr));
  MK4x4Matrix m = MK4x4Matrix(pelvicStart) * MK4x4Matrix(pelvicFrame);
  if (RebalanceWithPelvic(m)) {
    (!MK4x4Matrix(pelvicStart) * m).GetMKFrame(pelvicFrame);
    return status;
  }
  if (posture) manikin->PasteFrom(posture.get(), 1);
  pelvicFrame = MKFrame();
  return MKStatusSuccess;
}
