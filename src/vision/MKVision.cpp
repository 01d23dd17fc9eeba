// The vision: construction, attachment to a manikin, lines of sight, field
// angles and visual-limit records.
#include "vision/MKVision.h"

#include <cmath>
#include <cstring>

#include "anthro/MKDBJointLimits.h"
#include "anthro/MKDBJointLimitsVariable.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "math/MK4x4Matrix.h"
#include "math/MKIEEE.h"
#include "math/MKUnitConversions.h"
#include "parts/MKMemo.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVisualLimitsVariable.h"

namespace {

constexpr MKShortName kLineNames[3] = {LLHeEye, MLHeEye, RLHeEye};
constexpr MKShortName kEyeSegments[3] = {LSHeEye, SHeFr, RSHeEye};
constexpr double kTolerance = 1.1920929e-07;

double Radians(double degrees) {
  return MKUnitConversions::DegreesToRadians(degrees);
}

double Clamp(double value, double low, double high) {
  if (value > high) value = high;
  if (value < low) value = low;
  return value;
}

// A row of a joint-limits database that gives statistics for its DOF.
bool HasLimitData(const MKDBJointLimitsVariable* row) {
  return row && (row->GetMinMean() != 0.0 || row->GetMinStdDev() != 0.0 ||
                 row->GetMaxMean() != 0.0 || row->GetMaxStdDev() != 0.0);
}

bool SameBits(const MK3DVertex& a, const MK3DVertex& b) {
  return std::memcmp(&a.x, &b.x, sizeof a.x) == 0 && std::memcmp(&a.y, &b.y, sizeof a.y) == 0 &&
         std::memcmp(&a.z, &b.z, sizeof a.z) == 0;
}

}  // namespace

MKVision::MKVision()
    : MKManikinPart(MKPartVisionID, 2.1),
      focusPoint(Radians(sInitialDeviationAngle), 0.0, 30.0),
      ponctumRemotum(MKIEEE::Infinite()) {
  CreateLinesOfSight();
  ResetAngles();
  ResetMiddleZones();
}

MKVision::MKVision(const MKVision& source)
    : MKManikinPart(source), focusPoint(source.focusPoint), ponctumRemotum(MKIEEE::Infinite()) {
  CreateLinesOfSight();
  building = 1;
  ResetAngles();
  building = 0;
  ResetMiddleZones();
  PasteFrom(&source, 1);
}

void MKVision::ResetMiddleZones() {
  // The middle eye's single zone spans the limits the field angles gave it.
  for (unsigned int axis = 0; axis < 2; ++axis) {
    MKDOF* dof = lineOfSight[MKMiddleEye]->GetDOF(axis);
    dof->RemoveAllPrefAngles();
    dof->InitializePrefAngles();
  }
}

MKVision::~MKVision() {
  for (MKLineOfSight*& line : lineOfSight) {
    delete line;
    line = nullptr;
  }
  DestroyVisualLimits();
}

void MKVision::CreateLinesOfSight() {
  for (int side = 0; side < 3; ++side) {
    auto* line = new MKLineOfSight(kLineNames[side]);
    line->AddDOF(0, 0, sInitialDeviationAngle, nullptr);
    line->AddDOF(1, 0, 0.0, nullptr);
    lineOfSight[side] = line;
    if (side == MKMiddleEye) continue;
    // The side eyes follow the focus point; their own axes turn freely.
    for (unsigned int axis = 0; axis < 2; ++axis) {
      MKDOF* dof = line->GetDOF(axis);
      dof->UnlockLimits();
      dof->SetMaxLim(M_PI);
      dof->SetMinLim(M_PI);
      dof->LockLimits();
      dof->RemoveAllPrefAngles();
      dof->InitializePrefAngles();
    }
  }
}

void MKVision::DestroyVisualLimits() {
  for (int i = 1; i <= visualLimits.Size(); ++i)
    static_cast<MKVisualLimitsVariable*>(visualLimits[i])->Destroy();
  visualLimits.RemoveAll();
}

// Attachment -----------------------------------------------------------------

