#include "ik/detail/MKIKOptimizer.h"

#include <algorithm>
#include <cmath>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/detail/MKIKCurvature.h"

namespace {

constexpr double kEpsilon = 1.1920929e-07;
constexpr double kTolX = 4.0 * kEpsilon;
constexpr double kAlf = 1e-05;
constexpr double kMaxStep = 1.0;
constexpr double kCurvature = 3e-05;
constexpr int kIterations = 1500;
constexpr double kDegree = M_PI / 180.0;
constexpr int kHeld = 1;
// The damping of the Gauss-Newton matrix before inversion: a share of its
// largest diagonal term, so that directions the potentials do not see
// (redundant DOFs) keep a bounded step, and a share of the potential (on
// the gradient's scale), so that far from the target, where the linear
// model of the residuals is poor, the steps shorten, while near a
// reachable target the damping vanishes and the steps become Gauss-Newton
// steps. The potential's share stops at the largest diagonal term: past it
// a far target shortened every step tenfold and more, and the solve spent
// several iterations closing in.
constexpr double kDamping = 1e-3;
constexpr double kPotentialDamping = 1.0;
constexpr double kPotentialDampingCap = 1.0;

bool Counts(const MKIKConstraint* c) {
  return c->IsActive() && !c->IsInvalid();
}

}  // namespace

// The per-solve work arrays.
struct MKIKOptimizer::Work {
  explicit Work(int n)
      : held(n, 0),
        uncoupled(n, 0),
        free(n),
        xPrev(n),
        gPrev(n),
        d(n),
        side(n),
        xOld(n),
        s(n),
        y(n),
        q(n),
        curvature(n),
        factor(static_cast<std::size_t>(n) * n),
        inverseDiagonal(n) {}
  std::vector<int> held;
  // Free variables whose H0 row and column keep only the diagonal.
  std::vector<int> uncoupled;
  // The free variables' indexes, the first freeCount entries.
  std::vector<int> free;
  std::size_t freeCount = 0;
  std::vector<double> xPrev, gPrev, d, side, xOld, s, y, q;
  MKIKCurvature curvature;
  // The initial inverse Hessian H0 as the Cholesky factor (lower triangle)
  // of the damped curvature on the free variables; none when the potentials
  // show no curvature there, H0 then being the identity.
  std::vector<double> factor, inverseDiagonal;
  bool factored = false;
  // Whether H is H0 updated by the pair (s, y), rho = 1 / s'y.
  bool paired = false;
  double rho = 0.0;
  double phi = 0.0;
};

MKIKOptimizer::MKIKOptimizer(MKIKManager& m) : manager(m), n(m.variableCount) {
  MKBody* body = nullptr;
  for (int i = 0; i < m.drivenElements.Size(); ++i) {
    MKBodyElement* element = m.GetDrivenElement(i);
    for (unsigned int axis = 0; axis < 3; ++axis) {
      MKDOF* dof = MKIKManager::GetIKChainElemDOF(element, axis);
      if (!dof) continue;
      const int owner = dof->GetShortNameOfOwner();
      if (dof->GetNumber() == 1 && (owner == RSArAr || owner == LSArAr) &&
          element->GetMKClassName() == MKSegmentClass) {
        auto* arm = static_cast<MKSegment*>(element);
        arms.push_back({static_cast<int>(dofs.size()), arm->GetDOF(0), dof, arm});
        body = arm->GetBody();
      }
      dofs.push_back(dof);
    }
  }
  if (body && !arms.empty()) {
    lumbar = body->GetSegment(SBoL3);
    MKSegment* clavicle = body->GetSegment(RSArCl);
    if (clavicle) {
      trunkClearance = clavicle->GetLength();
      if (clavicle->GetAncestor()) trunkClearance += clavicle->GetAncestor()->GetLength();
    }
  }
  n = std::min(n, static_cast<int>(dofs.size()));
}

