#include "vision/MKLineOfSight.h"

#include <cmath>

#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "math/MKIEEE.h"
#include "vision/MKVision.h"

namespace {

MK3DVertex NaNVertex() {
  return MK3DVertex(MKIEEE::NaN(), MKIEEE::NaN(), MKIEEE::NaN());
}

MK3DVertex ToVertex(const MK3x1Matrix& v) {
  return MK3DVertex(v(0), v(1), v(2));
}

}  // namespace

MKLineOfSight::MKLineOfSight(MKShortName name) : MKBodyElement(MKLineOfSightClass, nullptr, name) {}

MKLineOfSight::~MKLineOfSight() {
  for (MKDOF*& d : dof) {
    if (d) d->Destroy();
    d = nullptr;
  }
}

void MKLineOfSight::InitData(MKVision* owningVision, MKSegment* ownerSegment,
                             double newHorizontalOffset, double newVerticalOffset) {
  if (vision) return;
  vision = owningVision;
  SetOwnerElement(ownerSegment);
  horizontalOffset = newHorizontalOffset;
  verticalOffset = newVerticalOffset;
  flags |= kLocalStale | kGlobalStale;
}

void MKLineOfSight::AddDOF(int number, int kind, double value, MKDOF* master) {
  if (number < 0 || number > 1 || dof[number]) return;
  dof[number] = new MKDOF(this, number, kind, master, value);
}

MKDOF* MKLineOfSight::GetDOF(unsigned int i) const {
  return i <= 1 ? dof[i] : nullptr;
}

double MKLineOfSight::GetLength() const {
  if (IsMiddleLine() || !vision || !vision->GetCentralLineOfSight()) return length;
  return vision->GetCentralLineOfSight()->GetLength();
}

void MKLineOfSight::Activate() {
  if (vision) vision->SetActiveSide(MKVisionSide(shortName - LLHeEye));
}

MKSegment* MKLineOfSight::GetOwnerSegment() const {
  return owner && owner->GetMKClassName() == MKSegmentClass ? static_cast<MKSegment*>(owner)
                                                            : nullptr;
}

// Matrices ------------------------------------------------------------------------

void MKLineOfSight::Invalidate() {
  // The owner may have been resized as well as moved: the placement at its
  // end is recomputed with the rest.
  flags |= kGlobalStale | kLocalStale;
}

void MKLineOfSight::InvalidateFromDOF(const MKDOF* moved) {
  flags |= kLocalStale | kGlobalStale;
  if (!vision || vision->IsBuilding()) return;
  if (vision->GetCurrentLineOfSight() != this) Activate();
  vision->Update(moved);
  flags |= kReported;
}

void MKLineOfSight::ComputeLocalMatrix() {
  MKSegment* segment = GetOwnerSegment();
  localMatrix.BuildFromTrans(0.0, 0.0, segment ? segment->GetLength() : 0.0);
  localMatrix.RotZ(M_PI);
  double pitch = 0.0;
  if (dof[0] && !dof[0]->IsPureMaster()) {
    pitch = verticalOffset - dof[0]->GetMathematicalValue();
    localMatrix.RotX(pitch);
  }
  if (dof[1] && !dof[1]->IsPureMaster()) {
    // Deviation angles are measured in the eye's own projections (the
    // tangents of the target's lateral and vertical offsets over its depth).
    // After the pitch, the yaw that keeps the lateral tangent is the one
    // whose tangent is scaled by cos(pitch): the line then passes through
    // the point the angles were measured from.
    const double yaw = dof[1]->GetMathematicalValue() - horizontalOffset;
    localMatrix.RotY(std::atan2(std::sin(yaw) * std::cos(pitch), std::cos(yaw)));
  }
}

void MKLineOfSight::Update() {
  MKSegment* segment = GetOwnerSegment();
  if (flags & kGlobalStale) {
    flags &= ~kGlobalStale;
    if (localMatrix.IsNull()) flags |= kLocalStale;
    if (segment && !(flags & kLocalStale)) globalMatrix = localMatrix * segment->GetGlobalMatrix();
  }
  if ((flags & kLocalStale) && segment) {
    ComputeLocalMatrix();
    globalMatrix = localMatrix * segment->GetGlobalMatrix();
    flags &= ~kLocalStale;
  }
  // The middle line carries the focus, unless the vision is placing it or
  // a side eye looks on its own.
  if (!IsMiddleLine() || !vision || !segment || vision->IsBuilding() || !std::isfinite(length))
    return;
  if (!vision->GetConvergenceMode() && vision->GetActiveSide() != MKVisionMiddleSide) return;
  MK4x4Matrix end;
  end.BuildFromTrans(0.0, 0.0, length);
  vision->focusPoint = ToVertex((end * globalMatrix).GetTranslation());
}

