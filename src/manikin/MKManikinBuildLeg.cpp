// Legs and feet of the geometric build, and the ankle sections joining them.
#include <cmath>
#include <limits>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "manikin/MKBuildConventions.h"
#include "manikin/MKManikin.h"
#include "math/MK3x1Matrix.h"
#include "math/MKMathRoutines.h"

using namespace MKBuildConventions;

namespace {

double Clamped(double value, double low, double high) {
  return value < low ? low : (value > high ? high : value);
}

// Lays an ellipse of `owner` with its second axis (of length `axis`) along
// `child`, a child of `owner` turned about x only, the far end of that axis on
// the child's end. The sign conventions of the turn are settled by looking
// where the lowest point of the ellipse lands.
void LayAlongChild(MKEllipse* ellipse, MKSegment* owner, MKSegment* child, double axis) {
  const double turn = child->GetRotationXInDegrees();
  const double offset = child->GetLength() - 0.5 * axis;
  const MK3x1Matrix end = child->GetEndPosition();
  double bestError = std::numeric_limits<double>::infinity();
  double bestSign = 1.0, bestQuarter = 90.0;
  for (double sign : {1.0, -1.0}) {
    for (double quarter : {90.0, -90.0}) {
      ellipse->SetRotationX(turn + quarter);
      ellipse->SetPosition(0.0, sign * offset * MKMathRoutines::Sin(turn),
                           owner->GetLength() + offset * MKMathRoutines::Cos(turn));
      const MK3DVertex low = ellipse->GetPosition(MKPositionLowestY, MKGlobalSpace);
      const double error =
          std::fabs(low.x - end(0)) + std::fabs(low.y - end(1)) + std::fabs(low.z - end(2));
      if (error < bestError) {
        bestError = error;
        bestSign = sign;
        bestQuarter = quarter;
      }
    }
  }
  // An ellipse turned half a turn more is the same ellipse; the turn is
  // kept within a quarter either side so that the sections built from it
  // (the ankle's second ellipse takes half of it) lean the same way for
  // every body.
  // One exact step, whatever the turn (a loop of half turns would not end
  // for a turn too large for 180 to change it).
  double rotation = std::remainder(turn + bestQuarter, 180.0);
  if (rotation <= -90.0) rotation += 180.0;
  ellipse->SetRotationX(rotation);
  ellipse->SetPosition(0.0, bestSign * offset * MKMathRoutines::Sin(turn),
                       owner->GetLength() + offset * MKMathRoutines::Cos(turn));
}

}  // namespace

void MKManikin::MakeRightInfLimbModel(int sex, double h, double unused, double w) {
  (void)unused;
  (void)w;
  MakeInfLimbModel(sex, h, false);
}

void MKManikin::MakeLeftInfLimbModel(int sex, double h, double unused, double w) {
  (void)unused;
  (void)w;
  MakeInfLimbModel(sex, h, true);
}

void MKManikin::MakeRightFootModel(int sex) {
  MakeFootModel(sex, false);
}

void MKManikin::MakeLeftFootModel(int sex) {
  MakeFootModel(sex, true);
}