void MKIKOptimizer::SetInitValues() {
  double* x = manager.variables.data();
  double* l = manager.lowerBounds.data();
  double* u = manager.upperBounds.data();
  for (int i = 0; i < n; ++i) {
    MKDOF* dof = dofs[static_cast<std::size_t>(i)];
    // A value resting on a limit at zero moves half a degree inside, so
    // that the search does not start held at that bound.
    if (std::fabs(dof->GetMathematicalValue()) < 0.05 * kDegree) {
      if (dof->GetMinLimNoCoupling(false) < 0.05 * kDegree)
        dof->SetMathematicalValue(0.5 * kDegree);
      else if (dof->GetMaxLimNoCoupling(false) < 0.05 * kDegree)
        dof->SetMathematicalValue(-0.5 * kDegree);
    }
    x[i] = dof->GetMathematicalValue();
    if (dof->GetDOFState() == 1) {
      l[i] = u[i] = x[i];
      continue;
    }
    for (const Arm& arm : arms)
      if (arm.index == i && arm.flexion && arm.flexion->GetMathematicalValue() < 10.0 * kDegree &&
          x[i] < -3.0 * kDegree)
        x[i] = 5.0 * kDegree;
    l[i] = -dof->GetMinLimNoCoupling(false);
    u[i] = dof->GetMaxLimNoCoupling(false);
  }
}

void MKIKOptimizer::ApplyInputPoint(const double* x) {
  // A DOF already at its value is left alone: writing it would invalidate
  // the matrices of its whole subtree.
  for (int i = 0; i < n; ++i) {
    MKDOF* dof = dofs[static_cast<std::size_t>(i)];
    if (dof->GetMathematicalValue() != x[i]) dof->SetMathematicalValue(x[i]);
  }
  if (!lumbar) return;
  for (const Arm& arm : arms) {
    if (arm.index >= n || x[arm.index] >= -3.0 * kDegree) continue;
    // An arm pulled backwards whose elbow comes close to the trunk axis
    // would pass through the trunk: its abduction returns to the default.
    // The elbow in the lumbar frame, a rigid one: its offset from the
    // origin projected on the X and Y axes.
    const MK4x4Matrix& frame = lumbar->GetGlobalMatrix();
    const MK3x1Matrix end = arm.arm->GetEndPosition();
    double along[2] = {0.0, 0.0};
    for (int axis = 0; axis < 2; ++axis)
      for (int c = 0; c < 3; ++c) along[axis] += (end(c) - frame(3, c)) * frame(axis, c);
    const double horizontal = std::hypot(along[0], along[1]);
    if (horizontal < trunkClearance && arm.flexion &&
        arm.flexion->GetMathematicalValue() < 15.0 * kDegree)
      arm.abduction->Reset();
  }
}

double MKIKOptimizer::ComputeGlobalConstraintPotential() {
  ApplyInputPoint(manager.variables.data());
  double phi = 0.0;
  for (int i = 1; i <= manager.constraints.Size(); ++i) {
    auto* c = static_cast<MKIKConstraint*>(manager.constraints[i]);
    if (Counts(c)) phi += c->ComputePotential() * c->GetWeight();
  }
  return phi;
}

void MKIKOptimizer::ComputeGlobalConstraintGradient() {
  double* g = manager.gradient.data();
  std::fill(g, g + n, 0.0);
  for (int i = 1; i <= manager.constraints.Size(); ++i) {
    auto* c = static_cast<MKIKConstraint*>(manager.constraints[i]);
    if (Counts(c)) c->ComputeGradient(g);
  }
}

void MKIKOptimizer::ComputeGradientAndCurvature(Work& w) {
  double* g = manager.gradient.data();
  std::fill(g, g + n, 0.0);
  std::fill(w.curvature.matrix.begin(), w.curvature.matrix.end(), 0.0);
  for (int i = 1; i <= manager.constraints.Size(); ++i) {
    auto* c = static_cast<MKIKConstraint*>(manager.constraints[i]);
    if (Counts(c)) c->ComputeGradient(g, &w.curvature);
  }
}