MK4x4Matrix MKLineOfSight::GetLocalMatrix() {
  Update();
  return localMatrix;
}

MK4x4Matrix MKLineOfSight::GetLocalMatrix(MKFrame& frame) {
  Update();
  localMatrix.GetMKFrame(frame);
  return localMatrix;
}

// Points ----------------------------------------------------------------------------

MK3x1Matrix MKLineOfSight::GetOriginPosition() {
  return GetGlobalMatrix().GetTranslation();
}

MK3x1Matrix MKLineOfSight::GetEndPosition() {
  if (!owner) {
    MK3x1Matrix origin = GetOriginPosition();
    origin(2) = MKIEEE::Infinite();
    return origin;
  }
  MK4x4Matrix end;
  end.BuildFromTrans(0.0, 0.0, GetLength());
  return (end * GetGlobalMatrix()).GetTranslation();
}

MK3x1Matrix MKLineOfSight::AsVector() {
  return GetEndPosition() - GetOriginPosition();
}

MK3DVertex MKLineOfSight::GetBeginPoint(MKCoordinateSpace space) {
  if (space == MKGlobalSpace) return ToVertex(GetOriginPosition());
  if (space == MKLocalSpace) return MK3DVertex();
  return NaNVertex();
}

MK3DVertex MKLineOfSight::GetEndPoint(MKCoordinateSpace space) {
  if (space == MKGlobalSpace) return ToVertex(GetEndPosition());
  if (space == MKLocalSpace) return MK3DVertex(0.0, 0.0, GetLength());
  return NaNVertex();
}

MK3DVertex MKLineOfSight::GetDirection() {
  const MK3x1Matrix origin = GetOriginPosition();
  MK3x1Matrix direction;
  const MK3DVertex& focus = vision ? vision->GetFocalPoint() : MK3DVertex();
  const bool finiteFocus =
      std::isfinite(focus.x) && std::isfinite(focus.y) && std::isfinite(focus.z);
  if (!IsMiddleLine() && vision && vision->IsAttached() && finiteFocus) {
    // The side eyes converge on the focus point.
    direction = MK3x1Matrix(focus) - origin;
  } else {
    // Along the line itself, also when it looks at infinity.
    MK4x4Matrix end;
    const double reach = std::isfinite(GetLength()) && GetLength() != 0.0 ? GetLength() : 10.0;
    end.BuildFromTrans(0.0, 0.0, reach);
    direction = (end * GetGlobalMatrix()).GetTranslation() - origin;
  }
  const double norm = direction.Norm();
  if (norm > 0.0) direction *= 1.0 / norm;
  return ToVertex(direction);
}

// Posture ---------------------------------------------------------------------------

namespace {

template <typename Action>
void ForSelected(MKDOF* const dofs[2], int which, Action action) {
  for (int i = 0; i < 2; ++i)
    if ((which == -1 || which == i) && dofs[i]) action(dofs[i]);
}

}  // namespace

void MKLineOfSight::ResetPosture(int which) {
  if (!IsMiddleLine()) return;
  ForSelected(dof, which, [](MKDOF* d) { d->Reset(); });
}

void MKLineOfSight::ResetPrefAngles(int which) {
  // Back to the single zone spanning the limits.
  ForSelected(dof, which, [](MKDOF* d) {
    d->RemoveAllPrefAngles();
    d->InitializePrefAngles();
  });
}

void MKLineOfSight::LockPosture(int which) {
  ForSelected(dof, which, [](MKDOF* d) { d->LockValue(); });
}

void MKLineOfSight::ResetAngularLimitations(int which, MKKEReset mode) {
  if (mode != MKKEResetAll && mode != MKKEResetLimits && mode != MKKEResetLocks &&
      mode != MKKEResetAngularLimitations)
    return;
  ForSelected(dof, which, [](MKDOF* d) {
    d->UnlockValue();
    d->UnlockLimits();
    d->ResetLimits();
  });
}
