// Creating a manikin, its percentiles and the mass model.
#include <gtest/gtest.h>

#include <cmath>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "manikin/MKManikinTestSupport.h"
#include "math/MKIEEE.h"
#include "math/MKUnitConversions.h"

namespace {

using mktest::Make;
using mktest::Manikin;

}  // namespace

TEST(MKManikinTest, CreateRefusesBadArgumentsAndLeavesNothing) {
  MKManikin* manikin = nullptr;
  EXPECT_EQ(MKManikin::Create(manikin, 2, 50, nullptr, 1, 1).GetCode(), 6);
  EXPECT_EQ(manikin, nullptr);
  EXPECT_EQ(MKManikin::Create(manikin, 1, 0, nullptr, 1, 1).GetCode(), 7);
  EXPECT_EQ(MKManikin::Create(manikin, 1, 100, nullptr, 1, 1).GetCode(), 7);
  EXPECT_EQ(MKManikin::Create(manikin, 0, 50, nullptr, 3, 1).GetCode(), 8);
  EXPECT_EQ(manikin, nullptr);
  ASSERT_EQ(MKManikin::Create(manikin, 1, 50, nullptr, 2, 1), MKStatusSuccess);
  MKManikin* first = manikin;
  ASSERT_EQ(MKManikin::Create(manikin, 0, 50, nullptr, 1, 1), MKStatusSuccess);  // replaces it
  EXPECT_NE(manikin, nullptr);
  EXPECT_EQ(manikin->GetAnthro()->GetSex(), 0);
  (void)first;
  manikin->Destroy();
}

TEST(MKManikinTest, PercentileFixesStatureAndWeight) {
  Manikin median = Make(1, 50);
  EXPECT_EQ(median->GetAnthro()->GetVariable("<STATURE>")->GetManagementType(), 0);
  EXPECT_TRUE(median->IsStandard());
  Manikin tall = Make(1, 95);
  const MKAnthroVariable* stature = tall->GetAnthro()->GetVariable("<STATURE>");
  EXPECT_NE(stature->GetManagementType(), 0);
  // The normal tables interpolate: percentiles come back within IsStandard's 0.002.
  EXPECT_NEAR(stature->GetValueAsPercentile(), 95, 0.002);
  EXPECT_NEAR(tall->GetAnthro()->GetVariable("<WEIGHT>")->GetValueAsPercentile(), 95, 0.002);
  EXPECT_TRUE(tall->IsStandard());
  EXPECT_NEAR(tall->GetAnthroValue(100), stature->GetValue(), 0.0);
  EXPECT_EQ(tall->GetAnthroValue(999), 0.0);
  tall->GetAnthro()->GetVariable("<SPAN>")->SetUserValueFromPercentile(30);
  EXPECT_FALSE(tall->IsStandard());
}

TEST(MKManikinTest, MassFractionsFollowTheDistribution) {
  EXPECT_NEAR(MKManikin::GetMassPercentage(MKKTrunk, 1, 50), 0.477534, 1e-12);
  // The 5th percentile is x = 1: a + b + c.
  EXPECT_NEAR(MKManikin::GetMassPercentage(MKKHand, 1, 5), (0.1235 - 0.5392 + 1.1162) * 0.01,
              1e-12);
  EXPECT_NEAR(MKManikin::GetMassPercentage(MKKFoot, 0, 95),
              (0.0152 * 9 - 0.0827 * 3 + 1.5536) * 0.01, 1e-12);
  EXPECT_TRUE(MKIEEE::IsNaN(MKManikin::GetMassPercentage(static_cast<MKKEBodyPart>(9), 1, 50)));
  EXPECT_TRUE(MKIEEE::IsNaN(MKManikin::GetMassPercentage(MKKHand, 2, 50)));
  EXPECT_TRUE(MKIEEE::IsNaN(MKManikin::GetMassPercentage(MKKHand, 1, 101)));
  // One of each part but the doubled limbs: the fractions of a whole body add up to about 1.
  for (int sex = 0; sex < 2; ++sex) {
    double total = 0;
    for (int part = 0; part <= 8; ++part) {
      const double single = MKManikin::GetMassPercentage(static_cast<MKKEBodyPart>(part), sex, 50);
      total += (part == MKKHead || part == MKKNeck || part == MKKTrunk) ? single : 2 * single;
    }
    EXPECT_NEAR(total, 1.0, 0.02) << sex;
  }
  Manikin manikin = Make(1, 50);
  EXPECT_NEAR(manikin->MassDistrib(MKKTrunk, 1), 0.477534, 1e-6);
}
