#pragma once

#include <functional>
#include <vector>

#include "host/KelRawColl.h"
#include "host/KelUnicodeString.h"
#include "host/MKKEDOF.h"
#include "math/MK3x1Matrix.h"
#include "parts/MKManikinPart.h"
#include "parts/MKShortName.h"

class MKBody;
class MKBodyElement;
class MKDBJointLimitsVariable;
class MKLineOfSight;
class MKPrefAngle;
class MKSegment;

// One rotation axis of a segment (or of a line of sight): the joint angle,
// its limits, its lock state, its preferred-angle zones and its links.
//
// Angles are radians. A value is a magnitude (>= 0) and a range sign (+1 or
// -1); the mathematical value is their product. Limits are non-negative
// magnitudes on each side of zero: the admissible mathematical values are
// [-min limit, +max limit]. A DOF is a part of kind 17 (posture value) or,
// as a copy, of kind 9 (joint limits).
class MKDOF : public MKManikinPart {
 public:
  // Flag word bits.
  static constexpr int sPureSlave = 0x1000;
  static constexpr int sPureMaster = 0x2000;
  static constexpr int sInverted = 0x4000;
  static constexpr int sLeftHanded = 0x8000;

  enum MKDOFState { Free = 0, ValueLocked = 1, LimitsRemoved = 2 };
  // Which zones CheckAngleContinuity makes follow: every zone's max follows
  // the min of the zone above it (UpdateAll); the zone below a zone whose
  // min moved (UpdateFromMin); the zone above a zone whose max moved
  // (UpdateFromMax).
  enum MKDOFUpdateMode { UpdateAll = 0, UpdateFromMin = 1, UpdateFromMax = 2 };

  explicit MKDOF(MKPartID kind);
  MKDOF(MKBodyElement* owner, int axis, int flags, MKDOF* pureSlave, double defaultDegrees);
  MKDOF(const MKDOF& source);
  MKDOF& operator=(const MKDOF&) = delete;
  ~MKDOF() override;

  // Part operations.
  MKStatus Write(KelStreamDefinition& stream) override;
  MKStatus Read(KelStreamDefinition& stream) override;
  MKManikinPart* ExtractPart(MKPartID kind, unsigned int index,
                             KelRawCollint* shortNames) const override;
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  unsigned int GetSize() const override;
  MKManikinPart* Clone() const override { return new MKDOF(*this); }
  // What a posture holds of this DOF (kind 17): the fields of its stream
  // record (value, range, state, owner short name, axis, speed,
  // acceleration, memo) and its default value, without zones, limits or
  // links, so that postures are cheap to take and to drop.
  MKDOF PostureRecord() const;
  // A copy that stands alone: the same axis, value, zones and owner short
  // name, its limits those of the joint without coupling, but no owner, no
  // links and no lock, so that setting its value moves nothing else (the
  // scoring copies of the analyses).
  MKDOF* CloneDetached() const;
  int GetOwnerShortNameAsChild() const override { return ownerShortName; }
  int GetDOFNumberAsChild() const override { return axis; }
  unsigned int GetSizeAsPostureVariable() const;
  unsigned int GetSizeAsJointLimitsVariable() const;
  void KeepLockStateForPasteFrom(bool keep) { keepLockStateForPaste = keep; }

  // Value.
  double GetValue() const { return value; }
  int GetRange() const { return range; }
  double GetMathematicalValue() const { return value * range; }
  MKStatus SetMathematicalValue(double v);
  MKStatus IncrementValue(double d);
  MKStatus DecrementValue(double d);
  // 12 when the value is locked, 400 for a range other than +1 or -1.
  MKStatus SetValue(double magnitude, int newRange);
  double GetDefaultValue() const;
  int GetDefaultRange() const { return defaultValue < 0 ? -1 : 1; }
  void Reset();