void MKVision::Build(MKManikin* owner) {
  if (manikin) {
    // Re-sized eye segments: the lines of sight are placed again at their ends.
    for (MKLineOfSight* line : lineOfSight) line->Invalidate();
    return;
  }
  MKBody* body = owner ? owner->GetBody() : nullptr;
  if (!body) return;
  manikin = owner;
  for (int side = 0; side < 3; ++side) {
    MKSegment* segment = body->GetSegment(kEyeSegments[side]);
    MKLineOfSight* line = lineOfSight[side];
    // The eyes rest along their segments' axes: no offsets.
    line->InitData(this, segment, 0.0, 0.0);
    if (segment) segment->AddChild(line);
    RelinkJointLimitsDB(line, body->GetJointLimitsDB());
  }
}

void MKVision::UseJointLimitsDB(MKDBJointLimits* database) {
  for (MKLineOfSight* line : lineOfSight) RelinkJointLimitsDB(line, database);
}

void MKVision::RelinkJointLimitsDB(MKLineOfSight* line, const MKDBJointLimits* database) {
  if (!line || !database) return;
  for (unsigned int axis = 0; axis < 2; ++axis)
    if (MKDOF* dof = line->GetDOF(axis))
      dof->SetJointLimitDatabase(database->GetVariable(line->GetShortName(), int(axis)));
}

// Lines of sight and eyes -------------------------------------------------------

MKLineOfSight* MKVision::GetLineOfSight(const MKShortName& name) const {
  if (name < LLHeEye || name > RLHeEye) return nullptr;
  return lineOfSight[name - LLHeEye];
}

MKLineOfSight* MKVision::GetLineOfSight(MKEye eye) const {
  if (eye < 0 || eye > 2) return nullptr;
  return lineOfSight[eye];
}

void MKVision::SetActiveSide(MKVisionSide side) {
  if (side >= 0 && side <= 2) activeSide = side;
}

MKSegment* MKVision::GetEyeSegment(int side) const {
  if (!manikin || side < 0 || side > 2 || !lineOfSight[side]) return nullptr;
  MKBodyElement* owner = lineOfSight[side]->GetOwner();
  return owner && owner->GetMKClassName() == MKSegmentClass ? static_cast<MKSegment*>(owner)
                                                            : nullptr;
}

MK3DVertex MKVision::GetEyePosition(MKEye eye) const {
  if (eye < 0 || eye > 2) return MK3DVertex(MKIEEE::NaN(), MKIEEE::NaN(), MKIEEE::NaN());
  MKSegment* segment = GetEyeSegment(eye);
  if (!segment) return MK3DVertex();
  MK3DVertex end = segment->GetEndPoint(MKGlobalSpace);
  for (double* c : {&end.x, &end.y, &end.z})
    if (std::fabs(*c) < kTolerance) *c = 0.0;
  return end;
}

double MKVision::GetFocalDistance() const {
  if (!manikin) return focusPoint.z;
  const MK3DVertex eye = GetEyePosition(MKEye(activeSide));
  if (settled.side == activeSide && SameBits(settled.eye, eye) &&
      SameBits(settled.focus, focusPoint))
    return settled.distance;
  return eye.DistanceFrom(focusPoint);
}

void MKVision::GetSideAngles(int side, double& vertical, double& horizontal) const {
  const MKLineOfSight* line = side >= 0 && side <= 2 ? lineOfSight[side] : nullptr;
  if (!manikin || !line) {
    vertical = focusPoint.x;
    horizontal = focusPoint.y;
    return;
  }
  const MKDOF* v = line->GetDOF(0);
  const MKDOF* h = line->GetDOF(1);
  vertical = v ? v->GetValue() * v->GetRange() : 0.0;
  horizontal = h ? h->GetValue() * h->GetRange() : 0.0;
}

double MKVision::GetVerticalAngle() const {
  double vertical, horizontal;
  GetSideAngles(activeSide, vertical, horizontal);
  return vertical;
}

double MKVision::GetHorizontalAngle() const {
  double vertical, horizontal;
  GetSideAngles(activeSide, vertical, horizontal);
  return horizontal;
}

void MKVision::CalculateDeviationAngles(MKEye eye, const MK3DVertex& target, double& horizontal,
                                        double& vertical) const {
  horizontal = vertical = MKIEEE::NaN();
  MKSegment* segment = GetEyeSegment(eye);
  if (!segment) return;
  MK4x4Matrix place;
  place.BuildFromTrans(target.x, target.y, target.z);
  const MK3x1Matrix local = (place / segment->GetGlobalMatrix()).GetTranslation();
  // The eye sits at the segment's end. atan2 keeps a target behind the eye
  // beyond a right angle, where no deviation limit lets it pass.
  const double z = local(2) - segment->GetLength();
  horizontal = -(std::atan2(local(0), z) - horizontalOffset[eye]);
  vertical = -(std::atan2(local(1), z) - verticalOffset[eye]);
}

