// Parts extracted from a manikin for the host's catalogue.
#include <cmath>
#include <vector>

#include "anthro/MKAnthro.h"
#include "anthro/MKDBAnthro.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "host/KelGetEnv.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKSpecs.h"
#include "manikin/MKManikin.h"
#include "parts/MKMemo.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

namespace {

bool Passes(const KelRawCollint* shortNames, int shortName) {
  return !shortNames || shortNames->Locate(shortName) != 0;
}

// The DOF numbers a container of `kind` holds: one for the single-DOF
// kinds, all three otherwise.
void DOFNumbers(MKPartID kind, MKPartID firstSingle, int& from, int& to) {
  from = 0;
  to = 2;
  if (kind >= firstSingle && kind <= firstSingle + 2) from = to = kind - firstSingle;
}

// A posture takes a copy of the DOF's posture record, not of the whole DOF.
void AddPostureRecord(MKManikinPart& posture, const MKDOF& dof) {
  const MKDOF record = dof.PostureRecord();
  posture.PasteFrom(&record, 1);
}

// The vision's lines of sight that pass the filter, left, middle, right.
std::vector<MKLineOfSight*> LinesOfSight(const MKVision* vision, const KelRawCollint* shortNames) {
  std::vector<MKLineOfSight*> lines;
  if (!vision) return lines;
  for (MKShortName name : {LLHeEye, MLHeEye, RLHeEye})
    if (MKLineOfSight* line = vision->GetLineOfSight(name))
      if (Passes(shortNames, name)) lines.push_back(line);
  return lines;
}

MKManikinPart* KeepIfNotEmpty(MKManikinPart* container) {
  if (container->GetNumberOfChildrenParts() > 0) return container;
  container->Destroy();
  return nullptr;
}

}  // namespace

MKManikinPart* MKManikin::ExtractPart(MKPartID kind, unsigned int index,
                                      KelRawCollint* shortNames) const {
  if (index != 0) return nullptr;
  if (IsPrefAnglesKind(kind)) return ExtractPrefAngles(kind, shortNames);
  if (IsJointLimitsKind(kind)) return ExtractPartJointLimits(kind, shortNames);
  switch (kind) {
    case MKPartMemoID: {
      const MKManikinPart* memo = FindMemo(GetPartID());
      return memo ? memo->Clone() : nullptr;
    }
    case MKPartAnthropometryID:
      return anthro ? anthro->Clone() : nullptr;
    case MKPartPostureID:
      return ExtractPosture(shortNames);
    case MKPartJointLimitsDBReferenceID:
      return MKManikinPart::Create(body->GetJointLimitsDB());
    case MKPartAnthroDBReferenceID:
      return anthro ? MKManikinPart::Create(anthro->GetDatabase()) : nullptr;
    case MKPartIKSpecsID:
      return ikManager && ikManager->GetIKSpecs() ? ikManager->GetIKSpecs()->Clone() : nullptr;
    case MKPartIKConstraintsID:
      return ExtractIKConstraints();
    case MKPartVisionID:
      return vision ? vision->Clone() : nullptr;
    case MKPartVisualLimitsID:
      return vision ? vision->ExtractPart(MKPartVisualLimitsID, 0, nullptr) : nullptr;
    default:
      return nullptr;
  }
}

MKManikinPart* MKManikin::ExtractIKConstraints() const {
  if (!ikManager) return nullptr;
  auto* constraints = new MKManikinPart(MKPartIKConstraintsID, GetVersion());
  for (unsigned int i = 0; i < ikManager->GetNumberOfConstraints(); ++i)
    if (MKIKConstraint* constraint = ikManager->GetIKConstraint(i))
      constraints->PasteFrom(constraint, 1);
  if (ikManager->GetMemo()->Length() > 0) constraints->PasteFrom(ikManager->GetMemo(), 1);
  return KeepIfNotEmpty(constraints);
}

