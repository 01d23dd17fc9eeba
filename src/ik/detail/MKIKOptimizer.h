#pragma once

#include <vector>

#include "parts/MKStatus.h"

class MKDOF;
class MKIKManager;
class MKSegment;

// The numerical core of the IK solver: a bound-constrained quasi-Newton
// descent (BFGS on the variables that are not held at a bound) of the
// weighted sum of the active constraints' potentials, over the manager's
// variable vector x within [l, u]. The potentials are sums of squares, so
// each iteration takes as initial inverse Hessian the inverse of their
// damped Gauss-Newton matrix at the current point and applies the BFGS
// update of the last step to it (product form, no n x n inverse kept).
// Built for one call; it reads the manager's gathered DOFs once and
// allocates its work arrays once.
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
  // The gradient, and the Gauss-Newton matrix for the initial H.
  void ComputeGradientAndCurvature(Work& w);
  // H0 := the inverse of the damped Gauss-Newton matrix on the free
  // variables (the identity when the potentials show no curvature).
  void FactorInitialInverseHessian(Work& w);
  // v := H0 v on the free variables.
  void ApplyInitialInverseHessian(Work& w, double* v) const;
  // d := -H g on the free variables, 0 on the held ones; H is H0, or H0
  // given the BFGS update with the last step and gradient change.
  // A free variable on the bound that d pushes it out of becomes held.
  void ComputeDirection(Work& w);
  // Bound flags, then d := -H0 g.
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