void MKVision::Update(const MKDOF* dof) {
  if (building || !dof || dof->GetShortNameOfOwner() != MLHeEye) return;
  MKLineOfSight* middle = lineOfSight[MKMiddleEye];
  if (std::isfinite(middle->GetLength())) {
    focusPoint = middle->GetEndPoint(MKGlobalSpace);
  } else {
    double vertical, horizontal;
    GetSideAngles(MKMiddleEye, vertical, horizontal);
    focusPoint = MK3DVertex(vertical, horizontal, MKIEEE::Infinite());
  }
}

// Field angles -------------------------------------------------------------------

const MKVisualLimitsVariable* MKVision::GetLinkedLimits() const {
  return GetVisualLimitsVariable(static_cast<unsigned int>(linkedLimits));
}

double MKVision::GetMaxBinocularAngle() const {
  const MKVisualLimitsVariable* limits = GetLinkedLimits();
  return limits ? limits->GetMaxBinocularAngle() : 0.0;
}
double MKVision::GetMinBinocularAngle() const {
  const MKVisualLimitsVariable* limits = GetLinkedLimits();
  return limits ? limits->GetMinBinocularAngle() : 0.0;
}
double MKVision::GetMaxAmbinocularAngle() const {
  const MKVisualLimitsVariable* limits = GetLinkedLimits();
  return limits ? limits->GetMaxAmbinocularAngle() : 0.0;
}
double MKVision::GetMinAmbinocularAngle() const {
  const MKVisualLimitsVariable* limits = GetLinkedLimits();
  return limits ? limits->GetMinAmbinocularAngle() : 0.0;
}
double MKVision::GetMaxMonocularAngle() const {
  return (GetMaxAmbinocularAngle() + GetMaxBinocularAngle()) * 0.5;
}
double MKVision::GetMinMonocularAngle() const {
  return (GetMinAmbinocularAngle() + GetMinBinocularAngle()) * 0.5;
}
double MKVision::GetMaxVerticalTopAngle() const {
  const MKVisualLimitsVariable* limits = GetLinkedLimits();
  return limits ? limits->GetMaxVerticalTopAngle() : 0.0;
}
double MKVision::GetMinVerticalTopAngle() const {
  const MKVisualLimitsVariable* limits = GetLinkedLimits();
  return limits ? limits->GetMinVerticalTopAngle() : 0.0;
}
double MKVision::GetMaxVerticalBottomAngle() const {
  const MKVisualLimitsVariable* limits = GetLinkedLimits();
  return limits ? limits->GetMaxVerticalBottomAngle() : 0.0;
}
double MKVision::GetMinVerticalBottomAngle() const {
  const MKVisualLimitsVariable* limits = GetLinkedLimits();
  return limits ? limits->GetMinVerticalBottomAngle() : 0.0;
}

// Reading an angle brings the stored value within the linked record's
// bounds (maximum first, then minimum) and keeps the result.
double MKVision::GetBinocularAngle() const {
  binocularAngle =
      std::fmax(std::fmin(binocularAngle, GetMaxBinocularAngle()), GetMinBinocularAngle());
  return binocularAngle;
}
double MKVision::GetAmbinocularAngle() const {
  ambinocularAngle =
      std::fmax(std::fmin(ambinocularAngle, GetMaxAmbinocularAngle()), GetMinAmbinocularAngle());
  return ambinocularAngle;
}
double MKVision::GetMonocularAngle() const {
  return (GetAmbinocularAngle() + GetBinocularAngle()) * 0.5;
}
double MKVision::GetVerticalTopAngle() const {
  verticalTopAngle =
      std::fmax(std::fmin(verticalTopAngle, GetMaxVerticalTopAngle()), GetMinVerticalTopAngle());
  return verticalTopAngle;
}
double MKVision::GetVerticalBottomAngle() const {
  verticalBottomAngle = std::fmax(std::fmin(verticalBottomAngle, GetMaxVerticalBottomAngle()),
                                  GetMinVerticalBottomAngle());
  return verticalBottomAngle;
}

