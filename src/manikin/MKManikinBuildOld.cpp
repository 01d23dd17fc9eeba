// The earlier generation of the geometric build. Its manikin had the same
// skeleton, but an upright spine and neck, a hip half-span regressed on
// weight and stature, buttocks placed from their heights, no subdivided
// head, and limb sections sized from their circumferences alone, centred on
// the bones. It is kept to pose postures recorded on that skeleton.
#include <cstring>
#include <vector>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "host/KelGetEnv.h"
#include "manikin/MKManikin.h"
#include "math/MK3x1Matrix.h"
#include "math/MKUnitConversions.h"

bool MKManikin::IsEarlierGeneration() {
  const char* value = KelGetEnv("MKKR12ManikinInR14");
  return value && std::strcmp(value, "1") == 0;
}

double MKManikin::EarlierHipHalfSpan(int sex) const {
  const double pounds = MKUnitConversions::KgToLb(GetAnthroValue(kWEIGHT));
  const double stature = GetAnthroValue(kSTATURE);
  return sex == 1 ? 0.0034 * pounds + 0.001 * stature + 7.735
                  : -0.0183 * pounds + 0.111 * stature - 6.47;
}

MKStatus MKManikin::BuildOldManikin(int sex) {
  if (!body) return MKStatus(2);
  const double trochanter = GetAnthroValue(kTROCHHT);
  const double h = (sex == 1 ? 0.09 : 0.093) * trochanter - 0.3 * GetAnthroValue(kBISBDTH);
  const double w = EarlierHipHalfSpan(sex);
  const double d = GetAnthroValue(kCERVHGTH) - GetAnthroValue(kACRHGHT);

  // Only the posture is kept: the joint limits follow the new sizes.
  KelRawColldouble posture;
  body->GetDOFValues(posture);
  body->ResetPosture();
  body->GetBackSpineEllipses();

  MakeOldTrunkModel(sex, h, 0.0, d, w);
  SizeOldHead(sex, h, w);
  MakeRightSupLimbModel(sex);
  MakeLeftSupLimbModel(sex);
  MakeRightInfLimbModel(sex, h, 0.0, w);
  MakeLeftInfLimbModel(sex, h, 0.0, w);
  MakeRightHandModel(sex);
  MakeLeftHandModel(sex);
  MakeRightFootModel(sex);
  MakeLeftFootModel(sex);
  SizeOldTrunkEllipses(sex, h, w);

  body->SetDOFValues(posture, true);
  return ValidateBuild();
}

void MKManikin::SizeOldHead(int sex, double h, double w) {
  // The head and face kept their proportions; the neck stood upright on
  // the spine, without the forward lean of the current head.
  MakeHeadModel(sex, h, w);
  MKSegment* neck = body->GetSegment(SHeNe);
  MKSegment* head = body->GetSegment(SHeCg);
  const MKSegment* sacrum = body->GetSegment(SBoTIp);
  if (!neck || !head || !sacrum) return;
  neck->SetRotation(-(body->GetSpineAngle() + sacrum->GetRotationXInDegrees()), 0.0, 0.0);
  neck->SetMass(MassDistrib(MKKNeck, sex));
  head->SetRotation(0.0, 0.0, 0.0);
  head->SetMass(MassDistrib(MKKHead, sex));
  head->SetCenterOfGravityPosition(MK3DVertex(0.0, 0.0, 0.5));
}

void MKManikin::SizeOldTrunkEllipses(int sex, double h, double w) {
  AdjustTrunkEllipses(sex, h, w);
  MKSegment* root = body->GetRoot();
  MKEllipse* buttock = body->GetEllipse(EBoBu);
  MKEllipse* crotch = body->GetEllipse(EBoCr);
  MKSegment* spineTop = body->GetSegment(SBoT1);
  if (!root || !buttock || !crotch || !spineTop) return;
  // The buttock ellipse sat at the buttock height and the ilium ellipse
  // halfway up to the waist, its back in line with the buttock's.
  const double floorY = spineTop->GetEndPosition()(1) - GetAnthroValue(kCERVHGTH);
  const double buttockY = floorY + GetAnthroValue(kBUTTHGHT);
  MoveSectionLandmark(root, EBoBu, MKPositionCenter, MK3DVertex(0.0, buttockY, 0.0), false, true,
                      false);
  const MK3DVertex buttockCentre = buttock->GetPosition(MKPositionCenter, MKGlobalSpace);
  const double buttockBack = buttockCentre.z - 0.5 * buttock->GetMinorAxis();
  MoveSectionLandmark(
      root, EBoIl, MKPositionCenter,
      MK3DVertex(0.0, floorY + 0.5 * (GetAnthroValue(kWSTHOM) + buttockY - floorY), 0.0), false,
      true, false);
  MoveSectionLandmark(root, EBoIl, MKPositionLowestZ, MK3DVertex(0.0, 0.0, buttockBack), false,
                      false, true);
  buttock->SetEllipsoidDepth(buttockY - crotch->GetPosition(MKPositionCenter, MKGlobalSpace).y);
}
