// Head and neck of the geometric build.
#include <cmath>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "math/MKMathRoutines.h"

namespace {

constexpr double kDegrees = 180.0 / 3.14159265358979323846;

// A head landmark segment hanging from the head reference (the end of
// SHeCg): `forward` in front of it and `up` above it (negative: below), in
// the midsagittal plane, then `lateral` to the right (negative: left).
void Landmark(MKSegment* segment, double forward, double up, double lateral) {
  if (!segment) return;
  const double sagittal = MKMathRoutines::Length(forward, up);
  segment->SetLength(MKMathRoutines::Length(sagittal, lateral));
  // Straight down (the tragion) has no forward part: the quadrant decides.
  const double pitch = sagittal != 0.0 ? std::atan2(up, forward) * kDegrees - 90.0 : 0.0;
  const double yaw = sagittal != 0.0 ? MKMathRoutines::ATan(lateral / sagittal) : 0.0;
  segment->SetRotation(pitch, yaw, 0.0);
}

void Place(MKSegment* segment, MKShortName name, double major, double minor, double y, double z) {
  MKEllipse* ellipse = segment ? segment->GetEllipse(name) : nullptr;
  if (!ellipse) return;
  ellipse->SetAxisValues(major, minor);
  ellipse->SetPosition(0.0, y, z);
}

}  // namespace