MKManikinPart* MKManikin::ExtractPosture(KelRawCollint* shortNames) const {
  MKManikinPart* posture = MKManikinPart::Create(MKPartPostureID);
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i) {
    MKSegment* segment = body->GetSegmentAtIndex(i);
    if (!Passes(shortNames, segment->GetShortName())) continue;
    for (int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof = segment->GetDOF(axis)) AddPostureRecord(*posture, *dof);
  }
  for (MKLineOfSight* line : LinesOfSight(vision, shortNames)) {
    for (unsigned int axis = 0; axis < 3; ++axis) {
      if (MKDOF* dof = line->GetDOF(axis)) {
        AddPostureRecord(*posture, *dof);
      } else if (line->GetShortName() == MLHeEye) {
        // The middle line's missing DOF carries its length (as degrees).
        AddPostureRecord(*posture,
                         MKDOF(line, static_cast<int>(axis), 0, nullptr, line->GetLength()));
      }
    }
  }
  if (body->GetMemo()->Length() > 0) posture->PasteFrom(body->GetMemo(), 1);
  return KeepIfNotEmpty(posture);
}

MKManikinPart* MKManikin::ExtractPrefAngles(MKPartID kind, KelRawCollint* shortNames) const {
  auto* zones = new MKManikinPart(kind, GetVersion());
  int from, to;
  DOFNumbers(kind, MKPartPrefAnglesDof1ID, from, to);
  auto extract = [zones](const MKDOF* dof) {
    if (!dof || dof->GetNumberOfPrefAngles() < 2) return;
    for (unsigned int z = 0; z < dof->GetNumberOfPrefAngles(); ++z) {
      MKManikinPart* zone = dof->ExtractPart(MKPartPrefAngleID, z, nullptr);
      zones->PasteFrom(zone, 1);
      zone->Destroy();
    }
  };
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i) {
    MKSegment* segment = body->GetSegmentAtIndex(i);
    if (!Passes(shortNames, segment->GetShortName())) continue;
    for (int axis = from; axis <= to; ++axis) extract(segment->GetDOF(axis));
  }
  for (const MKLineOfSight* line : LinesOfSight(vision, shortNames))
    for (int axis = from; axis <= to; ++axis)
      extract(line->GetDOF(static_cast<unsigned int>(axis)));
  if (const MKManikinPart* memo = FindMemo(MKPartPrefAnglesID)) zones->PasteFrom(memo, 1);
  return KeepIfNotEmpty(zones);
}

MKManikinPart* MKManikin::ExtractPartJointLimits(const MKPartID& kind,
                                                 KelRawCollint* shortNames) const {
  auto* limits = new MKManikinPart(kind, GetVersion());
  int from, to;
  DOFNumbers(kind, MKPartJointLimitsDof1ID, from, to);
  auto extract = [limits](const MKDOF* dof) {
    if (!dof) return;
    // Limits at the population's median are not worth a record.
    const bool median = std::fabs(dof->GetMinLimAsPercentile() - 50.0) <= 1e-6 &&
                        std::fabs(dof->GetMaxLimAsPercentile() - 50.0) <= 1e-6;
    if (median && dof->GetDOFState() != MKDOF::LimitsRemoved) return;
    MKManikinPart* record = dof->ExtractPart(MKPartJointLimitsVariableID, 0, nullptr);
    limits->PasteFrom(record, 1);
    record->Destroy();
  };
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i) {
    MKSegment* segment = body->GetSegmentAtIndex(i);
    if (!Passes(shortNames, segment->GetShortName())) continue;
    for (int axis = from; axis <= to; ++axis) extract(segment->GetDOF(axis));
  }
  for (const MKLineOfSight* line : LinesOfSight(vision, shortNames))
    for (int axis = from; axis <= to; ++axis)
      extract(line->GetDOF(static_cast<unsigned int>(axis)));
  if (const MKManikinPart* memo = FindMemo(MKPartJointLimitsID)) limits->PasteFrom(memo, 1);
  return KeepIfNotEmpty(limits);
}
