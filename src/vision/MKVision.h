#pragma once

#include "host/KelRawColl.h"
#include "host/KelUnicodeString.h"
#include "math/MK3DVertex.h"
#include "parts/MKManikinPart.h"
#include "parts/MKShortName.h"

class MKDBJointLimits;
class MKDOF;
class MKLineOfSight;
class MKManikin;
class MKSegment;
class MKVisualLimitsVariable;

// The three eyes of a vision: its lines of sight, by side.
enum MKEye : int { MKLeftEye = 0, MKMiddleEye = 1, MKRightEye = 2 };
enum MKVisionSide : int { MKVisionLeftSide = 0, MKVisionMiddleSide = 1, MKVisionRightSide = 2 };
// The kind of sight the host shows; it decides the active side of a record
// (2: right, 3: left, others: middle).
enum MKVisionType : int {
  MKVisionBinocular = 0,
  MKVisionAmbinocular = 1,
  MKVisionRightMonocular = 2,
  MKVisionLeftMonocular = 3,
  MKVisionStereo = 4
};

// Status codes of the vision.
enum MKVisionStatus : int {
  MKVisionTooClose = 900,         // target within 0.01 of the eye, or nearer than the proximum
  MKVisionBelowProximum = 901,    // target nearer than the ponctum proximum
  MKVisionBeyondRemotum = 902,    // target farther than the ponctum remotum
  MKVisionInfiniteTarget = 903,   // a coordinate of the target is not finite
  MKVisionOutOfLimits = 904,      // an eye would pass its deviation limits
  MKVisionProximumBounded = 905,  // SetPonctumProximum corrected its value
  MKVisionRemotumBounded = 906,   // SetPonctumRemotum corrected its value
  MKVisionAngleCorrected = 907    // a field angle was corrected
};

// The manikin's sight: three lines of sight hung on the head (left eye,
// middle, right eye), the focus point they converge on, the near and far
// limits of accommodation, the field-of-vision angles (degrees) bounded by a
// linked visual-limit record, and the blind spot.
//
// A vision exists on its own (in a library) or attached to a manikin by
// Build. Detached, the focus point holds (vertical angle, horizontal angle,
// focal distance) of the last look; attached, it is the point looked at.
//
// Eye movement: the middle line of sight's deviation limits follow the field
// angles (horizontal within half the binocular angle on each side; vertical
// up to the top angle and down to the bottom angle) unless the joint-limits
// database gives statistics for it; the side lines turn freely (+-180
// degrees). DOF 0 of a line is the vertical deviation (positive up), DOF 1
// the horizontal one.
class MKVision : public MKManikinPart {
 public:
  static constexpr double sMaxBiomechanicalBinocularAngle = 124.0;
  static constexpr double sMaxBiomechanicalAmbinocularAngle = 188.0;
  static constexpr double sMaxBiomechanicalVerticalTopAngle = 50.0;
  static constexpr double sMaxBiomechanicalVerticalBottomAngle = 70.0;
  static constexpr double sInitialDeviationAngle = -12.0;
  static constexpr double sDefaultPonctumProximum = 5.0;
  static double GetMaxBiomechanicalBinocularAngle() { return sMaxBiomechanicalBinocularAngle; }
  static double GetMaxBiomechanicalAmbinocularAngle() { return sMaxBiomechanicalAmbinocularAngle; }
  static double GetMaxBiomechanicalVerticalTopAngle() { return sMaxBiomechanicalVerticalTopAngle; }
  static double GetMaxBiomechanicalVerticalBottomAngle() {
    return sMaxBiomechanicalVerticalBottomAngle;
  }
  // Name of the record every vision keeps first.
  static const char* GetDefaultLimitsName() { return "MKDefaultLimits"; }

  MKVision();
  // Detached: the copy looks as the source does, through its angles.
  MKVision(const MKVision& source);
  MKVision& operator=(const MKVision&) = delete;
  ~MKVision() override;

  // Part operations.
  MKStatus Write(KelStreamDefinition& stream) override;
  // A record holding values no eye can hold is refused with status 100 and
  // leaves the vision as it was: a focal distance that is NaN, negative or
  // finite beyond 1e8 cm (1000 km; infinity is taken); a proximum that is not
  // within 0 to 1e8 cm; a remotum that is NaN, negative or finite beyond
  // 1e8 cm; an eye angle that is not finite or exceeds half a turn; a NaN
  // field angle. Other values are clamped by the setters.
  MKStatus Read(KelStreamDefinition& stream) override;
  // Memo (13), one visual-limit record (20, by index) or a container (19)
  // of every record but the default one (null when there is none).
  MKManikinPart* ExtractPart(MKPartID kind, unsigned int index,
                             KelRawCollint* shortNames) const override;
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  unsigned int GetSize() const override;
  MKManikinPart* Clone() const override { return new MKVision(*this); }

