// The solver on a created man: random frames of the arm within and beyond its
// reach, the promises every solve keeps (limits, locks, restored settings),
// and the edge cases of the optimiser.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKSpecs.h"
#include "ik/MKIKTestSupport.h"
#include "ik/detail/MKIKManagerAccess.h"
#include "manikin/MKManikin.h"

namespace {

MKManikin* Man() {
  static MKManikin* manikin = mkiktest::NewMan().release();
  return manikin;
}

// A Frame constraint on the right hand from the clavicle, and its DOFs.
struct ArmReach {
  ArmReach() : manager(*Man()->GetIKManager()), body(*Man()->GetBody()) {
    manager.AddConstraint(body.GetSegment(RSHaCPr), body.GetSegment(RSArCl), 88, hand, "hand");
    hand->Activate();
    dofs = mkiktest::DrivenDOFs(manager);
    for (MKDOF* dof : dofs) start.push_back(dof->GetMathematicalValue());
  }
  ~ArmReach() {
    Restart();
    manager.RemoveAllConstraints();
  }
  void Restart() {
    for (std::size_t k = 0; k < dofs.size(); ++k) dofs[k]->SetMathematicalValue(start[k]);
  }
  // The hand frame of a random posture within the limits.
  MK4x4Matrix RandomTarget(std::mt19937& rng) {
    for (MKDOF* dof : dofs) {
      std::uniform_real_distribution<double> value(-dof->GetMinLim(false), dof->GetMaxLim(false));
      dof->SetMathematicalValue(value(rng));
    }
    const MK4x4Matrix target = hand->GetEndEffectorMatrix();
    Restart();
    return target;
  }
  MKIKManager& manager;
  MKBody& body;
  MKIKConstraint* hand = nullptr;
  std::vector<MKDOF*> dofs;
  std::vector<double> start;
};

}  // namespace

TEST(MKIKSolverTest, RandomFramesAreMetOrStretchedForWithinLimitsAndLocks) {
  ASSERT_NE(Man(), nullptr);
  ArmReach arm;
  ASSERT_EQ(arm.dofs.size(), 9u);
  std::mt19937 rng(20261210);
  arm.manager.SetIKTolerance(0.005);
  int solved = 0;
  const int trials = 60;
  for (int trial = 0; trial < trials; ++trial) {
    SCOPED_TRACE(trial);
    const MK4x4Matrix target = arm.RandomTarget(rng);
    // Every fifth solve holds one DOF of the chain.
    MKDOF* locked = trial % 5 == 0 ? arm.dofs[static_cast<std::size_t>(trial / 5) % 9] : nullptr;
    double lockedValue = 0.0;
    if (locked) {
      locked->LockValue();
      lockedValue = locked->GetMathematicalValue();
    }
    arm.hand->SetTargetMatrix(target);
    const MKStatus status = arm.manager.Resolve();
    EXPECT_TRUE(mkiktest::WithinLimits(arm.body));
    if (locked) {
      EXPECT_EQ(locked->GetMathematicalValue(), lockedValue);
      locked->UnlockValue();
    } else {
      solved += status == MKStatusSuccess;
    }
    if (status == MKStatusSuccess) {
      arm.hand->ComputePotential();
      EXPECT_TRUE(arm.hand->IsResolved());
    }
    arm.Restart();
    if (trial % 4) continue;
    // The same direction from the shoulder, 2 m away: out of reach, the arm
    // stretches towards it and the solve fails.
    MK4x4Matrix far = target;
    const MK3x1Matrix shoulder = arm.body.GetSegment(RSArAr)->GetOriginPosition();
    MK3x1Matrix away = target.GetTranslation() - shoulder;
    away.Normalize();
    for (int k = 0; k < 3; ++k) far(3, k) = shoulder(k) + 200.0 * away(k);
    arm.hand->SetTargetMatrix(far);
    EXPECT_EQ(arm.manager.Resolve(), MKStatus(1300));
    EXPECT_TRUE(mkiktest::WithinLimits(arm.body));
    MK3x1Matrix reached = arm.hand->GetEndEffectorMatrix().GetTranslation() - shoulder;
    const double upper = arm.body.GetSegment(RSArAr)->GetLength();
    EXPECT_GT(reached.Norm(), 0.9 * (upper + arm.body.GetSegment(RSArFAr)->GetLength()));
    reached.Normalize();
    EXPECT_GT(reached(0) * away(0) + reached(1) * away(1) + reached(2) * away(2), 0.9);
    arm.Restart();
  }
  // Targets drawn from the chain's own postures: nearly all are met.
  EXPECT_GE(solved, trials * 4 / 5 - 1);
  // A target that is not a number (a damaged file) fails instead of hanging.
  MK4x4Matrix broken = arm.RandomTarget(rng);
  broken(3, 0) = std::numeric_limits<double>::quiet_NaN();
  arm.hand->SetTargetMatrix(broken);
  EXPECT_EQ(arm.manager.Resolve(), MKStatus(1300));
  EXPECT_TRUE(mkiktest::WithinLimits(arm.body));
  arm.manager.SetIKTolerance(MKIKSpecs().GetTolerance());
}

