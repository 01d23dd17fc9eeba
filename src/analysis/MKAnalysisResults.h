#pragma once

#include "host/KelUnicodeString.h"
#include "parts/MKStatus.h"

// What an analysis of MKAnalysis finds: a plain record, filled by the
// lifting, handling and RULA analyses. A new record holds the given status
// and all-ones everywhere else, so a field the analysis did not compute
// reads -1 (ints) or NaN (doubles). Lengths in metres, masses in kilograms,
// forces in newtons, angles in radians.
class MKAnalysisResults {
 public:
  explicit MKAnalysisResults(MKStatus status = MKStatusNotCompleted);

  // The interpretation of the RULA final score (MKAnalysis::InterpretRULAScore);
  // empty while there is no final score.
  KelUnicodeString InterpretRULAScore(unsigned char shorter) const;
  // Every RULA score back to -1.
  void ClearRULAScores();

  MKStatus status;

  // NIOSH 1981: action limit and maximum permissible limit (kg).
  double actionLimit;
  double maximumPermissibleLimit;
  // NIOSH 1991: recommended weight limit (kg) and lifting index, at the
  // origin and the destination of the lift.
  double rwlOrigin, rwlDestination;
  double liOrigin, liDestination;
  // Measurements: horizontal distance, vertical height of the hands (m),
  // vertical travel (m), asymmetry angle (radians).
  double hOrigin, hDestination;
  double vOrigin, vDestination;
  double d;
  double aOrigin, aDestination;
  // Load constant (kg) and multipliers.
  double lc;
  double hmOrigin, hmDestination;
  double vmOrigin, vmDestination;
  double dm;
  double amOrigin, amDestination;
  double fm;
  double cmOrigin, cmDestination;

  // Snook and Ciriello 1991 (N): maximum acceptable weight of a lift or
  // lower; maximum acceptable initial and sustained forces of a push and of
  // a pull; maximum acceptable weight of a carry.
  double liftLowerWeight;
  double pushInitialForce, pushSustainedForce;
  double pullInitialForce, pullSustainedForce;
  double carryWeight;

  // RULA, for the side analysed.
  int upperArmScore;      // 1..6
  int lowerArmScore;      // 1..3
  int wristScore;         // 1..4
  int wristTwistScore;    // 1..2
  int postureAScore;      // table A
  int muscleUseScore;     // 0 or 1
  int forceLoadScore;     // 0..3
  int wristAndArmScore;   // posture A + muscle use + force/load
  int neckScore;          // 1..6
  int trunkScore;         // 1..6
  int legScore;           // 1..2
  int postureBScore;      // table B
  int neckTrunkLegScore;  // posture B + muscle use + force/load
  int finalScore;         // table C

  // When a handling analysis could not use its data file (a missing table
  // cell), what is missing and where to supply it; empty otherwise.
  KelUnicodeString message;
};
