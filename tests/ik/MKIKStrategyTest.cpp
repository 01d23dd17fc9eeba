// The strategies of Resolve chosen through the behaviour word: priority of
// constraints on one chain, the full body with the pelvis, posture scores
// with the RULA zones, balance by pelvis shift and the look-at of a hand.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKSpecs.h"
#include "ik/MKIKTestSupport.h"
#include "manikin/MKManikin.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

namespace {

// A fresh standing man per test: strategies move the pelvis and the spine.
struct Fixture : ::testing::Test {
  Fixture() { Renew(); }
  void Renew() { man = mkiktest::NewMan(); }
  MKSegment* S(MKShortName name) const { return man->GetBody()->GetSegment(name); }
  MKIKManager& Manager() const { return *man->GetIKManager(); }
  MKIKConstraint* Add(MKShortName end, MKShortName start, int type) {
    MKIKConstraint* c = nullptr;
    EXPECT_EQ(Manager().AddConstraint(S(end), S(start), type, c, nullptr), MKStatusSuccess);
    c->Activate();
    return c;
  }
  // Every DOF of the body with its value.
  std::vector<double> Posture() const {
    std::vector<double> values;
    for (const MKDOF* dof : mkiktest::DOFs(*man->GetBody()))
      values.push_back(dof->GetMathematicalValue());
    return values;
  }
  // Every zone of every DOF: min, max and score.
  std::vector<double> Zones() const {
    std::vector<double> zones;
    for (const MKDOF* dof : mkiktest::DOFs(*man->GetBody()))
      for (unsigned int k = 0; k < dof->GetNumberOfPrefAngles(); ++k) {
        const MKPrefAngle* zone = dof->GetPrefAngle(k);
        zones.insert(zones.end(), {zone->GetMin(), zone->GetMax(), zone->GetScore()});
      }
    return zones;
  }
  bool AllWithinLimits() const { return mkiktest::WithinLimits(*man->GetBody()); }
  mkiktest::ManikinPtr man;
};

// Targets the constraint at its end effector's origin shifted by (x, y, z).
void Shift(MKIKConstraint* c, double x, double y, double z) {
  const MK3x1Matrix at = c->GetEndEffectorMatrix().GetTranslation();
  c->SetTargetPosition(at(0) + x, at(1) + y, at(2) + z);
}

}  // namespace

TEST_F(Fixture, TheHeavierConstraintWinsWhenTheLighterCannotBeMet) {
  MKIKConstraint* heavy = Add(RSHaCPr, RSArCl, MKIKConstraint::sPosition);
  MKIKConstraint* light = Add(RSHaCPr, RSArCl, MKIKConstraint::sPosition);
  light->SetWeight(0.2);
  Shift(heavy, 10.0, 15.0, 0.0);
  Shift(light, -100.0, 150.0, 100.0);
  Manager().SetBehavior(1);
  EXPECT_EQ(Manager().Resolve(), MKStatus(1300));
  // Solved alone first, the heavier target is met to the tolerance of the
  // one-by-one solves (0.0025; how far below depends on the solver's last
  // step); the lighter is left far off.
  EXPECT_LT(heavy->ComputePotential(), 0.0025);
  EXPECT_GT(light->ComputePotential(), 1e3);
  EXPECT_TRUE(heavy->IsActive() && light->IsActive());
  EXPECT_EQ(light->GetWeight(), 0.2);
  // The locks that kept the heavier chain still are released.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(S(RSArAr)->GetDOF(i)->GetDOFState(), MKDOF::Free);
  EXPECT_TRUE(AllWithinLimits());
}

