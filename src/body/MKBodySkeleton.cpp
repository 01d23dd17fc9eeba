// The skeleton of the body: its 99 segments with their DOFs and ellipses,
// the pure master/slave pairs and the coupled angles.
#include <cstring>
#include <string>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "host/KelGetEnv.h"

namespace {

constexpr int kPureSlave = MKDOF::sPureSlave;
constexpr int kPureMaster = MKDOF::sPureMaster;
constexpr int kInverted = MKDOF::sInverted;
constexpr int kLeftHanded = MKDOF::sLeftHanded;
constexpr MKShortName kNone = static_cast<MKShortName>(-1);

struct DOFRow {
  int axis;  // -1 ends the list
  int flags;
  MKShortName slaveSegment;  // for a pure master: the segment of its Z pure slave
};

struct EllipseRow {
  MKShortName name;  // kNone ends the list
  int flags;
};

struct SegmentRow {
  MKShortName name;
  MKShortName parent;
  bool spine;
  DOFRow dofs[4];
  EllipseRow ellipses[12];
};

#define NO_DOFS      \
  {                  \
    { -1, 0, kNone } \
  }
#define XYZ                                        \
  {                                                \
    {0, 0, kNone}, {1, 0, kNone}, {2, 0, kNone}, { \
      -1, 0, kNone                                 \
    }                                              \
  }
#define NO_ELLIPSES \
  {                 \
    { kNone, 0 }    \
  }

// Midline and right side, short names 0 to 66; the left limbs (67 to 98)
// mirror rows 35 to 66.
const SegmentRow kSkeleton[] = {
    {SBoPh,
     kNone,
     false,
     NO_DOFS,
     {{EBoCr, 4},
      {EBoBu, 168},
      {EBoIl, 0},
      {EBoNi, 1},
      {EBoOm, 1},
      {EBoBb, 5},
      {EBoCh, 9},
      {EBoSc, 5},
      {EBoTh, 5},
      {EBoNe, 5},
      {EHeNe, 17},
      {kNone, 0}}},
    {SBoTIp, SBoPh, false, NO_DOFS, NO_ELLIPSES},
    {RSBoIlp, SBoPh, false, {{2, kPureSlave | kInverted, kNone}, {-1, 0, kNone}}, NO_ELLIPSES},
    {LSBoIlp, SBoPh, false, {{2, kPureSlave, kNone}, {-1, 0, kNone}}, NO_ELLIPSES},
    {SBoL5, SBoTIp, true, XYZ, NO_ELLIPSES},
    {SBoL4, SBoL5, true, XYZ, NO_ELLIPSES},
    {SBoL3, SBoL4, true, XYZ, NO_ELLIPSES},
    {SBoL2, SBoL3, true, XYZ, NO_ELLIPSES},
    {SBoL1, SBoL2, true, XYZ, NO_ELLIPSES},
    {SBoT12, SBoL1, true, XYZ, NO_ELLIPSES},
    {SBoT11, SBoT12, true, XYZ, NO_ELLIPSES},
    {SBoT10, SBoT11, true, XYZ, NO_ELLIPSES},
    {SBoT9, SBoT10, true, XYZ, NO_ELLIPSES},
    {SBoT8, SBoT9, true, XYZ, NO_ELLIPSES},
    {SBoT7, SBoT8, true, XYZ, NO_ELLIPSES},
    {SBoT6, SBoT7, true, XYZ, NO_ELLIPSES},
    {SBoT5, SBoT6, true, XYZ, NO_ELLIPSES},
    {SBoT4, SBoT5, true, XYZ, NO_ELLIPSES},
    {SBoT3, SBoT4, true, XYZ, NO_ELLIPSES},
    {SBoT2, SBoT3, true, XYZ, NO_ELLIPSES},
    {SBoT1, SBoT2, true, XYZ, NO_ELLIPSES},
    {SBoTh, SBoT4, false, NO_DOFS, NO_ELLIPSES},
    {RSBoTst, SBoTh, false, NO_DOFS, NO_ELLIPSES},
    {LSBoTst, SBoTh, false, NO_DOFS, NO_ELLIPSES},
    {SHeNe, SBoT1, false, XYZ, NO_ELLIPSES},
    {SHeCg, SHeNe, false, XYZ, NO_ELLIPSES},
    {SHeTo, SHeCg, false, NO_DOFS, NO_ELLIPSES},
    {SHeBa, SHeCg, false, NO_DOFS, NO_ELLIPSES},
    {SHeFr, SHeCg, false, NO_DOFS, NO_ELLIPSES},
    {SHeNo, SHeCg, false, NO_DOFS, NO_ELLIPSES},
    {SHeMe, SHeCg, false, NO_DOFS, NO_ELLIPSES},
    {RSHeTrg, SHeCg, false, NO_DOFS, NO_ELLIPSES},
    {LSHeTrg, SHeCg, false, NO_DOFS, NO_ELLIPSES},
    {RSHeEye, SHeCg, false, NO_DOFS, NO_ELLIPSES},
    {LSHeEye, SHeCg, false, NO_DOFS, NO_ELLIPSES},
    {RSLeTh,
     RSBoIlp,
     false,
     {{0, kPureMaster, RSBoIlp}, {1, 0, kNone}, {2, 0, kNone}, {-1, 0, kNone}},
     {{RELeHi, 2}, {RELeCr, 0}, {RELeMTh, 0}, {RELeTKn, 0}, {kNone, 0}}},
    {RSLeLe,
     RSLeTh,
     false,
     {{0, kInverted, kNone}, {2, 0, kNone}, {-1, 0, kNone}},
     {{RELeKn, 80}, {RELeBKn, 0}, {RELeCa, 0}, {RELeAn, 0}, {RELeAn2, 208}, {kNone, 0}}},
    {RSFoAn,
     RSLeLe,
     false,
     {{0, 0, kNone}, {1, 0, kNone}, {-1, 0, kNone}},
     {{REFoHAn, 4}, {kNone, 0}}},
    {RSFoHe, RSFoAn, false, NO_DOFS, NO_ELLIPSES},
    {RSFoSo, RSFoAn, false, NO_DOFS, NO_ELLIPSES},
    {RSFoTa, RSFoAn, false, NO_DOFS, {{REFoTa, 0}, {kNone, 0}}},
    {RSFoTo,
     RSFoTa,
     false,
     {{0, kInverted, kNone}, {-1, 0, kNone}},
     {{REFoBa, 80}, {REFoTo, 208}, {kNone, 0}}},
    {RSArCl,
     RSBoTst,
     false,
     {{0, 0, kNone}, {1, 0, kNone}, {-1, 0, kNone}},
     {{REArTh, 2}, {REArAca, 140}, {REArMSh, 2}, {REArAc, 20}, {kNone, 0}}},
    {RSArSc, RSArCl, false, {{2, kPureSlave | kInverted, kNone}, {-1, 0, kNone}}, NO_ELLIPSES},
    {RSArAr,
     RSArSc,
     false,
     {{0, kPureMaster, RSArSc}, {1, 0, kNone}, {2, 0, kNone}, {-1, 0, kNone}},
     {{REArSc, 256}, {REArBi, 0}, {REArEl, 208}, {kNone, 0}}},
    {RSArFAr,
     RSArAr,
     false,
     {{0, 0, kNone}, {2, 0, kNone}, {-1, 0, kNone}},
     {{REArFAr, 256}, {kNone, 0}}},
    {RSHaCPr,
     RSArFAr,
     false,
     {{0, 0, kNone}, {1, 0, kNone}, {-1, 0, kNone}},
     {{REArWr, 168}, {REHaPa, 0}, {REHaPa1, 208}, {kNone, 0}}},
    {RSHaThM, RSHaCPr, false, NO_DOFS, NO_ELLIPSES},
    {RSHaTh1,
     RSHaThM,
     false,
     {{0, 0, kNone}, {1, 0, kNone}, {-1, 0, kNone}},
     {{REHaTh0, 42}, {kNone, 0}}},
    {RSHaTh2, RSHaTh1, false, {{0, 0, kNone}, {-1, 0, kNone}}, {{REHaTh1, 80}, {kNone, 0}}},
    {RSHaTh3,
     RSHaTh2,
     false,
     {{0, 0, kNone}, {-1, 0, kNone}},
     {{REHaTh2, 80}, {REHaTh3, 208}, {kNone, 0}}},
    {RSHaInM, RSHaCPr, false, NO_DOFS, NO_ELLIPSES},
    {RSHaIn1,
     RSHaInM,
     false,
     {{0, 0, kNone}, {1, 0, kNone}, {-1, 0, kNone}},
     {{REHaIn1, 42}, {kNone, 0}}},
    {RSHaIn2, RSHaIn1, false, {{0, 0, kNone}, {-1, 0, kNone}}, {{REHaIn2, 80}, {kNone, 0}}},
    {RSHaIn3,
     RSHaIn2,
     false,
     {{0, 0, kNone}, {-1, 0, kNone}},
     {{REHaIn3, 80}, {REHaIn4, 208}, {kNone, 0}}},
    {RSHaMiM, RSHaCPr, false, NO_DOFS, NO_ELLIPSES},
    {RSHaMi1,
     RSHaMiM,
     false,
     {{0, 0, kNone}, {1, 0, kNone}, {-1, 0, kNone}},
     {{REHaMi1, 42}, {kNone, 0}}},
    {RSHaMi2, RSHaMi1, false, {{0, 0, kNone}, {-1, 0, kNone}}, {{REHaMi2, 80}, {kNone, 0}}},
    {RSHaMi3,
     RSHaMi2,
     false,
     {{0, 0, kNone}, {-1, 0, kNone}},
     {{REHaMi3, 80}, {REHaMi4, 208}, {kNone, 0}}},
    {RSHaAnM, RSHaCPr, false, NO_DOFS, NO_ELLIPSES},
    {RSHaAn1,
     RSHaAnM,
     false,
     {{0, 0, kNone}, {1, 0, kNone}, {-1, 0, kNone}},
     {{REHaAn1, 42}, {kNone, 0}}},
    {RSHaAn2, RSHaAn1, false, {{0, 0, kNone}, {-1, 0, kNone}}, {{REHaAn2, 80}, {kNone, 0}}},
    {RSHaAn3,
     RSHaAn2,
     false,
     {{0, 0, kNone}, {-1, 0, kNone}},
     {{REHaAn3, 80}, {REHaAn4, 208}, {kNone, 0}}},
    {RSHaAuM, RSHaCPr, false, NO_DOFS, NO_ELLIPSES},
    {RSHaAu1,
     RSHaAuM,
     false,
     {{0, 0, kNone}, {1, 0, kNone}, {-1, 0, kNone}},
     {{REHaAu1, 42}, {kNone, 0}}},
    {RSHaAu2, RSHaAu1, false, {{0, 0, kNone}, {-1, 0, kNone}}, {{REHaAu2, 80}, {kNone, 0}}},
    {RSHaAu3,
     RSHaAu2,
     false,
     {{0, 0, kNone}, {-1, 0, kNone}},
     {{REHaAu3, 80}, {REHaAu4, 208}, {kNone, 0}}},
};

#undef NO_DOFS
#undef XYZ
#undef NO_ELLIPSES

constexpr int kFirstRightLimb = RSLeTh;               // 35
constexpr int kLeftOffset = LSLeTh - RSLeTh;          // 32
constexpr int kEllipseLeftToRight = REArAc - LEArAc;  // 44

// The left twin of a right-side short name (segment or ellipse); others unchanged.
MKShortName LeftOf(MKShortName name) {
  if (name >= RSLeTh && name <= RSHaAu3) return static_cast<MKShortName>(name + kLeftOffset);
  if (name == RSBoIlp) return LSBoIlp;
  if (name == RSBoTst) return LSBoTst;
  if (name >= REArAc && name <= RELeTKn)
    return static_cast<MKShortName>(name - kEllipseLeftToRight);
  return name;
}

// Left DOF flags: pure slaves lose the inversion; other Y and Z DOFs are
// left-handed; X DOFs keep the right side's flags.
int LeftFlags(int axis, int flags) {
  if (flags & kPureSlave) return flags & ~kInverted;
  if (axis != 0) return flags | kLeftHanded;
  return flags;
}

// Left ellipses keep the right flags except the two shoulder-top ones.
int LeftEllipseFlags(MKShortName leftName, int flags) {
  return leftName == LEArAca || leftName == LEArAc ? 4 : flags;
}

struct HeadEllipse {
  MKShortName name;
  MKShortName segment;
  int flags;
};

}  // namespace

