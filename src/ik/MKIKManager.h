#pragma once

#include <vector>

#include "host/KelRawColl.h"
#include "host/KelString.h"
#include "math/MK3DVertex.h"
#include "math/MK3x1Matrix.h"
#include "math/MK4x4Matrix.h"
#include "math/MKFrame.h"
#include "parts/MKMemo.h"
#include "parts/MKShortName.h"
#include "parts/MKStatus.h"

class MKBodyElement;
class MKDOF;
class MKIKConstraint;
class MKIKDumpSink;
class MKIKSpecs;
class MKManikin;
class MKSegment;

// The inverse-kinematics solver of one manikin: it owns the manikin's IK
// constraints and solver settings (MKIKSpecs) and gathers the DOFs that the active
// constraints drive into one variable vector (the global constraint).
class MKIKManager {
 public:
  // Tolerance answered when there are no solver settings.
  static constexpr double sDefaultTolerance = 0.0025;

  explicit MKIKManager(MKManikin* manikin);
  MKIKManager(const MKIKManager&) = delete;
  MKIKManager& operator=(const MKIKManager&) = delete;
  ~MKIKManager();

  MKManikin* GetManikin() const { return manikin; }
  const MKMemo* GetMemo() const { return &memo; }
  void SetMemo(const MKMemo* newMemo);
  void SetMemo(const char* text);
  void SetPelvicFrame(const MKFrame& frame) { pelvicFrame = frame; }
  void GetPelvicMovement(MKFrame& frame) const { frame = pelvicFrame; }

  // ---- Constraints ----
  unsigned int GetNumberOfConstraints() const {
    return static_cast<unsigned int>(constraints.Size());
  }
  // 0-based; null out of range.
  MKIKConstraint* GetIKConstraint(unsigned int i) const;
  MKIKConstraint* GetIKConstraint(const KelString& id) const;
  // Destroys what `out` points to first (removing it when it is one of
  // these constraints). 702 without start segment or when it is not above
  // the end effector (nor the root), 701 without end effector. An element
  // other than a segment stands by its owner segment and gets a Pointing
  // constraint.
  MKStatus AddConstraint(MKBodyElement* endEffector, MKSegment* startSegment, int type,
                         MKIKConstraint*& out, const char* name);
  // 10 when the constraint is not one of these.
  MKStatus RemoveConstraint(MKIKConstraint* constraint);
  MKStatus RemoveConstraintAtIndex(unsigned int i);
  void RemoveAllConstraints();
  // Appends 1 for each active and valid constraint, 0 for the others, and
  // deactivates them all.
  void DeactivateAllConstraints(KelRawCollint& states);
  void ReactivateAllConstraints(const KelRawCollint& states);
  // Whether an active, valid constraint has its end effector on that
  // segment or below it.
  bool IsActiveConstraintOnSegment(int segmentShortName) const;
  void ApplyTransf(const MK4x4Matrix& matrix);
  static const char* DisplayTargetType(int type);
  // Writes the state of every constraint through the trace hooks.
  void DumpConstraintsInfo() const;

  // ---- Tolerance and behaviour ----
  MKIKSpecs* GetIKSpecs() const { return specs; }
  double GetIKTolerance() const;
  // 3 without solver settings.
  MKStatus SetIKTolerance(double tolerance);
  void SetBehavior(int behavior);
  int GetBehavior() const;

  // ---- Variables ----
  // Gathers the chains of the active, valid constraints (see the .cpp).
  void BuildGlobalConstraint();
  // A segment's or a line of sight's DOF count; 0 for other elements.
  static unsigned int GetIKChainElemNumberOfDOFs(const MKBodyElement* element);
  // DOF i (0 to 2) of a segment or a line of sight; null when absent.
  static MKDOF* GetIKChainElemDOF(const MKBodyElement* element, unsigned int i);
  // The driven DOF values in variable order.
  void SaveCurrentIKChainValue(KelRawColldouble& values) const;
  void PasteOldIKChainValue(const KelRawColldouble& values);

  // ---- Optimiser ----
  // Reads the driven DOFs into the start point and its bounds.
  void SetInitValues();
  // Minimises the weighted sum of the active constraints' potentials from
  // the start point within the bounds: 0 when it falls below the tolerance,
  // 1300 when the search stops above it.
  MKStatus QuasiNewton2Resolve();
  // The largest position potential of the active, valid constraints, as
  // last computed.
  double GetMaxPositionPotential() const;
  // Applies the current point to the DOFs and sums the weighted potentials.
  void ComputeGlobalConstraintPotential(double& potential);
  void ComputeGlobalConstraintGradient();