void MKIKOptimizer::FactorInitialInverseHessian(Work& w) {
  const auto N = static_cast<std::size_t>(n);
  const double* b = w.curvature.matrix.data();
  std::size_t m = 0;
  double largest = 0.0;
  for (int i = 0; i < n; ++i)
    if (!w.held[i]) {
      w.free[m++] = i;
      largest = std::max(largest, b[static_cast<std::size_t>(i) * N + i]);
    }
  w.freeCount = m;
  w.factored = false;
  if (!(largest > 0.0)) return;
  const double mu = kDamping * largest + std::min(kPotentialDampingCap * largest,
                                                  kPotentialDamping * 2.0 * kDegree * w.phi);
  // The damped curvature on the free variables, gathered into the lower
  // triangle of a dense m x m block, then factored in place.
  double* f = w.factor.data();
  for (std::size_t i = 0; i < m; ++i) {
    const auto r = static_cast<std::size_t>(w.free[i]);
    const double* row = b + r * N;
    double* out = f + i * m;
    for (std::size_t j = 0; j < i; ++j) {
      const auto c = static_cast<std::size_t>(w.free[j]);
      out[j] = w.uncoupled[r] || w.uncoupled[c] ? 0.0 : row[c];
    }
    out[i] = row[r] + mu;
  }
  // Column by column, so that the entries below the diagonal, independent
  // of one another, are computed side by side.
  for (std::size_t j = 0; j < m; ++j) {
    const double* lj = f + j * m;
    double diagonal = lj[j];
    for (std::size_t k = 0; k < j; ++k) diagonal -= lj[k] * lj[k];
    if (!(diagonal > 0.0)) return;
    f[j * m + j] = std::sqrt(diagonal);
    const double inverse = 1.0 / f[j * m + j];
    w.inverseDiagonal[j] = inverse;
    for (std::size_t i = j + 1; i < m; ++i) {
      double* li = f + i * m;
      double sum = li[j];
      for (std::size_t k = 0; k < j; ++k) sum -= li[k] * lj[k];
      li[j] = sum * inverse;
    }
  }
  w.factored = true;
}

void MKIKOptimizer::ApplyInitialInverseHessian(Work& w, double* v) const {
  if (!w.factored) return;
  const std::size_t m = w.freeCount;
  const double* f = w.factor.data();
  double* t = w.q.data();
  for (std::size_t i = 0; i < m; ++i) {
    double sum = v[w.free[i]];
    for (std::size_t k = 0; k < i; ++k) sum -= f[i * m + k] * t[k];
    t[i] = sum * w.inverseDiagonal[i];
  }
  for (std::size_t i = m; i-- > 0;) {
    double sum = t[i];
    for (std::size_t k = i + 1; k < m; ++k) sum -= f[k * m + i] * t[k];
    t[i] = sum * w.inverseDiagonal[i];
  }
  for (std::size_t i = 0; i < m; ++i) v[w.free[i]] = t[i];
}

void MKIKOptimizer::ComputeDirection(Work& w) {
  const double* x = manager.variables.data();
  const double* g = manager.gradient.data();
  const double* l = manager.lowerBounds.data();
  const double* u = manager.upperBounds.data();
  std::fill(w.uncoupled.begin(), w.uncoupled.end(), 0);
  for (;;) {
    FactorInitialInverseHessian(w);
    // d = -H g, H = (I - rho s y') H0 (I - rho y s') + rho s s' when paired.
    double a = 0.0;
    if (w.paired)
      for (int i = 0; i < n; ++i) a += w.rho * w.s[i] * g[i];
    for (int i = 0; i < n; ++i) w.d[i] = w.held[i] ? 0.0 : g[i] - a * w.y[i];
    ApplyInitialInverseHessian(w, w.d.data());
    double b = 0.0;
    if (w.paired)
      for (int i = 0; i < n; ++i) b += w.rho * w.y[i] * w.d[i];
    for (int i = 0; i < n; ++i) w.d[i] = w.held[i] ? 0.0 : -(w.d[i] + (a - b) * w.s[i]);
    // A free variable on a bound that d pushes further out loses its
    // coupling to the others in H0 (its step becomes a scaled gradient
    // step, which leaves the bound), or is held when the gradient too
    // pushes it out; d is then computed again from H0 alone. Without this
    // the direction and the release rule, which reads the gradient, would
    // take turns moving it off and back onto the bound.
    bool more = false;
    for (int i = 0; i < n; ++i) {
      if (w.held[i] || w.uncoupled[i]) continue;
      const bool low = w.d[i] < 0.0 && x[i] - l[i] < kTolX;
      if (!low && !(w.d[i] > 0.0 && u[i] - x[i] < kTolX)) continue;
      more = true;
      if (low ? g[i] > 0.0 : g[i] < 0.0) {
        w.held[i] = kHeld;
        w.side[i] = low ? -1.0 : 1.0;
      } else {
        w.uncoupled[i] = 1;
      }
    }
    if (!more) break;
    w.paired = false;
  }
}

