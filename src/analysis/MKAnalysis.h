#pragma once

#include "analysis/MKAnalysisResults.h"
#include "host/KelUnicodeString.h"
#include "parts/MKStatus.h"

class MKRULASpecs;

// The ergonomic analyses of a posed manikin, as static operations that fill
// an MKAnalysisResults record.
class MKAnalysis {
 public:
  MKAnalysis() = delete;

  // RULA of one side of the specs' body (the side is an attribute of the
  // specs): every part score, adjustment and table score goes into the
  // results' RULA fields, and the specs' colours follow them. 209 without
  // specs, or when a part cannot be scored (no body, a DOF missing, a score
  // outside its table): the scores that could not be found stay -1.
  static MKStatus PerformRULAAnalysis(MKRULASpecs* specs, MKAnalysisResults& results);

  // The table lookups; -1 when an argument lies outside its axis (upper arm
  // 1..6, lower arm 1..3, wrist 1..4, twist 1..2; neck 1..6, trunk 1..6,
  // legs 1..2). The overall score takes a wrist-and-arm score of 8 or more as
  // 8 and a neck-trunk-leg score of 7 or more as 7; 0 is outside.
  static int GetRULAPostureAScore(unsigned int upperArm, unsigned int lowerArm, unsigned int wrist,
                                  unsigned int wristTwist);
  static int GetRULAPostureBScore(unsigned int neck, unsigned int trunk, unsigned int legs);
  static int GetRULAOverallScore(unsigned int wristAndArm, unsigned int neckTrunkLeg);

  // The action level of a final score: 1 below 3 (acceptable), 2 for 3 or
  // 4 (investigate), 3 for 5 or 6 (change soon), 4 from 7 (change immediately).
  static int GetRULAActionLevel(unsigned int score);
  // What a final score asks for, by its action level, from the catalogue
  // "LumHumanModeling"; `shorter` picks the compact text of levels 3 and 4.
  static KelUnicodeString InterpretRULAScore(unsigned int score, unsigned char shorter);

  // The published RULA tables (tools/rula/README.md), 1-based scores stored
  // from index 0: table A [upper arm][lower arm][wrist][wrist twist],
  // table B [neck][trunk][legs], table C [wrist and arm][neck, trunk and legs].
  static const int __RULATableA[6][3][4][2];
  static const int __RULATableB[6][6][2];
  static const int __RULATableC[8][7];
};