// The RULA zones the posture-score modes optimise with (random behaviour
// words below check that Resolve gives the user's zones back) put the best
// upper-arm zone at -20 to 20 degrees.
TEST_F(Fixture, RULAZonesReplaceThePreferredAnglesUntilRemoved) {
  KelRawCollPV changed = Manager().CreatePostureScoreForRULAOptimization();
  EXPECT_EQ(changed.Size(), 17);
  const MKDOF* flexion = S(RSArAr)->GetDOF(0);
  ASSERT_EQ(flexion->GetNumberOfPrefAngles(), 5u);
  EXPECT_NEAR(flexion->GetPrefAngle(3)->GetMax(), 20.0 * M_PI / 180.0, 1e-12);
  EXPECT_NEAR(flexion->GetPrefAngle(3)->GetMin(), -20.0 * M_PI / 180.0, 1e-12);
  EXPECT_EQ(flexion->GetPrefAngle(3)->GetScore(), 10.0);
  Manager().RemovePostureScoreForRULAOptimization(changed);
  EXPECT_EQ(changed.Size(), 0);
  EXPECT_EQ(flexion->GetNumberOfPrefAngles(), 0u);
}

TEST_F(Fixture, TheHeadLooksAtTheRightHandWhenBothCarryConstraints) {
  MKIKConstraint* right = Add(RSHaCPr, RSArCl, MKIKConstraint::sPosition);
  MKIKConstraint* left = Add(LSHaCPr, LSArCl, MKIKConstraint::sPosition);
  Shift(right, 10.0, 20.0, 30.0);
  Shift(left, -10.0, 20.0, -30.0);
  Manager().SetBehavior(0x8000);
  EXPECT_TRUE(Manager().IsLookAtActive());
  Manager().Resolve();
  // The head points nearer to the right hand than to the left.
  MKIKConstraint probe(nullptr, S(SHeFr), S(SHeNe), MKIKConstraint::sPointing, nullptr);
  probe.SetTargetMatrix(right->GetEndEffectorMatrix());
  const double towardsRight = probe.ComputePotential();
  probe.SetTargetMatrix(left->GetEndEffectorMatrix());
  EXPECT_LT(towardsRight, probe.ComputePotential());
  EXPECT_TRUE(AllWithinLimits());
}

TEST_F(Fixture, DirectionReachTurnsTheHandAndLeavesTheListAsItWas) {
  MKIKConstraint probe(nullptr, S(RSHaCPr), S(RSArCl), MKIKConstraint::sZDirection, nullptr);
  MK4x4Matrix target = probe.GetEndEffectorMatrix();
  target.RotX(0.4);
  MKFrame frame;
  target.GetMKFrame(frame);
  const double tolerance = Manager().GetIKTolerance();
  EXPECT_EQ(Manager().DirectionReach(S(RSHaCPr), S(RSArCl), frame), MKStatusSuccess);
  EXPECT_EQ(Manager().GetNumberOfConstraints(), 0u);
  EXPECT_EQ(Manager().GetIKTolerance(), tolerance);
  probe.SetTargetMatrix(target);
  EXPECT_LT(probe.GetAngleToTarget(), 0.03);
  EXPECT_EQ(Manager().DirectionReach(nullptr, S(RSArCl), frame), MKStatus(10));
  EXPECT_EQ(Manager().ResolveDIR(nullptr, frame, frame), MKStatus(10));
  EXPECT_TRUE(AllWithinLimits());
}