void MKIKOptimizer::InitValuesForQuasiNewton2Resolve(Work& w) {
  const double* x = manager.variables.data();
  const double* g = manager.gradient.data();
  const double* l = manager.lowerBounds.data();
  const double* u = manager.upperBounds.data();
  for (int i = 0; i < n; ++i) {
    w.xPrev[i] = x[i];
    w.gPrev[i] = g[i];
    w.d[i] = -g[i];
    w.side[i] = w.d[i] < 0.0 ? -1.0 : 1.0;
    const bool atBound = w.d[i] < 0.0 ? x[i] - l[i] < kTolX : u[i] - x[i] < kTolX;
    w.held[i] = atBound ? kHeld : 0;
    if (atBound) w.d[i] = 0.0;
  }
  w.paired = false;
  ComputeDirection(w);
}

bool MKIKOptimizer::IKLineSearch(Work& w, double fOld, double& phi, double stepMax) {
  double* x = manager.variables.data();
  const double* g = manager.gradient.data();
  const double tolerance = manager.GetIKTolerance();
  double slope = 0.0, test = 0.0;
  for (int i = 0; i < n; ++i) {
    w.xOld[i] = x[i];
    slope += g[i] * w.d[i];
    test = std::max(test, std::fabs(w.d[i]) / std::max(std::fabs(x[i]), 1.0));
  }
  const double lambdaMin = test <= kTolX ? kTolX : kTolX / test;
  double lambda = std::min(kMaxStep, stepMax);
  double lambda2 = 0.0, phi2 = 0.0;
  const auto reject = [&] {
    std::copy(w.xOld.begin(), w.xOld.begin() + n, x);
    ApplyInputPoint(x);
    phi = fOld;
    return false;
  };
  for (;;) {
    for (int i = 0; i < n; ++i) x[i] = w.xOld[i] + lambda * w.d[i];
    phi = ComputeGlobalConstraintPotential();
    if (phi <= tolerance || phi <= fOld + kAlf * lambda * slope) {
      ComputeGradientAndCurvature(w);
      return true;
    }
    // Written so that a step made NaN by a potential that is not a number
    // (a hostile target) ends the search instead of looping forever.
    if (!(lambda >= lambdaMin)) return reject();
    double next = 0.1 * lambda;
    if (std::fabs(lambda - 1.0) < kEpsilon || std::fabs(lambda - stepMax) < kEpsilon) {
      const double denominator = 2.0 * (phi - fOld - slope);
      if (std::fabs(denominator) > kEpsilon) next = -slope / denominator;
    } else {
      const double r1 = phi - fOld - lambda * slope;
      const double r2 = phi2 - fOld - lambda2 * slope;
      const double q1 = lambda * lambda * (lambda - lambda2);
      const double q2 = lambda2 * lambda2 * (lambda - lambda2);
      if (std::fabs(q1) > kEpsilon && std::fabs(q2) > kEpsilon) {
        const double a = r1 / q1 - r2 / q2;
        const double b = lambda * r2 / q2 - lambda2 * r1 / q1;
        if (std::fabs(a) <= kEpsilon) {
          if (std::fabs(b) > kEpsilon) next = -slope / (2.0 * b);
        } else {
          const double disc = b * b - 3.0 * a * slope;
          if (disc < 0.0) return reject();
          next = (-b + std::sqrt(disc)) / (3.0 * a);
        }
      }
    }
    lambda2 = lambda;
    phi2 = phi;
    lambda = std::max(std::min(next, 0.75 * lambda), 0.1 * lambda);
  }
}

