// Protocol: arm reach, after the IK literature (TRAC-IK, Beeson and Ames
// 2015). For the right and the left arm chain of a created 50th-percentile
// man of the built-in population, from the clavicle to the hand (9 DOFs):
// - 10,000 joint configurations drawn uniformly within the DOF limits (a
//   Mersenne twister, seed 20150101 for the right arm, 20150102 for the
//   left); forward kinematics gives each hand frame (the Frame constraint's
//   end-effector frame);
// - each frame is solved from the standing posture with a Frame constraint
//   (type 88) from the clavicle and MKIKManager::Resolve, the tolerance set
//   to 0.005 (a potential below it puts the hand within 0.082 cm and 0.85
//   degree of the target);
// - the same targets are solved in the same run, from the same start, by
//   Orocos KDL (when it was found at configuration): a KDL::Chain built from
//   the same segments, joint axes and limits, checked first (forward
//   kinematics of 100 random configurations equal to ours to 1e-9 cm), with
//   ChainIkSolverPos_LMA and ChainIkSolverPos_NR_JL;
// - a solve succeeds when it reports success and the hand is within 0.1 cm
//   and 1 degree of the target, measured afterwards on our model by the
//   same function for every solver;
// - reported per solver: success rate, mean, median and 99th percentile of
//   the time of one solve (CPU time of the thread, so that other processes
//   on a shared machine do not count), and the number of solves that left
//   a DOF outside its limits. KDL knows only the outer limits of coupled
//   DOFs: its answer is written onto our DOFs, which keep their coupled
//   limits, before the common measure.
// Each benchmark runs its 10,000 solves once; the table is also printed to
// standard error. Run on an idle machine for the times to mean anything.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/detail/MKIKManagerAccess.h"
#include "manikin/MKManikin.h"

#ifdef MK_HAVE_KDL
#include <kdl/chain.hpp>
#include <kdl/chainfksolverpos_recursive.hpp>
#include <kdl/chainiksolverpos_lma.hpp>
#include <kdl/chainiksolverpos_nr_jl.hpp>
#include <kdl/chainiksolvervel_pinv.hpp>
#endif

namespace {

constexpr int kTargets = 10000;
constexpr double kTolerance = 0.005;

MKManikin* Man() {
  static MKManikin* manikin = [] {
    MKManikin* created = nullptr;
    MKManikin::Create(created, 1, 50.0, nullptr, 1, 1);
    return created;
  }();
  return manikin;
}

// One arm: its constraint, DOFs, standing values and targets.
struct Arm {
  explicit Arm(bool right) : manager(*Man()->GetIKManager()) {
    MKBody* body = Man()->GetBody();
    hand = body->GetSegment(right ? RSHaCPr : LSHaCPr);
    clavicle = body->GetSegment(right ? RSArCl : LSArCl);
    manager.RemoveAllConstraints();
    manager.AddConstraint(hand, clavicle, MKIKConstraint::sFrame, constraint, nullptr);
    constraint->Activate();
    manager.SetIKTolerance(kTolerance);
    manager.SetBehavior(1);
    for (int i = 0; i < MKIKManagerAccess::GetNumberOfDrivenElements(manager); ++i)
      for (unsigned int axis = 0; axis < 3; ++axis)
        if (MKDOF* dof = MKIKManager::GetIKChainElemDOF(
                MKIKManagerAccess::GetDrivenElement(manager, i), axis))
          dofs.push_back(dof);
    for (MKDOF* dof : dofs) standing.push_back(dof->GetMathematicalValue());
    std::mt19937 rng(right ? 20150101u : 20150102u);
    for (int t = 0; t < kTargets; ++t) {
      for (MKDOF* dof : dofs) {
        std::uniform_real_distribution<double> v(-dof->GetMinLim(false), dof->GetMaxLim(false));
        dof->SetMathematicalValue(v(rng));
      }
      targets.push_back(constraint->GetEndEffectorMatrix());
    }
    Stand();
  }
  void Stand() {
    for (std::size_t k = 0; k < dofs.size(); ++k) dofs[k]->SetMathematicalValue(standing[k]);
  }
  void Set(const std::vector<double>& q) {
    for (std::size_t k = 0; k < dofs.size(); ++k) dofs[k]->SetMathematicalValue(q[k]);
  }
  // Whether the hand is within 0.1 cm and 1 degree of the target.
  bool Meets(const MK4x4Matrix& target) const {
    const MK4x4Matrix e = constraint->GetEndEffectorMatrix();
    double d2 = 0.0, trace = 0.0;
    for (int c = 0; c < 3; ++c) d2 += (e(3, c) - target(3, c)) * (e(3, c) - target(3, c));
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) trace += e(r, c) * target(r, c);
    const double cosine = std::max(-1.0, std::min(1.0, 0.5 * (trace - 1.0)));
    return std::sqrt(d2) <= 0.1 && std::acos(cosine) <= M_PI / 180.0;
  }
  bool WithinLimits() const {
    for (const MKDOF* dof : dofs) {
      const double v = dof->GetMathematicalValue();
      if (v < -dof->GetMinLim(false) - 1e-9 || v > dof->GetMaxLim(false) + 1e-9) return false;
    }
    return true;
  }
  MKIKManager& manager;
  MKSegment* hand;
  MKSegment* clavicle;
  MKIKConstraint* constraint = nullptr;
  std::vector<MKDOF*> dofs;
  std::vector<double> standing;
  std::vector<MK4x4Matrix> targets;
};

