// Whole-body posture operations of MKBody: reset, predefined postures, best
// posture, coupling, joint-limits database.
#include <cmath>
#include <functional>

#include "anthro/MKDBJointLimits.h"
#include "anthro/MKDatabaseManager.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "host/MKTrace.h"
#include "manikin/MKManikin.h"
#include "math/MKUnitConversions.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

namespace {

double Radians(double degrees) {
  return MKUnitConversions::DegreesToRadians(degrees);
}

}  // namespace

void MKBody::ResetPosture() {
  const bool coupling = IsCouplingEnabled();
  DisableCoupling(false);
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i) GetSegmentAtIndex(i)->ResetPosture();
  if (coupling) EnableCoupling(false);
  // The clavicles are coupled slaves: evaluate them again with coupling on.
  ResetDOF(LSArCl, 1);
  ResetDOF(RSArCl, 1);
}

void MKBody::ResetDOF(MKShortName segment, int axis) {
  MKSegment* s = GetSegment(segment);
  if (MKDOF* dof = s ? s->GetDOF(axis) : nullptr) dof->Reset();
}

void MKBody::SetDOFDegrees(MKShortName segment, int axis, double degrees, int range) {
  MKSegment* s = GetSegment(segment);
  if (MKDOF* dof = s ? s->GetDOF(axis) : nullptr) dof->SetValue(Radians(degrees), range);
}

MKStatus MKBody::SetPosture(MKPostureSpec posture) {
  const bool coupling = IsCouplingEnabled();
  if (coupling) {
    ResetDOF(LSLeTh, 0);
    ResetDOF(RSLeTh, 0);
    ResetDOF(LSLeLe, 0);
    ResetDOF(RSLeLe, 0);
    DisableCoupling(false);
  }
  ResetPosture();

  const MKSegment* leftArm = GetSegment(LSArAr);
  const double armY = leftArm ? leftArm->GetRotationYInDegrees() : 0.0;
  const double a = std::fabs(armY);
  const double b = std::fabs(armY + 90.0);
  switch (static_cast<int>(posture)) {
    case 0:
    case 1:
      break;
    case 2:  // sitting
      for (MKShortName s : {RSLeTh, LSLeTh, RSLeLe, LSLeLe, RSArFAr, LSArFAr})
        SetDOFDegrees(s, 0, 90);
      SetDOFDegrees(LSArFAr, 2, a);
      SetDOFDegrees(RSArFAr, 2, a);
      break;
    case 3:
      SetDOFDegrees(RSArAr, 0, 90);
      SetDOFDegrees(LSArAr, 0, 90);
      SetDOFDegrees(RSArAr, 1, b, -1);
      SetDOFDegrees(LSArAr, 1, b, -1);
      SetDOFDegrees(LSArFAr, 2, 90);
      SetDOFDegrees(RSArFAr, 2, 90);
      break;
    case 4:
      SetDOFDegrees(RSArAr, 0, 90);
      SetDOFDegrees(LSArAr, 0, 90);
      SetDOFDegrees(RSArAr, 1, b, -1);
      SetDOFDegrees(LSArFAr, 2, 90);
      SetDOFDegrees(RSArFAr, 2, 90);
      SetDOFDegrees(LSArCl, 0, 20);
      SetDOFDegrees(LSArAr, 1, b);
      break;
    case 5:
      SetDOFDegrees(RSArAr, 1, 80);
      SetDOFDegrees(LSArAr, 1, 80);
      break;
    case 6:
      SetDOFDegrees(RSLeLe, 0, 107);
      SetDOFDegrees(LSLeLe, 0, 107);
      SetDOFDegrees(RSArFAr, 0, 90);
      SetDOFDegrees(LSArFAr, 0, 90);
      SetDOFDegrees(LSArFAr, 2, 90);
      SetDOFDegrees(RSArFAr, 2, 90);
      break;
    default:
      MKTrace("Invalid parameter in MKBody::SetPosture\n");
      if (coupling) EnableCoupling(false);
      return MKStatus(9);
  }
  if (coupling) {
    EnableCoupling(false);
    const int p = static_cast<int>(posture);
    if (p == 0 || p == 1 || p == 6) {
      ResetDOF(LSArCl, 1);
      ResetDOF(RSArCl, 1);
    }
  }
  return MKStatusSuccess;
}

