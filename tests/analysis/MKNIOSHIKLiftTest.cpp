// A NIOSH 1991 lift whose postures are made by the IK solver: both hands are
// solved onto points chosen so that H, V, D and A are known beforehand, and
// the recommended weight limit and lifting index must follow the equation
// worked here from those chosen values.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "MKHandlingTestSupport.h"
#include "analysis/MKAnalysis.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "math/MKFrame.h"

namespace {

using mkhandlingtest::End;
using mkhandlingtest::Mid;
using A = MKAnalysis;

constexpr double kInch = 2.54;
constexpr double kLb = 0.45359237;

// What the lift is built from: the hands' midpoint `h` cm in front of the
// ankles and `v` cm above the soles, the line between the hands turned by
// `a` degrees from the hips' line.
struct Placement {
  double h, v, a;
};

// Solves both hands, 30 cm apart, from the pelvis onto the placement; true
// when both are met to 0.05 cm.
bool Place(MKManikin& manikin, const Placement& p) {
  MKBody& body = *manikin.GetBody();
  body.SetPosture(MKPostureStanding);
  const MK3DVertex ankles = Mid(body, RSFoAn, LSFoAn), soles = Mid(body, RSFoSo, LSFoSo);
  const MK3DVertex rp = End(body, RSBoIlp), lp = End(body, LSBoIlp);
  // The hips' line lies across the body on the floor's plane.
  EXPECT_NEAR(rp.y, lp.y, 1e-9);
  EXPECT_NEAR(rp.z, lp.z, 1e-9);
  const double side = lp.x > rp.x ? 1.0 : -1.0, turn = p.a * M_PI / 180.0;
  const double ux = side * std::cos(turn) * 15.0, uz = side * std::sin(turn) * 15.0;
  const double cx = ankles.x, cy = soles.y + p.v, cz = ankles.z + p.h;
  MKIKManager& ik = *manikin.GetIKManager();
  MKIKConstraint *right = nullptr, *left = nullptr;
  ik.AddConstraint(body.GetSegment(RSHaCPr), body.GetSegment(SBoTIp), MKIKConstraint::sPosition,
                   right, "right");
  ik.AddConstraint(body.GetSegment(LSHaCPr), body.GetSegment(SBoTIp), MKIKConstraint::sPosition,
                   left, "left");
  right->Activate();
  left->Activate();
  right->SetTargetPosition(cx - ux, cy, cz - uz);
  left->SetTargetPosition(cx + ux, cy, cz + uz);
  ik.SetBehavior(1);
  ik.SetIKTolerance(1e-3);
  ik.Resolve();
  const bool met = right->GetDistanceToTarget() < 0.05 && left->GetDistanceToTarget() < 0.05;
  ik.RemoveAllConstraints();
  return met;
}

// The equation in its published imperial form, from the chosen values, with
// FM = 1 (0.2 lifts/min for up to an hour) and good coupling (CM = 1).
double Rwl(const Placement& p, double travel) {
  const double h = p.h / kInch, v = p.v / kInch, d = travel / kInch;
  return 51 * kLb * (10 / std::fmax(h, 10)) * (1 - 0.0075 * std::fabs(v - 30)) *
         (0.82 + 1.8 / std::fmax(d, 10)) * (1 - 0.0032 * p.a);
}

TEST(NIOSHIKLift, SolvedHandsGiveTheEquationsLimits) {
  auto woman = mktest::Make(0, 50);
  std::mt19937 rng(1991);
  std::uniform_real_distribution<double> reach(28, 40), low(80, 95), high(105, 125), turn(0, 30);
  const MKFrame floor;
  int lifts = 0;
  for (int trial = 0; trial < 8; ++trial) {
    SCOPED_TRACE(trial);
    const Placement from{reach(rng), low(rng), 0.0}, to{reach(rng), high(rng), turn(rng)};
    ASSERT_TRUE(Place(*woman, from));
    mkhandlingtest::Part origin = mkhandlingtest::Posture(*woman);
    ASSERT_TRUE(Place(*woman, to));
    mkhandlingtest::Part destination = mkhandlingtest::Posture(*woman);
    const double load = 6, travel = to.v - from.v;
    MKAnalysisResults r;
    const MKStatus status =
        A::PerformLiftLowerAnalysis(woman.get(), origin.get(), destination.get(), A::MKNIOSH1991,
                                    A::MKCouplingGood, 0.2 / 60, 1, load, 50, floor, floor, r);
    EXPECT_TRUE(status == MKStatusSuccess || status == MKStatusDestinationNotBalanced)
        << status.GetCode();
    const double rwlFrom = Rwl(from, travel), rwlTo = Rwl(to, travel);
    EXPECT_NEAR(r.rwlOrigin, rwlFrom, 0.01 * rwlFrom);
    EXPECT_NEAR(r.rwlDestination, rwlTo, 0.01 * rwlTo);
    EXPECT_NEAR(r.liOrigin, load / rwlFrom, 0.01 * load / rwlFrom);
    EXPECT_NEAR(r.liDestination, load / rwlTo, 0.01 * load / rwlTo);
    ++lifts;
  }
  EXPECT_EQ(lifts, 8);
}

}  // namespace