struct Row {
  double success, mean, median, p99;
  int outside;
};

// CPU time of this thread, in microseconds: the machine is shared, and the
// wall time would count the other processes' turns.
double ThreadMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return 1e6 * static_cast<double>(t.tv_sec) + 1e-3 * static_cast<double>(t.tv_nsec);
}

// Times `solve` on every target of the arm; `solve` answers whether the
// solver reported success, then `apply` (not timed) leaves its result on
// our DOFs and answers whether the solver's own answer left a DOF outside
// its limits.
Row Measure(Arm& arm, const std::function<bool(const MK4x4Matrix&)>& solve,
            const std::function<bool()>& apply) {
  std::vector<double> times;
  int succeeded = 0, outside = 0;
  for (const MK4x4Matrix& target : arm.targets) {
    arm.Stand();
    const double begin = ThreadMicroseconds();
    const bool reported = solve(target);
    times.push_back(ThreadMicroseconds() - begin);
    const bool outsideLimits = apply();
    if (reported && arm.Meets(target)) ++succeeded;
    if (outsideLimits || !arm.WithinLimits()) ++outside;
  }
  std::sort(times.begin(), times.end());
  double sum = 0.0;
  for (double t : times) sum += t;
  const std::size_t n = times.size();
  return {100.0 * succeeded / n, sum / n, times[n / 2], times[(n * 99) / 100], outside};
}

void Report(benchmark::State& state, const char* solver, const Row& row) {
  state.counters["success_%"] = row.success;
  state.counters["mean_us"] = row.mean;
  state.counters["median_us"] = row.median;
  state.counters["p99_us"] = row.p99;
  state.counters["outside_limits"] = row.outside;
  std::fprintf(stderr, "| %-28s | %7.2f %% | %9.1f | %9.1f | %9.1f | %d |\n", solver, row.success,
               row.mean, row.median, row.p99, row.outside);
}

void OurSolver(benchmark::State& state) {
  Arm arm(state.range(0) == 0);
  for (auto _ : state) {
    const Row row = Measure(
        arm,
        [&arm](const MK4x4Matrix& target) {
          arm.constraint->SetTargetMatrix(target);
          return arm.manager.Resolve() == MKStatusSuccess;
        },
        [] { return false; });
    Report(state,
           state.range(0) == 0 ? "MKIKManager::Resolve, right" : "MKIKManager::Resolve, left", row);
  }
  arm.Stand();
}
BENCHMARK(OurSolver)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

#ifdef MK_HAVE_KDL

KDL::Frame ToKDL(const MK4x4Matrix& m) {
  return KDL::Frame(KDL::Rotation(m(0, 0), m(1, 0), m(2, 0), m(0, 1), m(1, 1), m(2, 1), m(0, 2),
                                  m(1, 2), m(2, 2)),
                    KDL::Vector(m(3, 0), m(3, 1), m(3, 2)));
}

