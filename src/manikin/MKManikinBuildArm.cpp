// Arms and hands of the geometric build.
#include <cmath>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "manikin/MKBuildConventions.h"
#include "manikin/MKManikin.h"
#include "math/MKMathRoutines.h"

namespace {

using namespace MKBuildConventions;

// One finger: how far from the wrist its knuckle and its tip lie (fractions
// of the hand length, the tip of the index and ring from the wrist-to-index
// length), and where it sits across the palm (fraction of the hand breadth,
// positive towards the thumb). The outer knuckles' surfaces span the hand
// breadth: 0.795 between their axes plus half of each one's thickness.
struct Finger {
  MKShortName metacarpal;
  MKShortName phalanges[3];
  MKShortName sections[4];
  double knuckle;
  double across;
};

constexpr Finger kFingers[] = {
    {RSHaInM, {RSHaIn1, RSHaIn2, RSHaIn3}, {REHaIn1, REHaIn2, REHaIn3, REHaIn4}, 0.545, 0.3975},
    {RSHaMiM, {RSHaMi1, RSHaMi2, RSHaMi3}, {REHaMi1, REHaMi2, REHaMi3, REHaMi4}, 0.56, 0.1325},
    {RSHaAnM, {RSHaAn1, RSHaAn2, RSHaAn3}, {REHaAn1, REHaAn2, REHaAn3, REHaAn4}, 0.54, -0.1325},
    {RSHaAuM, {RSHaAu1, RSHaAu2, RSHaAu3}, {REHaAu1, REHaAu2, REHaAu3, REHaAu4}, 0.5, -0.3975},
};
// How far the arm hangs out from the body at rest, degrees.
constexpr double kArmRestAbduction = 10.0;
// Proximal, middle and distal phalanx, as parts of a finger.
constexpr double kPhalanx[3] = {0.46, 0.3, 0.24};

}  // namespace

void MKManikin::MakeRightSupLimbModel(int sex) {
  MakeSupLimbModel(sex, false);
}

void MKManikin::MakeLeftSupLimbModel(int sex) {
  MakeSupLimbModel(sex, true);
}

void MKManikin::MakeRightHandModel(int sex) {
  MakeHandModel(sex, false);
}

void MKManikin::MakeLeftHandModel(int sex) {
  MakeHandModel(sex, true);
}

