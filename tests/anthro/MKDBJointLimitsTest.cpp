#include "anthro/MKDBJointLimits.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

struct Stats {
  double minMean, minStdDev, maxMean, maxStdDev;
};

Stats StatsOf(const MKDBJointLimits& db, MKShortName segment, int dof) {
  const MKDBJointLimitsVariable* v = db.GetVariable(segment, dof);
  if (!v) return {-1, -1, -1, -1};
  return {v->GetMinMean(), v->GetMinStdDev(), v->GetMaxMean(), v->GetMaxStdDev()};
}

bool operator==(const Stats& a, const Stats& b) {
  return a.minMean == b.minMean && a.minStdDev == b.minStdDev && a.maxMean == b.maxMean &&
         a.maxStdDev == b.maxStdDev;
}

class MKDBJointLimitsTest : public ::testing::Test {
 protected:
  void SetUp() override { db.CreateOrvaneDB(); }
  MKDBJointLimits db;
};

TEST_F(MKDBJointLimitsTest, BuiltInIdentityAndOrder) {
  KelString uuid;
  db.GetUUID(uuid);
  EXPECT_EQ(uuid, "9a82ddd6-4f23-11d3-8048-005004d3fe74");
  ASSERT_EQ(db.GetNumberOfVariables(), 137u);

  // Each (segment, DOF) once, found again by lookup.
  std::set<std::pair<int, unsigned int>> seen;
  for (unsigned int i = 0; i < 137; ++i) {
    MKDBJointLimitsVariable* v = db.GetVariableAtIndex(i);
    EXPECT_LE(v->GetDOFNumber(), 2u);
    EXPECT_TRUE(seen.insert({v->GetShortNameOfSegment(), v->GetDOFNumber()}).second) << i;
    EXPECT_EQ(db.GetVariable(v->GetShortNameOfSegment(), static_cast<int>(v->GetDOFNumber())), v);
  }
  EXPECT_EQ(db.GetVariable(RSLeLe, 1), nullptr);  // the knee has DOFs 0 and 2 only
  EXPECT_EQ(db.GetVariable(SBoL5, -1), nullptr);
}

// The lookup follows the list through a copy, an assignment, a second
// variable of the same DOF (the first keeps answering) and a clear.
TEST_F(MKDBJointLimitsTest, LookupFollowsCopiesDuplicatesAndClear) {
  MKDBJointLimits copy(db);
  MKDBJointLimits assigned;
  assigned = db;
  for (const MKDBJointLimits* other : {&copy, &assigned}) {
    MKDBJointLimitsVariable* own = other->GetVariable(RSArAr, 0);
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, db.GetVariable(RSArAr, 0));
    EXPECT_TRUE(StatsOf(*other, RSArAr, 0) == StatsOf(db, RSArAr, 0));
  }
  MKDBJointLimitsVariable* first = copy.GetVariable(SBoL5, 0);
  copy.AddVariable(new MKDBJointLimitsVariable(SBoL5, 0, 1, 1, 2, 2));
  EXPECT_EQ(copy.GetVariable(SBoL5, 0), first);
  EXPECT_EQ(copy.GetNumberOfVariables(), 138u);
  copy.Clear();
  EXPECT_EQ(copy.GetVariable(SBoL5, 0), nullptr);
  EXPECT_EQ(copy.GetVariable(RSArAr, 0), nullptr);
}

TEST_F(MKDBJointLimitsTest, SpotCheckedRows) {
  EXPECT_TRUE(StatsOf(db, SBoL5, 0) == Stats({3, 1, 20, 6.7}));
  EXPECT_TRUE(StatsOf(db, SHeNe, 0) == Stats({5, 1.25, 15, 0.5}));
  EXPECT_TRUE(StatsOf(db, RSLeLe, 0) == Stats({0, 2, 135, 5}));
  EXPECT_TRUE(StatsOf(db, RSArAr, 0) == Stats({60, 9, 170, 5}));
}

// Left and right agree except for known finger joints, so a slip on either
// side of the table shows up here.
TEST_F(MKDBJointLimitsTest, LimbsMirrorExceptTheKnownFingerJoints) {
  const std::set<int> differing = {RSHaTh3, RSHaIn3, RSHaMi3, RSHaAn3, RSHaAu3, RSHaMi2};
  int compared = 0;
  for (unsigned int i = 0; i < db.GetNumberOfVariables(); ++i) {
    const MKDBJointLimitsVariable* right = db.GetVariableAtIndex(i);
    const int segment = right->GetShortNameOfSegment();
    if (segment < RSLeTh || segment > RSHaAu3) continue;
    const int dof = static_cast<int>(right->GetDOFNumber());
    const bool same = StatsOf(db, right->GetShortNameOfSegment(), dof) ==
                      StatsOf(db, static_cast<MKShortName>(segment + 32), dof);
    EXPECT_EQ(same, differing.count(segment) == 0) << segment;
    ++compared;
  }
  EXPECT_EQ(compared, 8 + 29);
  EXPECT_TRUE(StatsOf(db, LSHaTh3, 0) == Stats({10, 2, 70, 6}));
}

}  // namespace