  // Identity.
  MKBodyElement* GetOwner() const { return owner; }
  int GetShortNameOfOwner() const { return ownerShortName; }
  int GetNumber() const { return axis; }
  MKStatus GetNumber(MKKEDOF& dof) const;
  int GetFlags() const { return flags; }
  bool IsInverted() const { return (flags & sInverted) != 0; }
  bool IsLeftHanded() const { return (flags & sLeftHanded) != 0; }
  bool IsPureSlave() const { return (flags & sPureSlave) != 0; }
  bool IsPureMaster() const { return (flags & sPureMaster) != 0; }
  MKDOF* GetPureSlave() const { return pureSlave; }
  bool IsMasterCoupledDOF() const { return coupledSlave != nullptr; }
  bool IsSlaveCoupledDOF() const { return coupledMaster != nullptr; }
  bool IsCoupledDOF() const { return IsMasterCoupledDOF() || IsSlaveCoupledDOF(); }
  KelUnicodeString GetName() const;
  KelUnicodeString GetMinName() const;
  KelUnicodeString GetMaxName() const;

  // Locks. A pure master passes each on to its pure slave first.
  void LockValue();
  void UnlockValue();
  int GetDOFState() const { return state; }
  void LockLimits();
  void UnlockLimits();
  bool AreLimitsLocked() const { return limitsLocked != 0; }

  // Limits (radians).
  double GetMinLim(bool honourLock) const;
  double GetMaxLim(bool honourLock) const;
  double GetMinLimNoCoupling(bool raw) const;
  double GetMaxLimNoCoupling(bool raw) const;
  double GetRemovedLimitsMin() const { return removedLimitsMin; }
  MKStatus SetMinLim(double limit);
  MKStatus SetMaxLim(double limit);
  MKStatus SetMinLim(double limit, unsigned char clampToDatabase);
  MKStatus SetMaxLim(double limit, unsigned char clampToDatabase);
  // `factor` scales the stored no-coupling limit into the effective one; a
  // factor other than 1 must come with that stored limit (else 10).
  MKStatus SetMinLim(double limit, double factor, bool clampToDatabase);
  MKStatus SetMaxLim(double limit, double factor, bool clampToDatabase);
  MKStatus SetMinLimFromPercentile(double percentile);
  MKStatus SetMaxLimFromPercentile(double percentile);
  double GetMinLimAsPercentile() const;
  double GetMaxLimAsPercentile() const;
  double GetMinMean() const;
  double GetMinStdDev() const;
  double GetMaxMean() const;
  double GetMaxStdDev() const;
  void OpenMinLimToMaximum();
  void OpenMaxLimToMaximum();
  void ResetLimits();
  void RemoveLimits();
  void RestoreLimits();
  void SetJointLimitDatabase(MKDBJointLimitsVariable* variable);
  MKDBJointLimitsVariable* GetJointLimitDatabase() const { return database; }
  MKStatus SetLimitsToMatchBestPrefAngle();

  // Speed and acceleration are kept and stored, not used by the kinematics.
  double GetSpeed() const { return speed; }
  double GetAcceleration() const { return acceleration; }
  void SetSpeed(double s) { speed = s; }
  void SetAcceleration(double a) { acceleration = a; }