void MKManikin::MakeHeadModel(int sex, double h, double w) {
  MKBody& b = *body;
  const double tragionTop = GetAnthroValue(kTRAGT);
  const double tragionBack = GetAnthroValue(kTRAGB);
  const double orbitale = GetAnthroValue(kINFORBB);

  const double p = 0.034 * GetAnthroValue(kBISBDTH) - 2.5;
  const double q = (GetAnthroValue(kSTATURE) - tragionTop - GetAnthroValue(kCERVHGTH)) -
                   0.31 * (orbitale - tragionBack);
  const double lean = MKMathRoutines::ATan(p / q);
  MKSegment* neck = b.GetSegment(SHeNe);
  neck->SetLength(MKMathRoutines::Length(p, q));
  neck->SetRotation(-(b.GetSpineAngle() + b.GetSegment(SBoTIp)->GetRotationXInDegrees() - lean),
                    0.0, 0.0);
  neck->SetMass(MassDistrib(MKKNeck, sex));
  neck->SetCenterOfGravityPosition(MK3DVertex(0.0, 0.0, 0.5));

  MKSegment* head = b.GetSegment(SHeCg);
  head->SetLength(0.31 * (orbitale - tragionBack) + 0.17 * tragionTop);
  head->SetRotation(-lean, 0.0, 0.0);
  head->SetMass(MassDistrib(MKKHead, sex));
  // The head's centre of gravity lies a little above and in front of the tragion.
  head->SetCenterOfGravityPosition(MK3DVertex(0.0, 0.0, 1.0));

  MKSegment* top = b.GetSegment(SHeTo);
  const double topLength = 0.83 * tragionTop;
  top->SetLength(topLength);
  top->SetRotation(0.0, 0.0, 0.0);
  b.GetSegment(SHeBa)->SetLength(tragionBack);
  b.GetSegment(SHeBa)->SetRotation(90.0, 0.0, 0.0);

  {
    const double x = GetAnthroValue(kPRONASX) - tragionBack;
    const double z = GetAnthroValue(kPRONASZ) - topLength;
    b.GetSegment(SHeNo)->SetLength(MKMathRoutines::Length(x, z));
    b.GetSegment(SHeNo)->SetRotation(-90.0 - MKMathRoutines::ATan(z / x), 0.0, 0.0);
  }
  {
    const double x = GetAnthroValue(kPMENTONX) - tragionBack;
    const double z = topLength - GetAnthroValue(kPMENTONZ);
    b.GetSegment(SHeMe)->SetLength(MKMathRoutines::Length(x, z));
    b.GetSegment(SHeMe)->SetRotation(MKMathRoutines::ATan(z / x) - 90.0, 0.0, 0.0);
  }
  // Forehead: at the infraorbitale's depth and the ectocanthus' height; the
  // pupils half the interpupillary breadth aside, just behind the orbit rim.
  const double orbitForward = orbitale - tragionBack;
  const double eyeUp = topLength - GetAnthroValue(kECTORBT);
  Landmark(b.GetSegment(SHeFr), orbitForward, eyeUp, 0.0);
  const double pupils = 0.5 * GetAnthroValue(kINPUPBTH);
  Landmark(b.GetSegment(RSHeEye), orbitForward - 0.8, eyeUp, pupils);
  Landmark(b.GetSegment(LSHeEye), orbitForward - 0.8, eyeUp, -pupils);
  // The tragions lie at the reference's depth, below it by the part of the
  // tragion-to-top height that SHeTo does not cover.
  const double tragi = 0.5 * GetAnthroValue(kBDRBDTHH);
  const double tragionDown = tragionTop - topLength;
  Landmark(b.GetSegment(RSHeTrg), 0.0, -tragionDown, tragi);
  Landmark(b.GetSegment(LSHeTrg), 0.0, -tragionDown, -tragi);

  // Head sections on SHeTo (x right, y front, z up from the reference):
  // the breadth is a fraction of a head or face breadth, the depth of a
  // landmark's depth from the back of the head, each section's front end
  // lies on its landmark and its z at the landmark's height. The eye-level
  // section spans the whole sellion depth: its back is the back of the head,
  // from which the facial depths are taken.
  const double headBreadth = GetAnthroValue(kHEADBRTH);
  const double bigonial = GetAnthroValue(kBIGBRH);
  const double glabella = GetAnthroValue(kGLABX);
  const double glabellaZ = topLength - GetAnthroValue(kGLABZ);
  // Glabella depth and head length are taken on the same section.
  const double headLength = GetAnthroValue(kHEADLGTH);
  struct Section {
    MKShortName name;
    double major, minor, frontX, z;
  };
  const Section sections[] = {
      {EHeGl, 0.995 * headBreadth, 0.5 * (glabella + headLength), glabella, glabellaZ},
      {EHeEy, 0.962 * headBreadth, GetAnthroValue(kSELLIONX), GetAnthroValue(kSELLIONX),
       topLength - GetAnthroValue(kSELLIONZ)},
      {EHeNo, GetAnthroValue(kBIZYBRH), 0.903 * GetAnthroValue(kPRONASX), GetAnthroValue(kPRONASX),
       topLength - GetAnthroValue(kPRONASZ)},
      {EHeSt, bigonial, 0.812 * GetAnthroValue(kSTOMIONX), GetAnthroValue(kSTOMIONX),
       topLength - GetAnthroValue(kSTOMIONZ)},
      {EHeMe, 0.875 * bigonial, 0.824 * GetAnthroValue(kPMENTONX), GetAnthroValue(kPMENTONX),
       topLength - GetAnthroValue(kPMENTONZ)},
      {EHeCh, 0.74 * bigonial, 0.8 * GetAnthroValue(kMENTONX), GetAnthroValue(kMENTONX),
       topLength - GetAnthroValue(kMENTONZ)},
  };
  for (const Section& s : sections)
    Place(top, s.name, s.major, s.minor, s.frontX - tragionBack - 0.5 * s.minor, s.z);
  // The forehead section is the widest; its back is the back of the head.
  const double foreheadMinor = 0.944 * headLength;
  Place(top, EHeFh, headBreadth, foreheadMinor, 0.5 * foreheadMinor - tragionBack,
        glabellaZ + 0.34 * (topLength - glabellaZ));
  Place(top, EHeTo, 0.5 * headBreadth, 0.5 * foreheadMinor, -0.6, topLength - 1.0);

  // The neck section, on the pelvis until the spine ellipses are spread.
  const double neckCircumference = GetAnthroValue(kNECKCIRC);
  const double neckMinor = 0.3 * neckCircumference;
  const double cervicale = GetAnthroValue(kCERVHGTH) - GetAnthroValue(kTROCHHT) - h;
  (void)w;
  Place(b.GetRoot(), EHeNe, MKMathRoutines::CircAxe(neckCircumference, neckMinor), neckMinor, -1.0,
        cervicale + 3.0);
}