void MKBody::CreateSegments() {
  for (int n = 0; n < 99; ++n) {
    const bool left = n >= kFirstRightLimb + kLeftOffset;
    const SegmentRow& row = kSkeleton[left ? n - kLeftOffset : n];
    const MKShortName parent = left ? LeftOf(row.parent) : row.parent;
    auto* segment = new MKSegment(this, static_cast<MKShortName>(n), row.spine ? 1 : 0,
                                  parent == kNone ? nullptr : GetSegment(parent));
    segments.Append(segment);
    if (segment->GetAncestor()) segment->GetAncestor()->AddChild(segment);
    for (const DOFRow& dof : row.dofs) {
      if (dof.axis < 0) break;
      const int flags = left ? LeftFlags(dof.axis, dof.flags) : dof.flags;
      MKDOF* slave = nullptr;
      if (dof.slaveSegment != kNone)
        slave = GetSegment(left ? LeftOf(dof.slaveSegment) : dof.slaveSegment)->GetDOF(-2);
      segment->AddDOF(dof.axis, flags, 0.0, slave);
    }
    for (const EllipseRow& ellipse : row.ellipses) {
      if (ellipse.name == kNone) break;
      const MKShortName name = left ? LeftOf(ellipse.name) : ellipse.name;
      segment->AddEllipse(name, left ? LeftEllipseFlags(name, ellipse.flags) : ellipse.flags);
    }
  }

  // The head ellipses of the earlier generation differ in place and flags.
  const char* earlier = KelGetEnv("MKKR12ManikinInR14");
  const bool earlierGeneration = earlier && std::strcmp(earlier, "1") == 0;
  static const HeadEllipse kCurrentHead[] = {
      {EHeCh, SHeTo, 4}, {EHeMe, SHeTo, 4}, {EHeSt, SHeTo, 4}, {EHeNo, SHeTo, 4},
      {EHeEy, SHeTo, 4}, {EHeGl, SHeTo, 4}, {EHeFh, SHeTo, 4}, {EHeTo, SHeTo, 4}};
  static const HeadEllipse kEarlierHead[] = {
      {EHeCh, SHeCg, 42}, {EHeMe, SHeTo, 0}, {EHeSt, SHeTo, 0},   {EHeNo, SHeTo, 0},
      {EHeEy, SHeTo, 0},  {EHeGl, SHeTo, 0}, {EHeFh, SHeTo, 208}, {EHeTo, SHeTo, 4}};
  for (const HeadEllipse& e : earlierGeneration ? kEarlierHead : kCurrentHead)
    GetSegment(e.segment)->AddEllipse(e.name, e.flags);
}