  // Preferred-angle zones, ordered from the highest angles to the lowest.
  void InitializePrefAngles();
  MKPrefAngle* AddPrefAngle();
  // Adds a zone [b, a] with a score; 0 when refused.
  MKPrefAngle* InsertPrefAngle(double a, double b, double score);
  MKPrefAngle* InsertPrefAngleAfter(unsigned int i, double angle);
  bool RemovePrefAngle(unsigned int i);
  bool RemovePrefAngleInRange(unsigned int k);
  unsigned int RemoveNullPrefAngles();
  void RemoveAllPrefAngles();
  // 5 when the index is out of range or the bound would turn a zone inside out.
  MKStatus SetPrefAngleMin(unsigned int i, double angle);
  MKStatus SetPrefAngleMax(unsigned int i, double angle);
  unsigned int GetNumberOfPrefAngles() const;
  MKPrefAngle* GetPrefAngle(unsigned int i) const;
  MKPrefAngle* GetPrefAngle(const KelUnicodeString& name) const;
  MKPrefAngle* GetPrefAngleFromID(const KelString& id) const;
  unsigned int GetNumberOfPrefAnglesInRange() const;
  MKPrefAngle* GetPrefAngleInRange(unsigned int k) const;
  bool IsPrefAngleInRange(unsigned int i) const;
  double GetScore() const;
  int GetColor() const;
  double GetMaxScore() const;
  bool GetPrefAngleIndexWithHighestScore(int& k) const;
  void SetToHighestScore();
  void UpdatePrefAngleIndices();
  void CheckAngleContinuity(MKDOFUpdateMode mode, unsigned int index);
  void SynchronizePrefAngles();
  void UpdateVisionPrefAngles();

  // Coupling: a master-coupled DOF scales its slave's limits by polynomials
  // of its own relative value.
  void SetSlaveCoupledDOF(MKDOF* slave, const KelRawColldouble& c1, const KelRawColldouble& c2,
                          const KelRawColldouble& c3, const KelRawColldouble& c4);
  void SetMasterCoupledDOF(MKDOF* master) { coupledMaster = master; }
  MKDOF* GetSlaveCoupledDOF() const { return coupledSlave; }
  MKDOF* GetMasterCoupledDOF() const { return coupledMaster; }

  // Spine view: a DOF of the first vertebra of a run of vertebrae standing
  // for the run up to its end element (-1: not a spine DOF). Aggregate
  // angles are magnitudes; the DOF's own range gives their side.
  void SetEndSpineElement(MKShortName end);
  MKShortName GetEndSpineElement() const { return endSpineElement; }
  bool IsSpineDOF() const { return endSpineElement != static_cast<MKShortName>(-1); }
  // The same-axis DOFs of the run, in short-name order (not owned).
  KelRawCollPV GetSpineDofList() const;
  double CalculateSpineDofValue() const;
  double GetValueOfSpineDof();
  void UpdateValueOfSpineDof();
  void InitializeSpineDofValue();
  void InitializeSpineDofLims();
  void InitializeSpineDof();
  void InitializeSpinePrefAngles();
  // 400 for a locked value, removed limits or a range other than +1 or -1.
  MKStatus SetValueOfSpineDof(double magnitude, int newRange);
  // Distributes over the run ending at `end`, then restores the end element.
  MKStatus SetValueOfSpineDof3(MKShortName end, double magnitude, int newRange);
  int GetRangeOfSpineDof() const;
  double GetMinLimOfSpineDof() const;
  double GetMaxLimOfSpineDof() const;
  // Scale every member's limit on that side so that the run's limit becomes `limit`.
  MKStatus SetMinLimOfSpineDof(double limit, bool clampToDatabase);
  MKStatus SetMaxLimOfSpineDof(double limit, bool clampToDatabase);
  MKStatus SetMinLimOfSpineDofFromPercentile(double percentile);
  MKStatus SetMaxLimOfSpineDofFromPercentile(double percentile);
  double GetMinMeanOfSpineDof() const { return spineMinMean; }
  double GetMinStdDevOfSpineDof() const { return spineMinStdDev; }
  double GetMaxMeanOfSpineDof() const { return spineMaxMean; }
  double GetMaxStdDevOfSpineDof() const { return spineMaxStdDev; }
  void LockValueOfSpineDof();
  void UnlockValueOfSpineDof();
  // Zone i of the run: its angle with every member at its own zone i bound.
  double GetMinOfSpinePref(unsigned int i) const;
  double GetMaxOfSpinePref(unsigned int i) const;
  void SetMinOfSpinePref(unsigned int i, double angle);
  void SetMaxOfSpinePref(unsigned int i, double angle);
  double ValueOfSpineDofBetweenSegments() const { return 0.0; }
  MKStatus SetValueOfSpineDofBetweenSegments() const { return MKStatusCoupledSpine; }