  // Attachment. The first Build hangs the lines of sight on the eye
  // segments (LSHeEye, SHeFr, RSHeEye) and links their DOFs to the body's
  // joint-limits database; later ones only refresh their placement.
  void Build(MKManikin* owner);
  MKManikin* GetManikin() const { return manikin; }
  bool IsAttached() const { return manikin != nullptr; }
  void UseJointLimitsDB(MKDBJointLimits* database);
  void RelinkJointLimitsDB(MKLineOfSight* line, const MKDBJointLimits* database);
  // True while the vision moves its own DOFs.
  bool IsBuilding() const { return building != 0; }

  // Lines of sight.
  MKLineOfSight* GetLeftLineOfSight() const { return lineOfSight[MKLeftEye]; }
  MKLineOfSight* GetCentralLineOfSight() const { return lineOfSight[MKMiddleEye]; }
  MKLineOfSight* GetRightLineOfSight() const { return lineOfSight[MKRightEye]; }
  // 5000 to 5002; null for any other name.
  MKLineOfSight* GetLineOfSight(const MKShortName& name) const;
  MKLineOfSight* GetLineOfSight(MKEye eye) const;
  MKLineOfSight* GetCurrentLineOfSight() const { return GetLineOfSight(MKEye(activeSide)); }

  // Side, type, convergence. Sides other than 0, 1, 2 are ignored.
  void SetActiveSide(MKVisionSide side);
  MKVisionSide GetActiveSide() const { return MKVisionSide(activeSide); }
  void SetType(MKVisionType newType) { type = newType; }
  MKVisionType GetType() const { return MKVisionType(type); }
  void SetConvergenceMode(unsigned char mode) { convergenceMode = mode; }
  unsigned char GetConvergenceMode() const { return convergenceMode; }

  // World position of an eye: the end of the segment carrying its line of
  // sight; (0, 0, 0) detached; NaN for another eye value.
  MK3DVertex GetEyePosition(MKEye eye) const;
  const MK3DVertex& GetFocalPoint() const { return focusPoint; }
  double GetFocalDistance() const;
  // Radians; the active line's DOF 0 (vertical) and DOF 1 (horizontal).
  double GetVerticalAngle() const;
  double GetHorizontalAngle() const;

  // Looking. Statuses 900 to 904, 10 (non-positive distance) and 2.
  MKStatus LookAt(const MK3DVertex& target);
  MKStatus LookAt(double distance, double vertical, double horizontal);
  MKStatus LookAtWithNoConvergence(double distance, double vertical, double horizontal);
  MKStatus SetFocalDistance(double distance);
  void Reset();

  // Accommodation (cm).
  MKStatus SetPonctumProximum(double proximum);
  double GetPonctumProximum() const { return ponctumProximum; }
  // The nearest distance the eyes can converge at along their current angles,
  // found by bisection between 0 and the focal distance (at most 1 km; 8 cm
  // when looking at infinity): about 40 looks, whatever the values.
  double GetMinPonctumProximum();
  MKStatus SetPonctumRemotum(double remotum);
  double GetPonctumRemotum() const { return ponctumRemotum; }

  // Field angles (degrees), within the linked record's bounds.
  double GetBinocularAngle() const;
  double GetAmbinocularAngle() const;
  double GetMonocularAngle() const;
  double GetVerticalTopAngle() const;
  double GetVerticalBottomAngle() const;
  double GetCentralConeAngle() const { return centralConeAngle; }
  double GetMaxBinocularAngle() const;
  double GetMinBinocularAngle() const;
  double GetMaxAmbinocularAngle() const;
  double GetMinAmbinocularAngle() const;
  double GetMaxMonocularAngle() const;
  double GetMinMonocularAngle() const;
  double GetMaxVerticalTopAngle() const;
  double GetMinVerticalTopAngle() const;
  double GetMaxVerticalBottomAngle() const;
  double GetMinVerticalBottomAngle() const;
  // 907 when the value was corrected (5 for a monocular angle outside
  // [ambinocular / 2, ambinocular]).
  MKStatus SetBinocularAngle(double angle);
  MKStatus SetAmbinocularAngle(double angle);
  MKStatus SetMonocularAngle(double angle);
  MKStatus SetVerticalTopAngle(double angle);
  MKStatus SetVerticalBottomAngle(double angle);
  MKStatus SetCentralConeAngle(double angle);
  // The deviation limits (radians, magnitudes) the field angles give DOF
  // `axis` of the middle line of sight.
  void GetDeviationLimits(int axis, double& minLimit, double& maxLimit) const;

