// The Snook and Ciriello 1991 machinery: axis searches, ratios and the
// trilinear interpolation; the data file's reader against good and hostile
// rows; and the analyses on posed manikins at the known table rows, with
// every missing cell reported as such.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "MKHandlingTestSupport.h"
#include "analysis/MKAnalysis.h"
#include "analysis/detail/MKSnookCiriello1991.h"
#include "math/MKFrame.h"
#include "math/MKUnitConversions.h"

namespace {

using A = MKAnalysis;
using SC = MKSnookCiriello1991;
using mkhandlingtest::Bisect;
using mkhandlingtest::BothArms;
using mkhandlingtest::Measure;
using mkhandlingtest::Posture;
using mkrulatest::SetDegrees;

constexpr double kInch = 2.54;
constexpr double kFoot = 30.48;

double Newtons(double pounds) {
  return MKUnitConversions::LbfToNewtons(pounds);
}

// Random ascending axes and points on, between and beyond them: the lower
// bound is the last axis value at or below the point, the higher bound the
// first at or above it, INT_MAX outside; the ratio is the point's share of
// [lo, hi], 0 for an empty interval, NaN outside.
TEST(SnookCiriello1991, AxisSearchesAndRatios) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 400; ++trial) {
    std::vector<double> axis(1 + rng() % 5);
    double at = static_cast<double>(rng() % 20);
    for (double& a : axis) a = at += 1 + static_cast<double>(rng() % 10);
    const int n = static_cast<int>(axis.size());
    const int pick = static_cast<int>(rng() % axis.size());
    double x = axis[static_cast<std::size_t>(pick)];
    if (trial % 3 == 1) x += (trial % 2 ? -0.5 : 0.5);
    if (trial % 11 == 0) x = trial % 2 ? axis[0] - 1 : axis.back() + 1;
    int lower = INT_MAX, higher = INT_MAX;
    for (int i = 0; i < n; ++i)
      if (x >= axis[0] && x <= axis.back()) {
        if (axis[static_cast<std::size_t>(i)] <= x) lower = i;
        if (axis[static_cast<std::size_t>(n - 1 - i)] >= x) higher = n - 1 - i;
      }
    EXPECT_EQ(A::SearchLowerBound(axis.data(), n, x), lower) << trial;
    EXPECT_EQ(A::SearchHigherBound(axis.data(), n, x), higher) << trial;
    const double lo = axis[static_cast<std::size_t>(pick)], hi = lo + (trial % 4);
    const double y = lo + ((trial % 7) - 1) * 0.25 * (hi - lo + 0.5);
    if (y < lo || y > hi) {
      EXPECT_TRUE(std::isnan(A::ComputeRatio(lo, hi, y)));
    } else {
      EXPECT_DOUBLE_EQ(A::ComputeRatio(lo, hi, y), hi > lo ? (y - lo) / (hi - lo) : 0.0);
    }
  }
  const double axis[] = {10, 20, 30};
  EXPECT_EQ(A::SearchLowerBound(axis, 3, std::nan("")), INT_MAX);
  EXPECT_EQ(A::SearchHigherBound(axis, 3, std::nan("")), INT_MAX);
  EXPECT_EQ(A::SearchLowerBound(axis, 0, 10), INT_MAX);
  EXPECT_EQ(A::SearchHigherBound(nullptr, 3, 10), INT_MAX);
}

// The interpolation reproduces any function linear in each ratio, and
// refuses ratios outside [0, 1].
TEST(SnookCiriello1991, InterpolationIsTrilinear) {
  std::mt19937 rng(1991);
  std::uniform_real_distribution<double> u(0, 1), c(-50, 50);
  for (int trial = 0; trial < 200; ++trial) {
    const double a = c(rng), b = c(rng), d = c(rng), e = c(rng), f = c(rng);
    const auto g = [&](double x, double y, double z) {
      return a + b * x + d * y + e * z + f * x * y * z;
    };
    const double r1 = u(rng), r2 = u(rng), r3 = u(rng);
    EXPECT_NEAR(A::Interpolate(g(0, 0, 0), g(0, 0, 1), g(0, 1, 0), g(0, 1, 1), g(1, 0, 0),
                               g(1, 0, 1), g(1, 1, 0), g(1, 1, 1), r1, r2, r3),
                g(r1, r2, r3), 1e-9);
  }
  EXPECT_TRUE(std::isnan(A::Interpolate(1, 2, 3, 4, 5, 6, 7, 8, 0, 1.01, 0)));
  EXPECT_TRUE(std::isnan(A::Interpolate(1, 2, 3, 4, 5, 6, 7, 8, NAN, 0, 0)));
}