 private:
  // A copied segment re-homes the DOFs it copied.
  friend class MKSegment;
  // Moves the DOF and its zones to another element of the same short name
  // (the copy of its segment).
  void SetOwner(MKBodyElement* newOwner);

  void CopyFields(const MKDOF& source);
  struct RecordOnly {};
  MKDOF(const MKDOF& source, RecordOnly);
  // The body the owner segment belongs to, or null.
  MKBody* GetBody() const;
  bool IsCouplingEnabled() const;
  void InvalidateOwner();
  void ApplyCoupling();
  void ApplyKneeCoupling(double x, const KelRawColldouble& c1);
  // Keeps the value within [-effective min, effective max].
  void ClampValueToLimits();
  double ComputeRemovedLimitsMin() const;
  // The line of sight owning this DOF, or null.
  MKLineOfSight* GetOwnerLineOfSight() const;
  // Lines of sight whose limits the database statistics do not set: the
  // side eyes (always free) and the middle one when its row is all zero.
  bool LimitsIgnoreDatabase() const;
  // The limits (radians) the database, or the vision in its place, gives
  // this DOF; false when neither does.
  bool GetDatabaseLimits(double& minLimit, double& maxLimit) const;
  void FitEndZonesToLimits();
  // A DOF of SBoL5, SBoT12 or SHeNe, whose zone edits spread over its run.
  bool IsSpineGroupStart() const;
  MKSegment* GetOwnerSegment() const;
  std::vector<MKSegment*> GetSpineSegments() const;
  MK3x1Matrix SpineChainVector() const;
  MK3x1Matrix SpineRotationAxis() const;
  MKStatus ScaleSpineLimits(bool maxSide, double limit, bool clampToDatabase);
  // The run's angle with every member set to `valueOf(member)`, members restored.
  double MeasureRunAt(const std::function<double(const MKDOF&)>& valueOf) const;
  double SpineZoneBound(unsigned int i, bool maxSide) const;
  void ScaleSpineZoneBound(unsigned int i, bool maxSide, double angle);
  MKStatus WritePostureVariable(KelStreamDefinition& stream);
  MKStatus WriteJointLimitsVariable(KelStreamDefinition& stream);
  MKStatus ReadPostureVariable(KelStreamDefinition& stream);
  MKStatus ReadJointLimitsVariable(KelStreamDefinition& stream);
  MKManikinPart* FindMemo() const;
  MKStatus PastePrefAngles(const MKManikinPart* source);

  int flags = 0;
  unsigned char limitsLocked = 1;
  int state = Free;
  int axis = 0;
  MKDOF* pureSlave = nullptr;
  MKBodyElement* owner = nullptr;
  KelRawColldouble coefficients[4];
  MKDOF* coupledSlave = nullptr;
  MKDOF* coupledMaster = nullptr;
  MKShortName endSpineElement = static_cast<MKShortName>(-1);
  double maxLimNoCoupling = 0.0;
  double minLimNoCoupling = 0.0;
  double removedLimitsMin = 0.0;
  double speed = 0.0;
  double acceleration = 0.0;
  double minLim = 0.0;
  double maxLim = 0.0;
  MKDBJointLimitsVariable* database = nullptr;
  double value = 0.0;
  int range = 1;
  double defaultValue = 0.0;
  KelRawCollPV prefAngles;
  int ownerShortName = -1;
  double spineMaxLim = 0.0;
  double spineMinLim = 0.0;
  double spineValue = 0.0;
  double spineMaxMean = 0.0;
  double spineMaxStdDev = 0.0;
  double spineMinMean = 0.0;
  double spineMinStdDev = 0.0;
  bool keepLockStateForPaste = false;
};