void MKManikin::MakeSupLimbModel(int sex, bool left) {
  auto segment = [&](MKShortName right) {
    return body->GetSegment(Side(right, left, kLeftSegment));
  };
  auto ellipse = [&](MKShortName right) { return Side(right, left, kLeftEllipse); };
  const double sleeve = GetAnthroValue(kSLOUTSM);
  const double forearmLength = GetAnthroValue(kRASTL);
  const double biacromial = GetAnthroValue(kBCRMBDTH);
  const double outwards = left ? 1.0 : -1.0;
  // The earlier generation hung the arm from the acromion itself: no span
  // term in the clavicle, the whole sleeve above the forearm in the upper
  // arm, and sections centred on the bones.
  const bool earlier = IsEarlierGeneration();

  // The clavicle reaches straight out sideways to the shoulder joint: the
  // thorax already set the joint's height and depth, and the arm then rests
  // at (0, -90, 0) under it, as the arm postures expect.
  MKSegment* clavicle = segment(RSArCl);
  const double sternal = body->GetSegment(left ? LSBoTst : RSBoTst)->GetLength();
  const double clavicleLength =
      earlier
          ? 0.5 * biacromial - sternal
          : 0.5 * biacromial - sternal +
                0.5 * (GetAnthroValue(kSPAN) - biacromial -
                       2.0 * (sleeve + GetAnthroValue(kHANDLGTH) - 0.1 * (sleeve - forearmLength)));
  AimSegment(clavicle, MK3DVertex(outwards, 0.0, 0.0), kFront, clavicleLength);
  MKSegment* scapula = segment(RSArSc);
  scapula->SetLength(0.0);
  scapula->SetRotation(0.0, 0.0, 0.0);
  MKSegment* arm = segment(RSArAr);
  const double armLength = (earlier ? 1.0 : 0.9) * (sleeve - forearmLength);
  // At rest the arm hangs ten degrees out from the body; the arm postures
  // allow for it (arms out adds 80 degrees, arms forward takes it back).
  const double rest = MKMathRoutines::Sin(kArmRestAbduction);
  AimSegment(arm, MK3DVertex(outwards * rest, -MKMathRoutines::Cos(kArmRestAbduction), 0.0), kFront,
             armLength);
  arm->SetMass(MassDistrib(MKKUpperArm, sex));
  arm->SetCenterOfGravityPosition(MK3DVertex(0.0, 0.0, 0.436));
  MKSegment* forearm = segment(RSArFAr);
  forearm->SetLength(forearmLength);
  forearm->SetRotation(0.0, 0.0, 0.0);
  forearm->SetMass(MassDistrib(MKKForearm, sex));
  forearm->SetCenterOfGravityPosition(MK3DVertex(0.0, 0.0, 0.43));

  // Shoulder: from the neck side out to the acromion, a quarter of the
  // neck's girth deep at the neck (a little less than the neck, so that it
  // starts inside it) and the armhole's size at the joint.
  const double neck = GetAnthroValue(kNECKCIRC);
  const double scye = GetAnthroValue(kSCYECIRC);
  const double scyeMajor = 0.3 * scye;
  const double scyeMinor = MKMathRoutines::CircAxe(scye, scyeMajor);
  SizeSection(clavicle, ellipse(REArTh), (earlier ? 0.3 : 0.25) * neck,
              0.35 * GetAnthroValue(kCHSTDPTH), 0.1 * clavicleLength, kFront,
              MK3DVertex(0.0, -0.05 * neck, 0.0));
  SizeSection(clavicle, ellipse(REArAca), 0.8 * scyeMajor, 0.8 * scyeMinor, 0.8 * clavicleLength,
              kFront, MK3DVertex(0.0, -1.0, 0.0));
  SizeSection(clavicle, ellipse(REArMSh), 0.5 * (0.3 * neck + scyeMinor),
              0.35 * GetAnthroValue(kCHSTDPTH), 0.5 * clavicleLength, kFront,
              MK3DVertex(0.0, -0.5, 0.0));
  SizeSection(clavicle, ellipse(REArAc), scyeMinor, scyeMajor, clavicleLength, kFront,
              MK3DVertex(0.0, -0.5 * scyeMajor, 0.0));

  // Upper arm: armpit, biceps, elbow; forearm: its largest circumference.
  const double axillaCirc = GetAnthroValue(kAXARCIRC);
  const double axillaMajor = 0.3 * axillaCirc;
  SizeSection(arm, ellipse(REArSc), axillaMajor, MKMathRoutines::CircAxe(axillaCirc, axillaMajor),
              0.12 * armLength, kLateral, kNoShift);
  const double bicepsCirc = GetAnthroValue(kBICIRCFL);
  const double bicepsMajor = 0.3 * bicepsCirc;
  SizeSection(arm, ellipse(REArBi), bicepsMajor, MKMathRoutines::CircAxe(bicepsCirc, bicepsMajor),
              0.5 * armLength, kLateral, kNoShift);
  const double elbowCirc = GetAnthroValue(kELBCIRC);
  const double elbowMajor = 0.31 * elbowCirc;
  SizeSection(arm, ellipse(REArEl), elbowMajor, MKMathRoutines::CircAxe(elbowCirc, elbowMajor),
              armLength, kLateral, kNoShift);
  const double forearmCirc = GetAnthroValue(kFCIRCFL);
  const double forearmMajor = 0.3367 * forearmCirc;
  SizeSection(forearm, ellipse(REArFAr), forearmMajor,
              MKMathRoutines::CircAxe(forearmCirc, forearmMajor), 0.3 * forearmLength, kLateral,
              kNoShift);
  if (earlier) return;

  // The acromion tops the shoulder at its standing height, half the
  // biacromial breadth out; the mid-shoulder rises above it by the seated
  // difference of the two heights. The floor lies the cervicale height
  // below the top of the spine.
  const double floorY = body->GetSegment(SBoT1)->GetEndPosition()(1) - GetAnthroValue(kCERVHGTH);
  const double acromionY = floorY + GetAnthroValue(kACRHGHT);
  MoveSectionLandmark(clavicle, ellipse(REArAc), MKPositionHighestY,
                      MK3DVertex(0.5 * outwards * biacromial, acromionY, 0.0), true, true, false);
  const double midShoulderY = acromionY + GetAnthroValue(kMSHTSIT) - GetAnthroValue(kACRHTST);
  MoveSectionLandmark(clavicle, ellipse(REArMSh), MKPositionHighestY,
                      MK3DVertex(0.0, midShoulderY, 0.0), false, true, false);
  // The shoulder's top falls from the neck to the mid-shoulder: the inner
  // section tops out halfway up from there to the cervicale, inside the
  // neck, so that the shoulder leaves the neck without a step.
  const double cervicaleY = body->GetSegment(SBoT1)->GetEndPosition()(1);
  MoveSectionLandmark(clavicle, ellipse(REArTh), MKPositionHighestY,
                      MK3DVertex(0.0, 0.5 * (midShoulderY + cervicaleY), 0.0), false, true, false);
  // The deltoid bulges out to half the deltoid breadth.
  MoveSectionLandmark(arm, ellipse(REArSc), left ? MKPositionHighestX : MKPositionLowestX,
                      MK3DVertex(0.5 * outwards * GetAnthroValue(kBIDLBDTH), 0.0, 0.0), true, false,
                      false);
  // The point of the elbow lies behind the joint by what the forearm-hand
  // length adds to the forearm and the hand.
  const double olecranon =
      std::fmax(0.5, GetAnthroValue(kFORHDLG) - forearmLength - GetAnthroValue(kHANDLGTH));
  MoveSectionLandmark(arm, ellipse(REArEl), MKPositionLowestZ,
                      MK3DVertex(0.0, 0.0, arm->GetEndPosition()(2) - olecranon), false, false,
                      true);
}

