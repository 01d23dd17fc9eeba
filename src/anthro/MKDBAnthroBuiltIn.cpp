#include "anthro/MKDBAnthro.h"

namespace {

constexpr unsigned int kWholeBody = MKDBAnthroVariable::sWholeBody;
constexpr unsigned int kHeadAndNeck = MKDBAnthroVariable::sHeadAndNeck;
constexpr unsigned int kTrunk = MKDBAnthroVariable::sTrunk;
constexpr unsigned int kArm = MKDBAnthroVariable::sArm;
constexpr unsigned int kHand = MKDBAnthroVariable::sHand;
constexpr unsigned int kLeg = MKDBAnthroVariable::sLeg;
constexpr unsigned int kFoot = MKDBAnthroVariable::sFoot;
constexpr unsigned int kCircumference = MKDBAnthroVariable::sCircumference;
constexpr unsigned int kHeight = MKDBAnthroVariable::sHeight;
constexpr unsigned int kLength = MKDBAnthroVariable::sLength;
constexpr unsigned int kBreadth = MKDBAnthroVariable::sBreadth;
constexpr unsigned int kDepth = MKDBAnthroVariable::sDepth;
constexpr unsigned int kMass = MKDBAnthroVariable::sMass;
constexpr unsigned int kNoGraphic = MKDBAnthroVariable::sNoGraphic;

// One variable of the built-in population "US NATICK" (1988 US Army survey):
// statistics in cm (kg for <WEIGHT>), and where its anchor points are taken.
//
// Anchor posture: the posture in which the survey took the measurement, so
// sitting heights, breadths and lengths sit and the others stand. The hand
// dimensions sit as well: they are taken with the forearm held forward
// horizontally, which the sitting posture gives and the standing one (arms
// hanging) does not. Variables without anchor points have posture and side 0.
// Anchor side: right or left when the anchor points lie on that side of the
// body (with midline points), otherwise the middle.
// Anchor translation: heights are drawn on a plane beside the body, 65 cm out
// for whole-body and trunk heights and 30 cm for leg heights, towards the
// side they are on (right is -x); other dimensions are drawn where they are.
struct BuiltInVariable {
  unsigned int referenceNumber;
  unsigned int flags;
  const char* acronym;
  double mean0;
  double stdDev0;
  double mean1;
  double stdDev1;
  MKSideSpec side;
  MKPostureSpec posture;
  double translationX;
};

// clang-format off
constexpr BuiltInVariable kVariables[] = {
    {2, kTrunk | kDepth, "<ABEXDPST>", 22.23, 2.63, 23.91, 2.83, MKSideMiddle, MKPostureSitting, 0},
    {3, kWholeBody | kHeight, "<ACRHGHT>", 133.36, 5.79, 144.25, 6.2, MKSideRight, MKPostureStanding, -65},
    {4, kWholeBody | kHeight, "<ACRHTST>", 55.55, 2.86, 59.78, 2.96, MKSideRight, MKPostureSitting, -65},
    {5, kArm | kLength, "<ACRDLGTH>", 31.19, 1.67, 34.08, 1.72, MKSideRight, MKPostureStanding, 0},
    {6, kLeg | kCircumference, "<ANKLCIRC>", 20.53, 1.21, 22.17, 1.3, MKSideRight, MKPostureStanding, 0},
    {7, kWholeBody | kHeight, "<AXHGHT>", 123.36, 5.43, 132.09, 5.8, MKSideRight, MKPostureStanding, -65},
    {8, kArm | kCircumference, "<AXARCIRC>", 29.16, 2.44, 33.5, 2.71, MKSideRight, MKPostureStanding, 0},
    {9, kFoot | kCircumference, "<BLFTCIRC>", 22.35, 1.13, 24.85, 1.23, MKSideRight, MKPostureStanding, 0},
    {10, kFoot | kLength, "<BLFTLGTH>", 17.94, 0.96, 19.6, 1.05, MKSideRight, MKPostureStanding, 0},
    {11, kTrunk | kBreadth, "<BCRMBDTH>", 36.26, 1.74, 39.7, 1.8, MKSideMiddle, MKPostureStanding, 0},
    {12, kArm | kCircumference, "<BICIRCFL>", 28.13, 2.27, 33.75, 2.71, MKSideRight, MKPostureStanding, 0},
    {13, kTrunk | kBreadth, "<BIDLBDTH>", 43.26, 2.26, 49.18, 2.59, MKSideMiddle, MKPostureStanding, 0},
    {14, kFoot | kBreadth, "<BIMBDTH>", 6.44, 0.31, 7.28, 0.39, MKSideRight, MKPostureStanding, 0},
    {15, kTrunk | kBreadth | kNoGraphic, "<BISBDTH>", 21.99, 2.05, 23.13, 1.98, MKSideNone, MKPostureNone, 0},
    {24, kTrunk | kCircumference, "<BUTTCIRC>", 96.69, 6.02, 98.37, 6.22, MKSideMiddle, MKPostureStanding, 0},
    {25, kTrunk | kDepth, "<BUTTDPTH>", 22.71, 2.1, 24.86, 2.07, MKSideMiddle, MKPostureStanding, 0},
    {26, kTrunk | kHeight, "<BUTTHGHT>", 83.83, 4.52, 88.74, 4.71, MKSideRight, MKPostureStanding, -65},
    {27, kLeg | kLength, "<BUTTKLTH>", 58.89, 2.96, 61.64, 2.99, MKSideRight, MKPostureSitting, 0},
    {28, kLeg | kLength, "<BUTTPLTH>", 48.17, 2.66, 50.04, 2.66, MKSideRight, MKPostureSitting, 0},
    {29, kLeg | kCircumference, "<CALFCIRC>", 35.24, 2.32, 37.81, 2.54, MKSideRight, MKPostureStanding, 0},
    {30, kLeg | kHeight, "<CALFHGTH>", 31.61, 2.4, 35.34, 2.37, MKSideRight, MKPostureStanding, -30},
    {31, kWholeBody | kHeight, "<CERVHGTH>", 140.8, 5.92, 151.94, 6.27, MKSideRight, MKPostureStanding, -65},
    {33, kTrunk | kBreadth, "<CHSTBDTH>", 27.96, 1.97, 32.15, 2.55, MKSideMiddle, MKPostureStanding, 0},
    {34, kTrunk | kCircumference, "<CHSTCIRC>", 90.71, 6.35, 99.14, 6.9, MKSideMiddle, MKPostureStanding, 0},
    {35, kTrunk | kCircumference, "<CHSTCISC>", 88.7, 5.32, 102.32, 6.53, MKSideMiddle, MKPostureStanding, 0},
    {36, kTrunk | kCircumference, "<CHSTCB>", 76.97, 5.1, 92.61, 6.54, MKSideMiddle, MKPostureStanding, 0},
    {37, kTrunk | kDepth, "<CHSTDPTH>", 23.94, 2.11, 24.32, 2.15, MKSideMiddle, MKPostureStanding, 0},
    {38, kTrunk | kHeight, "<CHSTHGHT>", 117.44, 5.5, 127.59, 5.61, MKSideLeft, MKPostureStanding, 65},
    {39, kLeg | kHeight, "<CRCHHGHT>", 77.14, 4.41, 83.72, 4.62, MKSideLeft, MKPostureStanding, 30},
    {48, kArm | kCircumference, "<ELBCIRC>", 23.83, 1.34, 27.71, 1.53, MKSideRight, MKPostureStanding, 0},
    {50, kWholeBody | kHeight, "<EYEHTSIT>", 73.87, 3.32, 79.2, 3.42, MKSideRight, MKPostureSitting, -65},
    {51, kFoot | kBreadth, "<FTBRHOR>", 8.97, 0.49, 10.06, 0.53, MKSideRight, MKPostureStanding, 0},
    {52, kFoot | kLength, "<FOOTLGTH>", 24.44, 1.22, 26.97, 1.31, MKSideRight, MKPostureStanding, 0},
    {53, kArm | kCircumference, "<FCIRCFL>", 25.37, 1.51, 30.35, 1.88, MKSideRight, MKPostureStanding, 0},
    {55, kArm | kLength, "<FORHDLG>", 44.29, 2.34, 48.4, 2.33, MKSideRight, MKPostureSitting, 0},
    {58, kHand | kBreadth, "<HANDBRTH>", 7.94, 0.38, 9.04, 0.42, MKSideRight, MKPostureSitting, 0},
    {59, kHand | kCircumference, "<HANDCIRC>", 18.62, 0.85, 21.38, 0.97, MKSideRight, MKPostureSitting, 0},
    {60, kHand | kLength, "<HANDLGTH>", 18.05, 0.97, 19.38, 0.98, MKSideRight, MKPostureSitting, 0},
    {61, kHeadAndNeck | kBreadth, "<HEADBRTH>", 14.44, 0.49, 15.17, 0.54, MKSideMiddle, MKPostureStanding, 0},
    {63, kHeadAndNeck | kLength, "<HEADLGTH>", 18.72, 0.64, 19.71, 0.71, MKSideMiddle, MKPostureStanding, 0},
    {64, kFoot | kCircumference, "<HLAKCIRC>", 30.48, 1.49, 33.9, 1.63, MKSideRight, MKPostureStanding, 0},
    {65, kFoot | kBreadth, "<HEELBRTH>", 6.3, 0.48, 7.01, 0.53, MKSideLeft, MKPostureStanding, 0},
    {66, kTrunk | kBreadth, "<HIPBRTH>", 34.27, 2.24, 34.18, 2.03, MKSideMiddle, MKPostureStanding, 0},
    {67, kTrunk | kBreadth, "<HIPBRSIT>", 38.45, 2.72, 36.68, 2.52, MKSideMiddle, MKPostureSitting, 0},
    {68, kTrunk | kHeight | kNoGraphic, "<ILCRSIT>", 98.88, 4.82, 107.34, 5.14, MKSideNone, MKPostureNone, 0},
    {69, kHeadAndNeck | kBreadth, "<INPUPBTH>", 6.23, 0.36, 6.47, 0.37, MKSideMiddle, MKPostureStanding, 0},
    {70, kTrunk | kBreadth, "<INSCYE1>", 35.2, 2.65, 40.15, 3.14, MKSideMiddle, MKPostureStanding, 0},
    {72, kLeg | kCircumference, "<KNEECIRC>", 36.52, 2.33, 38.64, 2.21, MKSideRight, MKPostureStanding, 0},
    {73, kLeg | kHeight, "<KNEEHTMP>", 45.87, 2.61, 50.48, 2.76, MKSideRight, MKPostureStanding, -30},
    {74, kLeg | kHeight, "<KNEEHTSI>", 51.54, 2.63, 55.88, 2.79, MKSideRight, MKPostureSitting, -30},
    {75, kLeg | kHeight, "<LATFEMEP>", 46.11, 2.47, 50.15, 2.63, MKSideRight, MKPostureStanding, -30},
    {76, kLeg | kHeight, "<LATMALHT>", 6.06, 0.53, 6.71, 0.55, MKSideRight, MKPostureStanding, -30},
    {77, kLeg | kCircumference, "<LOTHCIRC>", 37.75, 2.76, 39.18, 2.71, MKSideRight, MKPostureStanding, 0},
    {79, kTrunk | kHeight, "<MSHTSIT>", 58.4, 2.77, 63.03, 2.82, MKSideRight, MKPostureSitting, -65},
    {81, kHeadAndNeck | kCircumference, "<NECKCIRC>", 31.57, 1.53, 37.96, 1.97, MKSideMiddle, MKPostureStanding, 0},
    {82, kTrunk | kCircumference, "<NECKCRCB>", 34.82, 1.63, 40.84, 2.05, MKSideMiddle, MKPostureStanding, 0},
    {83, kWholeBody | kHeight, "<NECKHTLT>", 139.65, 5.84, 150.95, 6.16, MKSideRight, MKPostureStanding, -65},
    {87, kLeg | kHeight, "<POPHGHT>", 38.94, 2.37, 43.41, 2.49, MKSideRight, MKPostureSitting, -30},
    {88, kArm | kLength, "<RASTL>", 24.34, 1.55, 26.99, 1.57, MKSideRight, MKPostureStanding, 0},
    {89, kTrunk | kCircumference, "<SCYECIRC>", 37.13, 2.3, 44.55, 2.71, MKSideRight, MKPostureStanding, 0},
    {92, kArm | kLength, "<SHOUELLT>", 33.58, 1.74, 36.9, 1.79, MKSideRight, MKPostureStanding, 0},
    {93, kArm | kLength, "<SHOULGTH>", 14.47, 1.08, 15.05, 1.1, MKSideRight, MKPostureStanding, 0},
    {94, kWholeBody | kHeight, "<SITTHGHT>", 85.2, 3.49, 91.39, 3.56, MKSideMiddle, MKPostureSitting, -65},
    {98, kArm | kLength, "<SLOUTSM>", 54.72, 3.02, 60.15, 3.07, MKSideRight, MKPostureStanding, 0},
    {99, kWholeBody | kLength, "<SPAN>", 167.19, 8.13, 182.31, 8.19, MKSideMiddle, MKPostureStanding, 0},
    {100, kWholeBody | kHeight, "<STATURE>", 162.94, 6.36, 175.58, 6.68, MKSideRight, MKPostureStanding, -65},
    {103, kTrunk | kHeight | kNoGraphic, "<TENRIBHT>", 104.44, 4.87, 112.12, 5.13, MKSideNone, MKPostureNone, 0},
    {104, kLeg | kCircumference, "<THGHCIRC>", 58.03, 4.5, 59.65, 4.93, MKSideRight, MKPostureStanding, 0},
    {105, kLeg | kDepth, "<THGHCLR>", 15.89, 1.21, 16.82, 1.26, MKSideRight, MKPostureSitting, 0},
    {106, kHand | kBreadth, "<THUMBBR>", 2.07, 0.13, 2.41, 0.14, MKSideRight, MKPostureSitting, 0},
    {107, kWholeBody | kLength, "<THMBTPR>", 73.46, 3.64, 80.08, 3.92, MKSideRight, MKPostureStanding, 0},
    {108, kLeg | kHeight, "<TROCHHT>", 86.16, 4.52, 92.83, 4.77, MKSideRight, MKPostureStanding, -30},
    {113, kTrunk | kBreadth, "<WSTBRTH>", 28.97, 2.83, 30.93, 2.87, MKSideMiddle, MKPostureStanding, 0},
    {115, kTrunk | kCircumference, "<WSCIRCOM>", 79.19, 8.27, 86.24, 8.64, MKSideMiddle, MKPostureStanding, 0},
    {116, kTrunk | kDepth, "<WSTDEPTH>", 20.39, 2.49, 22.62, 2.56, MKSideMiddle, MKPostureStanding, 0},
    {120, kTrunk | kHeight, "<WSTHOM>", 98.21, 4.88, 105.88, 5.09, MKSideRight, MKPostureStanding, -65},
    {122, kWholeBody | kHeight, "<WSHTSTOM>", 22.76, 1.51, 23.46, 1.52, MKSideMiddle, MKPostureSitting, -65},
    {125, kWholeBody | kMass | kNoGraphic, "<WEIGHT>", 62.01, 8.35, 78.49, 11.1, MKSideNone, MKPostureNone, 0},
    {126, kHand | kLength, "<WRCTRGRL>", 6.63, 0.49, 6.97, 0.49, MKSideRight, MKPostureSitting, 0},
    {127, kArm | kCircumference, "<WRISCIRC>", 15.12, 0.69, 17.42, 0.83, MKSideRight, MKPostureStanding, 0},
    {130, kHand | kLength, "<WRINFNGL>", 16.92, 0.89, 18.08, 0.91, MKSideRight, MKPostureSitting, 0},
    {131, kHand | kLength, "<WRTHLGTH>", 11.76, 0.67, 12.44, 0.67, MKSideRight, MKPostureSitting, 0},
    {132, kArm | kLength, "<WRWALLLN>", 61.98, 3.21, 68.09, 3.48, MKSideRight, MKPostureStanding, 0},
    {133, kArm | kLength, "<WRWALLEX>", 67.93, 3.43, 74.84, 3.73, MKSideLeft, MKPostureStanding, 0},
    {212, kHeadAndNeck | kBreadth, "<BIGBRH>", 10.83, 0.71, 11.89, 0.79, MKSideMiddle, MKPostureStanding, 0},
    {215, kHeadAndNeck | kBreadth, "<BDRBDTHH>", 13.64, 0.52, 14.48, 0.6, MKSideMiddle, MKPostureStanding, 0},
    {216, kHeadAndNeck | kBreadth, "<BIZYBRH>", 13.57, 0.56, 14.33, 0.64, MKSideMiddle, MKPostureStanding, 0},
    {233, kHeadAndNeck | kLength, "<ECTORBT>", 11.15, 0.57, 11.82, 0.57, MKSideMiddle, MKPostureStanding, 0},
    {236, kHeadAndNeck | kDepth, "<GLABX>", 19.1, 0.66, 19.97, 0.72, MKSideMiddle, MKPostureStanding, 0},
    {237, kHeadAndNeck | kLength, "<GLABZ>", 8.83, 0.69, 9.62, 0.73, MKSideMiddle, MKPostureStanding, 0},
    {240, kHeadAndNeck | kDepth, "<INFORBB>", 17.61, 0.69, 18.08, 0.7, MKSideMiddle, MKPostureStanding, 0},
    {242, kHeadAndNeck | kDepth, "<MENTONX>", 17.33, 0.98, 18.24, 1.05, MKSideMiddle, MKPostureStanding, 0},
    {243, kHeadAndNeck | kLength, "<MENTONZ>", 21.76, 0.85, 23.2, 0.88, MKSideMiddle, MKPostureStanding, 0},
    {244, kHeadAndNeck | kDepth, "<PMENTONX>", 18.76, 0.98, 19.42, 1.03, MKSideMiddle, MKPostureStanding, 0},
    {245, kHeadAndNeck | kLength, "<PMENTONZ>", 20.3, 0.85, 21.68, 0.89, MKSideMiddle, MKPostureStanding, 0},
    {246, kHeadAndNeck | kDepth, "<PRONASX>", 20.97, 0.75, 21.92, 0.8, MKSideMiddle, MKPostureStanding, 0},
    {247, kHeadAndNeck | kLength, "<PRONASZ>", 14.16, 0.79, 15.19, 0.84, MKSideMiddle, MKPostureStanding, 0},
    {248, kHeadAndNeck | kDepth, "<SELLIONX>", 18.9, 0.66, 19.7, 0.71, MKSideMiddle, MKPostureStanding, 0},
    {249, kHeadAndNeck | kLength, "<SELLIONZ>", 10.53, 0.66, 11.2, 0.69, MKSideMiddle, MKPostureStanding, 0},
    {250, kHeadAndNeck | kDepth, "<STOMIONX>", 19.31, 0.99, 19.94, 0.96, MKSideMiddle, MKPostureStanding, 0},
    {251, kHeadAndNeck | kLength, "<STOMIONZ>", 17.51, 0.77, 18.63, 0.78, MKSideMiddle, MKPostureStanding, 0},
    {254, kHeadAndNeck | kDepth, "<TRAGB>", 9.74, 0.55, 9.89, 0.58, MKSideRight, MKPostureStanding, 0},
    {255, kHeadAndNeck | kLength, "<TRAGT>", 12.35, 0.55, 13.1, 0.57, MKSideRight, MKPostureStanding, 0},
};
// clang-format on

}  // namespace