MKStatus MKVision::SetBinocularAngle(double angle) {
  double value = angle;
  if (value < 0.0) value = 0.0;
  if (value > GetMaxBinocularAngle()) value = GetMaxBinocularAngle();
  if (value > GetAmbinocularAngle()) value = GetAmbinocularAngle();
  binocularAngle = value;
  UpdateDeviationLimits();
  return value == angle ? MKStatusSuccess : MKStatus(MKVisionAngleCorrected);
}

MKStatus MKVision::SetAmbinocularAngle(double angle) {
  double value = angle;
  if (value > GetMaxAmbinocularAngle())
    value = GetMaxAmbinocularAngle();
  else if (value < GetBinocularAngle())
    value = GetBinocularAngle();
  ambinocularAngle = value;
  return value == angle ? MKStatusSuccess : MKStatus(MKVisionAngleCorrected);
}

MKStatus MKVision::SetMonocularAngle(double angle) {
  const double ambinocular = GetAmbinocularAngle();
  const double value = Clamp(angle, ambinocular * 0.5, ambinocular);
  const MKStatus status = SetBinocularAngle(value * 2.0 - ambinocular);
  return value == angle ? status : MKStatus(MKStatusValueRefused);
}

MKStatus MKVision::SetVerticalTopAngle(double angle) {
  const double value = Clamp(angle, 0.0, GetMaxVerticalTopAngle());
  verticalTopAngle = value;
  SetCentralConeAngle(centralConeAngle);
  UpdateDeviationLimits();
  return value == angle ? MKStatusSuccess : MKStatus(MKVisionAngleCorrected);
}

MKStatus MKVision::SetVerticalBottomAngle(double angle) {
  const double value = Clamp(angle, 0.0, GetMaxVerticalBottomAngle());
  verticalBottomAngle = value;
  SetCentralConeAngle(centralConeAngle);
  UpdateDeviationLimits();
  return value == angle ? MKStatusSuccess : MKStatus(MKVisionAngleCorrected);
}

MKStatus MKVision::SetCentralConeAngle(double angle) {
  const double bound = 2.0 * std::fmin(GetVerticalTopAngle(), GetAmbinocularAngle());
  // Raised to half a degree, then bounded: a vertical top angle below a
  // quarter of a degree leaves no room, and the bound wins, so that the cone
  // never opens wider than the field and setting it to its own value (as a
  // copy or a record does) changes nothing.
  double value = angle;
  if (value < 0.5) value = 0.5;
  if (value > bound) value = bound;
  centralConeAngle = value;
  return value == angle ? MKStatusSuccess : MKStatus(MKVisionAngleCorrected);
}

void MKVision::GetDeviationLimits(int axis, double& minLimit, double& maxLimit) const {
  if (axis == 0) {
    maxLimit = Radians(GetVerticalTopAngle());
    minLimit = Radians(GetVerticalBottomAngle());
  } else {
    minLimit = maxLimit = Radians(GetBinocularAngle() * 0.5);
  }
}

void MKVision::UpdateDeviationLimits() {
  MKLineOfSight* middle = lineOfSight[MKMiddleEye];
  if (!middle || deferLimits) return;
  bool moved = false;
  for (unsigned int axis = 0; axis < 2; ++axis) {
    MKDOF* dof = middle->GetDOF(axis);
    // Statistics for the middle line of sight in the database win.
    if (!dof || HasLimitData(dof->GetJointLimitDatabase())) continue;
    double low, high;
    GetDeviationLimits(int(axis), low, high);
    const double before = dof->GetMathematicalValue();
    const bool relock = dof->AreLimitsLocked();
    dof->UnlockLimits();
    dof->SetMaxLim(high);
    dof->SetMinLim(low);
    if (relock) dof->LockLimits();
    moved = moved || dof->GetMathematicalValue() != before;
  }
  // An eye pushed back within its new limits moves the focus with it.
  if (moved && manikin && std::isfinite(middle->GetLength()))
    focusPoint = middle->GetEndPoint(MKGlobalSpace);
}

