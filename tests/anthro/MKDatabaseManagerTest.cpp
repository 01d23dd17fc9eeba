#include "anthro/MKDatabaseManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parts/MKMemo.h"
#include "parts/MKPersistenceRoutines.h"

namespace {

const char* const kBuiltInUUID = "9a82ddd6-4f23-11d3-8048-005004d3fe74";

// Stream bytes: raw text, then big-endian ints and doubles.
struct Bytes {
  Bytes& Text(const std::string& text) {
    for (char c : text) stream.WriteChar(c);
    return *this;
  }
  Bytes& Int(int value) {
    MKPersistenceRoutines::WriteInt(stream, value);
    return *this;
  }
  Bytes& Double(double value) {
    MKPersistenceRoutines::WriteDouble(stream, value);
    return *this;
  }
  KelStreamDefinition stream;
};

class MKDatabaseManagerTest : public ::testing::Test {
 protected:
  MKDatabaseManager* manager = MKDatabaseManager::GetInstance();
};

TEST_F(MKDatabaseManagerTest, BuiltInBuiltOnFirstUseAndClearedByLastRelease) {
  MKDBJointLimits* builtIn = manager->GetJointLimitsDB(kBuiltInUUID);
  ASSERT_NE(builtIn, nullptr);
  EXPECT_EQ(builtIn, manager->GetDefaultJointLimitsDB());
  EXPECT_EQ(builtIn->GetNumberOfVariables(), 137u);
  EXPECT_EQ(manager->GetJointLimitsDB(""), nullptr);
  EXPECT_EQ(manager->GetJointLimitsDB("9A82DDD6-4F23-11D3-8048-005004D3FE74"), nullptr);

  EXPECT_EQ(manager->AddRefNumberOfDefaultDB(), 1u);
  EXPECT_EQ(manager->AddRefNumberOfDefaultDB(), 2u);
  EXPECT_EQ(manager->DeleteRefNumberOfDefaultDB(), 1u);
  EXPECT_EQ(builtIn->GetNumberOfVariables(), 137u);
  EXPECT_EQ(manager->DeleteRefNumberOfDefaultDB(), 0u);
  EXPECT_EQ(builtIn->GetNumberOfVariables(), 0u);
  EXPECT_EQ(manager->GetJointLimitsDB(kBuiltInUUID), builtIn);  // rebuilt in place
  EXPECT_EQ(builtIn->GetNumberOfVariables(), 137u);
}

TEST_F(MKDatabaseManagerTest, RemoveLeavesBuiltInAndUnregisteredDatabasesAlone) {
  MKDBJointLimits* builtIn = manager->GetDefaultJointLimitsDB();
  manager->RemoveDatabase(nullptr);
  manager->RemoveDatabase(builtIn);
  EXPECT_EQ(builtIn->GetNumberOfVariables(), 137u);

  // Not the manager's, though claiming the built-in UUID: ASan reports a
  // wrongful destruction of this stack object.
  struct Detached : MKDBJointLimits {
    Detached() {
      SetMKClassName(MKDBClassUserJointLimits);
      SetUUID(kBuiltInUUID);
    }
  } detached;
  manager->RemoveDatabase(&detached);
  EXPECT_EQ(manager->GetJointLimitsDB(kBuiltInUUID), builtIn);
  EXPECT_EQ(manager->GetNumberOfUserJointLimitsDB(), 0u);
}

TEST_F(MKDatabaseManagerTest, LoadDatabaseRefusesWhatIsNoUserDatabase) {
  MKMemo memo;  // a well-formed record of another kind
  Bytes memoRecord;
  ASSERT_EQ(memo.Write(memoRecord.stream), MKStatusSuccess);

  std::vector<KelStreamDefinition> noDatabase = {
      memoRecord.stream,
      KelStreamDefinition(),
      Bytes().Text("002").stream,
      Bytes().Text("0023E").Double(1.0).Int(0).stream,  // an end tag
      Bytes().Text("00B23").stream,
      Bytes().Text("0B23B").stream,
      Bytes().Text("0024B").Double(1.0).Int(0).stream,        // a variable record
      Bytes().Text(" 023B").stream,                           // spaces are dropped: "023"
      Bytes().Text(std::string("0") + '\0' + "23B").stream};  // a NUL among the tag bytes
  for (std::size_t i = 0; i < noDatabase.size(); ++i) {
    MKDatabase* db = manager->GetDefaultJointLimitsDB();
    EXPECT_EQ(manager->LoadDatabase(noDatabase[i], db), MKStatusStreamContent) << i;
    EXPECT_EQ(db, nullptr) << i;
  }

  // Starting as user databases, then truncated, oversized or malformed.
  std::vector<KelStreamDefinition> hostile = {
      Bytes().Text("0023B").stream,
      Bytes().Text("0021B").Double(1.0).stream,
      Bytes().Text("0023B").Double(1.0).Int(0x7FFFFFFF).stream,
      Bytes().Text("0021B").Double(1.0).Int(-1).stream,
      Bytes().Text("0023B").Double(1.0).Int(40).Int(0x7FFFFFFF).Text("xx").stream,
      Bytes().Text("0023B").Double(1e300).Int(0).Text("0023E").stream,
      Bytes().Text("0021B").Double(1.0).Int(0).Int(0).Int(0).Text("0023E").stream};
  for (std::size_t i = 0; i < hostile.size(); ++i) {
    MKDatabase* db = nullptr;
    EXPECT_NE(manager->LoadDatabase(hostile[i], db), MKStatusSuccess) << i;
    EXPECT_EQ(db, nullptr) << i;
  }
  EXPECT_EQ(manager->GetNumberOfUserAnthroDB(), 0u);
  EXPECT_EQ(manager->GetNumberOfUserJointLimitsDB(), 0u);
}

}  // namespace