MKStatus MKIKOptimizer::QuasiNewton2Resolve() {
  MKStatus status(1300);
  if (n <= 0) return status;
  const double tolerance = manager.GetIKTolerance();
  double* x = manager.variables.data();
  double* g = manager.gradient.data();
  const double* l = manager.lowerBounds.data();
  const double* u = manager.upperBounds.data();
  Work w(n);
  double phi = ComputeGlobalConstraintPotential();
  // Already within tolerance: nothing to move.
  if (phi < tolerance) return MKStatusSuccess;
  w.phi = phi;
  ComputeGradientAndCurvature(w);
  InitValuesForQuasiNewton2Resolve(w);
  bool restarted = false;
  double phiAtRestart = phi;
  for (int iteration = 0; iteration < kIterations; ++iteration) {
    double stepMax = 1.0;
    for (int i = 0; i < n; ++i) {
      if (w.held[i] || w.d[i] == 0.0) continue;
      const double a = w.d[i] < 0.0 ? (x[i] - l[i]) / -w.d[i] : (u[i] - x[i]) / w.d[i];
      if (a > 0.0) stepMax = std::min(stepMax, a);
    }
    const double fOld = phi;
    const bool accepted = IKLineSearch(w, fOld, phi, stepMax);
    w.phi = phi;
    int released = -1;
    if (accepted) {
      // The gradient pushes this held variable off its bound.
      for (int i = 0; i < n; ++i)
        if (w.held[i] && w.side[i] * g[i] > 0.0) released = i;
      if (released >= 0) {
        w.held[released] = 0;
        w.side[released] = -w.side[released];
      }
    } else if (phi > tolerance) {
      if (restarted && !(phi < phiAtRestart)) break;
      // Steepest descent from here.
      restarted = true;
      phiAtRestart = phi;
      ComputeGradientAndCurvature(w);
      InitValuesForQuasiNewton2Resolve(w);
      continue;
    }
    if (phi < tolerance) {
      status = MKStatusSuccess;
      break;
    }
    int newlyHeld = -1;
    for (int i = 0; i < n && newlyHeld < 0; ++i) {
      if (w.held[i] || i == released) continue;
      if (x[i] - l[i] < kTolX) {
        w.side[i] = -1.0;
        newlyHeld = i;
      } else if (u[i] - x[i] < kTolX) {
        w.side[i] = 1.0;
        newlyHeld = i;
      }
    }
    if (newlyHeld >= 0) w.held[newlyHeld] = kHeld;
    double largestStep = 0.0, largestGradient = 0.0;
    for (int i = 0; i < n; ++i) {
      w.s[i] = x[i] - w.xPrev[i];
      w.y[i] = w.held[i] ? 0.0 : g[i] - w.gPrev[i];
      w.xPrev[i] = x[i];
      w.gPrev[i] = g[i];
      if (w.held[i] || i == released) continue;
      largestStep = std::max(largestStep, std::fabs(w.s[i]));
      largestGradient = std::max(largestGradient, std::fabs(g[i]) * std::max(std::fabs(x[i]), 1.0));
    }
    if (largestStep < kTolX && released < 0 && newlyHeld < 0) break;
    if (largestGradient / std::max(phi, 1.0) < kTolX) break;
    double sy = 0.0, ss = 0.0, yy = 0.0;
    for (int i = 0; i < n; ++i) {
      if (w.held[i]) w.s[i] = 0.0;
      sy += w.s[i] * w.y[i];
      ss += w.s[i] * w.s[i];
      yy += w.y[i] * w.y[i];
    }
    // The pair keeps H positive definite only for a positive curvature.
    w.paired = sy > 0.0 && sy * sy > kCurvature * ss * yy;
    w.rho = w.paired ? 1.0 / sy : 0.0;
    ComputeDirection(w);
  }
  return status;
}
