// Protocol: the cost of one evaluation of an IK constraint, the inner step
// of every solver iteration, on a 50th-percentile man of the built-in
// population, measured by Google Benchmark's own repetition rule on one core
// (the library has no threads). Two chains, each with a Frame constraint
// (position and two axes) on the right hand:
// - the arm, from the clavicle to the hand (9 DOFs);
// - the spine and arm, from L5 to the hand (51 DOFs).
// For each chain:
// - "Apply+Potential": the chain's DOF values are written (the solver's
//   input point, alternating between two postures so that every segment
//   matrix is recomputed) and the potential computed;
// - "Apply+Gradient": the same write, then the gradient;
// - "Potential" and "Gradient": evaluated on matrices already up to date.
// Two whole solves, each from the standing posture restored before every
// iteration (tolerance 0.005):
// - "FullBodyReach": a Frame constraint on the right hand from the pelvis
//   (the spine and the arm, 60 DOFs) to a target 20 cm forward, 10 cm up
//   and turned by 0.3 rad, solved by Resolve (behaviour 1);
// - "ResolveLookAt": a Position constraint on the right hand from the
//   clavicle to a target 15 cm forward and 10 cm up, solved by Resolve
//   with the look-at bit 0x8000 (the head then turns towards the hand).
// Google Benchmark prints the CPU and its caches with the results.
#include <benchmark/benchmark.h>

#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/detail/MKIKManagerAccess.h"
#include "manikin/MKManikin.h"

namespace {

MKManikin* Manikin() {
  static MKManikin* manikin = [] {
    MKManikin* created = nullptr;
    MKManikin::Create(created, 1, 50.0, nullptr, 1, 1);
    return created;
  }();
  return manikin;
}

// A Frame constraint on the right hand from `start`, active, with a target
// a few centimetres away and turned, and the chain's DOFs in variable order.
struct Setup {
  explicit Setup(MKShortName start) : manager(Manikin()) {
    MKBody* body = Manikin()->GetBody();
    manager.AddConstraint(body->GetSegment(RSHaCPr), body->GetSegment(start), 88, constraint,
                          nullptr);
    constraint->Activate();
    MK4x4Matrix target = constraint->GetTargetMatrix();
    target.RotY(0.3);
    target(3, 0) += 5.0;
    target(3, 2) -= 8.0;
    constraint->SetTargetMatrix(target);
    for (int i = 0; i < MKIKManagerAccess::GetNumberOfDrivenElements(manager); ++i)
      for (unsigned int axis = 0; axis < 3; ++axis)
        if (MKDOF* dof = MKIKManager::GetIKChainElemDOF(
                MKIKManagerAccess::GetDrivenElement(manager, i), axis))
          dofs.push_back(dof);
    for (MKDOF* dof : dofs) {
      const double low = -dof->GetMinLim(false), high = dof->GetMaxLim(false);
      postures[0].push_back(low + 0.4 * (high - low));
      postures[1].push_back(low + 0.6 * (high - low));
    }
    gradient.assign(dofs.size(), 0.0);
  }

  void Apply(int which) {
    for (std::size_t k = 0; k < dofs.size(); ++k) dofs[k]->SetMathematicalValue(postures[which][k]);
  }

  MKIKManager manager;
  MKIKConstraint* constraint = nullptr;
  std::vector<MKDOF*> dofs;
  std::vector<double> postures[2];
  std::vector<double> gradient;
};

void Run(benchmark::State& state, MKShortName start, bool apply, bool withGradient) {
  Setup setup(start);
  state.counters["DOFs"] = static_cast<double>(setup.dofs.size());
  int which = 0;
  for (auto _ : state) {
    if (apply) setup.Apply(which ^= 1);
    if (withGradient) {
      setup.constraint->ComputeGradient(setup.gradient.data());
      benchmark::DoNotOptimize(setup.gradient.data());
    } else {
      benchmark::DoNotOptimize(setup.constraint->ComputePotential());
    }
  }
}

void BM_ArmApplyPotential(benchmark::State& s) {
  Run(s, RSArCl, true, false);
}
void BM_ArmApplyGradient(benchmark::State& s) {
  Run(s, RSArCl, true, true);
}
void BM_ArmPotential(benchmark::State& s) {
  Run(s, RSArCl, false, false);
}
void BM_ArmGradient(benchmark::State& s) {
  Run(s, RSArCl, false, true);
}
void BM_SpineArmApplyPotential(benchmark::State& s) {
  Run(s, SBoL5, true, false);
}
void BM_SpineArmApplyGradient(benchmark::State& s) {
  Run(s, SBoL5, true, true);
}
void BM_SpineArmPotential(benchmark::State& s) {
  Run(s, SBoL5, false, false);
}
void BM_SpineArmGradient(benchmark::State& s) {
  Run(s, SBoL5, false, true);
}

// A whole Resolve on the right hand from `start`, from the standing
// posture each time.
void Solve(benchmark::State& state, MKShortName start, int type, int behavior) {
  MKBody* body = Manikin()->GetBody();
  MKIKManager manager(Manikin());
  MKIKConstraint* c = nullptr;
  manager.AddConstraint(body->GetSegment(RSHaCPr), body->GetSegment(start), type, c, nullptr);
  c->Activate();
  MK4x4Matrix target = c->GetTargetMatrix();
  if (type == MKIKConstraint::sFrame) target.RotY(0.3);
  target(3, 1) += 10.0;
  target(3, 2) += type == MKIKConstraint::sFrame ? 20.0 : 15.0;
  c->SetTargetMatrix(target);
  manager.SetIKTolerance(0.005);
  manager.SetBehavior(behavior);
  std::vector<MKDOF*> all;
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i)
    for (int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof = body->GetSegmentAtIndex(i)->GetDOF(axis)) all.push_back(dof);
  std::vector<double> standing;
  for (MKDOF* dof : all) standing.push_back(dof->GetMathematicalValue());
  int solved = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t k = 0; k < all.size(); ++k) all[k]->SetMathematicalValue(standing[k]);
    state.ResumeTiming();
    solved += manager.Resolve() == MKStatusSuccess;
  }
  state.counters["DOFs"] = MKIKManagerAccess::GetVariableCount(manager);
  state.counters["solved_%"] = 100.0 * solved / static_cast<double>(state.iterations());
  for (std::size_t k = 0; k < all.size(); ++k) all[k]->SetMathematicalValue(standing[k]);
}

void BM_FullBodyReach(benchmark::State& s) {
  Solve(s, SBoPh, MKIKConstraint::sFrame, 1);
}
void BM_ResolveLookAt(benchmark::State& s) {
  Solve(s, RSArCl, MKIKConstraint::sPosition, 0x8000);
}

BENCHMARK(BM_FullBodyReach)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResolveLookAt)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ArmApplyPotential);
BENCHMARK(BM_ArmApplyGradient);
BENCHMARK(BM_ArmPotential);
BENCHMARK(BM_ArmGradient);
BENCHMARK(BM_SpineArmApplyPotential);
BENCHMARK(BM_SpineArmApplyGradient);
BENCHMARK(BM_SpineArmPotential);
BENCHMARK(BM_SpineArmGradient);

}  // namespace
