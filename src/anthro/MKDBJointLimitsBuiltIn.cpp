#include "anthro/MKDBJointLimits.h"

namespace {

// The degrees of freedom of the skeleton that carry joint limits, segment by
// segment in database order: trunk from L5 up, neck and head, the three lines
// of sight, right then left leg, right then left arm and hand.
struct SegmentDOFs {
  MKShortName segment;
  int count;
  unsigned int dofs[3];
};

// clang-format off
constexpr SegmentDOFs kDegreesOfFreedom[] = {
    {SBoL5, 3, {0, 1, 2}},
    {SBoL4, 3, {0, 1, 2}},
    {SBoL3, 3, {0, 1, 2}},
    {SBoL2, 3, {0, 1, 2}},
    {SBoL1, 3, {0, 1, 2}},
    {SBoT12, 3, {0, 1, 2}},
    {SBoT11, 3, {0, 1, 2}},
    {SBoT10, 3, {0, 1, 2}},
    {SBoT9, 3, {0, 1, 2}},
    {SBoT8, 3, {0, 1, 2}},
    {SBoT7, 3, {0, 1, 2}},
    {SBoT6, 3, {0, 1, 2}},
    {SBoT5, 3, {0, 1, 2}},
    {SBoT4, 3, {0, 1, 2}},
    {SBoT3, 3, {0, 1, 2}},
    {SBoT2, 3, {0, 1, 2}},
    {SBoT1, 3, {0, 1, 2}},
    {SHeNe, 3, {0, 1, 2}},
    {SHeCg, 3, {0, 1, 2}},
    {LLHeEye, 2, {0, 1}},
    {MLHeEye, 2, {0, 1}},
    {RLHeEye, 2, {0, 1}},
    {RSLeTh, 3, {0, 1, 2}},
    {RSLeLe, 2, {0, 2}},
    {RSFoAn, 2, {0, 1}},
    {RSFoTo, 1, {0}},
    {LSLeTh, 3, {0, 1, 2}},
    {LSLeLe, 2, {0, 2}},
    {LSFoAn, 2, {0, 1}},
    {LSFoTo, 1, {0}},
    {RSArCl, 2, {0, 1}},
    {RSArAr, 3, {0, 1, 2}},
    {RSArFAr, 2, {0, 2}},
    {RSHaCPr, 2, {0, 1}},
    {RSHaTh1, 2, {0, 1}},
    {RSHaTh2, 1, {0}},
    {RSHaTh3, 1, {0}},
    {RSHaIn1, 2, {0, 1}},
    {RSHaIn2, 1, {0}},
    {RSHaIn3, 1, {0}},
    {RSHaMi1, 2, {0, 1}},
    {RSHaMi2, 1, {0}},
    {RSHaMi3, 1, {0}},
    {RSHaAn1, 2, {0, 1}},
    {RSHaAn2, 1, {0}},
    {RSHaAn3, 1, {0}},
    {RSHaAu1, 2, {0, 1}},
    {RSHaAu2, 1, {0}},
    {RSHaAu3, 1, {0}},
    {LSArCl, 2, {0, 1}},
    {LSArAr, 3, {0, 1, 2}},
    {LSArFAr, 2, {0, 2}},
    {LSHaCPr, 2, {0, 1}},
    {LSHaTh1, 2, {0, 1}},
    {LSHaTh2, 1, {0}},
    {LSHaTh3, 1, {0}},
    {LSHaIn1, 2, {0, 1}},
    {LSHaIn2, 1, {0}},
    {LSHaIn3, 1, {0}},
    {LSHaMi1, 2, {0, 1}},
    {LSHaMi2, 1, {0}},
    {LSHaMi3, 1, {0}},
    {LSHaAn1, 2, {0, 1}},
    {LSHaAn2, 1, {0}},
    {LSHaAn3, 1, {0}},
    {LSHaAu1, 2, {0, 1}},
    {LSHaAu2, 1, {0}},
    {LSHaAu3, 1, {0}},
};
// clang-format on

// Range-of-motion statistics of the built-in population, in degrees: mean and
// standard deviation of the minimum limit, then of the maximum limit, for
// each degree of freedom. Transcribed row by row from the reference tables of
// the Orvane joints-limits data. The lines of sight have no row: their limits
// come from the vision model, not from a population.
//
// Right and left rows agree except for a few finger joints: the last phalanx
// of every finger (maximum mean 80 right, 70 left), the little finger's last
// phalanx also in its maximum standard deviation (7 against 4), and the
// middle finger's second phalanx (3.5 against 3.6). Those differences are in
// the source data and are kept.
struct Limits {
  MKShortName segment;
  int dof;
  double minMean;
  double minStdDev;
  double maxMean;
  double maxStdDev;
};

// clang-format off
constexpr Limits kLimits[] = {
    {SBoL5,    0,    3,    1,   20,  6.7},
    {SBoL5,    1,  1.5,  0.5,  1.5,  0.5},
    {SBoL5,    2,    2, 0.67,    2, 0.67},
    {SBoL4,    0,    4, 1.33,   10,  3.3},
    {SBoL4,    1,    3,    1,    3,    1},
    {SBoL4,    2,    2, 0.67,    2, 0.67},
    {SBoL3,    0,    3,    1,    9,    3},
    {SBoL3,    1,    4,  1.3,    4,  1.3},
    {SBoL3,    2,    2, 0.67,    2, 0.67},
    {SBoL2,    0,    3,    1,    8, 2.67},
    {SBoL2,    1,    3,    1,    3,    1},
    {SBoL2,    2,    2, 0.67,    2, 0.67},
    {SBoL1,    0,    2, 0.67,    6,    2},
    {SBoL1,    1,    3,    1,    3,    1},
    {SBoL1,    2,    2, 0.67,    2, 0.67},
    {SBoT12,   0,    2, 0.67,    5, 1.67},
    {SBoT12,   1,    4, 1.33,    4, 1.33},
    {SBoT12,   2,  2.5, 0.83,  2.5, 0.83},
    {SBoT11,   0,    2, 0.67,    3,    1},
    {SBoT11,   1,  4.5,  1.5,  4.5,  1.5},
    {SBoT11,   2,  2.5, 0.83,    3,    1},
    {SBoT10,   0,    2, 0.67,    2, 0.67},
    {SBoT10,   1,  3.5, 1.17,  3.5, 1.17},
    {SBoT10,   2,  3.5, 1.17,    3,    1},
    {SBoT9,    0,  1.5,  0.5,  1.5,  0.5},
    {SBoT9,    1,    3,    1,    3,    1},
    {SBoT9,    2,    3,    1,    3,    1},
    {SBoT8,    0,  1.5,  0.5,  1.5,  0.5},
    {SBoT8,    1,    3,    1,    3,    1},
    {SBoT8,    2,  4.5,  1.5,  4.5,  1.5},
    {SBoT7,    0,  1.5,  0.5,  1.5,  0.5},
    {SBoT7,    1,    3,    1,    3,    1},
    {SBoT7,    2,    6,    2,    6,    2},
    {SBoT6,    0,  1.5,  0.5,  1.5,  0.5},
    {SBoT6,    1,    3,    1,    3,    1},
    {SBoT6,    2,    6,    2,    6,    2},
    {SBoT5,    0,  1.5,  0.5,    2, 0.67},
    {SBoT5,    1,    3,    1,    3,    1},
    {SBoT5,    2,    6,    2,    6,    2},
    {SBoT4,    0,  1.5,  0.5,    2, 0.67},
    {SBoT4,    1,    3,    1,    3,    1},
    {SBoT4,    2,    7, 2.33,    7, 2.33},
    {SBoT3,    0,    1, 0.67,    2, 0.67},
    {SBoT3,    1,    3,    1,    3,    1},
    {SBoT3,    2,  7.5,  2.5,  7.5,  2.5},
    {SBoT2,    0,    1, 0.33,    2, 0.67},
    {SBoT2,    1,    3,    1,    3,    1},
    {SBoT2,    2,  8.5, 2.83,  8.5, 2.83},
    {SBoT1,    0,    1, 0.33,    2, 0.67},
    {SBoT1,    1,    3,    1,    3,    1},
    {SBoT1,    2,   10, 3.33,   10, 3.33},
    {SHeNe,    0,    5, 1.25,   15,  0.5},
    {SHeNe,    1,   10,    1,   10,    1},
    {SHeNe,    2,   73,  2.5,   73,  2.5},
    {SHeCg,    0,   45,  2.5,   25,    1},
    {SHeCg,    1,   25,    2,   25,    2},
    {SHeCg,    2,    2,  0.5,    2,  0.5},
    {RSLeTh,   0,   18,    6,  113,   13},
    {RSLeTh,   1,   30,    4,   45,    9},
    {RSLeTh,   2,   45,    6,   45,    6},
    {RSLeLe,   0,    0,    2,  135,    5},
    {RSLeLe,   2,   43,    5,   35,    5},
    {RSFoAn,   0,   50,    6,   38,    7},
    {RSFoAn,   1,   30,    5,   20,    5},
    {RSFoTo,   0,   40,    4,   30,    4},
    {LSLeTh,   0,   18,    6,  113,   13},
    {LSLeTh,   1,   30,    4,   45,    9},
    {LSLeTh,   2,   45,    6,   45,    6},
    {LSLeLe,   0,    0,    2,  135,    5},
    {LSLeLe,   2,   43,    5,   35,    5},
    {LSFoAn,   0,   50,    6,   38,    7},
    {LSFoAn,   1,   30,    5,   20,    5},
    {LSFoTo,   0,   40,    4,   30,    4},
    {RSArCl,   0,    8,  1.5,   20,    3},
    {RSArCl,   1,    8,  1.5,   53,    3},
    {RSArAr,   0,   60,    9,  170,    5},
    {RSArAr,   1,   18,    2,   80,    7},
    {RSArAr,   2,   20,    3,   97,    5},
    {RSArFAr,  0,    0,    2,  140,    6},
    {RSArFAr,  2,    0,    3,  160,    9},
    {RSHaCPr,  0,   70,    6,   80,    6},
    {RSHaCPr,  1,   30,    4,   20,    4},
    {RSHaTh1,  0,   38,    5,   20,    5},
    {RSHaTh1,  1,    7,    2,   80,    7},
    {RSHaTh2,  0,   40,    5,   15,  2.5},
    {RSHaTh3,  0,   10,    2,   80,    6},
    {RSHaIn1,  0,   20,    2,   90,  3.5},
    {RSHaIn1,  1,   20,    4,   20,    4},
    {RSHaIn2,  0,    2,    1,  100,  3.5},
    {RSHaIn3,  0,    2,    1,   80,    4},
    {RSHaMi1,  0,   20,  1.5,   90,    7},
    {RSHaMi1,  1,   30,    7,   15,    7},
    {RSHaMi2,  0,    2,    1,  100,  3.5},
    {RSHaMi3,  0,    2,    1,   80,    4},
    {RSHaAn1,  0,   20,  1.5,   90,    7},
    {RSHaAn1,  1,   30,    7,   15,    7},
    {RSHaAn2,  0,    2,    1,  100,  3.5},
    {RSHaAn3,  0,    2,    1,   80,    4},
    {RSHaAu1,  0,   20,  1.5,   90,    7},
    {RSHaAu1,  1,   30,    7,   15,    7},
    {RSHaAu2,  0,    2,    1,  100,  3.5},
    {RSHaAu3,  0,    2,    1,   80,    7},
    {LSArCl,   0,    8,  1.5,   20,    3},
    {LSArCl,   1,    8,  1.5,   53,    3},
    {LSArAr,   0,   60,    9,  170,    5},
    {LSArAr,   1,   18,    2,   80,    7},
    {LSArAr,   2,   20,    3,   97,    5},
    {LSArFAr,  0,    0,    2,  140,    6},
    {LSArFAr,  2,    0,    3,  160,    9},
    {LSHaCPr,  0,   70,    6,   80,    6},
    {LSHaCPr,  1,   30,    4,   20,    4},
    {LSHaTh1,  0,   38,    5,   20,    5},
    {LSHaTh1,  1,    7,    2,   80,    7},
    {LSHaTh2,  0,   40,    5,   15,  2.5},
    {LSHaTh3,  0,   10,    2,   70,    6},
    {LSHaIn1,  0,   20,    2,   90,  3.5},
    {LSHaIn1,  1,   20,    4,   20,    4},
    {LSHaIn2,  0,    2,    1,  100,  3.5},
    {LSHaIn3,  0,    2,    1,   70,    4},
    {LSHaMi1,  0,   20,  1.5,   90,    7},
    {LSHaMi1,  1,   30,    7,   15,    7},
    {LSHaMi2,  0,    2,    1,  100,  3.6},
    {LSHaMi3,  0,    2,    1,   70,    4},
    {LSHaAn1,  0,   20,  1.5,   90,    7},
    {LSHaAn1,  1,   30,    7,   15,    7},
    {LSHaAn2,  0,    2,    1,  100,  3.5},
    {LSHaAn3,  0,    2,    1,   70,    4},
    {LSHaAu1,  0,   20,  1.5,   90,    7},
    {LSHaAu1,  1,   30,    7,   15,    7},
    {LSHaAu2,  0,    2,    1,  100,  3.5},
    {LSHaAu3,  0,    2,    1,   70,    4},
};
// clang-format on

}  // namespace

void MKDBJointLimits::CreateVariables() {
  for (const SegmentDOFs& entry : kDegreesOfFreedom)
    for (int i = 0; i < entry.count; ++i)
      AddVariable(new MKDBJointLimitsVariable(entry.segment, entry.dofs[i], 0.0, 0.0, 0.0, 0.0));
}

void MKDBJointLimits::CreateOrvaneDB() {
  SetName("Orvane Joints limits database");
  SetRevisionNumber(1.0);
  SetUUID("9a82ddd6-4f23-11d3-8048-005004d3fe74");
  if (GetNumberOfVariables() == 0) CreateVariables();
  for (const Limits& row : kLimits)
    if (MKDBJointLimitsVariable* variable = GetVariable(row.segment, row.dof))
      variable->InitValues(row.maxMean, row.maxStdDev, row.minMean, row.minStdDev);
}