void MKManikin::MakeHandModel(int sex, bool left) {
  auto segment = [&](MKShortName right) {
    return body->GetSegment(Side(right, left, kLeftSegment));
  };
  auto ellipse = [&](MKShortName right) { return Side(right, left, kLeftEllipse); };
  const double handLength = GetAnthroValue(kHANDLGTH);
  const double breadth = GetAnthroValue(kHANDBRTH);
  const double grip = GetAnthroValue(kWRCTRGRL);
  const double wristCirc = GetAnthroValue(kWRISCIRC);

  MKSegment* carpus = segment(RSHaCPr);
  carpus->SetLength(grip);
  carpus->SetRotation(0.0, 0.0, 0.0);
  carpus->SetMass(MassDistrib(MKKHand, sex));
  carpus->SetCenterOfGravityPosition(MK3DVertex(0.0, 0.0, 0.5));

  // The build runs in the reference posture, palms forward and thumbs out:
  // the breadth of the hand runs across the body.
  const MK3DVertex thumbSide(left ? 1.0 : -1.0, 0.0, 0.0);
  for (const Finger& finger : kFingers) {
    const double tipFromWrist =
        finger.metacarpal == RSHaInM || finger.metacarpal == RSHaAnM ? GetAnthroValue(kWRINFNGL)
        : finger.metacarpal == RSHaMiM                               ? handLength
                                       : GetAnthroValue(kWRINFNGL) - 0.12 * handLength;
    const double knuckle = finger.knuckle * handLength;
    const double across = finger.across * breadth;
    MKSegment* metacarpal = segment(finger.metacarpal);
    AimSegment(metacarpal, MK3DVertex(thumbSide.x * across, -(knuckle - grip), 0.0), kFront,
               MKMathRoutines::Length(knuckle - grip, across));
    const double fingerLength = tipFromWrist - knuckle;
    const double thickness = (0.22 - 0.03 * (finger.metacarpal == RSHaAuM)) * breadth;
    for (int k = 0; k < 3; ++k) {
      MKSegment* phalanx = segment(finger.phalanges[k]);
      AimSegment(phalanx, kDown, kFront, kPhalanx[k] * fingerLength);
      const double taper = 1.0 - 0.1 * k;
      SizeSection(phalanx, ellipse(finger.sections[k]), taper * thickness, 0.85 * taper * thickness,
                  0.0, thumbSide, kNoShift);
      if (k == 2)
        SizeSection(phalanx, ellipse(finger.sections[3]), 0.8 * thickness, 0.65 * thickness,
                    phalanx->GetLength() - 0.4 * thickness, thumbSide, kNoShift);
    }
  }

  // Thumb: its metacarpal climbs back from the grip to the base of the thumb
  // beside the wrist; the phalanges run down along the index to the tip.
  const double thumbForward = 0.5 * 0.2361 * wristCirc;
  const double thumbUp = 0.757 * grip;
  AimSegment(segment(RSHaThM), MK3DVertex(thumbSide.x * thumbForward, thumbUp, 0.0), kFront,
             MKMathRoutines::Length(thumbForward, thumbUp));
  const double thumbReach = GetAnthroValue(kWRTHLGTH) - (grip - thumbUp);
  const double thumbWidth = GetAnthroValue(kTHUMBBR);
  const double thumbParts[3] = {0.42, 0.31, 0.27};
  const MKShortName thumb[3] = {RSHaTh1, RSHaTh2, RSHaTh3};
  const MKShortName thumbSections[4] = {REHaTh0, REHaTh1, REHaTh2, REHaTh3};
  for (int k = 0; k < 3; ++k) {
    MKSegment* phalanx = segment(thumb[k]);
    AimSegment(phalanx, MK3DVertex(0.18 * thumbSide.x, -1.0, 0.0), kFront,
               thumbParts[k] * thumbReach / 0.984);
    // The middle section carries the thumb breadth.
    const double size = (k == 0 ? 1.3 : (k == 1 ? 1.05 : 1.02)) * thumbWidth;
    SizeSection(phalanx, ellipse(thumbSections[k]), size, 0.85 * size, 0.0, thumbSide, kNoShift);
    if (k == 2)
      SizeSection(phalanx, ellipse(thumbSections[3]), 0.8 * thumbWidth, 0.65 * thumbWidth,
                  phalanx->GetLength() - 0.4 * thumbWidth, thumbSide, kNoShift);
  }

  // Wrist, palm and knuckles: the breadth across, the depth from the circumference.
  const double wristMajor = 0.36 * wristCirc;
  SizeSection(carpus, ellipse(REArWr), wristMajor, MKMathRoutines::CircAxe(wristCirc, wristMajor),
              0.0, thumbSide, kNoShift);
  const double handCirc = GetAnthroValue(kHANDCIRC);
  // Round enough that the circumference rule holds for the true perimeter.
  const double palmMajor = 0.88 * breadth;
  const double palmMinor = MKMathRoutines::CircAxe(handCirc, palmMajor);
  SizeSection(carpus, ellipse(REHaPa), palmMajor, palmMinor, 0.75 * grip, thumbSide, kNoShift);
  SizeSection(carpus, ellipse(REHaPa1), 0.9 * breadth, 0.8 * palmMinor, grip, thumbSide, kNoShift);
}