TEST(MKIKSolverTest, ADOFAtAZeroLimitStartsHalfADegreeInside) {
  ArmReach arm;
  MKDOF* dof = arm.dofs[4];
  const double min = dof->GetMinLim(false), max = dof->GetMaxLim(false);
  mkiktest::Open(dof, 0.0, 1.0, 0.0);
  arm.manager.SetInitValues();
  EXPECT_NEAR(dof->GetMathematicalValue(), 0.5 * M_PI / 180.0, 1e-12);
  mkiktest::Open(dof, 1.0, 0.0, 0.0);
  arm.manager.SetInitValues();
  EXPECT_NEAR(dof->GetMathematicalValue(), -0.5 * M_PI / 180.0, 1e-12);
  mkiktest::Open(dof, min, max, arm.start[4]);
}

TEST(MKIKSolverTest, DirectOperationsRestoreListActivityBehaviourAndTolerance) {
  ArmReach arm;
  // A target already met moves nothing.
  EXPECT_EQ(arm.manager.Resolve(), MKStatusSuccess);
  for (std::size_t k = 0; k < arm.dofs.size(); ++k)
    EXPECT_EQ(arm.dofs[k]->GetMathematicalValue(), arm.start[k]);
  MKFrame pelvis;
  arm.manager.GetPelvicMovement(pelvis);
  EXPECT_TRUE(MK4x4Matrix(pelvis).IsUnit());
  MKIKConstraint* other = nullptr;
  arm.manager.AddConstraint(arm.body.GetSegment(LSHaCPr), arm.body.GetSegment(LSArCl), 8, other,
                            "left");
  arm.manager.SetBehavior(1);
  arm.manager.SetIKTolerance(0.01);
  std::mt19937 rng(7);
  arm.hand->SetTargetMatrix(arm.RandomTarget(rng));
  const mkiktest::Settings before(arm.manager);
  arm.manager.ResolveOneConstraint(other);
  EXPECT_TRUE(mkiktest::Settings(arm.manager) == before);
  const MK4x4Matrix aim = arm.RandomTarget(rng);
  MKFrame frame;
  aim.GetMKFrame(frame);
  EXPECT_EQ(arm.manager.Reach(arm.body.GetSegment(RSHaCPr), arm.body.GetSegment(RSArCl), frame, 1),
            MKStatusSuccess);
  EXPECT_TRUE(mkiktest::Settings(arm.manager) == before);
  // The reached hand sits on the frame within the reach tolerance.
  MKIKConstraint probe(nullptr, arm.body.GetSegment(RSHaCPr), arm.body.GetSegment(RSArCl), 88,
                       nullptr);
  probe.SetTargetMatrix(aim);
  EXPECT_LT(probe.ComputePotential(), 0.1);
  EXPECT_EQ(arm.manager.QuikLocalResolve(), MKStatusSuccess);
  EXPECT_TRUE(mkiktest::Settings(arm.manager) == before);
  EXPECT_EQ(arm.manager.ResolveOneConstraint(nullptr), MKStatus(10));
}
