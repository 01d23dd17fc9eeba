#pragma once

#include "analysis/MKAnalysisResults.h"
#include "host/KelUnicodeString.h"
#include "parts/MKStatus.h"

class MKBody;
class MKFrame;
class MKManikin;
class MKManikinPart;
class MKRULASpecs;

// The ergonomic analyses of a posed manikin, as static operations that fill
// an MKAnalysisResults record.
class MKAnalysis {
 public:
  MKAnalysis() = delete;

  // How well the hands hold the load.
  enum MKCouplingCondition : int { MKCouplingGood = 0, MKCouplingFair = 1, MKCouplingPoor = 2 };
  // The method that sets the limits of a manual-handling task.
  enum MKGuideLine : int {
    MKNIOSH1981 = 0,
    MKNIOSH1991 = 1,
    MKSnookCiriello1991 = 2,
    MKLibertyMutual2021 = 3
  };

  // Lifting and lowering (MKAnalysisNIOSH.cpp). The task is two posture parts
  // (origin and destination) with the floor frame under the manikin at each
  // end; frequencies are in lifts per second, durations in hours, loads in
  // kilograms. The analyses paste the postures onto the manikin and leave it
  // in one of them. Warnings (250 to 255) do not stop an analysis; the last
  // one found is its status.
  static MKStatus PerformLiftLowerAnalysis(MKManikin* manikin, const MKManikinPart* origin,
                                           const MKManikinPart* destination, MKGuideLine guideLine,
                                           MKCouplingCondition coupling, double frequency,
                                           double duration, double load, double percentage,
                                           const MKFrame& originFrame,
                                           const MKFrame& destinationFrame,
                                           MKAnalysisResults& results);
  // `duration` 1 means one hour of lifting, any other value eight hours.
  static MKStatus PerformNIOSH1981LiftLowerAnalysis(MKManikin* manikin, const MKManikinPart* origin,
                                                    const MKManikinPart* destination,
                                                    double frequency, double duration,
                                                    const MKFrame& originFrame,
                                                    const MKFrame& destinationFrame,
                                                    MKAnalysisResults& results);
  static MKStatus PerformNIOSH1991LiftLowerAnalysis(
      MKManikin* manikin, const MKManikinPart* origin, const MKManikinPart* destination,
      MKCouplingCondition coupling, double frequency, double duration, double load,
      const MKFrame& originFrame, const MKFrame& destinationFrame, MKAnalysisResults& results);

  // The Liberty Mutual 2021 equations (MKAnalysisLibertyMutual.cpp): the
  // load (N) acceptable to `percentage` % (strictly between 0 and 100) of
  // the manikin's sex. Lift/lower: H is the larger of the origin's and the
  // destination's, the vertical travel and middle height from V at both
  // ends; a destination above the origin is a lift. Push/pull and carry:
  // the height of the hands in the floor frame and the distance (cm); a
  // push or pull distance of 0 leaves that exertion out. A variable outside
  // the equations' range is set to the nearest end of it, with status 256.
  static MKStatus PerformLibertyMutual2021LiftLowerAnalysis(
      MKManikin* manikin, const MKManikinPart* origin, const MKManikinPart* destination,
      double frequency, double percentage, const MKFrame& originFrame,
      const MKFrame& destinationFrame, MKAnalysisResults& results);
  static MKStatus PerformLibertyMutual2021PushPullAnalysis(const MKBody* body, int sex,
                                                           double frequency, double pushDistance,
                                                           double pullDistance, double percentage,
                                                           const MKFrame& frame,
                                                           MKAnalysisResults& results);
  static MKStatus PerformLibertyMutual2021CarryAnalysis(const MKBody* body, int sex,
                                                        double frequency, double distance,
                                                        double percentage, const MKFrame& frame,
                                                        MKAnalysisResults& results);