void MKVision::ResetAngles() {
  DestroyVisualLimits();
  auto* record = new MKVisualLimitsVariable(GetDefaultLimitsName());
  MKMemo memo;
  memo.SetPartIDOfOwner(MKPartVisualLimitsVariableID);
  memo.SetText(
      "Biomechanical limits of eye deviation\nFrom: Humanscale Head and Vision (6a), The MIT "
      "Press, Cambridge MA.");
  record->PasteFrom(&memo, 1);
  visualLimits.Append(record);
  linkedLimits = 0;
  binocularAngle = ambinocularAngle = verticalTopAngle = verticalBottomAngle = 0.0;
  centralConeAngle = 6.0;
  // The eyes follow the angles once all are set, not the zeroes in between.
  deferLimits = true;
  SetAmbinocularAngle(120.0);
  SetBinocularAngle(80.0);
  SetVerticalTopAngle(35.0);
  SetVerticalBottomAngle(35.0);
  SetCentralConeAngle(6.0);
  deferLimits = false;
  UpdateDeviationLimits();
}

// Visual-limit records ----------------------------------------------------------

int MKVision::FindVisualLimits(const KelUnicodeString& name) const {
  for (int i = 1; i <= visualLimits.Size(); ++i)
    if (static_cast<MKVisualLimitsVariable*>(visualLimits[i])->GetName() == name) return i - 1;
  return -1;
}

MKVisualLimitsVariable* MKVision::GetVisualLimitsVariable(const KelUnicodeString& name) const {
  const int i = FindVisualLimits(name);
  return i < 0 ? nullptr : GetVisualLimitsVariable(static_cast<unsigned int>(i));
}

MKVisualLimitsVariable* MKVision::GetVisualLimitsVariable(unsigned int index) const {
  if (index >= GetNumberOfVisualLimitsVariables()) return nullptr;
  return static_cast<MKVisualLimitsVariable*>(visualLimits[static_cast<int>(index) + 1]);
}

MKStatus MKVision::AddVisualLimitsVariable(const MKVisualLimitsVariable* record) {
  if (!record) return MKStatusNothingToPaste;
  if (MKVisualLimitsVariable* existing = GetVisualLimitsVariable(record->GetName())) {
    // The default record is never replaced.
    if (!(record->GetName() == GetDefaultLimitsName())) existing->PasteFrom(record, 1);
  } else {
    visualLimits.Append(record->Clone());
  }
  UpdateDeviationLimits();
  return MKStatusSuccess;
}

MKStatus MKVision::LinkToVisualLimitsVariable(unsigned int index) {
  if (index >= GetNumberOfVisualLimitsVariables()) return MKStatusValueRefused;
  linkedLimits = static_cast<int>(index);
  if (binocularAngle > GetMaxBinocularAngle()) SetBinocularAngle(GetMaxBinocularAngle());
  if (ambinocularAngle > GetMaxAmbinocularAngle()) SetAmbinocularAngle(GetMaxAmbinocularAngle());
  if (verticalTopAngle > GetMaxVerticalTopAngle()) SetVerticalTopAngle(GetMaxVerticalTopAngle());
  if (verticalBottomAngle > GetMaxVerticalBottomAngle())
    SetVerticalBottomAngle(GetMaxVerticalBottomAngle());
  UpdateDeviationLimits();
  return MKStatusSuccess;
}

MKStatus MKVision::RemoveVisualLimitsVariable(unsigned int index) {
  if (index >= GetNumberOfVisualLimitsVariables()) return MKStatusValueRefused;
  if (static_cast<int>(index) == linkedLimits) LinkToVisualLimitsVariable(0);
  if (index == 0) return MKStatusSuccess;
  GetVisualLimitsVariable(index)->Destroy();
  visualLimits.RemovePosition(static_cast<int>(index) + 1);
  if (linkedLimits > static_cast<int>(index)) --linkedLimits;
  return MKStatusSuccess;
}

MKStatus MKVision::RemoveVisualLimitsVariable(const KelUnicodeString& name) {
  const int i = FindVisualLimits(name);
  return i < 0 ? MKStatus(MKStatusValueRefused)
               : RemoveVisualLimitsVariable(static_cast<unsigned int>(i));
}

void MKVision::RemoveUserVisualLimits() {
  while (GetNumberOfVisualLimitsVariables() > 1)
    RemoveVisualLimitsVariable(GetNumberOfVisualLimitsVariables() - 1);
}
