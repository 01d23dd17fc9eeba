#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "host/KelRawColl.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

constexpr MKShortName kNone = static_cast<MKShortName>(-1);

bool IsFinite(const MK3DVertex& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

double Distance(const MK3DVertex& a, const MK3DVertex& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                   (a.z - b.z) * (a.z - b.z));
}

class MKAnchorPointsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manikin = mktest::Make(1, 50.0);
    ASSERT_NE(manikin, nullptr);
    anthro = manikin->GetAnthro();
    ASSERT_NE(anthro, nullptr);
  }
  mktest::Manikin manikin;
  MKAnthro* anthro = nullptr;
};

TEST_F(MKAnchorPointsTest, EveryRowWithTwoElementsGivesTwoFinitePoints) {
  unsigned int checked = 0;
  for (unsigned int i = 0; i < anthro->GetNumberOfVariables(); ++i) {
    const MKAnthroVariable* variable = anthro->GetVariableAtIndex(i);
    const MKAnthro::AnchorRow* row =
        MKAnthro::GetAnchorRow(static_cast<unsigned int>(variable->GetReferenceNumber()));
    if (!row || row->first == kNone || row->second == kNone) continue;
    EXPECT_TRUE(IsFinite(variable->GetFirstAnchorPoint())) << variable->GetReferenceNumber();
    EXPECT_TRUE(IsFinite(variable->GetSecondAnchorPoint())) << variable->GetReferenceNumber();
    ++checked;
  }
  EXPECT_GT(checked, 50u);
  // A circumference remembers its ellipse.
  const MKAnthroVariable* chest = anthro->GetVariableFromRefNumber(34);
  ASSERT_NE(chest, nullptr);
  if (chest->IsACircumference()) {
    EXPECT_EQ(chest->GetCircEllipse(), EBoCh);
  }
}

TEST_F(MKAnchorPointsTest, UpdateLeavesThePostureAsItWas) {
  MKBody* body = manikin->GetBody();
  ASSERT_NE(body, nullptr);
  body->SetPosture(MKPostureSitting);
  KelRawColldouble before;
  body->GetDOFValues(before);
  EXPECT_EQ(anthro->UpdateAnchorPoints(), MKStatusSuccess);
  KelRawColldouble after;
  body->GetDOFValues(after);
  ASSERT_EQ(before.Size(), after.Size());
  for (int i = 0; i < before.Size(); ++i) EXPECT_NEAR(before[i], after[i], 1e-9) << i;
}

TEST_F(MKAnchorPointsTest, ReportsDistanceAgainstValue) {
  for (unsigned int i = 0; i < anthro->GetNumberOfVariables(); ++i) {
    const MKAnthroVariable* variable = anthro->GetVariableAtIndex(i);
    if (!variable->HasAGraphicalRep()) continue;
    const double d = Distance(variable->GetFirstAnchorPoint(), variable->GetSecondAnchorPoint());
    std::printf("%4d %-12s value %9.2f anchors %9.2f\n", variable->GetReferenceNumber(),
                variable->GetAcronym().CastToCharPtr(), variable->GetValue(), d);
  }
  const MKAnthroVariable* stature = anthro->GetVariableFromRefNumber(100);
  ASSERT_NE(stature, nullptr);
  const double d = Distance(stature->GetFirstAnchorPoint(), stature->GetSecondAnchorPoint());
  EXPECT_NEAR(d, stature->GetValue(), 0.03 * stature->GetValue());
  // Translation puts both translated points on one plane normal to it.
  const MK3DVertex t1 = stature->GetFirstAnchorPointTranslation();
  const MK3DVertex t2 = stature->GetSecondAnchorPointTranslation();
  const MK3DVertex p1 = stature->GetFirstAnchorPoint();
  const MK3DVertex p2 = stature->GetSecondAnchorPoint();
  const double tn = std::sqrt(t1.x * t1.x + t1.y * t1.y + t1.z * t1.z);
  ASSERT_GT(tn, 0.001);
  const double along = ((p2.x + t2.x - p1.x - t1.x) * t1.x + (p2.y + t2.y - p1.y - t1.y) * t1.y +
                        (p2.z + t2.z - p1.z - t1.z) * t1.z) /
                       tn;
  EXPECT_NEAR(along, 0.0, 1e-6);
}

}  // namespace