void MKManikin::MakeInfLimbModel(int sex, double h, bool left) {
  auto segment = [&](MKShortName right) {
    return body->GetSegment(Side(right, left, kLeftSegment));
  };
  auto ellipse = [&](MKShortName right) { return Side(right, left, kLeftEllipse); };
  const double trochanter = GetAnthroValue(kTROCHHT);
  const double knee = GetAnthroValue(kKNEEHTMP);
  const double malleolus = GetAnthroValue(kLATMALHT);
  const double hip = trochanter + h;

  MKSegment* thigh = segment(RSLeTh);
  const double thighLength = trochanter - knee + h;
  thigh->SetLength(thighLength);
  thigh->SetRotation(0.0, left ? -90.0 : 90.0, 0.0);
  thigh->SetCenterOfGravityPosition(MK3DVertex(0.0, 0.0, 0.433));
  thigh->SetMass(MassDistrib(MKKThigh, sex));
  MKSegment* leg = segment(RSLeLe);
  const double legLength = knee - malleolus;
  leg->SetLength(legLength);
  leg->SetRotation(0.0, 0.0, 0.0);
  leg->SetCenterOfGravityPosition(MK3DVertex(0.0, 0.0, 0.433));
  leg->SetMass(MassDistrib(MKKLeg, sex));

  // Outwards from the midline, for sections whose outer edge is measured.
  const double outwards = left ? 1.0 : -1.0;
  const double iliac = body->GetSegment(Side(RSBoIlp, left, LSBoIlp - RSBoIlp))->GetLength();

  // Thigh: the breadth is a fraction of the circumference, the depth keeps it.
  const double seatBreadth = GetAnthroValue(kHIPBRSIT);
  const double hipSection = 2.0 * (0.5 * seatBreadth - iliac);
  SizeSection(thigh, ellipse(RELeHi), hipSection, 0.55 * GetAnthroValue(kBUTTDPTH),
              0.05 * thighLength, kLateral, kNoShift);
  // At the crotch the thigh is as deep as the seated thigh clearance (the
  // thickness it shows on a seat) and as broad as its circumference leaves.
  // The earlier generation sized the thigh sections from their
  // circumferences alone, centred on the bone.
  const bool earlier = IsEarlierGeneration();
  const double thighCirc = GetAnthroValue(kTHGHCIRC);
  const double crotchMinor =
      earlier ? MKMathRoutines::CircAxe(thighCirc, 0.3 * thighCirc)
              : Clamped(GetAnthroValue(kTHGHCLR), 0.2 * thighCirc, 0.4 * thighCirc);
  const double crotchMajor = MKMathRoutines::CircAxe(thighCirc, crotchMinor);
  const double crotchZ = hip - GetAnthroValue(kCRCHHGHT);
  // The outer edge of the thigh at the crotch is half the hip breadth out.
  const double crotchShift =
      earlier ? 0.0 : 0.5 * GetAnthroValue(kHIPBRTH) - iliac - 0.5 * crotchMajor;
  SizeSection(thigh, ellipse(RELeCr), crotchMajor, crotchMinor, crotchZ, kLateral,
              MK3DVertex(outwards * crotchShift, 0.0, 0.0));
  // Above the knee the thigh's top, seated, is at the seated knee height:
  // the seated knee joint stands at the midpatella height.
  const double lowerCirc = GetAnthroValue(kLOTHCIRC);
  const double lowerMinor =
      earlier ? MKMathRoutines::CircAxe(lowerCirc, 0.3 * lowerCirc)
              : Clamped(2.0 * (GetAnthroValue(kKNEEHTSI) - knee), 0.2 * lowerCirc, 0.4 * lowerCirc);
  const double lowerMajor = MKMathRoutines::CircAxe(lowerCirc, lowerMinor);
  const double lowerZ = thighLength - 0.12 * (GetAnthroValue(kKNEEHTSI) - knee + thighLength) / 2.0;
  SizeSection(thigh, ellipse(RELeMTh), 0.5 * (crotchMajor + lowerMajor),
              0.5 * (crotchMinor + lowerMinor), 0.5 * (crotchZ + lowerZ), kLateral,
              MK3DVertex(0.5 * outwards * crotchShift, 0.0, 0.0));
  SizeSection(thigh, ellipse(RELeTKn), lowerMajor, lowerMinor, lowerZ, kLateral, kNoShift);

  // Lower leg: knee, back of the knee at the popliteal height, calf, ankle.
  const double kneeCirc = GetAnthroValue(kKNEECIRC);
  const double kneeMajor = 0.31 * kneeCirc;
  const double kneeMinor = MKMathRoutines::CircAxe(kneeCirc, kneeMajor);
  // The knee section is drawn at the joint: the midpatella height.
  SizeSection(leg, ellipse(RELeKn), kneeMajor, kneeMinor, 0.0, kLateral, kNoShift);
  const double calfCirc = GetAnthroValue(kCALFCIRC);
  const double calfMajor = 0.3 * calfCirc;
  const double calfMinor = MKMathRoutines::CircAxe(calfCirc, calfMajor);
  const double calfZ = knee - GetAnthroValue(kCALFHGTH);
  SizeSection(leg, ellipse(RELeBKn), 0.5 * (kneeMajor + calfMajor), 0.5 * (kneeMinor + calfMinor),
              knee - GetAnthroValue(kPOPHGHT), kLateral, MK3DVertex(0.0, 0.0, -0.5));
  if (!earlier) {
    // Seated, the knee is as deep from its front to the back of the knee
    // as the two buttock lengths differ; the lower leg hangs as it stands.
    MKEllipse* kneeSection = leg->GetEllipse(ellipse(RELeKn));
    const double jointZ = leg->GetOriginPosition()(2);
    const double kneeFront =
        kneeSection ? kneeSection->GetPosition(MKPositionHighestZ, MKGlobalSpace).z - jointZ : 0.0;
    const double popliteal =
        std::fmax(1.0, GetAnthroValue(kBUTTKLTH) - GetAnthroValue(kBUTTPLTH) - kneeFront);
    MoveSectionLandmark(leg, ellipse(RELeBKn), MKPositionLowestZ,
                        MK3DVertex(0.0, 0.0, jointZ - popliteal), false, false, true);
  }
  // The calf bulges backwards.
  SizeSection(leg, ellipse(RELeCa), calfMajor, calfMinor, calfZ, kLateral,
              MK3DVertex(0.0, 0.0, -0.08 * calfMinor));
  const double ankleCirc = GetAnthroValue(kANKLCIRC);
  const double ankleMajor = 0.3 * ankleCirc;
  SizeSection(leg, ellipse(RELeAn), ankleMajor, MKMathRoutines::CircAxe(ankleCirc, ankleMajor),
              legLength - 0.3 * malleolus, kLateral, kNoShift);
}

