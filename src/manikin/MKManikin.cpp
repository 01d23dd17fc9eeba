#include "manikin/MKManikin.h"

#include <ctime>
#include <new>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "host/MKTrace.h"
#include "ik/MKIKManager.h"
#include "math/MKUnitConversions.h"
#include "parts/MKMemo.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

MKStatus MKManikin::Create(MKManikin*& manikin, int sex, double percentile,
                           const MKDBAnthro* database, int buildKind, unsigned char bodyFlag) {
  if (manikin) manikin->Destroy();
  manikin = nullptr;
  if (sex != 0 && sex != 1) return MKStatus(6);
  if (MKBody::ReadMeshData(sex) < 0) return MKStatusStreamContent;
  if (!(percentile > 0.0 && percentile < 100.0)) return MKStatus(7);
  if (buildKind != 1 && buildKind != 2) return MKStatus(8);
  auto* created = new (std::nothrow) MKManikin(database, sex, buildKind, bodyFlag);
  if (!created) return MKStatusNoMemory;

  if (MKAnthro* anthro = created->GetAnthro(); anthro && percentile != 50.0) {
    MKStatus status = MKStatusSuccess;
    for (const char* acronym : {"<STATURE>", "<WEIGHT>"}) {
      MKAnthroVariable* variable = anthro->GetVariable(acronym);
      if (variable) status = variable->SetUserValueFromPercentile(percentile);
      if (status != MKStatusSuccess) {
        created->Destroy();
        return status;
      }
    }
  }
  if (created->GetAnthro()) created->GetAnthro()->InitialUpdate();
  created->GetBody()->GetCenterOfGravity()->SetBody(created->GetBody());
  manikin = created;
  return MKStatusSuccess;
}

void MKManikin::BecomeManikin() {
  MKManikinPart tagged(MKPartManikinID, 2.01);
  MKManikinPart::operator=(tagged);
}

MKManikin::MKManikin(const MKDBAnthro* database, int sex, int, unsigned char bodyFlag)
    : MKManikinPart(MKPartDefaultID, 2.01) {
  BecomeManikin();
  if (sex != 0 && sex != 1) {
    MKTrace("MKManikin: a sex other than 0 or 1 is taken as 1\n");
    sex = 1;
  }
  body = new MKBody(this, sex, bodyFlag);
  for (MKShortName forearm : {LSArFAr, RSArFAr})
    if (MKDOF* rotation = body->GetSegment(forearm)->GetDOF(2))
      rotation->SetValue(MKUnitConversions::DegreesToRadians(90.0), 1);
  anthro = new MKAnthro(this, database, sex);
  // Detached until the geometric build hangs its lines of sight on the head.
  vision = new MKVision();
  ikManager = new MKIKManager(this);
}

MKManikin::MKManikin(const MKManikin& source) : MKManikinPart(MKPartDefaultID, 2.01) {
  BecomeManikin();
  const bool fromLibrary = source.IsLoadedFromLibrary() != 0;
  SetTimeStamp(fromLibrary ? source.GetTimeStamp() : static_cast<long>(std::time(nullptr)));
  if (fromLibrary) SetAsReadFromLibrary();
  body = new MKBody(this, 1, 1);
  if (const MKAnthro* sourceAnthro = source.GetAnthro())
    anthro = new MKAnthro(this, sourceAnthro->GetDatabase(), sourceAnthro->GetSex());
  vision = new MKVision();
  ikManager = new MKIKManager(this);
  // The coupling is the body's, not a part's: carried as a record carries
  // it, before the parts that it bounds.
  if (source.body && source.body->IsCouplingEnabled()) body->EnableCoupling(false);
  PasteFrom(&source, 1);
}

MKManikin::~MKManikin() {
  if (vision) vision->Destroy();
  vision = nullptr;
  delete ikManager;
  ikManager = nullptr;
  delete body;
  body = nullptr;
  if (anthro) anthro->Destroy();
  anthro = nullptr;
}

MKManikinPart* MKManikin::FindMemo(MKPartID kind) const {
  MKManikinPart* memo = nullptr;
  for (int i = FindPart(MKPartMemoID, memo, 1); i > 0; i = FindPart(MKPartMemoID, memo, i + 1))
    if (static_cast<MKMemo*>(memo)->GetPartIDOfOwner() == kind) return memo;
  return nullptr;
}

MKManikinPart* MKManikin::ExtractPartAtIndex(unsigned int index) const {
  const MKManikinPart* memo = index == 0 ? FindMemo(MKPartManikinID) : nullptr;
  return memo ? memo->Clone() : nullptr;
}

unsigned int MKManikin::GetNumberOfChildrenParts() const {
  return FindMemo(MKPartManikinID) ? 1 : 0;
}

bool MKManikin::IsStandard() const {
  if (!anthro || anthro->GetNumberOfVariables() == 0) return true;
  for (unsigned int i = 0; i < anthro->GetNumberOfVariables(); ++i) {
    const MKAnthroVariable* variable = anthro->GetVariableAtIndex(i);
    if (!variable || variable->GetManagementType() == 0) continue;
    const int reference = variable->GetReferenceNumber();
    if (reference != 100 && reference != 125) return false;
    const double p = variable->GetValueAsPercentile();
    bool standard = false;
    for (double percentile : {5.0, 50.0, 95.0})
      if (p > percentile - 0.002 && p < percentile + 0.002) standard = true;
    if (!standard) return false;
  }
  return true;
}

double MKManikin::GetAnthroValue(unsigned int referenceNumber) const {
  const MKAnthroVariable* variable =
      anthro ? anthro->GetVariableFromRefNumber(referenceNumber) : nullptr;
  return variable ? variable->GetValue() : 0.0;
}

MKStatus MKManikin::PasteAnthroDBRef(MKManikinPart* part) {
  if (anthro) anthro->PasteFrom(part, 1);
  return MKStatusSuccess;
}

void MKManikin::ResetFocusPointAfterPastePosture(const MK3DVertex& focusPoint) {
  // The head turns back within its limits; the eyes then aim at the point.
  MKSegment* head = body ? body->GetSegment(SHeCg) : nullptr;
  if (MKDOF* rotation = head ? head->GetDOF(2) : nullptr) {
    const double value = rotation->GetValue();
    rotation->RestoreLimits();
    rotation->SetValue(value, rotation->GetRange());
  }
  if (!vision || vision->LookAt(focusPoint) == MKStatusSuccess || !ikManager || !body) return;
  // Beyond the eyes' reach: the head and the trunk turn towards the point.
  ikManager->SetBehavior(1);
  MKFrame frame;
  frame.SetVector(focusPoint);
  if (ikManager->Reach(vision->GetLineOfSight(MLHeEye), body->GetSegment(SBoT1), frame, 1) !=
      MKStatusSuccess)
    vision->LookAt(focusPoint);
}

void MKManikin::AimVisionAfterBuild() {
  if (!vision) return;
  // A vision attached before keeps looking at the same point; a new one
  // (detached, its focus point holding angles and distance) looks along
  // the angles it was given.
  const bool attached = vision->IsAttached();
  const MK3DVertex focus = vision->GetFocalPoint();
  vision->Build(this);
  if (attached)
    vision->LookAt(focus);
  else
    vision->LookAt(focus.z, focus.x, focus.y);
}
