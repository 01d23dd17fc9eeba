#include "anthro/MKDatabase.h"

#include <gtest/gtest.h>

#include "anthro/MKDBJointLimits.h"

namespace {

// A database of a given kind whose flags, kept by derived databases, are reachable.
class TestDatabase : public MKDatabase {
 public:
  explicit TestDatabase(int code = MKDBClassUserJointLimits) { SetMKClassName(code); }
  unsigned int GetSize() const override { return 0; }
  using MKDatabase::SetModified;
  using MKDatabase::SetRevisionFloor;
};

KelString UUIDOf(const MKDatabase& db) {
  KelString uuid;
  db.GetUUID(uuid);
  return uuid;
}

TEST(MKDatabaseTest, OwnUUIDRevisionFloorAndExplicitRevisions) {
  TestDatabase db, other;
  EXPECT_EQ(UUIDOf(db).Length(), 36);
  EXPECT_NE(UUIDOf(db), UUIDOf(other));
  db.IncrementRevisionNumber();  // not modified
  EXPECT_EQ(db.GetRevisionNumber(), 1.0);

  db.SetRevisionFloor(1.0);
  db.SetRevisionNumber(0.5);  // below the floor: refused, increments go on
  db.SetModified(1);
  db.IncrementRevisionNumber();
  EXPECT_DOUBLE_EQ(db.GetRevisionNumber(), 1.01);
  db.SetRevisionNumber(1.0);  // at the floor: accepted, and increments stop
  db.IncrementRevisionNumber();
  EXPECT_EQ(db.GetRevisionNumber(), 1.0);

  TestDatabase set;
  set.SetRevisionNumber(0.5);
  EXPECT_EQ(set.GetRevisionNumber(), 0.5);
  set.SetModified(1);
  set.IncrementRevisionNumber();  // an explicit revision stands
  EXPECT_EQ(set.GetRevisionNumber(), 0.5);
}

TEST(MKDatabaseTest, AssignmentCopiesEverythingButTheKind) {
  TestDatabase source(MKDatabase::MKDBClassUserAnthro);
  source.SetName("source");
  source.SetRevisionFloor(3.0);
  source.SetModified(1);
  ASSERT_EQ(source.SetMemo("about"), MKStatusSuccess);

  MKDBJointLimits target;
  static_cast<MKDatabase&>(target) = source;
  EXPECT_EQ(target.GetMKClassName(), MKDatabase::MKDBClassJointLimits);
  EXPECT_EQ(target.GetName(), KelUnicodeString("source"));
  EXPECT_EQ(UUIDOf(target), UUIDOf(source));
  EXPECT_EQ(target.GetMemo()->GetText(), KelUnicodeString("about"));
  target.SetRevisionNumber(2.0);     // the floor came along
  target.IncrementRevisionNumber();  // and the modified flag
  EXPECT_DOUBLE_EQ(target.GetRevisionNumber(), 1.01);

  const KelUnicodeString tooLong(KelUnicodeChar('x'), MKMemo::GetMaximumLength() + 1);
  EXPECT_EQ(target.SetMemo(tooLong), MKStatusNoMemory);
  EXPECT_EQ(target.GetMemo()->GetText(), KelUnicodeString("about"));
}

}  // namespace