SC::Contents ReadText(const std::string& rows) {
  std::istringstream in(
      "# comment\ntable,zone,h_in,d_in,distance_ft,height_in,percent,period_s,"
      "value_lb\n" +
      rows);
  return SC::Read(in);
}

TEST(SnookCiriello1991, ReaderPlacesCellsAndRefusesBadRows) {
  const SC::Contents good = ReadText(
      "male_lift,2,30,30,,,10,28800,200\n"
      "female_pull_sustained,,,,50,53,50,28800,NA\n"
      "female_carry,,,,6.89,41,75,12,33.5\r\n");
  EXPECT_TRUE(good.errors.empty());
  EXPECT_DOUBLE_EQ(good.cells[SC::sMaleLift][1079], 200);
  EXPECT_TRUE(good.present[SC::sFemalePullSustained][188]);
  EXPECT_TRUE(std::isnan(good.cells[SC::sFemalePullSustained][188]));
  EXPECT_DOUBLE_EQ(good.cells[SC::sFemaleCarry][(1 * 3 + 1) * 7 + 1], 33.5);
  for (const char* bad : {
           "male_lift,0,10,10,,,90,5,22\nmale_lift,0,10,10,,,90,5,23\n",  // given twice
           "male_lift,0,15,10,,,90,5,22\n",                               // H off the axis
           "male_lift,0,10,10,6.89,,90,5,22\n",                           // a push field
           "male_pull_initial,,,,100,25,90,5,40\n",                       // beyond the pulls
           "female_push_initial,,,,6.89,25,90,5,40\n",                    // a male height
           "male_carry,,,,6.89,31,90,5,40\n",                             // not a carry period
           "male_lift,0,10,10,,,90,5,-3\n",                               // negative
           "male_lift,0,10,10,,,90,5,12abc\n",                            // not a number
           "male_lift,0,10,10,,,90,5\n",                                  // eight fields
           "male_lifts,0,10,10,,,90,5,22\n",                              // no such table
       }) {
    const SC::Contents c = ReadText(bad);
    EXPECT_EQ(c.errors.size(), 1u) << bad;
  }
  EXPECT_FALSE(ReadText(std::string(300, 'x') + "\n").errors.empty());
  std::istringstream noHeader("male_lift,0,10,10,,,90,5,22\n");
  EXPECT_FALSE(SC::Read(noHeader).errors.empty());
  std::istringstream empty("");
  EXPECT_FALSE(SC::Read(empty).errors.empty());
}

// The shipped file holds the four known rows, and nothing else.
TEST(SnookCiriello1991, ShippedFileHoldsTheKnownRows) {
  EXPECT_EQ(SC::GetProblem(), "");
  EXPECT_NE(SC::GetPath().find("snook-ciriello-1991.csv"), std::string::npos);
  const double lift90[] = {22, 26, 31, 40, 44, 48, 51, 59};
  const double lift10[] = {64, 77, 90, 115, 130, 141, 146, 168};
  const double push[] = {42, 48, 53, 53, 55, 57, 68};
  const double carry[] = {29, 37, 46, 46, 51, 57, 68};
  for (int t = 0; t < 8; ++t) {
    EXPECT_EQ(SC::GetTable(SC::sMaleLift)[t], lift90[t]);
    EXPECT_EQ(SC::GetTable(SC::sMaleLift)[4 * 8 + t], lift10[t]);
  }
  for (int t = 0; t < 7; ++t) {
    EXPECT_EQ(SC::GetTable(SC::sMalePushInitial)[t], push[t]);
    EXPECT_EQ(SC::GetTable(SC::sMaleCarry)[t], carry[t]);
  }
  int known = 0;
  for (int table = 0; table < SC::sTableCount; ++table)
    for (int i = 0; i < SC::sTableSizes[table]; ++i)
      known += !std::isnan(SC::GetTable(static_cast<SC::Table>(table))[i]);
  EXPECT_EQ(known, 30);
  EXPECT_EQ(SC::GetTable(SC::sTableCount), nullptr);
}