  // The Snook and Ciriello 1991 tables (MKAnalysisSnook.cpp), read from the
  // data file "snook-ciriello-1991.csv"; results in newtons. A cell the file
  // does not hold stops the analysis with status 3, and the results'
  // message names the cell and the file.
  //
  // Axis searches: the index i with axis[i] <= x < axis[i + 1] (lower) or
  // i + 1 with axis[i] < x <= axis[i + 1] (higher); 0 and n - 1 at the ends;
  // 2147483647 outside [axis[0], axis[n - 1]], for n < 1 or no axis.
  static int SearchLowerBound(const double* axis, int n, double x);
  static int SearchHigherBound(const double* axis, int n, double x);
  // (x - lo) / (hi - lo), 0 when lo and hi nearly meet; NaN outside [lo, hi].
  static double ComputeRatio(double lo, double hi, double x);
  // Trilinear interpolation of the corners c[r1][r2][r3]; NaN unless each
  // ratio lies in [0, 1].
  static double Interpolate(double c000, double c001, double c010, double c011, double c100,
                            double c101, double c110, double c111, double r1, double r2, double r3);
  // H for the tables (cm): for a symmetrical stance, from the hands'
  // midpoint to the front of the chest; otherwise ComputeH.
  static double ComputeHForSnookCiriello(const MKBody* body, const MKFrame& frame);
  // Frequencies in exertions per second; distances in centimetres. Lift
  // and lower: H and D at most 30 in (9 beyond; shorter ones are read at
  // 10 in), one lift every 5 s at most (203). Push and pull: a distance of
  // 0 leaves that exertion out, one shorter than the tables' first is read
  // there; a distance beyond the table (pulls beyond
  // 50 ft) gives 206, a handle height outside the sex's heights 207. Carry:
  // 208 for a distance beyond the table, a shorter one read at the first. `sex` 0 or 1, else 6.
  static MKStatus PerformSnookCiriello1991LiftLowerAnalysis(
      MKManikin* manikin, const MKManikinPart* origin, const MKManikinPart* destination,
      double frequency, double percentage, const MKFrame& originFrame,
      const MKFrame& destinationFrame, MKAnalysisResults& results);
  static MKStatus PerformSnookCiriello1991PushPullAnalysis(const MKBody* body, int sex,
                                                           double frequency, double pushDistance,
                                                           double pullDistance, double percentage,
                                                           const MKFrame& frame,
                                                           MKAnalysisResults& results);
  static MKStatus PerformSnookCiriello1991CarryAnalysis(const MKBody* body, int sex,
                                                        double frequency, double distance,
                                                        double percentage, const MKFrame& frame,
                                                        MKAnalysisResults& results);
  // The entries of pushing, pulling and carrying: guide line 2 (the 1991
  // tables) or 3 (the 2021 equations). The posture is pasted for the
  // analysis and the manikin's own posture pasted back after it.
  static MKStatus PerformPushPullAnalysis(MKManikin* manikin, const MKManikinPart* posture,
                                          MKGuideLine guideLine, double frequency,
                                          double pushDistance, double pullDistance,
                                          double percentage, const MKFrame& frame,
                                          MKAnalysisResults& results);
  static MKStatus PerformCarryAnalysis(MKManikin* manikin, const MKManikinPart* posture,
                                       MKGuideLine guideLine, double frequency, double distance,
                                       double percentage, const MKFrame& frame,
                                       MKAnalysisResults& results);

  // Measurements on the posed body, in centimetres (A in radians), taken in
  // the given floor frame (whose second axis is vertical); NaN without a
  // body or a posture. H: hands' midpoint from the ankles' midpoint,
  // horizontally; V: hands' midpoint above the soles' midpoint; D: V at the
  // destination minus V at the origin (the manikin is left in the
  // destination posture); A: angle between the hands' line and the hips'.
  static double ComputeH(const MKBody* body, const MKFrame& frame);
  static double ComputeV(const MKBody* body, const MKFrame& frame);
  static double ComputeD(MKManikin* manikin, const MKManikinPart* origin,
                         const MKManikinPart* destination, const MKFrame& originFrame,
                         const MKFrame& destinationFrame);
  static double ComputeA(const MKBody* body);
  // The NIOSH 1991 load constant (kg) and multipliers, from H, V, D in
  // centimetres, A in radians and the frequency in lifts per second.
  static double ComputeLC();
  static double ComputeHM(double h);
  static double ComputeVM(double v);
  static double ComputeDM(double d);
  static double ComputeAM(double a);
  static double ComputeFM(double frequency, double duration, double v);
  static double ComputeCM(MKCouplingCondition coupling, double v);

  // Both feet flat and the ankles level in the frame (1 cm tolerance).
  static bool CheckFloorStand(const MKBody* body, const MKFrame& frame);
  // Both hands at the same height (5 cm tolerance).
  static bool CheckHandParallelism(const MKBody* body);
  // The centre of gravity of body (weight, kg) and load (kg, at the hands)
  // over the basis of support.
  static bool CheckWeightBalance(const MKBody* body, double weight, double load);
  // The feet square to the hips (within 5 degrees).
  static bool SymmetricalStand(const MKBody* body);

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

  // The NIOSH 1991 frequency multipliers (tools/niosh/README.md): six columns
  // (up to 1 h, 2 h, 8 h; each for V < 30 in, then V >= 30 in) of 17 rows
  // (0.2, 0.5, 1, 2, ..., 15 lifts/min), column by column.
  static const double __FrequencyMultiplierTable[102];
  // The coupling multipliers [good, fair, poor][V < 30 in, V >= 30 in].
  static const double __CouplingMultiplierTable[3][2];
};