void MKManikin::MakeFootModel(int sex, bool left) {
  auto segment = [&](MKShortName right) {
    return body->GetSegment(Side(right, left, kLeftSegment));
  };
  auto ellipse = [&](MKShortName right) { return Side(right, left, kLeftEllipse); };
  const double malleolus = GetAnthroValue(kLATMALHT);
  const double heelBreadth = GetAnthroValue(kHEELBRTH);
  const double ballLength = GetAnthroValue(kBLFTLGTH);
  const double ballCirc = GetAnthroValue(kBLFTCIRC);
  const double ballBreadth = GetAnthroValue(kFTBRHOR);
  const double footLength = GetAnthroValue(kFOOTLGTH);

  MKSegment* ankle = segment(RSFoAn);
  ankle->SetLength(0.2 * malleolus);
  ankle->SetRotation(0.0, 0.0, 0.0);
  MKSegment* heel = segment(RSFoHe);
  const double e = 0.65 * MKMathRoutines::CircAxe(GetAnthroValue(kHLAKCIRC), heelBreadth);
  heel->SetLength(e);
  heel->SetRotation(MKMathRoutines::ACos(0.8 * malleolus / e), 0.0, 0.0);
  MKSegment* sole = segment(RSFoSo);
  sole->SetLength(0.8 * malleolus);
  sole->SetRotation(0.0, 0.0, 0.0);
  const double ballMinor = MKMathRoutines::CircAxe(ballCirc, ballBreadth);
  const double a =
      ballLength - MKMathRoutines::Sin(heel->GetRotationXInDegrees()) * heel->GetLength();
  const double b = sole->GetLength() - 0.5 * ballMinor;
  MKSegment* tarsus = segment(RSFoTa);
  tarsus->SetLength(MKMathRoutines::Length(a, b));
  tarsus->SetRotation(-MKMathRoutines::ATan(a / b), 0.0, 0.0);
  MKSegment* toes = segment(RSFoTo);
  toes->SetLength(footLength - ballLength);
  toes->SetRotation(-90.0 - tarsus->GetRotationXInDegrees(), 0.0, 0.0);
  const double L = ankle->GetLength();
  ankle->SetCenterOfGravityPosition(MK3DVertex(0.0, 0.43 * footLength / L, 0.34 * malleolus / L));
  ankle->SetMass(MassDistrib(MKKFoot, sex));

  // Heel-ankle section: the heel breadth across, the other axis keeps the
  // diagonal circumference and runs along the heel segment, from the back of
  // the heel (where the heel segment ends, so that the foot lengths are
  // measured from there) up over the instep.
  MKEllipse* heelAnkle = ankle->GetEllipse(ellipse(REFoHAn));
  if (heelAnkle) {
    // Its breadth serves both the heel breadth and the bimalleolar breadth.
    const double breadth = 0.5 * (heelBreadth + GetAnthroValue(kBIMBDTH));
    const double diagonal = MKMathRoutines::CircAxe(GetAnthroValue(kHLAKCIRC), breadth);
    heelAnkle->SetAxisValues(breadth, diagonal);
    heelAnkle->SetRotationY(0.0);
    heelAnkle->SetRotationZ(0.0);
    LayAlongChild(heelAnkle, ankle, heel, diagonal);
  }
  // Mid-foot and ball: the breadth across, the depth from the ball's
  // circumference; the ball rests on the floor.
  SizeSection(tarsus, ellipse(REFoTa), 0.85 * ballBreadth,
              MKMathRoutines::CircAxe(1.1 * ballCirc, 0.85 * ballBreadth),
              0.6 * tarsus->GetLength(), kLateral, MK3DVertex(0.0, 0.0, 0.0));
  SizeSection(toes, ellipse(REFoBa), ballBreadth, ballMinor, 0.0, kLateral, kNoShift);
  const double toeMajor = 0.85 * ballBreadth;
  SizeSection(toes, ellipse(REFoTo), toeMajor, 0.7 * ballMinor, toes->GetLength() - 0.5 * toeMajor,
              kLateral, MK3DVertex(0.0, -0.15 * ballMinor, 0.0));
}

