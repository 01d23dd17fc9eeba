// The NIOSH 1981 and 1991 lifting equations: the multipliers against the
// published values and tables, the posture checks, lifts on hand-posed
// manikins against the equations worked here, and the entry's statuses.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "MKHandlingTestSupport.h"
#include "analysis/MKAnalysis.h"
#include "math/MKFrame.h"
#include "math/MKUnitConversions.h"

namespace {

using mkhandlingtest::Measure;
using mkhandlingtest::Posture;
using mkrulatest::SetDegrees;
using A = MKAnalysis;

constexpr double kInch = 2.54;
constexpr double kLb = 0.45359237;

// tools/niosh/frequency-multiplier.csv: rows of six multipliers, in file order.
std::vector<std::vector<double>> PublishedFrequencyTable() {
  std::string path = __FILE__;
  path.erase(path.find_last_of('/') + 1);
  std::ifstream in(path + "../../tools/niosh/frequency-multiplier.csv");
  EXPECT_TRUE(in);
  std::vector<std::vector<double>> rows;
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string field;
    std::getline(fields, field, ',');  // frequency
    std::vector<double> row;
    for (int c = 0; c < 6 && std::getline(fields, field, ','); ++c) row.push_back(std::stod(field));
    rows.push_back(row);
  }
  return rows;
}

TEST(NIOSHMultipliers, PublishedValues) {
  const double a90 = MKUnitConversions::DegreesToRadians(90);
  const double a136 = MKUnitConversions::DegreesToRadians(136);
  const struct {
    double (*multiplier)(double);
    double at, published;
  } values[] = {{A::ComputeHM, 8 * kInch, 1.0},  {A::ComputeHM, 20 * kInch, 0.5},
                {A::ComputeHM, 30 * kInch, 0.0}, {A::ComputeVM, 30 * kInch, 1.0},
                {A::ComputeVM, 70 * kInch, 0.7}, {A::ComputeVM, 71 * kInch, 0.0},
                {A::ComputeDM, 5 * kInch, 1.0},  {A::ComputeDM, 40 * kInch, 0.865},
                {A::ComputeDM, 71 * kInch, 0.0}, {A::ComputeAM, a90, 0.712},
                {A::ComputeAM, a136, 0.0}};
  for (const auto& v : values) {
    EXPECT_NEAR(v.multiplier(v.at), v.published, 1e-12) << v.at;
    EXPECT_TRUE(std::isnan(v.multiplier(NAN)));
  }
  EXPECT_NEAR(A::ComputeLC(), 23.13, 0.005);
  // 13 lifts/min for up to an hour: 0 below 30 in, 0.34 from 30 in.
  EXPECT_DOUBLE_EQ(A::ComputeFM(13.0 / 60, 1, 29 * kInch), 0.0);
  EXPECT_DOUBLE_EQ(A::ComputeFM(13.0 / 60, 1, 30 * kInch), 0.34);
  // Rarer than 0.1/min counts as one hour, whatever the duration.
  EXPECT_DOUBLE_EQ(A::ComputeFM(0.05 / 60, 8, 20 * kInch), 1.0);
  EXPECT_DOUBLE_EQ(A::ComputeFM(0.15 / 60, 8, 20 * kInch), 0.85);
  EXPECT_DOUBLE_EQ(A::ComputeFM(16.0 / 60, 1, 40 * kInch), 0.0);
  EXPECT_DOUBLE_EQ(A::ComputeFM(1.0 / 60, 9, 40 * kInch), 0.0);
  EXPECT_DOUBLE_EQ(A::ComputeCM(A::MKCouplingFair, 20 * kInch), 0.95);
  EXPECT_DOUBLE_EQ(A::ComputeCM(A::MKCouplingFair, 30 * kInch), 1.0);
  EXPECT_DOUBLE_EQ(A::ComputeCM(A::MKCouplingPoor, 20 * kInch), 0.9);
  EXPECT_TRUE(std::isnan(A::ComputeCM(static_cast<A::MKCouplingCondition>(3), 20)));
  EXPECT_TRUE(std::isnan(A::ComputeFM(NAN, 1, 1)));
  EXPECT_TRUE(std::isnan(A::ComputeFM(0.1, 1, NAN)));
}

