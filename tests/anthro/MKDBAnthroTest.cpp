#include "anthro/MKDBAnthro.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "anthro/MKDatabaseManager.h"

namespace {

const char* const kUSNatickUUID = "9ad832be-4f22-11d3-8048-005004d3fe74";

MKDBAnthro* BuiltIn() {
  return MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();
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
  // MKDBAnthroSurveyDataTest; here the lookups and bounds.
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

}  // namespace
