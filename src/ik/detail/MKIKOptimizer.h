#pragma once

#include <vector>

#include "parts/MKStatus.h"

class MKDOF;
class MKIKManager;
class MKSegment;

// The numerical core of the IK solver: a bound-constrained quasi-Newton
// descent (BFGS on the variables that are not held at a bound) of the
// weighted sum of the active constraints' potentials, over the manager's
// variable vector x within [l, u]. Built for one call; it reads the
// manager's gathered DOFs once and allocates its work arrays once.
class MKIKOptimizer {
 public:
  explicit MKIKOptimizer(MKIKManager& manager);

  // x, l and u from the driven DOFs; a DOF at zero with a limit at zero
  // first moves half a degree off it; a locked DOF gets l = u = x.
  void SetInitValues();
  // Writes x into the driven DOFs; an upper arm swung back through the
  // trunk returns to its default abduction.
  void ApplyInputPoint(const double* x);
  // Applies the manager's x and answers the weighted sum of the potentials.
  double ComputeGlobalConstraintPotential();
  // The manager's gradient at the DOF values as they stand.
  void ComputeGlobalConstraintGradient();
  // 0 when the potential falls below the tolerance, 1300 when the search
  // stops above it. The DOFs keep the last accepted point.
  MKStatus QuasiNewton2Resolve();

 private:
  struct Work;
  void InitValuesForQuasiNewton2Resolve(Work& w);
  bool IKLineSearch(Work& w, double fOld, double& phi, double stepMax);

  MKIKManager& manager;
  int n = 0;
  std::vector<MKDOF*> dofs;
  // Upper-arm abduction DOFs (variable index, the arm's flexion DOF, the arm).
  struct Arm {
    int index;
    MKDOF* flexion;
    MKDOF* abduction;
    MKSegment* arm;
  };
  std::vector<Arm> arms;
  MKSegment* lumbar = nullptr;
  double trunkClearance = 0.0;
};
