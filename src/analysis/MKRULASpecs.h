#pragma once

#include "host/MKKEBodyPart.h"
#include "host/MKKERULAAttr.h"
#include "host/MKKERULAColoring.h"
#include "host/MKKERULAValue.h"
#include "parts/MKShortName.h"
#include "parts/MKStatus.h"

class MKAnalysisResults;
class MKBody;
class MKDOF;

// The inputs of a RULA analysis that the posture alone does not give, and
// the angle ranges that score the posture.
//
// Body parts and what measures them, on the side chosen (attribute 14):
// - upper arm (2): the arm's flexion, DOF 0 of RSArAr / LSArAr (DOF 1 is
//   abduction, DOF 2 rotation);
// - lower arm (1): the elbow's flexion, DOF 0 of RSArFAr / LSArFAr;
// - wrist (9): the wrist's flexion, DOF 0 of RSHaCPr / LSHaCPr;
// - neck (4): the flexion of the cervical run, SHeNe and the head SHeCg
//   together (the neck alone bends at most 15 degrees, the head nods on
//   it), measured like the spine view of DOF 0 of SHeNe;
// - trunk (5): the flexion of the spine, SBoL5 up to SBoT1, measured like
//   the spine view of DOF 0 of SBoL5.
// Neck and trunk angles take the side the run turns to (flexion positive),
// not the side of its first vertebra.
//
// Each part is scored on a copy of its DOF (GetDOF) whose preferred-angle
// zones hold the ranges and their scores; a copy moves nothing of the body.
// The arm copies have the joint's limits; neck and trunk copies, which take
// the run's angle, the half turn either way. Default ranges, in degrees,
// from the highest angle down (a bound belongs to the range above it):
//   upper arm  >= 90: 4, 45: 3, 20: 2, -20: 1, below: 2
//   lower arm  >= 100: 2, 60: 1, below: 2
//   wrist      >= 15: 3, w: 2, -w: 1, -15: 2, below: 3
//   neck       >= 20: 3, 10: 2, 0: 1, below: 4
//   trunk      >= 60: 4, 20: 3, t: 2, 0: 1, below: 1
// with the neutral widths w = min(5 % of the wrist's flexion limit, 15) and
// t = min(5 % of the summed flexion limits of the lumbar vertebrae SBoL5 to
// SBoL1, 20): a posed manikin never holds exactly 0, and an upright trunk
// keeps a little lumbar play (2.65 degrees with the built-in limits).
//
// Attributes (MKKERULAAttr). The posture questions (shoulder raised, arm
// abducted, wrist bent, wrist twisted, arm out to side, neck twisted, neck
// side-bending, trunk twisted, trunk side-bending) each have a value, yes,
// no or automatic (the default), and a threshold in radians that decides
// automatic: shoulder raised when the clavicle's DOF 1 >= threshold, arm
// abducted when the arm's DOF 1 >= threshold, the others when the magnitude
// of their DOF (wrist bent: the hand's DOF 1; twisted: the forearm's DOF 2;
// out to side: the arm's DOF 2, the forearm swung out or across by the
// arm's rotation) or run angle (neck and trunk DOFs 1 and 2) >= threshold.
// Default thresholds come from the right side's joint limits: shoulder 5 %
// of the clavicle's DOF 1 maximum, abduction 5 % of the arm's DOF 1
// maximum, wrist bent 5 % of the hand's DOF 1 maximum, wrist twisted 95 %
// of the forearm's DOF 2 maximum, out to side 50 % of the arm's DOF 2
// minimum, and 5 % of the run's maximum for the neck and trunk ones.
// Value-only attributes and their defaults: arm supported or leaning (no),
// arms across the mid-line or out to the side (no; when no, the arm's
// rotation decides), muscle use (yes), load mode (static; intermittent,
// repeated or shock), side (right), legs not supported or not balanced
// (no). The load (kg, default 0) has a double only. A value or double form
// that an attribute does not have answers 209; a value it cannot take
// (yes, no or automatic for the questions, the three modes, the two sides,
// yes or no otherwise) or a negative or NaN double answers 5.
//
// Colours: each scored segment of the side (arm, forearm, hand; neck, spine,
// thighs and legs) is coloured by its part's score, within that part's
// scores 1 to top (upper arm 6, lower arm 3, wrist 4, neck 6, trunk 6, legs
// 2): 1, the part's neutral range, is green; the part's worst score is red;
// the scores between spread evenly over yellow, orange and red.
class MKRULASpecs {
 public:
  // One colour per band, 0xRRGGBB: acceptable, investigate, change soon,
  // change immediately.
  static constexpr int sGreen = 0x3CB043;
  static constexpr int sYellow = 0xF2C80F;
  static constexpr int sOrange = 0xF28C28;
  static constexpr int sRed = 0xD7263D;

  // Specs for a body (not owned; it must outlive the specs): copies of its
  // DOFs with the default ranges, and the default attributes. A null body
  // gives specs that score nothing (209).
  static MKRULASpecs* Create(MKBody* body);
  void Destroy();
  MKRULASpecs(const MKRULASpecs&) = delete;
  MKRULASpecs& operator=(const MKRULASpecs&) = delete;

  MKBody* GetBody() const { return body; }

