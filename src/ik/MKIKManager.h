#pragma once

#include <vector>

#include "host/KelRawColl.h"
#include "host/KelString.h"
#include "math/MK4x4Matrix.h"
#include "math/MKFrame.h"
#include "parts/MKMemo.h"
#include "parts/MKStatus.h"

class MKBodyElement;
class MKDOF;
class MKIKConstraint;
class MKIKSpecs;
class MKManikin;
class MKSegment;

// The inverse-kinematics solver of one manikin: it owns the manikin's IK
// constraints and solver settings (MKIKSpecs) and gathers the DOFs that the active
// constraints drive into one variable vector (the global constraint).
class MKIKManager {
 public:
  // Receives the pieces of DumpConstraintsInfo in order.
  class DumpSink {
   public:
    virtual ~DumpSink() = default;
    virtual void Text(const char* text) = 0;
    virtual void Number(int value) = 0;
    virtual void Number(double value) = 0;
    virtual void Matrix(const MK4x4Matrix& matrix) = 0;
  };

  // Tolerance answered when there are no solver settings.
  static constexpr double sDefaultTolerance = 0.0025;

  explicit MKIKManager(MKManikin* manikin);
  MKIKManager(const MKIKManager&) = delete;
  MKIKManager& operator=(const MKIKManager&) = delete;
  ~MKIKManager();

  MKManikin* GetManikin() const { return manikin; }
  const MKMemo& GetMemo() const { return memo; }
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
  void DumpConstraintsInfo(DumpSink& sink) const;

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
  int GetVariableCount() const { return variableCount; }
  int GetNumberOfDrivenElements() const { return drivenElements.Size(); }
  // 0-based; null out of range.
  MKBodyElement* GetDrivenElement(int i) const;
  // A segment's or a line of sight's DOF count; 0 for other elements.
  static unsigned int GetIKChainElemNumberOfDOFs(const MKBodyElement* element);
  // DOF i (0 to 2) of a segment or a line of sight; null when absent.
  static MKDOF* GetIKChainElemDOF(const MKBodyElement* element, unsigned int i);
  // The driven DOF values in variable order.
  void SaveCurrentIKChainValue(KelRawColldouble& values) const;
  void PasteOldIKChainValue(const KelRawColldouble& values);

  // The solver's arrays, each holding at least GetVariableCount() entries.
  double* GetGradient() { return gradient.data(); }
  double* GetVariables() { return variables.data(); }
  double* GetLowerBounds() { return lowerBounds.data(); }
  double* GetUpperBounds() { return upperBounds.data(); }

 private:
  template <typename Visit>
  void ForEachDrivenDOF(Visit visit) const;
  void EnsureCapacity(std::size_t count);

  MKIKSpecs* specs = nullptr;
  MKMemo memo;
  MKFrame pelvicFrame;
  KelRawCollPV constraints;
  KelRawCollPV drivenElements;
  int variableCount = 0;
  std::vector<double> gradient;
  std::vector<double> variables;
  std::vector<double> lowerBounds;
  std::vector<double> upperBounds;
  MKManikin* manikin = nullptr;
};
