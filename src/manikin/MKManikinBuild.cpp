// The geometric build: the manikin's dimensions turned into segment lengths,
// rest rotations, ellipses, masses and centres of gravity.
#include <cmath>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"

namespace {

// A segment is unusable when a length was refused (defaulted) or a size or
// rest rotation is not finite.
bool IsInvalid(const MKSegment& segment) {
  return segment.IsLengthDefaulted() || !std::isfinite(segment.GetLength()) ||
         !std::isfinite(segment.GetRotationX()) || !std::isfinite(segment.GetRotationY()) ||
         !std::isfinite(segment.GetRotationZ());
}

}  // namespace

MKStatus MKManikin::BuildManikin(int sex) {
  if (!body) return MKStatus(2);
  const bool earlier = IsEarlierGeneration();

  const double trochanter = GetAnthroValue(kTROCHHT);
  const double bispinous = GetAnthroValue(kBISBDTH);
  const double h = (sex == 1 ? 0.09 : 0.093) * trochanter - 0.3 * bispinous;
  const double w = earlier ? EarlierHipHalfSpan(sex) : 0.45 * bispinous;
  const double d = GetAnthroValue(kCERVHGTH) - GetAnthroValue(kACRHGHT);

  // Joint limits, locks and posture are kept through the DOFs themselves:
  // the manikin has no part paste yet.
  const std::vector<MKBody::SavedDOFState> saved = body->SaveAndFreeDOFs();
  body->ResetPosture();
  body->GetBackSpineEllipses();

  if (earlier) {
    MakeOldTrunkModel(sex, h, 0.0, d, w);
    SizeOldHead(sex, h, w);
  } else {
    MakeTrunkModel(sex, h, 0.0, d, w);
    MakeHeadModel(sex, h, w);
  }
  MakeRightSupLimbModel(sex);
  MakeLeftSupLimbModel(sex);
  MakeRightInfLimbModel(sex, h, 0.0, w);
  MakeLeftInfLimbModel(sex, h, 0.0, w);
  MakeRightHandModel(sex);
  MakeLeftHandModel(sex);
  MakeRightFootModel(sex);
  MakeLeftFootModel(sex);
  if (earlier)
    SizeOldTrunkEllipses(sex, h, w);
  else
    AdjustTrunkEllipses(sex, h, w);
  AdjustAnkleEllipses();
  body->SpreadSpineEllipses();

  if (!earlier) {
    body->InitSubD(sex);
    body->AssignSegmentsTextureInfo(sex);
    body->AssignSubDVertices();
  }

  MKBody::RestoreDOFs(saved);
  const MKStatus status = ValidateBuild();
  // The eyes are aimed on the finished skeleton.
  if (status == MKStatusSuccess) AimVisionAfterBuild();
  return status;
}

MKStatus MKManikin::ValidateBuild() {
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i) {
    MKSegment* segment = body->GetSegmentAtIndex(i);
    if (IsInvalid(*segment)) return MKStatus(301);
    segment->SetParaMatrix();
    for (int e = 0; e < segment->GetNumberOfEllipses(); ++e)
      if (segment->GetEllipseAtIndex(e)->IsInvalid()) return MKStatus(301);
  }
  return MKStatusSuccess;
}