  double GetBlindSpotHorizontalAngle() const { return -15.0; }
  double GetBlindSpotVerticalAngle() const { return -8.0; }
  double GetBlindSpotRadiusHorizontalAngle() const { return 5.5; }
  double GetBlindSpotRadiusVerticalAngle() const { return 7.5; }

  // Visual-limit records; index 0 is always the default record.
  MKStatus AddVisualLimitsVariable(const MKVisualLimitsVariable* record);
  MKStatus LinkToVisualLimitsVariable(unsigned int index);
  MKStatus RemoveVisualLimitsVariable(const KelUnicodeString& name);
  MKStatus RemoveVisualLimitsVariable(unsigned int index);
  MKVisualLimitsVariable* GetVisualLimitsVariable(const KelUnicodeString& name) const;
  MKVisualLimitsVariable* GetVisualLimitsVariable(unsigned int index) const;
  unsigned int GetNumberOfVisualLimitsVariables() const {
    return static_cast<unsigned int>(visualLimits.Size());
  }
  unsigned int GetLinkedVisualLimitsIndex() const {
    return static_cast<unsigned int>(linkedLimits);
  }

  // Deviation angles (radians) that turn `eye` onto `target`; NaN for a bad
  // eye or a detached vision.
  void CalculateDeviationAngles(MKEye eye, const MK3DVertex& target, double& horizontal,
                                double& vertical) const;
  // A DOF of a line of sight moved: the middle line carries the focus.
  void Update(const MKDOF* dof);
  // The default record alone, linked, and the default field angles.
  void ResetAngles();

 private:
  // The middle line of sight moves the focus point as it is placed.
  friend class MKLineOfSight;

  // Sets both DOFs of `line` to the given angles, as the vision's own move.
  void TurnLine(MKLineOfSight* line, double horizontal, double vertical);
  // Whether the angles lie within DOFs 1 and 0 of `line`.
  bool WithinLimits(const MKLineOfSight* line, double horizontal, double vertical) const;
  // The segment carrying the line of sight of `side`, or null.
  MKSegment* GetEyeSegment(int side) const;
  // A point at `distance` from the eye of `side` along the angles, in world space.
  MK3DVertex TargetAlong(int side, double distance, double vertical, double horizontal) const;
  // The angles of `side`'s line of sight (radians); detached, the stored ones.
  void GetSideAngles(int side, double& vertical, double& horizontal) const;
  // The middle line's deviation limits follow the field angles.
  void UpdateDeviationLimits();
  const MKVisualLimitsVariable* GetLinkedLimits() const;
  void DestroyVisualLimits();
  // Keeps the default record and drops the others.
  void RemoveUserVisualLimits();
  int FindVisualLimits(const KelUnicodeString& name) const;
  // Searches the nearest (towards > 0) or farthest distance at which the
  // lines still focus along the angles.
  void SearchFocusableDistance(double start, bool nearer, double vertical, double horizontal);
  // The five field angles through their setters, whatever the current ones.
  void SetFieldAngles(double binocular, double ambinocular, double verticalTop,
                      double verticalBottom, double centralCone);
  // The looks after a read or a paste: once with convergence, else per side.
  void LookAgain(double distance, const double vertical[3], const double horizontal[3]);
  // After those looks and the ponctum setters: when the eyes ended where the
  // recorded values say, up to rounding, they take those values exactly.
  void SettleOnRecord(double distance, const double vertical[3], const double horizontal[3]);
  void CreateLinesOfSight();
  void ResetMiddleZones();

  MKManikin* manikin = nullptr;
  unsigned char building = 0;
  // Set while several field angles change together.
  bool deferLimits = false;
  MK3DVertex focusPoint;
  // A focal distance taken from a record, answered while the active eye and
  // the focus point stay where they were when it was taken: the distance
  // from the eye to a point placed along the angles gives it back only to
  // within rounding.
  struct Settled {
    double distance;
    int side;
    MK3DVertex eye;
    MK3DVertex focus;
  };
  Settled settled{0.0, -1, MK3DVertex(), MK3DVertex()};
  int activeSide = MKVisionMiddleSide;
  int type = MKVisionBinocular;
  double ponctumProximum = sDefaultPonctumProximum;
  double ponctumRemotum;
  MKLineOfSight* lineOfSight[3] = {nullptr, nullptr, nullptr};
  double verticalOffset[3] = {0.0, 0.0, 0.0};
  double horizontalOffset[3] = {0.0, 0.0, 0.0};
  // Kept within the linked record's bounds as they are read.
  mutable double binocularAngle = 0.0;
  mutable double ambinocularAngle = 0.0;
  mutable double verticalTopAngle = 0.0;
  mutable double verticalBottomAngle = 0.0;
  double centralConeAngle = 6.0;
  KelRawCollPV visualLimits;  // MKVisualLimitsVariable*, owned
  int linkedLimits = 0;
  unsigned char convergenceMode = 1;
};