// The arm as a KDL chain in the frame of the clavicle's ancestor: per
// segment its fixed placement, then one revolute joint per DOF about the
// segment's X, Y, Z in that order (the applied angle is +-value), and the
// hand's tip.
struct KDLArm {
  explicit KDLArm(Arm& arm) : arm(arm) {
    base = arm.clavicle->GetAncestor()->GetGlobalMatrix();
    for (MKSegment* s = arm.hand; s; s = s->GetAncestor()) {
      path.insert(path.begin(), s);
      if (s == arm.clavicle) break;
    }
    // Where each DOF turns: a pure master turns its hidden pure slave's
    // segment about the slave's axis.
    struct Turn {
      const MKSegment* segment;
      int axis;
      std::size_t dof;
    };
    std::vector<Turn> turns;
    for (std::size_t k = 0; k < arm.dofs.size(); ++k) {
      const MKDOF* dof = arm.dofs[k];
      const MKDOF* turning = dof->IsPureMaster() && dof->GetPureSlave() ? dof->GetPureSlave() : dof;
      turns.push_back(
          {static_cast<const MKSegment*>(turning->GetOwner()), turning->GetNumber(), k});
    }
    const KDL::Joint::JointType types[3] = {KDL::Joint::RotX, KDL::Joint::RotY, KDL::Joint::RotZ};
    for (MKSegment* s : path) {
      chain.addSegment(KDL::Segment(KDL::Joint(KDL::Joint::None), ToKDL(s->GetParaMatrix())));
      for (int axis = 0; axis < 3; ++axis)
        for (const Turn& turn : turns) {
          if (turn.segment != s || turn.axis != axis) continue;
          const MKDOF* dof = arm.dofs[turn.dof];
          const MKDOF* applied =
              dof->IsPureMaster() && dof->GetPureSlave() ? dof->GetPureSlave() : dof;
          const double sense = applied->IsLeftHanded() || applied->IsInverted() ? 1.0 : -1.0;
          chain.addSegment(KDL::Segment(KDL::Joint(types[axis], sense)));
          order.push_back(turn.dof);
        }
    }
    chain.addSegment(KDL::Segment(KDL::Joint(KDL::Joint::None),
                                  KDL::Frame(KDL::Vector(0, 0, arm.hand->GetLength()))));
    const unsigned int n = chain.getNrOfJoints();
    low.resize(n);
    high.resize(n);
    for (unsigned int k = 0; k < n; ++k) {
      low(k) = -arm.dofs[order[k]]->GetMinLimNoCoupling(false);
      high(k) = arm.dofs[order[k]]->GetMaxLimNoCoupling(false);
    }
  }
  // Largest distance between KDL's and our hand over random configurations.
  double Check(std::mt19937& rng) {
    KDL::ChainFkSolverPos_recursive fk(chain);
    double worst = 0.0;
    for (int t = 0; t < 100; ++t) {
      KDL::JntArray q(chain.getNrOfJoints());
      for (unsigned int k = 0; k < q.rows(); ++k) {
        std::uniform_real_distribution<double> v(low(k), high(k));
        arm.dofs[order[k]]->SetMathematicalValue(v(rng));
      }
      // The values as the DOFs took them (a coupled limit may clamp one).
      for (unsigned int k = 0; k < q.rows(); ++k) q(k) = arm.dofs[order[k]]->GetMathematicalValue();
      KDL::Frame tip;
      fk.JntToCart(q, tip);
      tip = ToKDL(base) * tip;
      const KDL::Frame ours = ToKDL(arm.constraint->GetEndEffectorMatrix());
      worst = std::max(worst, (tip.p - ours.p).Norm());
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) worst = std::max(worst, std::fabs(tip.M(i, j) - ours.M(i, j)));
    }
    arm.Stand();
    return worst;
  }
  KDL::JntArray Standing() const {
    KDL::JntArray q(chain.getNrOfJoints());
    for (unsigned int k = 0; k < q.rows(); ++k) q(k) = arm.standing[order[k]];
    return q;
  }
  // Writes KDL's answer onto our DOFs, for the common measure.
  bool Apply(const KDL::JntArray& q) {
    std::vector<double> values(q.rows());
    bool outside = false;
    for (unsigned int k = 0; k < q.rows(); ++k) {
      values[order[k]] = q(k);
      outside = outside || q(k) < low(k) - 1e-9 || q(k) > high(k) + 1e-9;
    }
    arm.Set(values);
    return outside;
  }
  Arm& arm;
  MK4x4Matrix base;
  std::vector<MKSegment*> path;
  KDL::Chain chain;
  // Our DOF index of each KDL joint.
  std::vector<std::size_t> order;
  KDL::JntArray low, high;
};

void KDLSolver(benchmark::State& state) {
  Arm arm(state.range(0) == 0);
  KDLArm kdl(arm);
  std::mt19937 rng(99);
  const double error = kdl.Check(rng);
  state.counters["fk_difference"] = error;
  if (error > 1e-9) {
    std::fprintf(stderr, "KDL forward kinematics differ from ours by %g\n", error);
    state.SkipWithError("KDL forward kinematics differ from ours");
    return;
  }
  const KDL::Frame inverseBase = ToKDL(kdl.base).Inverse();
  const KDL::JntArray start = kdl.Standing();
  KDL::JntArray q(kdl.chain.getNrOfJoints());
  const bool lma = state.range(1) == 0;
  // Stopping tolerances for the 0.1 cm / 1 degree criterion in centimetres:
  // LMA stops when the squared weighted error (cm, and 10 x radians) is
  // below 0.005 (0.071 cm, 0.4 degree), NR_JL when each component of the
  // twist is below 1e-3.
  Eigen::Matrix<double, 6, 1> weights;
  weights << 1.0, 1.0, 1.0, 10.0, 10.0, 10.0;
  KDL::ChainIkSolverPos_LMA solverLMA(kdl.chain, weights, 0.005, 500, 1e-15);
  KDL::ChainFkSolverPos_recursive fk(kdl.chain);
  KDL::ChainIkSolverVel_pinv vel(kdl.chain);
  KDL::ChainIkSolverPos_NR_JL solverNR(kdl.chain, kdl.low, kdl.high, fk, vel, 500, 1e-3);
  for (auto _ : state) {
    const Row row = Measure(
        arm,
        [&](const MK4x4Matrix& target) {
          const KDL::Frame goal = inverseBase * ToKDL(target);
          const int result =
              lma ? solverLMA.CartToJnt(start, goal, q) : solverNR.CartToJnt(start, goal, q);
          return result >= 0;
        },
        [&] { return kdl.Apply(q); });
    const bool right = state.range(0) == 0;
    Report(state,
           lma ? (right ? "KDL LMA, right" : "KDL LMA, left")
               : (right ? "KDL NR_JL, right" : "KDL NR_JL, left"),
           row);
  }
  arm.Stand();
}
BENCHMARK(KDLSolver)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})->Iterations(1)->Unit(
    benchmark::kMillisecond);

#endif

}  // namespace