// Random leans of a man whose feet are held: either the pelvis shift puts
// the centre of gravity over the feet, the feet still on their targets, or
// nothing changes.
TEST_F(Fixture, BalanceEndsOverTheFeetOrChangesNothing) {
  std::mt19937 rng(1613);
  std::uniform_real_distribution<double> lean(-35.0, 35.0), knee(0.0, 20.0);
  MK4x4Matrix upright;
  upright.Unit();
  EXPECT_TRUE(Manager().CheckRebalance(upright));
  EXPECT_TRUE(Manager().RebalanceWithPelvic(upright));
  EXPECT_TRUE(upright.IsUnit());
  int balanced = 0, refused = 0;
  for (int trial = 0; trial < 40; ++trial) {
    Renew();
    const double tolerance = Manager().GetIKTolerance();
    const double bend = knee(rng) * M_PI / 180.0;
    for (MKShortName shank : {RSLeLe, LSLeLe}) S(shank)->GetDOF(0)->SetMathematicalValue(bend);
    MKIKConstraint* feet[] = {Add(RSFoSo, RSBoIlp, MKIKConstraint::sPosition),
                              Add(LSFoSo, LSBoIlp, MKIKConstraint::sPosition)};
    MK4x4Matrix m;
    m.Unit();
    if (trial % 2)
      m.RotX(lean(rng) * M_PI / 180.0);
    else
      m.RotZ(lean(rng) * M_PI / 180.0);
    if (Manager().CheckRebalance(m)) continue;
    const MK4x4Matrix entry = m;
    const std::vector<double> before = Posture();
    const MK4x4Matrix targets[] = {feet[0]->GetTargetMatrix(), feet[1]->GetTargetMatrix()};
    if (Manager().RebalanceWithPelvic(m)) {
      ++balanced;
      EXPECT_TRUE(Manager().CheckRebalance(m));
      for (MKIKConstraint* foot : feet) EXPECT_LT(foot->ComputePotential(), 0.5);
      // The shift is horizontal: the rotation is kept and the targets move
      // along the floor of the leaning frame.
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(m(r, c), entry(r, c), 1e-12);
      EXPECT_GT((m.GetTranslation()).Norm(), 0.0);
    } else {
      ++refused;
      EXPECT_EQ(Posture(), before);
      for (int k = 0; k < 2; ++k)
        for (int r = 0; r < 4; ++r)
          for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(feet[k]->GetTargetMatrix()(r, c), targets[k](r, c), 1e-9);
            EXPECT_EQ(m(r, c), entry(r, c));
          }
    }
    EXPECT_TRUE(feet[0]->IsActive() && feet[1]->IsActive());
    EXPECT_EQ(Manager().GetIKTolerance(), tolerance);
    EXPECT_TRUE(AllWithinLimits());
  }
  EXPECT_GE(balanced, 5);
  EXPECT_GE(refused, 5);
}

// Random behaviour words over every strategy bit, on hands and held feet:
// whatever the strategies do, they keep the DOFs within their limits, a
// locked DOF at its value, the user's preferred angles, and the constraint
// list, activity, weights, tolerance and behaviour as they were. A solve
// that succeeds without the balance step leaves every hand near its target.
TEST_F(Fixture, EveryBehaviourWordKeepsWhatItMustKeep) {
  const int bits[] = {2, 4, 8, 16, 32, 64, 0x100, 0x400, 0x1000, 0x2000, 0x8000, 0x10000};
  std::mt19937 rng(2027);
  // Up from the hanging hands, mostly within reach.
  std::uniform_real_distribution<double> offset(-15.0, 15.0), up(5.0, 30.0);
  std::bernoulli_distribution pick(0.3);
  int solved = 0;
  for (int trial = 0; trial < 24; ++trial) {
    Renew();
    int behavior = 0;
    for (int bit : bits)
      if (pick(rng)) behavior |= bit;
    if (behavior == 0 || behavior == 1) behavior = 8;
    SCOPED_TRACE(behavior);
    // A user zone on the elbow and a lock on the left wrist.
    S(RSArFAr)->GetDOF(0)->InsertPrefAngle(0.2, 1.2, 7.0);
    MKDOF* locked = S(LSHaCPr)->GetDOF(0);
    locked->SetMathematicalValue(0.1);
    locked->LockValue();
    std::vector<MKIKConstraint*> list = {
        Add(RSHaCPr, trial % 3 ? RSArCl : SBoTIp, MKIKConstraint::sPosition),
        Add(RSFoSo, RSBoIlp, MKIKConstraint::sPosition),
        Add(LSFoSo, LSBoIlp, MKIKConstraint::sPosition)};
    if (trial % 2) list.push_back(Add(LSHaCPr, LSArCl, MKIKConstraint::sPosition));
    for (std::size_t k = 0; k < list.size(); k += 3)
      Shift(list[k], offset(rng), up(rng), offset(rng));
    list[0]->SetWeight(0.8);
    const std::vector<double> zones = Zones();
    Manager().SetBehavior(behavior);
    Manager().SetIKTolerance(0.01);
    const mkiktest::Settings before(Manager());
    ASSERT_EQ(before.list.size(), list.size());
    const MKStatus status = Manager().Resolve();
    EXPECT_TRUE(status == MKStatusSuccess || status == MKStatus(1300));
    EXPECT_TRUE(AllWithinLimits());
    EXPECT_EQ(locked->GetMathematicalValue(), 0.1);
    EXPECT_EQ(locked->GetDOFState(), MKDOF::ValueLocked);
    EXPECT_EQ(Zones(), zones);
    EXPECT_TRUE(mkiktest::Settings(Manager()) == before);
    if (status == MKStatusSuccess && !(behavior & 0x100)) {
      ++solved;
      for (std::size_t k = 0; k < list.size(); k += 3)
        EXPECT_LT(list[k]->GetDistanceToTarget(), 1.0);
    }
  }
  EXPECT_GE(solved, 12);
}

