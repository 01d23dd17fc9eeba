#include "anthro/MKUserDBAnthro.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "anthro/MKAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "anthro/MKUserDBJointLimits.h"
#include "parts/MKPersistenceRoutines.h"

namespace {

constexpr unsigned int kStature = 100, kWeight = 125, kSittingHeight = 94;

struct DatabaseDeleter {
  void operator()(MKDatabase* db) const {
    if (db) db->Destroy();
  }
};
using UserDB = std::unique_ptr<MKUserDBAnthro, DatabaseDeleter>;

std::string Bytes(const KelStreamDefinition& stream) {
  return std::string(stream.GetBuffer(), stream.GetLength());
}

class MKUserDBAnthroTest : public ::testing::Test {
 protected:
  // The last release empties the manager's user lists for the next test.
  void TearDown() override {
    manager->AddRefNumberOfDefaultDB();
    manager->DeleteRefNumberOfDefaultDB();
  }
  MKDatabaseManager* manager = MKDatabaseManager::GetInstance();
  const MKDBAnthro& builtIn = *manager->GetDefaultAnthroDB();
};

// Another survey's stature and weight, women lower than men.
UserDB StatureAndWeight() {
  UserDB db(MKUserDBAnthro::Create(KelUnicodeString("Other survey")));
  EXPECT_EQ(db->SetVariable("<STATURE>", 178.0, 164.0, 7.2, 6.6), MKStatusSuccess);
  EXPECT_EQ(db->SetVariable("<WEIGHT>", 84.0, 66.0, 13.0, 10.5), MKStatusSuccess);
  return db;
}

TEST_F(MKUserDBAnthroTest, StatureAndWeightCompletedByTheBuiltInConditionalMeans) {
  UserDB db = StatureAndWeight();
  EXPECT_EQ(db->GetNumberOfVariables(), 2u);
  db->Update();
  ASSERT_EQ(db->GetNumberOfVariables(), builtIn.GetNumberOfVariables());

  for (int sex = 0; sex <= 1; ++sex) {
    // The conditional mean given two values, with the 2 x 2 inverse by hand.
    const MKDBAnthroVariable* s = builtIn.GetVariableFromRefNumber(kStature);
    const MKDBAnthroVariable* w = builtIn.GetVariableFromRefNumber(kWeight);
    const double ss = s->GetStdDev(sex), sw = w->GetStdDev(sex);
    const double rsw = s->GetCorrelationValue(kWeight, sex);
    const double ds = db->GetVariableFromRefNumber(kStature)->GetMean(sex) - s->GetMean(sex);
    const double dw = db->GetVariableFromRefNumber(kWeight)->GetMean(sex) - w->GetMean(sex);
    const double det = ss * ss * sw * sw * (1 - rsw * rsw);
    const double as = (sw * sw * ds - rsw * ss * sw * dw) / det;
    const double aw = (ss * ss * dw - rsw * ss * sw * ds) / det;
    for (unsigned int i = 0; i < builtIn.GetNumberOfVariables(); ++i) {
      const MKDBAnthroVariable* known = builtIn.GetVariableAtIndex(i);
      const unsigned int number = known->GetReferenceNumber();
      const MKUserDBAnthroVariable* own = db->GetUserVariableFromRefNumber(number);
      ASSERT_NE(own, nullptr) << number;
      EXPECT_EQ(own->GetAcronym(), known->GetAcronym());
      if (number == kStature || number == kWeight) {
        EXPECT_EQ(own->GetManagementType(), 1);
        continue;
      }
      EXPECT_EQ(own->GetManagementType(), 0);
      const auto r = [&](unsigned int other) {
        return number < other
                   ? known->GetCorrelationValue(other, sex)
                   : builtIn.GetVariableFromRefNumber(other)->GetCorrelationValue(number, sex);
      };
      const double si = known->GetStdDev(sex);
      const double expected =
          known->GetMean(sex) + r(kStature) * si * ss * as + r(kWeight) * si * sw * aw;
      EXPECT_NEAR(own->GetMean(sex), expected, 1e-9 * expected) << number << " sex " << sex;
      EXPECT_NEAR(own->GetStdDev(sex) / own->GetMean(sex), si / known->GetMean(sex), 1e-12)
          << number;
    }
  }
  // Sitting height follows stature: men taller than the built-in men sit taller.
  EXPECT_GT(db->GetVariableFromRefNumber(kSittingHeight)->GetMean(1),
            builtIn.GetVariableFromRefNumber(kSittingHeight)->GetMean(1));

  // Completing again changes nothing; the user's values stay.
  const double sitting = db->GetVariableFromRefNumber(kSittingHeight)->GetMean(0);
  db->Update();
  EXPECT_EQ(db->GetNumberOfVariables(), builtIn.GetNumberOfVariables());
  EXPECT_EQ(db->GetVariableFromRefNumber(kSittingHeight)->GetMean(0), sitting);
  EXPECT_EQ(db->GetVariableFromRefNumber(kStature)->GetStdDev(1), 7.2);
  // A user's change is carried to the completed variables at the next completion.
  ASSERT_EQ(db->SetVariable("<STATURE>", 178.0, 170.0, 7.2, 6.6), MKStatusSuccess);
  db->Update();
  EXPECT_GT(db->GetVariableFromRefNumber(kSittingHeight)->GetMean(0), sitting + 1.0);
  EXPECT_EQ(db->GetVariableFromRefNumber(kStature)->GetMean(0), 170.0);
  EXPECT_EQ(db->GetUserVariableAtIndex(0)->GetName(),
            builtIn.GetVariableFromRefNumber(kStature)->GetName());
}

TEST_F(MKUserDBAnthroTest, SettersRefuseWhatNoPopulationHas) {
  UserDB db(MKUserDBAnthro::Create());
  EXPECT_EQ(db->GetMKClassName(), MKDatabase::MKDBClassUserAnthro);
  EXPECT_EQ(db->SetVariable("<STATURE>", 0.0, 165, 7, 6.5), MKStatusValueRefused);
  EXPECT_EQ(db->SetVariable("<STATURE>", 180, 165, -1, 6.5), MKStatusValueRefused);
  EXPECT_EQ(db->SetVariable("<STATURE>", 180, 165, 7, std::nan("")), MKStatusValueRefused);
  EXPECT_EQ(db->SetVariable("<NOSUCH>", 180, 165, 7, 6.5), MKStatusUserDBAnthro);
  EXPECT_EQ(db->SetVariable(nullptr, 180, 165, 7, 6.5), MKStatusUserDBAnthro);
  EXPECT_EQ(db->GetNumberOfVariables(), 0u);
  EXPECT_EQ(db->AddUserCorrelation(94, 100, 0.7, 0.72), MKStatusUserDBAnthro);

  ASSERT_EQ(db->SetVariable("<STATURE>", 180, 165, 7, 6.5), MKStatusSuccess);
  const MKDBAnthroVariable* stature = db->GetVariableAtIndex(0);
  EXPECT_EQ(stature->GetReferenceNumber(), kStature);
  EXPECT_EQ(stature->GetMean(1) + stature->GetStdDev(0), 180 + 6.5);  // men first, then women
  ASSERT_EQ(db->SetVariable("<SITTHGHT>", 93, 86, 3.5, 3.3), MKStatusSuccess);

  EXPECT_EQ(db->AddUserCorrelation(100, 94, 0.7, 0.7), MKStatusValueRefused);
  EXPECT_EQ(db->AddUserCorrelation(94, 100, 1.5, 0.7), MKStatusValueRefused);
  EXPECT_EQ(db->AddUserCorrelation(94, 303, 0.5, 0.7), MKStatusValueRefused);
  EXPECT_EQ(db->AddUserCorrelation(100, 100, 1.0, 1.0), MKStatusSuccess);
  EXPECT_EQ(db->AddUserCorrelation(94, 100, 0.7, 0.72), MKStatusSuccess);
  const MKDBAnthroVariable* sitting = db->GetVariableFromRefNumber(kSittingHeight);
  EXPECT_EQ(sitting->GetCorrelationValue(kStature, 0), 0.7);
  EXPECT_EQ(sitting->GetCorrelationValue(kStature, 1), 0.72);
  EXPECT_EQ(sitting->GetNbCorrelationVector(), 1);
}

TEST_F(MKUserDBAnthroTest, RecordsRoundTripByteExactlyAndRegisterOnce) {
  UserDB db = StatureAndWeight();
  ASSERT_EQ(db->SetVariable("<SITTHGHT>", 93, 86, 3.5, 3.3), MKStatusSuccess);
  ASSERT_EQ(db->AddUserCorrelation(94, 100, 0.71, 0.73), MKStatusSuccess);
  ASSERT_EQ(db->SetMemo(KelUnicodeString("measured in 2024")), MKStatusSuccess);
  db->Update();
  KelStreamDefinition first;
  ASSERT_EQ(db->Write(first), MKStatusSuccess);
  EXPECT_EQ(first.GetLength(), 5 + 8 + 4 + db->GetSize() + 5);
  EXPECT_EQ(db->GetRevisionNumber(), 1.0);  // never loaded: not a change of a loaded one

  MKDatabase* loaded = nullptr;
  ASSERT_EQ(manager->LoadDatabase(first, loaded), MKStatusSuccess);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(manager->GetNumberOfUserAnthroDB(), 1u);
  MKUserDBAnthro* read = manager->GetUserAnthroDBAtIndex(0);
  EXPECT_EQ(read, loaded);
  KelString uuid;
  db->GetUUID(uuid);
  EXPECT_EQ(manager->GetAnthroDB(uuid), read);
  EXPECT_EQ(read->GetMemo()->GetText(), KelUnicodeString("measured in 2024"));
  EXPECT_EQ(read->GetVariableFromRefNumber(kSittingHeight)->GetCorrelationValue(kStature, 1), 0.73);

  KelStreamDefinition second;
  ASSERT_EQ(read->Write(second), MKStatusSuccess);
  EXPECT_EQ(Bytes(second), Bytes(first));
  EXPECT_EQ(read->GetRevisionNumber(), 1.0);  // loaded and unchanged

  second.Reset();
  MKDatabase* again = nullptr;
  ASSERT_EQ(manager->LoadDatabase(second, again), MKStatusSuccess);
  EXPECT_EQ(again, read);
  EXPECT_EQ(manager->GetNumberOfUserAnthroDB(), 1u);

  // A change of a loaded database advances the revision at the next write.
  ASSERT_EQ(read->SetVariable("<STATURE>", 179, 164, 7.2, 6.6), MKStatusSuccess);
  KelStreamDefinition third;
  ASSERT_EQ(read->Write(third), MKStatusSuccess);
  EXPECT_DOUBLE_EQ(read->GetRevisionNumber(), 1.01);
  read->SetRevisionNumber(0.5);  // below the floor of the loaded revision
  EXPECT_DOUBLE_EQ(read->GetRevisionNumber(), 1.01);

  manager->RemoveDatabase(read);
  EXPECT_EQ(manager->GetNumberOfUserAnthroDB(), 1u);
  EXPECT_EQ(manager->GetUserAnthroDBAtIndex(0), nullptr);
}

// Every cut and every changed byte of a valid record: a documented status,
// or a database that reads; a failure changes neither the manager nor the
// database read into.
TEST_F(MKUserDBAnthroTest, HostileRecordsLeaveManagerAndDatabaseUnchanged) {
  UserDB db = StatureAndWeight();
  ASSERT_EQ(db->AddUserCorrelation(100, 125, 0.5, 0.6), MKStatusSuccess);
  ASSERT_EQ(db->SetMemo(KelUnicodeString("memo")), MKStatusSuccess);
  KelStreamDefinition valid;
  ASSERT_EQ(db->Write(valid), MKStatusSuccess);
  const std::string bytes = Bytes(valid);

  UserDB target = StatureAndWeight();
  KelStreamDefinition before;
  ASSERT_EQ(target->Write(before), MKStatusSuccess);

  std::mt19937 random(17);
  for (int trial = 0; trial < 600; ++trial) {
    std::string hostile = bytes;
    if (trial < 200) {
      hostile.resize(static_cast<std::size_t>(trial) * hostile.size() / 200);
    } else {
      const int changes = 1 + trial % 4;
      for (int c = 0; c < changes; ++c)
        hostile[random() % hostile.size()] = static_cast<char>(random() & 0xFF);
    }
    KelStreamDefinition stream(hostile.data(), hostile.size());
    const unsigned int count = manager->GetNumberOfUserAnthroDB();
    MKDatabase* loaded = nullptr;
    const MKStatus status = manager->LoadDatabase(stream, loaded);
    if (status != MKStatusSuccess) {
      EXPECT_TRUE(status == MKStatusStreamContent || status == MKStatusUserDBContent)
          << "trial " << trial << " status " << status.GetCode();
      EXPECT_EQ(loaded, nullptr);
      EXPECT_EQ(manager->GetNumberOfUserAnthroDB(), count) << trial;
    }

    KelStreamDefinition again(hostile.data(), hostile.size());
    if (target->Read(again) != MKStatusSuccess) {
      KelStreamDefinition after;
      ASSERT_EQ(target->Write(after), MKStatusSuccess);
      EXPECT_EQ(Bytes(after), Bytes(before)) << "trial " << trial;
    } else {
      target = StatureAndWeight();
      before = KelStreamDefinition();
      ASSERT_EQ(target->Write(before), MKStatusSuccess);
    }
  }

  // A whole record whose length disagrees with its content.
  for (int change : {-1, 1}) {
    std::string wrong = bytes;
    wrong[16] = static_cast<char>(wrong[16] + change);  // low byte of the length
    KelStreamDefinition stream(wrong.data(), wrong.size());
    EXPECT_EQ(target->Read(stream).GetCode(), MKStatusStreamContent) << change;
  }

  // A correlation whose partner is the variable itself or one before it.
  const auto pair = [](int partner, double first, double second) {
    KelStreamDefinition s;
    MKPersistenceRoutines::WriteInt(s, partner);
    MKPersistenceRoutines::WriteDouble(s, first);
    MKPersistenceRoutines::WriteDouble(s, second);
    return Bytes(s);
  };
  std::size_t at = bytes.find(pair(125, 0.6, 0.5));
  const bool swapped = at == std::string::npos;
  if (swapped) at = bytes.find(pair(125, 0.5, 0.6));
  ASSERT_NE(at, std::string::npos);
  for (int partner : {100, 99}) {
    std::string wrong = bytes;
    wrong.replace(at, pair(0, 0, 0).size(),
                  swapped ? pair(partner, 0.5, 0.6) : pair(partner, 0.6, 0.5));
    KelStreamDefinition stream(wrong.data(), wrong.size());
    EXPECT_EQ(target->Read(stream).GetCode(), MKStatusStreamContent) << partner;
  }

  // A record newer than the reader.
  KelStreamDefinition newer;
  for (char c : std::string("0021B")) newer.WriteChar(c);
  MKPersistenceRoutines::WriteDouble(newer, 1.5);
  MKPersistenceRoutines::WriteInt(newer, 0);
  EXPECT_EQ(target->Read(newer).GetCode(), MKStatusUserDBContent);
}

TEST_F(MKUserDBAnthroTest, UnknownVariablesAreReadAndDropped) {
  UserDB db = StatureAndWeight();
  db->GetVariableAtIndex(1)->SetAcronym("<NOSUCH>");
  KelStreamDefinition stream;
  ASSERT_EQ(db->Write(stream), MKStatusSuccess);
  UserDB read(MKUserDBAnthro::Create());
  ASSERT_EQ(read->Read(stream), MKStatusSuccess);
  EXPECT_EQ(read->GetUserVariableFromRefNumber(kStature)->GetManagementType(), 1);
  EXPECT_EQ(read->GetUserVariableFromRefNumber(kWeight)->GetManagementType(), 0);
  EXPECT_EQ(read->GetNumberOfVariables(), builtIn.GetNumberOfVariables());
}

TEST_F(MKUserDBAnthroTest, UserJointLimits) {
  const MKDBJointLimitsVariable* known = manager->GetDefaultJointLimitsDB()->GetVariableAtIndex(3);
  const MKShortName segment = known->GetShortNameOfSegment();
  const int dof = static_cast<int>(known->GetDOFNumber());
  std::unique_ptr<MKUserDBJointLimits, DatabaseDeleter> db(
      MKUserDBJointLimits::Create(KelUnicodeString("Stiff")));
  EXPECT_EQ(db->GetMKClassName(), MKDatabase::MKDBClassUserJointLimits);
  EXPECT_EQ(db->SetVariable(segment, dof, 200, 170, 5, 5), MKStatusValueRefused);
  EXPECT_EQ(db->SetVariable(segment, dof, 40, 30, -1, 5), MKStatusValueRefused);
  EXPECT_EQ(db->SetVariable(segment, 99, 40, 30, 5, 5), MKStatusUserDBJointLimits);
  ASSERT_EQ(db->SetVariable(segment, dof, 40, 30, 5, 4), MKStatusSuccess);
  EXPECT_EQ(db->GetVariableAtIndex(0)->GetMinStdDev(), 4);
  ASSERT_EQ(db->SetVariable(segment, dof, 45, 30, 5, 4), MKStatusSuccess);
  EXPECT_EQ(db->GetNumberOfVariables(), 1u);

  KelStreamDefinition first;
  ASSERT_EQ(db->Write(first), MKStatusSuccess);
  MKDatabase* loaded = nullptr;
  ASSERT_EQ(manager->LoadDatabase(first, loaded), MKStatusSuccess);
  MKUserDBJointLimits* read = manager->GetUserJointLimitsDBAtIndex(0);
  ASSERT_EQ(read, loaded);
  EXPECT_EQ(manager->GetUserJointLimitsDBAtIndex(1), nullptr);
  ASSERT_EQ(read->GetNumberOfVariables(), 1u);
  EXPECT_EQ(read->GetVariableAtIndex(0)->GetMaxMean(), 45);
  KelStreamDefinition second;
  ASSERT_EQ(read->Write(second), MKStatusSuccess);
  EXPECT_EQ(Bytes(second), Bytes(first));

  // Cut short anywhere: refused, nothing registered, the database unchanged.
  const std::string bytes = Bytes(first);
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    KelStreamDefinition stream(bytes.data(), cut);
    MKDatabase* none = nullptr;
    EXPECT_NE(manager->LoadDatabase(stream, none), MKStatusSuccess) << cut;
    KelStreamDefinition again(bytes.data(), cut);
    EXPECT_NE(read->Read(again), MKStatusSuccess) << cut;
  }
  EXPECT_EQ(manager->GetNumberOfUserJointLimitsDB(), 1u);
  KelStreamDefinition third;
  ASSERT_EQ(read->Write(third), MKStatusSuccess);
  EXPECT_EQ(Bytes(third), bytes);
}

}  // namespace