// Every cell of the published table, looked up at its own frequency and at
// frequencies between rows (which take the nearest row: 1.6/min is read as 2/min).
TEST(NIOSHMultipliers, FrequencyTableAsPublished) {
  const auto table = PublishedFrequencyTable();
  ASSERT_EQ(table.size(), 18u);
  const double rows[] = {0.2, 0.5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  const double durations[] = {1, 2, 8};
  for (int r = 0; r < 17; ++r)
    for (int c = 0; c < 6; ++c) {
      const double v = (c % 2 ? 40 : 20) * kInch;
      EXPECT_DOUBLE_EQ(A::ComputeFM(rows[r] / 60, durations[c / 2], v), table[r][c])
          << rows[r] << " " << c;
      if (r > 2) {
        EXPECT_DOUBLE_EQ(A::ComputeFM((rows[r] - 0.4) / 60, durations[c / 2], v), table[r][c])
            << rows[r] << " " << c;
      }
      EXPECT_DOUBLE_EQ(A::__FrequencyMultiplierTable[c * 17 + r], table[r][c]);
    }
}

using NIOSHLift = mkhandlingtest::OnManikin<0>;

// Random hands, from hanging to raised forward, lifted often for one or eight
// hours: AL follows the 1981 equation from the H and V it reports, the
// maximum frequency 15 or 12/min up to 30 in and 18 or 15/min above.
TEST_F(NIOSHLift, NIOSH1981FrequentLifts) {
  MKBody& body = *manikin->GetBody();
  std::mt19937 rng(1981);
  std::uniform_real_distribution<double> raise(0, 110), lifts(0.2, 15);
  for (int trial = 0; trial < 16; ++trial) {
    SCOPED_TRACE(trial);
    mkhandlingtest::BothArms(body, 0)(raise(rng));
    auto p = Posture(*manikin);
    const double perMinute = lifts(rng), hours = trial % 2 ? 8 : 1;
    MKAnalysisResults r;
    ASSERT_EQ(A::PerformNIOSH1981LiftLowerAnalysis(manikin, p.get(), p.get(), perMinute / 60, hours,
                                                   floor, floor, r),
              MKStatusSuccess);
    const double h = std::fmax(r.hOrigin * 100 / kInch, 6), v = r.vOrigin * 100 / kInch;
    const double fMax = v <= 30 ? (hours == 1 ? 15 : 12) : (hours == 1 ? 18 : 15);
    const double al = 90 * (6 / h) * (1 - 0.01 * std::fabs(v - 30)) * (1 - perMinute / fMax);
    EXPECT_NEAR(r.actionLimit, std::fmax(al, 0) * kLb, 1e-9);
    EXPECT_NEAR(r.maximumPermissibleLimit, 3 * std::fmax(al, 0) * kLb, 1e-9);
  }
}

// Random lifts from hands low and forward to hands high, the trunk twisted
// at the destination: RWL and LI within 1 % of the equation worked by hand
// from the hands', ankles', soles' and hips' positions.
TEST_F(NIOSHLift, NIOSH1991RandomLifts) {
  MKBody& body = *manikin->GetBody();
  const auto table = PublishedFrequencyTable();
  std::mt19937 rng(1991);
  std::uniform_real_distribution<double> low(10, 50), high(60, 110), twist(0, 20);
  for (int trial = 0; trial < 12; ++trial) {
    SCOPED_TRACE(trial);
    body.SetPosture(MKPostureStanding);
    SetDegrees(body, RSArAr, 0, low(rng));
    SetDegrees(body, LSArAr, 0, low(rng));
    const auto o = Measure(body);
    auto origin = Posture(*manikin);
    SetDegrees(body, RSArAr, 0, high(rng));
    SetDegrees(body, LSArAr, 0, high(rng));
    SetDegrees(body, SBoL5, 2, twist(rng));
    const auto d = Measure(body);
    auto destination = Posture(*manikin);
    const double load = 8, lifts = 4;  // per minute, two hours, V < 30 in: 0.72
    const double fm = table[5][o.v < 30 * kInch ? 2 : 3];
    MKAnalysisResults r;
    const MKStatus status =
        A::PerformLiftLowerAnalysis(manikin, origin.get(), destination.get(), A::MKNIOSH1991,
                                    A::MKCouplingPoor, lifts / 60, 2, load, 50, floor, floor, r);
    EXPECT_TRUE(status == MKStatusSuccess || status == MKStatusDestinationNotBalanced)
        << status.GetCode();
    const auto rwl = [&](const mkhandlingtest::Measures& m) {
      const double h = m.h / kInch, v = m.v / kInch, dd = std::fabs(d.v - o.v) / kInch;
      return 51 * kLb * (h > 25 ? 0 : 10 / std::fmax(h, 10)) * (1 - 0.0075 * std::fabs(v - 30)) *
             (0.82 + 1.8 / std::fmax(dd, 10)) * (1 - 0.0032 * m.a) * fm * 0.9;
    };
    EXPECT_NEAR(r.rwlOrigin, rwl(o), 0.01 * rwl(o));
    EXPECT_NEAR(r.rwlDestination, rwl(d), 0.01 * rwl(d));
    EXPECT_NEAR(r.liOrigin, load / rwl(o), 0.01 * load / rwl(o));
    EXPECT_NEAR(r.liDestination, load / rwl(d), 0.01 * load / rwl(d));
    EXPECT_NEAR(r.d * 100, std::fabs(d.v - o.v), 1e-6);
    EXPECT_NEAR(r.hDestination * 100, d.h, 1e-6);
    EXPECT_NEAR(MKUnitConversions::RadiansToDegrees(r.aDestination), d.a, 1e-6);
  }
}

TEST_F(NIOSHLift, WarningsKeepTheResults) {
  MKBody& body = *manikin->GetBody();
  auto standing = Posture(*manikin);
  SetDegrees(body, RSArAr, 1, 40);
  auto uneven = Posture(*manikin);
  MKAnalysisResults r;
  EXPECT_EQ(A::PerformNIOSH1981LiftLowerAnalysis(manikin, uneven.get(), standing.get(), 0, 1, floor,
                                                 floor, r),
            MKStatusOriginHandsNotLevel);
  EXPECT_FALSE(std::isnan(r.actionLimit));
  const auto lift = [&](const mkhandlingtest::Part& o, const mkhandlingtest::Part& d, double load,
                        const MKFrame& of, const MKFrame& df) {
    return A::PerformNIOSH1991LiftLowerAnalysis(manikin, o.get(), d.get(), A::MKCouplingGood, 0, 1,
                                                load, of, df, r);
  };
  // A floor frame rolled 10 degrees: the ankles are no longer level in it.
  MKFrame rolled;
  rolled.SetFirstColumn(MK3DVertex(std::cos(0.1745), std::sin(0.1745), 0));
  rolled.SetSecondColumn(MK3DVertex(-std::sin(0.1745), std::cos(0.1745), 0));
  EXPECT_EQ(lift(standing, standing, 1, rolled, floor), MKStatusOriginNotOnFloor);
  EXPECT_FALSE(std::isnan(r.rwlOrigin));
  EXPECT_EQ(lift(standing, standing, 1, floor, rolled), MKStatusDestinationNotOnFloor);
  body.SetPosture(MKPostureStanding);
  mkhandlingtest::BothArms(body, 0)(90);
  auto reaching = Posture(*manikin);
  EXPECT_EQ(lift(standing, reaching, 300, floor, floor), MKStatusDestinationNotBalanced);
  EXPECT_EQ(lift(reaching, standing, 300, floor, floor), MKStatusOriginNotBalanced);
}

// The entry checks its arguments in order and stops at the first refused.
TEST_F(NIOSHLift, EntryStatuses) {
  auto p = Posture(*manikin);
  auto notPosture = mkhandlingtest::Part(manikin->ExtractPart(MKPartPrefAnglesID, 0, nullptr));
  const auto run = [&](MKManikin* m, const MKManikinPart* o, int guide, int coupling,
                       double frequency, double duration, double load, double percentage) {
    MKAnalysisResults r;
    const MKStatus s =
        A::PerformLiftLowerAnalysis(m, o, p.get(), static_cast<A::MKGuideLine>(guide),
                                    static_cast<A::MKCouplingCondition>(coupling), frequency,
                                    duration, load, percentage, floor, floor, r);
    EXPECT_EQ(s, r.status);
    return s.GetCode();
  };
  EXPECT_EQ(run(nullptr, p.get(), 1, 0, 0, 1, 1, 50), 9);
  EXPECT_EQ(run(manikin, nullptr, 1, 0, 0, 1, 1, 50), 9);
  EXPECT_EQ(run(manikin, notPosture.get(), 1, 9, -1, -1, -1, 1), 9);
  EXPECT_EQ(run(manikin, p.get(), 1, 3, -1, -1, -1, 1), 201);
  EXPECT_EQ(run(manikin, p.get(), 0, 3, -1, -1, -1, 1), 203);
  EXPECT_EQ(run(manikin, p.get(), 1, 2, -1, 8.5, -1, 1), 203);
  EXPECT_EQ(run(manikin, p.get(), 1, 2, -1, 8, -1, 1), 202);
  EXPECT_EQ(run(manikin, p.get(), 1, 2, 0, 8, -1, 1), 204);
  EXPECT_EQ(run(manikin, p.get(), 2, 2, 0, 8, 0, 30), 205);
  EXPECT_EQ(run(manikin, p.get(), 3, 2, 0, 8, 0, 100), 205);
  EXPECT_EQ(run(manikin, p.get(), 1, 2, 0, 8, 0, 30), 0);
  EXPECT_EQ(run(manikin, p.get(), 7, 2, 0, 8, 0, 30), 200);
  // The checks of a posture, without a body or with negative masses.
  MKBody& body = *manikin->GetBody();
  for (bool check : {A::CheckFloorStand(nullptr, floor), A::CheckHandParallelism(nullptr),
                     A::CheckWeightBalance(nullptr, 1, 1), A::SymmetricalStand(nullptr),
                     A::CheckWeightBalance(&body, -1, 10), A::CheckWeightBalance(&body, 60, -1)})
    EXPECT_FALSE(check);
  EXPECT_TRUE(std::isnan(A::ComputeD(manikin, nullptr, nullptr, floor, floor)));
}

}  // namespace