// Bit 16 lifts the pelvis straight up towards a target above the reach of
// the upper body, the bent knees stretching; the feet stay on their targets.
TEST_F(Fixture, TheVerticalBitRaisesThePelvisAlongTheVertical) {
  for (MKShortName shank : {RSLeLe, LSLeLe}) S(shank)->GetDOF(0)->SetMathematicalValue(0.6);
  MKIKConstraint* feet[] = {Add(RSFoSo, RSBoIlp, MKIKConstraint::sPosition),
                            Add(LSFoSo, LSBoIlp, MKIKConstraint::sPosition)};
  MKIKConstraint* hand = Add(RSHaCPr, SBoTIp, MKIKConstraint::sPosition);
  const MK3x1Matrix head = S(SHeFr)->GetEndPosition();
  hand->SetTargetPosition(head(0), head(1) + 80.0, head(2));
  Manager().SetBehavior(16);
  Manager().Resolve();
  MKFrame pelvis;
  Manager().GetPelvicMovement(pelvis);
  const MK3x1Matrix moved = MK4x4Matrix(pelvis).GetTranslation();
  EXPECT_GT(moved(1), 3.0);
  EXPECT_NEAR(moved(0), 0.0, 1e-9);
  EXPECT_NEAR(moved(2), 0.0, 1e-9);
  for (MKIKConstraint* foot : feet) EXPECT_LT(foot->GetDistanceToTarget(), 0.5);
  EXPECT_LT(S(RSLeLe)->GetDOF(0)->GetMathematicalValue(), 0.6);
  EXPECT_EQ(Manager().GetBehavior(), 16);
  EXPECT_TRUE(AllWithinLimits());
}

// A focus point beside and behind the head is beyond the eyes alone: after
// a posture paste the head and the trunk turn until the middle line of
// sight aims at it.
TEST_F(Fixture, AFocusPointBeyondTheEyesTurnsTheHead) {
  MKVision* vision = man->GetVision();
  const MK3x1Matrix head = S(SHeFr)->GetEndPosition();
  const MK3DVertex point(head(0) + 60.0, head(1) + 10.0, head(2) - 20.0);
  ASSERT_NE(vision->LookAt(point), MKStatusSuccess);
  const MK4x4Matrix before = S(SHeFr)->GetGlobalMatrix();
  Manager().SetBehavior(8);
  man->ResetFocusPointAfterPastePosture(point);
  EXPECT_GT((S(SHeFr)->GetGlobalMatrix().GetZAxis() - before.GetZAxis()).Norm(), 0.3);
  EXPECT_EQ(Manager().GetBehavior(), 1);
  EXPECT_EQ(Manager().GetNumberOfConstraints(), 0u);
  const MK3DVertex eye = vision->GetEyePosition(MKMiddleEye);
  const MK3DVertex aim = vision->GetLineOfSight(MLHeEye)->GetDirection();
  MK3x1Matrix to(point.x - eye.x, point.y - eye.y, point.z - eye.z);
  to *= 1.0 / to.Norm();
  EXPECT_GT(to(0) * aim.x + to(1) * aim.y + to(2) * aim.z, std::cos(5.0 * M_PI / 180.0));
  EXPECT_TRUE(AllWithinLimits());
}
