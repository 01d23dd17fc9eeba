// Trunk of the geometric build: pelvis, spine, thorax and the trunk ellipses.
#include <cmath>

#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "math/MKMathRoutines.h"

namespace {

constexpr MKShortName kChain[] = {SBoL5, SBoL4, SBoL3, SBoL2, SBoL1, SBoT12, SBoT11, SBoT10, SBoT9,
                                  SBoT8, SBoT7, SBoT6, SBoT5, SBoT4, SBoT3,  SBoT2,  SBoT1};

// How far the back at the waist stands in front of the wall that the
// buttocks and the shoulder blades touch, centimetres.
constexpr double kLumbarCurve = 2.5;

void Place(MKBody& body, MKShortName name, double major, double minor, double y, double z) {
  MKSegment* root = body.GetRoot();
  MKEllipse* ellipse = root ? root->GetEllipse(name) : nullptr;
  if (!ellipse) return;
  ellipse->SetAxisValues(major, minor);
  ellipse->SetPosition(0.0, y, z);
}

}  // namespace

void MKManikin::MakeTrunkModel(int sex, double h, double unused, double d, double w) {
  MakeTrunk(sex, h, unused, d, w, false);
}

void MKManikin::MakeOldTrunkModel(int sex, double h, double unused, double d, double w) {
  MakeTrunk(sex, h, unused, d, w, true);
}

void MKManikin::MakeTrunk(int sex, double h, double unused, double d, double w, bool earlier) {
  MKBody& b = *body;
  // The earlier generation had no bispinous breadth: its pelvis is sized
  // from the hip half-span alone.
  const double bispinous = earlier ? w / 0.45 : GetAnthroValue(kBISBDTH);
  const double trochanter = GetAnthroValue(kTROCHHT);
  const double sleeve = GetAnthroValue(kSLOUTSM);
  const double forearm = GetAnthroValue(kRASTL);
  const double chestDepth = GetAnthroValue(kCHSTDPTH);

  MKSegment* pelvis = b.GetSegment(SBoPh);
  pelvis->SetLength(0.0);
  pelvis->SetRotation(-90.0, 0.0, 180.0);
  // The sacrum rises from the hip joints to the base of L5.
  MKSegment* sacrum = b.GetSegment(SBoTIp);
  sacrum->SetLength(w);
  sacrum->SetRotation(0.0, 0.0, 0.0);
  const double iliac =
      0.5 * 0.372 * ((trochanter - GetAnthroValue(kLATFEMEP)) + h + unused) / 0.914;
  b.GetSegment(RSBoIlp)->SetLength(iliac);
  b.GetSegment(RSBoIlp)->SetRotation(180.0, 90.0, 180.0);
  b.GetSegment(LSBoIlp)->SetLength(iliac);
  b.GetSegment(LSBoIlp)->SetRotation(180.0, -90.0, 180.0);

  if (earlier)
    b.BuildOldSpineShape(h, w, GetAnthroValue(kCERVHGTH), trochanter);
  else
    b.BuildSpineShape(h, 0.45 * bispinous, GetAnthroValue(kCERVHGTH), trochanter);

  const double t = ChestOffset(sex, bispinous);
  // The thorax runs from the top of T4 down to the level of the shoulder
  // joints (v below) and forward to their depth (u in front). The spine's
  // offset is taken front to back, like spine dz: with the depth of T1's
  // end over L5's origin subtracted, dz - H is the depth of T4's end under
  // L5's origin, the reference of the wall-to-shoulder terms.
  const double offset =
      b.GetSegment(SBoT1)->GetEndPosition()(2) - b.GetSegment(SBoL5)->GetOriginPosition()(2);
  const double u = GetAnthroValue(kWRWALLLN) - sleeve + 0.1 * (sleeve - forearm) -
                   0.5 * chestDepth + t + b.GetSpineDz() - offset;
  const double v = d + 0.1 * (sleeve - forearm) - b.GetSpineDy();
  // The thorax's own ancestors in the chain, L5 to T4.
  double chainRotation = 0.0;
  for (MKShortName name : kChain) {
    if (name == SBoT3) break;
    chainRotation += b.GetSegment(name)->GetRotationXInDegrees();
  }
  const double alpha = MKMathRoutines::ATan(u / v);
  MKSegment* thorax = b.GetSegment(SBoTh);
  thorax->SetLength(MKMathRoutines::Length(u, v));
  thorax->SetRotation(180.0 - chainRotation + alpha - sacrum->GetRotationXInDegrees(), 0.0, 0.0);
  const double sternal = 0.5 * 5.2 * (sex == 1 ? 1.0 : 0.92);
  b.GetSegment(RSBoTst)->SetLength(sternal);
  b.GetSegment(RSBoTst)->SetRotation(0.0, 90.0, 180.0 - alpha);
  b.GetSegment(LSBoTst)->SetLength(sternal);
  b.GetSegment(LSBoTst)->SetRotation(0.0, -90.0, alpha - 180.0);

  // The trunk's own mass sits on the lumbar spine, about the height of the navel.
  MKSegment* lumbar = b.GetSegment(SBoL3);
  lumbar->SetMass(MassDistrib(MKKTrunk, sex));
  lumbar->SetCenterOfGravityPosition(MK3DVertex(0.5, 0.5, 0.5));
}