void MKBody::SetToBestPosture() {
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i)
    for (int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof = GetSegmentAtIndex(i)->GetDOF(axis)) dof->SetToHighestScore();
  const MKVision* vision = manikin ? manikin->GetVision() : nullptr;
  if (MKLineOfSight* eyes = vision ? vision->GetCentralLineOfSight() : nullptr)
    for (unsigned int axis = 0; axis < 2; ++axis)
      if (MKDOF* dof = eyes->GetDOF(axis)) dof->SetToHighestScore();
}

void MKBody::EnableCoupling(bool saveLimits) {
  couplingEnabled = 1;
  if (saveLimits) {
    savedLimits.RemoveAll();
    ForEachDOF([this](MKDOF* dof) {
      savedLimits.Append(dof->GetMinLimNoCoupling(true));
      savedLimits.Append(dof->GetMaxLimNoCoupling(true));
    });
  }
  ForEachDOF([](MKDOF* dof) { dof->SetValue(dof->GetValue(), dof->GetRange()); });
}

void MKBody::DisableCoupling(bool restoreLimits) {
  couplingEnabled = 0;
  if (!restoreLimits || savedLimits.Size() == 0) return;
  int position = 1;
  ForEachDOF([this, &position](MKDOF* dof) {
    if (position + 1 > savedLimits.Size()) return;
    const bool relock = dof->AreLimitsLocked();
    if (relock) dof->UnlockLimits();
    dof->SetMinLim(savedLimits[position]);
    dof->SetMaxLim(savedLimits[position + 1]);
    position += 2;
    if (relock) dof->LockLimits();
  });
}

void MKBody::ForEachDOF(const std::function<void(MKDOF*)>& action) const {
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i)
    for (int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof = GetSegmentAtIndex(i)->GetDOF(axis)) action(dof);
}

MKStatus MKBody::UseJointLimitsDB(MKDBJointLimits* database) {
  if (!database || database == jointLimitsDB) return MKStatusJointLimitsDB;
  const MKDBJointLimits* reference = MKDatabaseManager::GetInstance()->GetDefaultJointLimitsDB();
  if (reference && database->GetNumberOfVariables() < reference->GetNumberOfVariables())
    return MKStatusPasteKindRefused;
  jointLimitsDB = database;
  RelinkJointLimitsDB(GetRoot());
  if (MKVision* vision = manikin ? manikin->GetVision() : nullptr)
    vision->UseJointLimitsDB(database);
  return MKStatusSuccess;
}

void MKBody::RelinkJointLimitsDB(MKSegment* segment) {
  if (!segment || !jointLimitsDB) return;
  for (int axis = 0; axis < 3; ++axis) {
    // Pure slaves are hidden here: they take their master's row through it.
    if (MKDOF* dof = segment->GetDOF(axis))
      dof->SetJointLimitDatabase(jointLimitsDB->GetVariable(segment->GetShortName(), axis));
  }
  for (int i = 0; i < segment->GetNumberOfChildren(); ++i) {
    MKBodyElement* child = segment->GetChild(i);
    if (child && child->GetMKClassName() == MKSegmentClass)
      RelinkJointLimitsDB(static_cast<MKSegment*>(child));
  }
}

std::vector<MKBody::SavedDOFState> MKBody::SaveAndFreeDOFs() const {
  std::vector<SavedDOFState> saved;
  ForEachDOF([&saved](MKDOF* dof) {
    saved.push_back({dof, dof->GetMathematicalValue(), dof->GetMinLimNoCoupling(true),
                     dof->GetMaxLimNoCoupling(true), dof->GetDOFState(), dof->AreLimitsLocked()});
    dof->UnlockLimits();
    dof->UnlockValue();
    dof->ResetLimits();
  });
  return saved;
}

void MKBody::RestoreDOFs(const std::vector<SavedDOFState>& saved) {
  for (const SavedDOFState& s : saved) {
    s.dof->SetMinLim(s.minLim);
    s.dof->SetMaxLim(s.maxLim);
  }
  for (const SavedDOFState& s : saved) s.dof->SetMathematicalValue(s.value);
  for (const SavedDOFState& s : saved) {
    if (s.state == MKDOF::ValueLocked) s.dof->LockValue();
    if (s.state == MKDOF::LimitsRemoved) s.dof->RemoveLimits();
    if (s.limitsLocked) s.dof->LockLimits();
  }
}