  // ---- Solving ----
  // Satisfies the active constraints by the strategies of the behaviour word;
  // 0 when resolved, 1300 when not. Changes DOF values and the pelvic
  // movement only.
  MKStatus Resolve();
  // The active constraints on their own chains; constraints with a position
  // component that cannot be met together get position weight `w` alone.
  MKStatus LocalResolveWithPositionWeight(double w);
  // `constraint` alone, the others' activity kept. 10 for null.
  MKStatus ResolveOneConstraint(MKIKConstraint* constraint);
  // A temporary constraint brings `endEffector` onto `target` from
  // `startSegment` (Frame for a segment, Pointing for a line of sight); the
  // constraints, their activity and the tolerance are kept.
  MKStatus Reach(MKBodyElement* endEffector, MKSegment* startSegment, const MKFrame& target,
                 unsigned char flag);
  // The same with the target's origin and its X, Y, Z rotations (radians).
  MKStatus Reach(MKBodyElement* endEffector, MKSegment* startSegment, const MK3DVertex& position,
                 const MK3DVertex& rotations);
  // A local solve of the active constraints, line-of-sight constraints
  // turning the head; 0 with a unit pelvic frame when nothing is driven.
  MKStatus QuikLocalResolve();
  // The full-body strategy: a local solve, the pelvis moving with bits 8/16.
  MKStatus ResolveFullBody();
  // Solves a group of constraints on overlapping chains one by one, then
  // together with weights shared by their potentials. Fewer than two: 0.
  MKStatus ResolveIKOnSameChain(KelRawCollPV& group);
  // Each active constraint alone, heaviest first, locking its chain after.
  MKStatus OptimizedConstraintWithPriority();
  // ---- Posture scores and balance ----
  // Installs preferred-angle zones from the RULA angle ranges on the neck,
  // shoulders, arms and wrists and answers the DOFs it changed.
  KelRawCollPV CreatePostureScoreForRULAOptimization() const;
  // Removes every zone of the listed DOFs and empties the list.
  void RemovePostureScoreForRULAOptimization(KelRawCollPV& dofs) const;
  // One solve confined to each driven DOF's best zone, widened into the
  // neighbouring scored zones until it succeeds.
  MKStatus OptimizedWithPosturalScore();
  // The same for each active constraint starting above the mid-thorax alone.
  MKStatus OptimizedConstraintWithPosturalScore();
  // One solve confined to the best zones, without widening.
  MKStatus OptimizedWithBestScore();
  // Nothing to do: RULA works through its zones. Always 0.
  MKStatus OptimizedWithRula();
  // A local solve of the constraints that start in the upper body.
  MKStatus UpperBodyOptimization();
  // Whether the centre of gravity, seen through the rotation of `m`, stands
  // over the basis of support.
  bool CheckRebalance(const MK4x4Matrix& m) const;
  // Shifts the pelvis by halving steps towards the middle of the feet, the
  // legs following; false (posture, targets and `m` unchanged) when three
  // steps cannot balance the body.
  bool RebalanceWithPelvic(MK4x4Matrix& m);

  // Whether a look-at bit is set and no line-of-sight constraint is active.
  bool IsLookAtActive() const;
  // An active Pointing constraint of the head from the neck aimed at the
  // palm of the hand the behaviour chooses, appended; null for no hand.
  MKIKConstraint* CreateLookAtConstraint();

  // A temporary Z Direction constraint from `s` aligns `e` with `target`.
  MKStatus DirectionReach(MKBodyElement* e, MKSegment* s, const MKFrame& target);
  // The same for a frame `offset` from the element's tip, alone.
  MKStatus DirectionReachWithOffset(MKBodyElement* e, MKSegment* s, const MKFrame& offset,
                                    const MKFrame& target);
  // Aligns a Z Direction constraint by a sequence of Frame and Z Direction
  // solves from several starts and a sweep about the target's axis,
  // keeping the best posture. 10 for null.
  MKStatus ResolveDIR(MKIKConstraint* c, const MKFrame& offset, const MKFrame& target);

 private:
  // The optimiser works on the variable arrays; tests and benches reach the
  // gathered variables through the detail accessor.
  friend class MKIKOptimizer;
  friend struct MKIKManagerAccess;

  int GetVariableCount() const { return variableCount; }
  int GetNumberOfDrivenElements() const { return drivenElements.Size(); }
  // 0-based; null out of range.
  MKBodyElement* GetDrivenElement(int i) const;
  void DumpConstraintsInfo(MKIKDumpSink& sink) const;
  // Position error vectors summed over the active constraints with a
  // position component (all of them, or those starting in the upper body).
  MK3x1Matrix GetSystemPositionDiff() const;
  MK3x1Matrix GetUpperBodyPositionDiff() const;
  MK3x1Matrix PositionDiff(bool upperBodyOnly) const;
  // Moves every target by -move (the pelvis by +move), re-solving the feet.
  bool MovePelvic(MK3x1Matrix& move, const MK3x1Matrix& vertical);
  MKSegment* Segment(MKShortName name) const;
  // After a failed solve, the vision looks at the targets of the Pointing
  // constraints left unmet (and of those switched off for the solve).
  void LookAtUnmetTargets(const std::vector<MKIKConstraint*>& switchedOff);

  MKStatus OptimizedWithScore(bool widen);
  // The postural modes of Resolve; the preferred angles are kept.
  MKStatus OptimizePosture(int behavior);
  // Rebalances after a solve; the posture returns when it cannot.
  MKStatus Rebalance(MKStatus status);

  // The look-at step after a solve.
  MKStatus LookAtHand(MKStatus status);

  // Behaviour bits.
  static constexpr int kPelvisFree = 8;
  static constexpr int kPelvisVertical = 16;
  static constexpr int kRebalance = 0x100;
  static constexpr int kNoLineOfSight = 0x400;
  static constexpr int kPosturalScore = 0x1000;
  static constexpr int kRulaScore = 0x2000;
  template <typename Visit>
  void ForEachDrivenDOF(Visit visit) const;
  void EnsureCapacity(std::size_t count);

  MKIKSpecs* specs = nullptr;
  MKMemo memo;
  MKFrame pelvicFrame;
  // The pelvic frame a postural solve started from.
  MKFrame pelvicStart;
  KelRawCollPV constraints;
  KelRawCollPV drivenElements;
  int variableCount = 0;
  std::vector<double> gradient;
  std::vector<double> variables;
  std::vector<double> lowerBounds;
  std::vector<double> upperBounds;
  MKManikin* manikin = nullptr;
  // Set while an unmet head target is reached, which solves again.
  bool reaching = false;
};