double MKManikin::ChestOffset(int sex, double bispinous) const {
  const double chestDepth = GetAnthroValue(kCHSTDPTH);
  return sex == 1 ? 0.034 * 1.23047 * bispinous
                  : 0.35 * (chestDepth -
                            (GetAnthroValue(kCHSTCB) / GetAnthroValue(kCHSTCIRC)) * chestDepth) +
                        0.034 * bispinous;
}

void MKManikin::AdjustTrunkEllipses(int sex, double h, double w) {
  MKBody& b = *body;
  // Heights over the hip joints, in the pelvis frame (x right, y front, z up).
  const double hip = GetAnthroValue(kTROCHHT) + h;
  const double crotch = GetAnthroValue(kCRCHHGHT) - hip;
  const double buttock = GetAnthroValue(kBUTTHGHT) - hip;
  const double waist = GetAnthroValue(kWSTHOM) - GetAnthroValue(kTROCHHT) - h;
  const double chest = GetAnthroValue(kCHSTHGHT) - hip;
  const double axilla = GetAnthroValue(kAXHGHT) - hip;
  const double acromion = GetAnthroValue(kACRHGHT) - hip;
  const double cervicale = GetAnthroValue(kCERVHGTH) - hip;

  const bool sitting = anthro && anthro->GetConstructionType() == MKPostureSitting;
  const double hipBreadth = GetAnthroValue(kHIPBRTH);
  const double waistBreadth =
      GetAnthroValue(kWSTBRTH) + (sitting ? 0.65 * (GetAnthroValue(kHIPBRSIT) - hipBreadth) : 0.0);
  const double waistDepth = sitting ? GetAnthroValue(kABEXDPST) : GetAnthroValue(kWSTDEPTH);
  const double buttockDepth = GetAnthroValue(kBUTTDPTH);
  const double chestDepth = GetAnthroValue(kCHSTDPTH);
  const double neck = GetAnthroValue(kNECKCIRC);

  // The back of the trunk is the wall the manikin stands against: the
  // thorax was built with the chest's mid-depth over the base of L5 (moved
  // by the chest offset), the wall-to-wrist length then setting the
  // shoulders in front of it. Section centres move forward with their depth.
  // The pelvis frame's front is world z.
  const double l5 = b.GetSegment(SBoL5)->GetOriginPosition()(2);
  const double wall = l5 + ChestOffset(sex, w / 0.45) - 0.5 * GetAnthroValue(kCHSTDPTH);
  auto front = [wall](double depth) { return 0.5 * depth + wall; };
  Place(b, EBoCr, 0.6 * hipBreadth, 0.7 * buttockDepth, front(0.7 * buttockDepth), crotch);
  // The buttocks are squarer than an ellipse: an ellipse of the hip breadth
  // falls short of their girth, so the section is widened.
  const double buttockBreadth = 1.095 * hipBreadth;
  Place(b, EBoBu, buttockBreadth, buttockDepth, front(buttockDepth), buttock);
  if (MKEllipse* bu = b.GetRoot()->GetEllipse(EBoBu)) bu->SetEllipsoidDepth(buttock - crotch);
  const double iliumDepth = 0.5 * (buttockDepth + waistDepth);
  // Between the buttocks and the chest the back curves in from the wall
  // (the lumbar curve), most at the waist; the belly's front follows.
  Place(b, EBoIl, 0.5 * (buttockBreadth + waistBreadth), iliumDepth,
        front(iliumDepth) + 0.2 * kLumbarCurve, buttock + 0.45 * (waist - buttock));
  // The navel section carries the abdomen's forward extension.
  const double navelDepth = GetAnthroValue(kABEXDPST);
  Place(b, EBoNi, 0.5 * (0.5 * (hipBreadth + waistBreadth) + waistBreadth), navelDepth,
        front(navelDepth) + 0.4 * kLumbarCurve, buttock + 0.75 * (waist - buttock));
  // The waist is tilted front down: it sits higher at the back, above the
  // lumbar curve, which is deeper in women.
  const double waistTilt = sex == 1 ? -6.8 : -8.5;
  Place(b, EBoOm, waistBreadth, waistDepth, front(waistDepth) + kLumbarCurve, waist);
  if (MKEllipse* om = b.GetRoot()->GetEllipse(EBoOm)) om->SetRotationX(waistTilt);

  // Chest sections: the depth is a fraction of the chest depth or the
  // breadth a fraction of the girth, and the other axis keeps the measured
  // circumference. At the bust the ellipse cannot hold breadth, depth and
  // girth together; its depth shares the excess with its breadth, and half
  // that excess lies behind the wall (the back rounds over the shoulder
  // blades), so that the chest stands out no further than half of it.
  // Under the bust the section is the ribcage: as broad as the chest, as
  // deep as the under-bust girth then leaves, so that a woman's bust stands
  // out by what her two girths differ; a man's ribcage, whose girth is
  // close to his chest's, keeps about the chest's depth, so that his chest
  // is no ridge but the top of a flat front.
  const double chestBreadth = GetAnthroValue(kCHSTBDTH);
  const double underBust = GetAnthroValue(kCHSTCB);
  const double ribcageDepth = MKMathRoutines::CircAxe(underBust, chestBreadth);
  const double belowBustDepth =
      std::isfinite(ribcageDepth) ? std::fmin(ribcageDepth, 1.1 * chestDepth) : 1.1 * chestDepth;
  const double chestMinor = 1.11 * chestDepth;
  const double behind = 0.5 * (chestMinor - chestDepth);
  Place(b, EBoBb, MKMathRoutines::CircAxe(underBust, belowBustDepth), belowBustDepth,
        front(belowBustDepth) - behind, chest - 0.35 * (chest - waist));
  Place(b, EBoCh, MKMathRoutines::CircAxe(GetAnthroValue(kCHSTCIRC), chestMinor), chestMinor,
        front(chestMinor) - behind, chest);
  // At the armpits the section spans the back between the scye folds.
  const double scyeCircumference = GetAnthroValue(kCHSTCISC);
  const double scyeMajor = 0.39 * scyeCircumference;
  const double scyeMinor = MKMathRoutines::CircAxe(scyeCircumference, scyeMajor);
  Place(b, EBoSc, scyeMajor, scyeMinor, front(scyeMinor), axilla);
  // Between the armpits and the acromia the trunk carries the shoulders
  // out almost to the acromia, so that it slopes from them to the neck.
  Place(b, EBoTh, 0.9 * GetAnthroValue(kBCRMBDTH), 0.8 * chestDepth, front(0.8 * chestDepth),
        0.5 * (axilla + acromion));
  // Neck base: a third of the neck circumference deep, the girth that of
  // the neck widened at its base, more so for women, just under the
  // cervicale.
  const double neckMinor = 0.3 * neck;
  const double neckBase = (sex == 1 ? 1.085 : 1.11) * neck;
  Place(b, EBoNe, MKMathRoutines::CircAxe(neckBase, neckMinor), neckMinor, -1.0, cervicale - 1.05);
}
