#include "body/MKBody.h"

#include <cmath>

#include "anthro/MKAnthro.h"
#include "anthro/MKDBJointLimits.h"
#include "anthro/MKDatabaseManager.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"
#include "host/KelSdoMesh.h"
#include "host/MKTrace.h"
#include "manikin/MKManikin.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

MKBody::MKBody(MKManikin* owningManikin, int meshSex, unsigned char createMeshesFlag)
    : MKBodyElement(MKBodyClass, nullptr, BoBo),
      manikin(owningManikin),
      centerOfGravity(nullptr),
      createMeshes(createMeshesFlag) {
  SetOwnerElement(this);
  globalMatrix.Unit();
  CreateSegments();
  CreateCoupledAngles();
  UseJointLimitsDB(MKDatabaseManager::GetInstance()->GetDefaultJointLimitsDB());
  centerOfGravity.SetBody(this);
  meshResolution = GetDefaultMeshResolution();
  ReadMeshData(meshSex);
}

MKBody::~MKBody() {
  delete subDMesh;
  for (int i = 1; i <= segments.Size(); ++i) delete static_cast<MKSegment*>(segments[i]);
  segments.RemoveAll();
}

MKSegment* MKBody::GetSegment(MKShortName name) const {
  if (name < 0 || name >= segments.Size()) return nullptr;
  return static_cast<MKSegment*>(segments[name + 1]);
}

MKSegment* MKBody::GetSegmentAtIndex(unsigned int i) const {
  if (i >= GetNumberOfSegments()) return nullptr;
  return static_cast<MKSegment*>(segments[static_cast<int>(i) + 1]);
}

MKEllipse* MKBody::GetEllipse(MKShortName name) const {
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i)
    if (MKEllipse* ellipse = GetSegmentAtIndex(i)->GetEllipse(name)) return ellipse;
  return nullptr;
}

MKBodyElement* MKBody::GetElementByName(MKShortName name) {
  if (name == BoBo) return this;
  if (MKSegment* segment = GetSegment(name)) return segment;
  if (MKEllipse* ellipse = GetEllipse(name)) return ellipse;
  if (name == BoCg) return &centerOfGravity;
  if (name >= SkBoPh && name <= LSkHaAu3) {
    MKSegment* segment = GetSegment(static_cast<MKShortName>(name - SkBoPh));
    return segment ? segment->GetSkinElement() : nullptr;
  }
  if (name >= LLHeEye && name <= RLHeEye) {
    const MKVision* vision = manikin ? manikin->GetVision() : nullptr;
    return vision ? vision->GetLineOfSight(name) : nullptr;
  }
  return nullptr;
}

void MKBody::SetMemo(const MKMemo* newMemo) {
  if (newMemo) memo = *newMemo;
}

void MKBody::SetMemo(const KelUnicodeString& text) {
  memo.SetText(text);
}

int MKBody::GetSexOfCurrentBody() const {
  const MKAnthro* anthro = manikin ? manikin->GetAnthro() : nullptr;
  return anthro ? anthro->GetSex() : 1;
}

unsigned int MKBody::GetNumberOfDOFs() const {
  unsigned int count = 0;
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i)
    count += GetSegmentAtIndex(i)->GetNumberOfDOFs();
  return count;
}

void MKBody::GetDOFValues(KelRawColldouble& values) const {
  const int count = static_cast<int>(GetNumberOfDOFs());
  values.Size(count);
  int position = count;
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i)
    for (int axis = 0; axis < 3; ++axis)
      if (const MKDOF* dof = GetSegmentAtIndex(i)->GetDOF(axis))
        values[position--] = dof->GetMathematicalValue();
}

MKStatus MKBody::SetDOFValues(KelRawColldouble& values, bool force) {
  MKStatus result = MKStatusSuccess;
  int position = static_cast<int>(GetNumberOfDOFs());
  if (values.Size() < position) return MKStatusValueRefused;
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i) {
    for (int axis = 0; axis < 3; ++axis) {
      MKDOF* dof = GetSegmentAtIndex(i)->GetDOF(axis);
      if (!dof) continue;
      const double s = values[position--];
      const bool locked = dof->GetDOFState() == MKDOF::ValueLocked;
      const bool removed = dof->GetDOFState() == MKDOF::LimitsRemoved;
      const int range = s > 0 ? 1 : -1;
      const double magnitude = std::fabs(s);
      if (dof->GetValue() == magnitude && dof->GetRange() == range) continue;
      MKStatus status = dof->SetValue(magnitude, range);
      if (status != MKStatusSuccess && force) {
        dof->UnlockValue();
        const bool limitsLocked = dof->AreLimitsLocked();
        dof->UnlockLimits();
        dof->SetMinLimFromPercentile(1.0);
        dof->SetMaxLimFromPercentile(1.0);
        if (limitsLocked) dof->LockLimits();
        status = dof->SetValue(magnitude, range);
        if (status != MKStatusSuccess) status = dof->SetValue(magnitude, range);
        result = status;
      } else if (status != MKStatusSuccess) {
        result = MKStatus(12);
      }
      if (locked) dof->LockValue();
      if (removed) dof->RemoveLimits();
    }
  }
  return result;
}