void MKManikin::AdjustAnkleEllipses() {
  MKEllipse* leftAnkle = body->GetEllipse(LELeAn);
  const double y = leftAnkle ? leftAnkle->GetPositionY() : 0.0;
  for (bool left : {false, true}) {
    MKEllipse* ankle = body->GetEllipse(Side(RELeAn, left, kLeftEllipse));
    MKEllipse* second = body->GetEllipse(Side(RELeAn2, left, kLeftEllipse));
    MKEllipse* tarsus = body->GetEllipse(Side(REFoTa, left, kLeftEllipse));
    MKEllipse* heelAnkle = body->GetEllipse(Side(REFoHAn, left, kLeftEllipse));
    MKSegment* leg = body->GetSegment(Side(RSLeLe, left, kLeftSegment));
    if (!ankle || !second || !tarsus || !heelAnkle || !leg) continue;
    const MK3DVertex p = ankle->GetPosition(MKPositionLowestZ, MKGlobalSpace);
    const MK3DVertex q = tarsus->GetPosition(MKPositionHighestY, MKGlobalSpace);
    const double dz = q.z - p.z;
    const double a = 0.5 * heelAnkle->GetRotationXInDegrees();
    second->SetAxisValues(ankle->GetMajorAxis(), dz / MKMathRoutines::Cos(a));
    second->SetRotationX(a);
    second->SetEllipsoidDepth(ankle->GetMajorAxis());
    second->SetPosition(0.0, 0.5 * y, leg->GetLength());
  }
}
