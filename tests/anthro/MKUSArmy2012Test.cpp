// The population "US ARMY 2012" shipped with the library.
#include <gtest/gtest.h>

#include <string>

#include "anthro/MKAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "anthro/MKUserDBAnthro.h"
#include "host/KelDataPath.h"
#include "parts/MKManikinPart.h"

namespace {

constexpr unsigned int kStature = 100, kWeight = 125;

class MKUSArmy2012Test : public ::testing::Test {
 protected:
  void SetUp() override {
    db = dynamic_cast<MKUserDBAnthro*>(manager->GetAnthroDBFromName("US ARMY 2012"));
    ASSERT_NE(db, nullptr);
  }
  void TearDown() override {
    manager->AddRefNumberOfDefaultDB();
    manager->DeleteRefNumberOfDefaultDB();
  }
  MKDatabaseManager* manager = MKDatabaseManager::GetInstance();
  MKUserDBAnthro* db = nullptr;
};

TEST_F(MKUSArmy2012Test, SelectedByNameOnceAndComplete) {
  EXPECT_EQ(MKDatabaseManager::GetShippedAnthroDBName(0), KelUnicodeString("US ARMY 2012"));
  EXPECT_EQ(MKDatabaseManager::GetShippedAnthroDBName(1), KelUnicodeString());
  EXPECT_EQ(manager->GetAnthroDBFromName("US ARMY 2012"), db);
  EXPECT_EQ(manager->GetNumberOfUserAnthroDB(), 1u);
  EXPECT_EQ(manager->GetAnthroDBFromName("US NATICK"), manager->GetDefaultAnthroDB());
  EXPECT_EQ(manager->GetAnthroDBFromName("us army 2012"), nullptr);

  const MKDBAnthro* builtIn = manager->GetDefaultAnthroDB();
  ASSERT_EQ(db->GetNumberOfVariables(), builtIn->GetNumberOfVariables());
  int measured = 0;
  for (unsigned int i = 0; i < db->GetNumberOfVariables(); ++i)
    if (db->GetUserVariableAtIndex(i)->GetManagementType() == 1) ++measured;
  EXPECT_EQ(measured, 68);

  // The file is the library's own record: written back, it is the same bytes.
  KelStreamDefinition* file = nullptr;
  MKManikinPart::GetStreamFromFile(KelFindDataFile("USArmy2012.mkudb"), file);
  ASSERT_NE(file, nullptr);
  KelStreamDefinition written;
  ASSERT_EQ(db->Write(written), MKStatusSuccess);
  EXPECT_EQ(std::string(written.GetBuffer(), written.GetLength()),
            std::string(file->GetBuffer(), file->GetLength()));
  delete file;
}

TEST_F(MKUSArmy2012Test, SampleStatisticsOfTheRecords) {
  const MKDBAnthroVariable* stature = db->GetVariableFromRefNumber(kStature);
  const MKDBAnthroVariable* weight = db->GetVariableFromRefNumber(kWeight);
  EXPECT_NEAR(stature->GetMean(0), 162.85, 0.005);
  EXPECT_NEAR(stature->GetMean(1), 175.62, 0.005);
  EXPECT_NEAR(stature->GetStdDev(0), 6.42, 0.005);
  EXPECT_NEAR(stature->GetStdDev(1), 6.86, 0.005);
  EXPECT_NEAR(weight->GetMean(0), 67.76, 0.005);
  EXPECT_NEAR(weight->GetMean(1), 85.52, 0.005);
  EXPECT_NEAR(weight->GetStdDev(0), 11.0, 0.05);
  EXPECT_NEAR(weight->GetStdDev(1), 14.2, 0.05);
  // Interpupillary breadth is recorded in 0.1 mm, the other lengths in mm.
  EXPECT_NEAR(db->GetVariable("<INPUPBTH>")->GetMean(1), 6.4, 0.05);
  const double r = stature->GetCorrelationValue(kWeight, 1);
  EXPECT_GT(r, 0.4);
  EXPECT_LT(r, 0.7);
}

}  // namespace
