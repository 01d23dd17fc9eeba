#include "anthro/MKDBAnthro.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroTestSupport.h"
#include "anthro/MKDatabaseManager.h"

namespace {

const char* const kUSNatickUUID = "9ad832be-4f22-11d3-8048-005004d3fe74";

MKDBAnthro* BuiltIn() {
  return MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();
}

// The side the anchor points of a row lie on, from the short names' texts:
// "R..." right, "L..." left, anything else the midline.
MKSideSpec SideOfRow(const MKAnthro::AnchorRow& row) {
  bool right = false, left = false, any = false;
  for (MKShortName name : {row.first, row.second}) {
    if (static_cast<int>(name) < 0) continue;
    any = true;
    const char side = MKConvertShortNameToString(name)[0];
    right = right || side == 'R';
    left = left || side == 'L';
  }
  if (!any) return MKSideNone;
  if (right && !left) return MKSideRight;
  if (left && !right) return MKSideLeft;
  return MKSideMiddle;
}

TEST(MKDBAnthroTest, BuiltInPopulationIdentityAndVariables) {
  MKDBAnthro* db = BuiltIn();
  KelString uuid;
  db->GetUUID(uuid);
  EXPECT_EQ(std::string(uuid), kUSNatickUUID);
  EXPECT_TRUE(db->GetName() == KelUnicodeString("US NATICK"));
  EXPECT_EQ(db->GetMKClassName(), MKDatabase::MKDBClassAnthro);
  // Creating the variables of an empty database resets the revision.
  EXPECT_EQ(db->GetRevisionNumber(), 0.0);
  ASSERT_EQ(db->GetNumberOfVariables(), 103u);
  EXPECT_EQ(db->GetVariableAtIndex(103), nullptr);

  unsigned int previous = 0;
  for (unsigned int i = 0; i < db->GetNumberOfVariables(); ++i) {
    const MKDBAnthroVariable* v = db->GetVariableAtIndex(i);
    EXPECT_GT(v->GetReferenceNumber(), previous);
    previous = v->GetReferenceNumber();
    EXPECT_GE(v->GetBodyPart(), 1) << v->GetAcronym();
    EXPECT_EQ(v->IsACircumference() + v->IsAHeight() + v->IsALength() + v->IsABreadth() +
                  v->IsADepth() + v->IsAMass(),
              1)
        << v->GetAcronym();
  }

  // Statistics and correlations are checked against their source tables in
  // MKDBAnthroSurveyDataTest; here the lookups and flags.
  const MKDBAnthroVariable* weight = db->GetVariable("<WEIGHT>");
  ASSERT_NE(weight, nullptr);
  EXPECT_EQ(weight->GetReferenceNumber(), 125u);
  EXPECT_FALSE(weight->HasAGraphicalRep());
  EXPECT_EQ(db->GetVariableFromRefNumber(103)->GetFlags(), MKDBAnthroVariable::sTrunk |
                                                               MKDBAnthroVariable::sHeight |
                                                               MKDBAnthroVariable::sNoGraphic);
  EXPECT_EQ(db->GetVariableFromRefNumber(218), nullptr);
  EXPECT_EQ(db->GetVariable("STATURE"), nullptr);
  const MKDBAnthroVariable* stature = db->GetVariable("<STATURE>");
  EXPECT_DOUBLE_EQ(stature->GetMaxValue(0), stature->GetMean(0) + 4 * stature->GetStdDev(0));
  EXPECT_DOUBLE_EQ(stature->GetMinValue(1), stature->GetMean(1) - 4 * stature->GetStdDev(1));
  EXPECT_TRUE(std::isnan(stature->GetMean(2)));
  EXPECT_TRUE(std::isnan(stature->GetStdDev(-1)));
  EXPECT_EQ(MKDBAnthroVariable::GetRefNumberFromAcronym("<SPAN>"), 99);
  EXPECT_EQ(MKDBAnthroVariable::GetRefNumberFromAcronym("SPAN"), -1);
}

TEST(MKDBAnthroTest, CorrelationStorageRules) {
  MKDBAnthro* db = BuiltIn();
  const MKDBAnthroVariable* abdomen = db->GetVariableFromRefNumber(2);
  const MKDBAnthroVariable* acromion = db->GetVariableFromRefNumber(3);
  // The pair is stored on the lower number only.
  EXPECT_NE(abdomen->GetCorrelationValue(3, 0), 0.0);
  EXPECT_EQ(acromion->GetCorrelationValue(2, 0), 0.0);
  EXPECT_EQ(abdomen->GetCorrelationValue(2, 1), 1.0);
  EXPECT_TRUE(std::isnan(abdomen->GetCorrelationValue(3, 2)));
  // Every pair is held once, lower number first.
  int pairs = 0;
  for (unsigned int i = 0; i < db->GetNumberOfVariables(); ++i)
    pairs += db->GetVariableAtIndex(i)->GetNbCorrelationVector();
  EXPECT_EQ(pairs, 5253);

  MKDBAnthroVariable own(50, 0, "<OWN>");
  own.AddCorrelatedVariable(60, 0.1, 0.2);
  own.AddCorrelatedVariable(70, 0.3, 0.4);
  own.AddCorrelatedVariable(60, 0.5, 0.6);  // replaces
  own.AddCorrelatedVariable(40, 0.9, 0.9);  // below: ignored
  own.AddCorrelatedVariable(50, 0.9, 0.9);  // itself: ignored
  ASSERT_EQ(own.GetNbCorrelationVector(), 2);
  EXPECT_EQ(own.GetCorrAtIndex(0)->GetVariableNumber(), 70u);
  EXPECT_EQ(own.GetCorrelationValue(60, 0), 0.5);
  EXPECT_EQ(own.GetCorrelationValue(60, 1), 0.6);
  EXPECT_EQ(own.GetCorrelationValue(40, 0), 0.0);
  EXPECT_EQ(own.GetCorrAtIndex(2), nullptr);
  EXPECT_EQ(own.GetCorrAtIndex(-1), nullptr);
  MKDBAnthroVariable copy(own);
  own.RemoveAllCorrelationVectors();
  EXPECT_EQ(copy.GetCorrelationValue(70, 1), 0.4);
}

TEST(MKDBAnthroTest, OtherDatabasesDeferToTheBuiltInVariables) {
  // A user-style variable: statistics and acronym only.
  MKDBAnthroVariable user(100, 0, 170.0, 7.0, 180.0, 7.5, "<STATURE>");
  EXPECT_EQ(user.GetBodyPart(), 1);
  EXPECT_EQ(user.IsAHeight(), 1);
  EXPECT_TRUE(user.HasAGraphicalRep());
  EXPECT_EQ(user.GetAnchorPointTranslation().x, -65.0);
  EXPECT_EQ(user.GetAnchorPointPosture(), MKPostureStanding);
  // Correlations it lacks come from the built-in variable; its own come first.
  EXPECT_EQ(user.GetCorrelationValue(125, 0), 0.529);
  user.AddCorrelatedVariable(125, 0.1, 0.2);
  EXPECT_EQ(user.GetCorrelationValue(125, 0), 0.1);
  EXPECT_EQ(user.GetMean(1), 180.0);

  MKDBAnthroVariable unknown(400, 0, "<UNKNOWN>");
  EXPECT_EQ(unknown.GetBodyPart(), 0);
  EXPECT_EQ(unknown.GetCorrelationValue(500, 0), 0.0);
  EXPECT_TRUE(unknown.GetName() == KelUnicodeString("@AnthroUNKNOWN"));
  EXPECT_TRUE(BuiltIn()->GetVariable("<STATURE>")->GetName() == KelUnicodeString("Stature"));
}

TEST(MKDBAnthroTest, AnchorDataFollowsEachMeasurement) {
  MKDBAnthro* db = BuiltIn();
  const std::set<unsigned int> sitting = {2,  4,  27, 28, 50,  55,  58,  59,  60,  67,
                                          74, 79, 87, 94, 105, 106, 122, 126, 130, 131};
  for (unsigned int i = 0; i < db->GetNumberOfVariables(); ++i) {
    const MKDBAnthroVariable* v = db->GetVariableAtIndex(i);
    const MKAnthro::AnchorRow* row = MKAnthro::GetAnchorRow(v->GetReferenceNumber());
    ASSERT_NE(row, nullptr) << v->GetReferenceNumber();
    const MKSideSpec side = SideOfRow(*row);
    EXPECT_EQ(v->GetAnchorPointSide(), side) << v->GetAcronym();
    const MKPostureSpec posture = side == MKSideNone                       ? MKPostureNone
                                  : sitting.count(v->GetReferenceNumber()) ? MKPostureSitting
                                                                           : MKPostureStanding;
    EXPECT_EQ(v->GetAnchorPointPosture(), posture) << v->GetAcronym();
    // Only heights are moved off the body, sideways.
    const MK3DVertex t = v->GetAnchorPointTranslation();
    EXPECT_EQ(t.y, 0.0);
    EXPECT_EQ(t.z, 0.0);
    if (!v->IsAHeight() || side == MKSideNone) {
      EXPECT_EQ(t.x, 0.0) << v->GetAcronym();
    } else {
      EXPECT_EQ(std::fabs(t.x), v->GetBodyPart() == 6 ? 30.0 : 65.0) << v->GetAcronym();
      EXPECT_EQ(t.x > 0, side == MKSideLeft) << v->GetAcronym();
    }
  }
  EXPECT_EQ(MKAnthro::GetAnchorRow(1), nullptr);
}

}  // namespace
