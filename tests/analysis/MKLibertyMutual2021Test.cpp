// The Liberty Mutual 2021 equations: the paper's worked example and the
// fourteen "75 % capable" values of its Table 4, the published input ranges,
// and lifts measured on a posed manikin.
#include <gtest/gtest.h>

#include <cmath>

#include "MKHandlingTestSupport.h"
#include "analysis/MKAnalysis.h"
#include "analysis/detail/MKLibertyMutual2021.h"
#include "math/MKFrame.h"

namespace {

using LM = MKLibertyMutual2021;
using mkhandlingtest::Measure;
using mkhandlingtest::Posture;
using mkrulatest::SetDegrees;

double Round(double x, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(x * scale) / scale;
}

// Section 3.4: a woman lifts 12 kg once a minute from 0.775 m to 1.285 m
// with a reach of 0.38 m.
TEST(LibertyMutual2021, WorkedExample) {
  LM::Inputs in{};
  in.h = 0.38;
  in.dv = 1.285 - 0.775;
  in.vrm = (0.775 + 1.285) / 2;
  in.f = 1.0;
  EXPECT_FALSE(LM::Clamp(LM::sLift, 0, in));
  double factors[4];
  const double mal = LM::Compute(LM::sLift, 0, in, factors);
  EXPECT_DOUBLE_EQ(Round(factors[0], 3), 0.766);
  EXPECT_DOUBLE_EQ(Round(factors[1], 3), 0.948);
  EXPECT_DOUBLE_EQ(Round(factors[2], 3), 0.907);
  EXPECT_DOUBLE_EQ(Round(factors[3], 3), 0.677);
  EXPECT_DOUBLE_EQ(Round(mal, 2), 15.56);
  EXPECT_DOUBLE_EQ(Round(LM::PercentCapable(mal, 0.260, 12.0), 1), 81.0);
  EXPECT_DOUBLE_EQ(Round(LM::AtPercentage(mal, 0.260, 75), 2), 12.83);
  // The same lift at 90 %, and a manikin's pull (V 1.2 m, 20 m, once a minute),
  // as an independent implementation computes them.
  EXPECT_NEAR(LM::AtPercentage(mal, 0.260, 90), 10.372374, 1e-5);
  LM::Inputs pull{};
  pull.v = 1.2;
  pull.dh = 20;
  pull.f = 1;
  EXPECT_FALSE(LM::Clamp(LM::sPullInitial, 1, pull));
  EXPECT_NEAR(LM::Compute(LM::sPullInitial, 1, pull, factors), 22.909828, 1e-5);
  EXPECT_NEAR(LM::AtPercentage(LM::Compute(LM::sPullSustained, 1, pull, factors), 0.257, 75),
              11.384560, 1e-5);
  EXPECT_TRUE(std::isnan(LM::AtPercentage(mal, 0.26, 100)));
}

// Table 4: the reference load acceptable to 75 % of each sex, task by task.
TEST(LibertyMutual2021, Table4) {
  const double published[14] = {28.8, 67.2, 29.3, 76.2, 31.6, 59.3, 20.6,
                                53.5, 31.1, 58.6, 20.4, 50.4, 24.1, 60.9};
  for (int i = 0; i < 14; ++i) {
    const LM::Equation& e = LM::sEquations[i];
    EXPECT_DOUBLE_EQ(Round(LM::AtPercentage(e.rl, e.cv, 75), 1), published[i]) << i;
  }
}

// Every input is moved into its range, and the limit there is the limit at
// the end of the range; inside, nothing moves.
TEST(LibertyMutual2021, RangesClampToTheirEnds) {
  LM::Inputs in{};
  in.h = 0.9;
  in.dv = 0.1;
  in.vrm = 0.5;
  in.f = 0;
  EXPECT_TRUE(LM::Clamp(LM::sLift, 1, in));
  EXPECT_DOUBLE_EQ(in.h, 0.73);
  EXPECT_DOUBLE_EQ(in.dv, 0.25);
  EXPECT_DOUBLE_EQ(in.f, 1.0 / 480);
  LM::Inputs push{};
  push.v = 0.2;
  push.dh = 100;
  push.f = 12;
  EXPECT_TRUE(LM::Clamp(LM::sPushInitial, 0, push));
  EXPECT_DOUBLE_EQ(push.v, 0.58);
  EXPECT_DOUBLE_EQ(push.dh, 61);
  EXPECT_DOUBLE_EQ(push.f, 10);
  LM::Inputs carry{};
  carry.v = 1.0;
  carry.dh = 5;
  carry.f = 1;
  EXPECT_FALSE(LM::Clamp(LM::sCarry, 1, carry));
  carry.f = 8;  // 40 m/min: beyond the data, though each input is in range
  EXPECT_TRUE(LM::Clamp(LM::sCarry, 1, carry));
}

using LibertyMutualOnManikin = mkhandlingtest::OnManikin<1>;

// A lift from hands forward at hip height to shoulder height, then the same
// lowered: the limits of the equations at the positions measured here.
TEST_F(LibertyMutualOnManikin, LiftAndLower) {
  MKBody& body = *manikin->GetBody();
  body.SetPosture(MKPostureStanding);
  SetDegrees(body, RSArAr, 0, 45);
  SetDegrees(body, LSArAr, 0, 45);
  const auto o = Measure(body);
  auto low = Posture(*manikin);
  SetDegrees(body, RSArAr, 0, 100);
  SetDegrees(body, LSArAr, 0, 100);
  const auto d = Measure(body);
  auto high = Posture(*manikin);
  for (bool lift : {true, false}) {
    MKAnalysisResults r;
    const MKStatus status = MKAnalysis::PerformLiftLowerAnalysis(
        manikin, lift ? low.get() : high.get(), lift ? high.get() : low.get(),
        MKAnalysis::MKLibertyMutual2021, MKAnalysis::MKCouplingGood, 2.0 / 60, 8, 10, 75, floor,
        floor, r);
    LM::Inputs in{};
    in.h = std::fmax(o.h, d.h) / 100;
    in.dv = std::fabs(d.v - o.v) / 100;
    in.vrm = (o.v + d.v) / 200;
    in.f = 2;
    const bool clamped = LM::Clamp(lift ? LM::sLift : LM::sLower, 1, in);
    EXPECT_EQ(status, clamped ? MKStatusInputClamped : MKStatusSuccess);
    double factors[4];
    const LM::Task task = lift ? LM::sLift : LM::sLower;
    const double expected =
        LM::AtPercentage(LM::Compute(task, 1, in, factors), LM::sEquations[task * 2 + 1].cv, 75) *
        9.80665;
    EXPECT_NEAR(r.liftLowerWeight, expected, 1e-9 * expected);
    EXPECT_NEAR(r.d, in.dv, 1e-9);
  }
}

}  // namespace