namespace {

struct CoupledPair {
  MKShortName master;
  int masterAxis;
  MKShortName slave;
  int slaveAxis;
  std::initializer_list<double> c1, c2, c3, c4;
};

KelRawColldouble List(std::initializer_list<double> values) {
  KelRawColldouble list(static_cast<int>(values.size()));
  for (double v : values) list.Append(v);
  return list;
}

}  // namespace

void MKBody::CreateCoupledAngles() {
  static const CoupledPair kPairs[] = {
      {RSArFAr, 0, RSArAr, 0, {1, -0.5835, 0.6794, -0.3459}, {1, 0.2638, -0.737, 0.5622}, {1}, {1}},
      {RSLeLe,
       0,
       RSFoAn,
       0,
       {1, -2.1664, 4.9542, -2.9108},
       {1, -0.6174, 1.4988, -0.8484},
       {1},
       {1}},
      {RSArAr, 0, RSArFAr, 0, {1, -0.4667, 2.0492, -2.0355}, {1}, {1, -0.064, 0, 0.056}, {1}},
      {RSLeTh, 0, RSLeLe, 0, {1, -0.3223, 0, 0.0573}, {1}, {1}, {1}},
      {RSArAr, 1, RSArCl, 1, {1}, {0, -5.7941, 55.724, -284.19, 534.6, -434.94, 130.85}, {1}, {1}},
  };
  for (bool left : {true, false}) {
    for (const CoupledPair& pair : kPairs) {
      MKSegment* masterSegment = GetSegment(left ? LeftOf(pair.master) : pair.master);
      MKSegment* slaveSegment = GetSegment(left ? LeftOf(pair.slave) : pair.slave);
      MKDOF* master = masterSegment->GetDOF(pair.masterAxis);
      MKDOF* slave = slaveSegment->GetDOF(pair.slaveAxis);
      if (!master || !slave) continue;
      master->SetSlaveCoupledDOF(slave, List(pair.c1), List(pair.c2), List(pair.c3), List(pair.c4));
      slave->SetMasterCoupledDOF(master);
    }
  }
}