class SnookOnManikin : public mkhandlingtest::OnManikin<1> {
 protected:
  // Knees bent, the shins upright, until the hands are `v` cm above the soles.
  void HandsAt(double v) {
    MKBody& body = *manikin->GetBody();
    const auto crouch = [&](double degrees) {
      for (MKShortName leg : {RSLeTh, LSLeTh, RSLeLe, LSLeLe}) SetDegrees(body, leg, 0, degrees);
    };
    Bisect(0, 80, -v, crouch, [&] { return -Measure(body).v; });
    ASSERT_TRUE(A::CheckFloorStand(&body, floor));
  }
};

// The known row: a manikin lifts from the floor zone, hands close, 10 in or
// less of travel, once every 5 s: 22 lb for 90 % of men, 64 lb for 10 %.
TEST_F(SnookOnManikin, LiftAtTheKnownRow) {
  MKBody& body = *manikin->GetBody();
  HandsAt(68);
  ASSERT_LE(A::ComputeHForSnookCiriello(&body, floor), 10 * kInch);
  auto low = Posture(*manikin);
  HandsAt(74);
  auto high = Posture(*manikin);

  const auto run = [&](double frequency, double percentage, MKAnalysisResults& r) {
    return A::PerformLiftLowerAnalysis(manikin, low.get(), high.get(), A::MKSnookCiriello1991,
                                       A::MKCouplingGood, frequency, 1, 10, percentage, floor,
                                       floor, r)
        .GetCode();
  };
  MKAnalysisResults r;
  EXPECT_EQ(run(1.0 / 5, 90, r), 0);
  EXPECT_NEAR(r.liftLowerWeight, Newtons(22), 1e-9);
  EXPECT_NEAR(r.d, 0.06, 1e-6);
  EXPECT_EQ(run(1.0 / 5, 10, r), 0);
  EXPECT_NEAR(r.liftLowerWeight, Newtons(64), 1e-9);
  // Once every 7 s lies halfway between the 5 s and 9 s columns.
  EXPECT_EQ(run(1.0 / 7, 90, r), 0);
  EXPECT_NEAR(r.liftLowerWeight, Newtons(24), 1e-9);
  // Rarer than once in 8 hours reads the 8-hour column.
  EXPECT_EQ(run(0, 90, r), 0);
  EXPECT_NEAR(r.liftLowerWeight, Newtons(59), 1e-9);
  MKAnalysisResults tooOften;
  EXPECT_EQ(run(1.0 / 4, 90, tooOften), 203);
  EXPECT_TRUE(std::isnan(tooOften.liftLowerWeight));
  // 75 % of men: a cell nobody has supplied.
  MKAnalysisResults missing;
  EXPECT_EQ(run(1.0 / 5, 75, missing), 3);
  EXPECT_TRUE(std::isnan(missing.liftLowerWeight));
  const std::string message = static_cast<const char*>(missing.message.ConvertToChar());
  EXPECT_NE(message.find("not available"), std::string::npos) << message;
  EXPECT_NE(message.find("snook-ciriello-1991.csv"), std::string::npos) << message;
}

// A lift from the floor zone into the knuckle-to-shoulder zone meets cells
// the shipped file lacks; filled here for the test (and put back after it),
// the lift is limited by the lesser zone.
TEST_F(SnookOnManikin, LiftAcrossZones) {
  MKBody& body = *manikin->GetBody();
  HandsAt(70);
  auto low = Posture(*manikin);
  body.SetPosture(MKPostureStanding);
  BothArms(body, 0)(90);
  auto high = Posture(*manikin);  // 20 in above: D between 10 and 20 in
  MKAnalysisResults r;
  EXPECT_EQ(A::PerformSnookCiriello1991LiftLowerAnalysis(manikin, low.get(), high.get(), 0.2, 90,
                                                         floor, floor, r)
                .GetCode(),
            3);
  EXPECT_EQ(A::PerformSnookCiriello1991LiftLowerAnalysis(manikin, nullptr, high.get(), 0.2, 90,
                                                         floor, floor, r)
                .GetCode(),
            9);
  auto* cells = const_cast<double*>(SC::GetTable(SC::sMaleLift));
  const std::vector<double> shipped(cells, cells + SC::sTableSizes[SC::sMaleLift]);
  const int zoneSize = SC::sTableSizes[SC::sMaleLift] / 3;
  for (int i = 0; i < 2 * zoneSize; ++i) cells[i] = i < zoneSize ? 40 : 30;
  const int status = A::PerformSnookCiriello1991LiftLowerAnalysis(manikin, low.get(), high.get(),
                                                                  0.2, 90, floor, floor, r)
                         .GetCode();
  std::copy(shipped.begin(), shipped.end(), cells);
  EXPECT_EQ(status, 0);
  EXPECT_LT(r.vOrigin * 100, 30 * kInch);
  EXPECT_GT(r.vDestination * 100, 30 * kInch);
  EXPECT_NEAR(r.liftLowerWeight, Newtons(30), 1e-9);
}