  // Attributes.
  MKStatus SetSpec(const MKKERULAAttr& attr, const MKKERULAValue& value);
  MKStatus SetSpec(const MKKERULAAttr& attr, double value);
  MKStatus GetSpec(const MKKERULAAttr& attr, MKKERULAValue& value) const;
  MKStatus GetSpec(const MKKERULAAttr& attr, double& value) const;
  // The host's default percentages of the threshold attributes: 209 and
  // NaN for the others.
  static MKStatus GetDefaultPercentage(const MKKERULAAttr& attr, double& percentage);
  // Thresholds and values back to their defaults; the ranges stay.
  void Reset();

  // Angle ranges of a part on the side chosen, in radians (or degrees),
  // clamped to its copy's limits; a range carves its place out of those
  // already there. 5 for min > max, a range that the clamping leaves empty
  // or a score outside the part's axis of table A or B (upper arm 1..6,
  // lower arm 1..3, wrist 1..4, neck and trunk 1..6); 209 for another part.
  MKStatus SetSpec(const MKKEBodyPart& part, double min, double max, unsigned int score);
  MKStatus SetSpecInDegrees(const MKKEBodyPart& part, double min, double max, unsigned int score);
  unsigned int GetNumberOfAngleRanges(const MKKEBodyPart& part) const;
  // From the highest angles down; 209 for another part or index.
  MKStatus GetAngleRangeAtIndex(const MKKEBodyPart& part, unsigned int index, double& min,
                                double& max, unsigned int& score) const;
  // The scoring copy of the part's DOF on the side chosen; null for another part.
  MKDOF* GetDOF(const MKKEBodyPart& part) const;

  // The part's measured angle (radians) and the score of its range, before
  // the adjustments; 209, NaN and -1 without body, DOF or run. A zone
  // score outside 0 .. 2^32 - 1 reads 0.
  MKStatus GetScore(const MKKEBodyPart& part, double& angle, unsigned int& score);
  // The score of `results` that colours a segment: the upper arm, lower arm
  // and wrist scores for either side's arm, forearm and hand, the neck
  // score for SHeNe, the trunk score for the vertebrae SBoL5 to SBoT1, the
  // leg score for the thighs and legs. 209 and -1 for any other segment or
  // a score the results lack.
  MKStatus GetScore(const MKShortName& segment, const MKAnalysisResults& results, int& score) const;

  // The posture questions (see above).
  bool IsShoulderRaised() const;
  bool IsArmAbducted() const;
  bool IsArmOutToSide() const;
  bool IsWristBent() const;
  bool IsWristTwisted() const;
  bool IsNeckTwisted() const;
  bool IsNeckSideBending() const;
  bool IsTrunkTwisted() const;
  bool IsTrunkSideBending() const;

  // Colouring: SetColor colours every scored segment from `results`;
  // GetColor answers it (0xRRGGBB), 209 for a segment that `coloring` does
  // not show or that has no colour.
  void SetColor(const MKAnalysisResults& results);
  MKStatus GetColor(const MKShortName& segment, const MKKERULAColoring& coloring, int& color) const;
  bool IsInRULAColoring(const MKShortName& segment, const MKKERULAColoring& coloring) const;
  // The side's arm, forearm and hand.
  bool IsInWristAndArm(const MKShortName& segment) const;
  // The neck, the vertebrae, both thighs and both legs.
  bool IsInNeckTrunkAndLeg(const MKShortName& segment) const;
  // Whether the segment's colouring score is the worst its part can take.
  bool HasMaxScore(const MKShortName& segment) const;
  // The colour of a final score's action level (MKAnalysis::GetRULAActionLevel):
  // green, yellow, orange, red.
  static int GetColorOfFinalScore(unsigned int score);

 private:
  // The scored parts, then the legs, which only colour.
  enum Part { UpperArm, LowerArm, Wrist, Neck, Trunk, Legs };
  static constexpr int kAttributes = 16;
  static constexpr int kSegments = 99;

  explicit MKRULASpecs(MKBody* body);
  ~MKRULASpecs();

  // The highest score of the part's axis in table A or B.
  static int TopScore(Part part);
  static bool ToPart(const MKKEBodyPart& part, Part& p);
  int SideIndex() const;
  // A segment of the side chosen, named by its right-side short name.
  MKShortName OnSide(MKShortName right) const;
  MKDOF* Copy(Part part) const;
  // The default ranges on a fresh copy; `neutralWidth` (radians) is the w
  // of the wrist or the t of the trunk, unused by the other parts.
  void InstallDefaultRanges(Part part, MKDOF* copy, double neutralWidth);
  MKStatus AddRange(MKDOF* copy, Part part, double min, double max, unsigned int score);
  // The body DOF's value, NaN when missing.
  double BodyValue(MKShortName segment, int axis) const;
  double MeasuredAngle(Part part) const;
  // The run angle of the neck or the trunk on `axis`; NaN without body.
  double RunValue(Part part, int axis) const;
  // Which part's score colours a segment, whatever the side; false for none.
  static bool ColouringPart(MKShortName segment, Part& part);
  // The results' score of a part; -1 when missing.
  static int PartScore(const MKAnalysisResults& results, Part part);

  MKBody* body = nullptr;
  // The arm parts' copies per side (0 right, 1 left); the neck and trunk copies.
  MKDOF* armCopies[2][3] = {{nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr}};
  MKDOF* neckCopy = nullptr;
  MKDOF* trunkCopy = nullptr;
  int values[kAttributes] = {};
  double thresholds[kAttributes] = {};
  // Per segment short name: the colour (-1 for none) and the score it shows.
  int colors[kSegments];
  int colorScores[kSegments];
};