void MKDBAnthro::CreateVariables() {
  SetRevisionNumber(0.0);
  for (const BuiltInVariable& row : kVariables)
    AddVariable(new MKDBAnthroVariable(row.referenceNumber, row.flags, row.acronym));
}

void MKDBAnthro::CreateUSNatickDB() {
  SetName("US NATICK");
  SetRevisionNumber(1988.0);
  SetUUID("9ad832be-4f22-11d3-8048-005004d3fe74");
  if (GetNumberOfVariables() == 0) CreateVariables();

  for (const BuiltInVariable& row : kVariables)
    if (MKDBAnthroVariable* variable = GetVariableFromRefNumber(row.referenceNumber))
      variable->InitValues(row.mean0, row.stdDev0, row.mean1, row.stdDev1);

  // Every pair of variables, lower reference number first. The table holds the
  // pairs with survey data in that order; the others are uncorrelated (0), so
  // a variable the survey did not measure is predicted at its mean.
  const BuiltInCorrelation* next = sBuiltInCorrelations;
  const BuiltInCorrelation* const end = sBuiltInCorrelations + sNumberOfBuiltInCorrelations;
  for (const BuiltInVariable& low : kVariables) {
    MKDBAnthroVariable* variable = GetVariableFromRefNumber(low.referenceNumber);
    for (const BuiltInVariable& high : kVariables) {
      if (high.referenceNumber <= low.referenceNumber) continue;
      double value0 = 0.0, value1 = 0.0;
      if (next != end && next->first == low.referenceNumber &&
          next->second == high.referenceNumber) {
        value0 = next->value0 / 1000.0;
        value1 = next->value1 / 1000.0;
        ++next;
      }
      if (variable) variable->AddCorrelatedVariable(high.referenceNumber, value0, value1);
    }
  }

  for (const BuiltInVariable& row : kVariables) {
    SetAnchorPointSpec(row.referenceNumber, row.side, row.posture);
    SetAnchorPointTranslation(row.referenceNumber, row.translationX, 0.0, 0.0);
  }
}