// The known push and carry rows (handles at 25 in, hands at 31 in, the
// shortest distance, 90 % of men), then the generic entries, which check in
// order, paste the posture for the analysis and put the manikin's own back.
TEST_F(SnookOnManikin, PushAndCarryAtTheKnownRowsAndEntries) {
  MKBody& body = *manikin->GetBody();
  HandsAt(25 * kInch);
  auto pushing = Posture(*manikin);
  MKAnalysisResults r, lm;
  const auto direct = [&](int task, double f, double distance) {
    return A::PerformSnookCiriello1991PushPullAnalysis(&body, task, f, distance, 0, 90, floor, r)
        .GetCode();
  };
  EXPECT_EQ(direct(1, 1.0 / 60, 2.1 * 100), 3);  // the sustained force is not known
  EXPECT_NEAR(r.pushInitialForce, Newtons(53), 1e-9);
  EXPECT_TRUE(std::isnan(r.pushSustainedForce));
  EXPECT_EQ(direct(2, 0.1, 300), 6);
  EXPECT_EQ(direct(1, 0.1, 201 * kFoot), 206);
  EXPECT_EQ(direct(1, 0.1, -1), 5);
  body.SetPosture(MKPostureStanding);
  Bisect(0, 30, 31 * kInch + 1e-6, BothArms(body, 1), [&] { return Measure(body).v; });
  const auto carry = [&](double f) {
    return A::PerformSnookCiriello1991CarryAnalysis(&body, 1, f, 100, 90, floor, r).GetCode();
  };
  EXPECT_EQ(carry(1.0 / 6), 0);
  EXPECT_NEAR(r.carryWeight, Newtons(29), 1e-9);
  EXPECT_EQ(carry(1.0 / 5), 203);
  BothArms(body, 0)(170);  // hands overhead: above every carry height
  EXPECT_EQ(carry(0.1), 207);

  const auto before = Measure(body);
  const auto push = [&](MKManikin* m, int guide, double f, double dPush, double dPull,
                        double percentage, MKAnalysisResults& into) {
    return A::PerformPushPullAnalysis(m, pushing.get(), static_cast<A::MKGuideLine>(guide), f,
                                      dPush, dPull, percentage, floor, into)
        .GetCode();
  };
  EXPECT_EQ(push(nullptr, 2, -1, -1, -1, 1, r), 9);
  EXPECT_EQ(push(manikin, 2, -1, -1, -1, 1, r), 202);
  EXPECT_EQ(push(manikin, 2, 0, -1, -1, 1, r), 206);
  EXPECT_EQ(push(manikin, 2, 0, 0, -1, 1, r), 207);
  EXPECT_EQ(push(manikin, 2, 0, 0, 0, 25, r), 205);
  EXPECT_EQ(push(manikin, 1, 0, 0, 0, 50, r), 200);
  EXPECT_EQ(push(manikin, 2, 1.0 / 60, 210, 0, 90, r), 3);
  EXPECT_EQ(push(manikin, 3, 1.0 / 60, 210, 300, 37.5, lm), 0);
  EXPECT_GT(lm.pullSustainedForce, 0);
  const auto entry = [&](int guide, double distance, double percentage, MKAnalysisResults& c) {
    return A::PerformCarryAnalysis(manikin, pushing.get(), static_cast<A::MKGuideLine>(guide), 0.1,
                                   distance, percentage, floor, c)
        .GetCode();
  };
  EXPECT_EQ(entry(2, -1, 90, r), 208);
  EXPECT_EQ(entry(2, 100, 10, r), 205);
  EXPECT_EQ(entry(0, 100, 90, r), 200);
  EXPECT_EQ(entry(3, 100, 90, lm), 256);  // 1 m is shorter than the equations' 2.1 m
  EXPECT_GT(lm.carryWeight, 0);
  EXPECT_NEAR(Measure(body).v, before.v, 1e-9);
  EXPECT_NEAR(Measure(body).h, before.h, 1e-9);
}

}  // namespace
