// Part kinds and the tree operations of the base part.
#include "parts/MKManikinPart.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "parts/MKManikinPartFrame.h"
#include "parts/MKMemo.h"
#include "parts/MKStreamTestSupport.h"

namespace {

using mktest::Memo;
using mktest::PartPtr;
using mktest::TextOf;

void Add(MKManikinPart& parent, const MKManikinPart& child) {
  parent.AddPart(&child);
}

const int kContainerKinds[] = {5, 6, 8, 10, 11, 12, 26, 27, 28, 29, 30, 31, 32};

// Create makes the empty containers of its kinds, Clone copies only
// containers, children included; an anthropometric reference is raised to 2.02.
TEST(MKManikinPartTest, CreateAndCloneContainers) {
  for (int kind : {6, 8, 10, 19, 26, 27, 28, 29, 30, 31, 32}) {
    PartPtr part(MKManikinPart::Create(static_cast<MKPartID>(kind)));
    ASSERT_NE(part, nullptr) << kind;
    EXPECT_EQ(part->GetPartID(), kind);
    EXPECT_EQ(part->GetVersion(), 2.01) << kind;
    EXPECT_EQ(part->GetNumberOfChildrenParts(), 0u);
    EXPECT_EQ(part->IsLoadedFromLibrary(), 0);
  }
  for (int kind : {0, 1, 2, 4, 7, 9, 11, 12, 13, 14, 16, 17, 18, 20, 21, 22, 23, 24, 25, 33})
    EXPECT_EQ(MKManikinPart::Create(static_cast<MKPartID>(kind)), nullptr) << kind;
  for (int kind : kContainerKinds) {
    MKManikinPart part(static_cast<MKPartID>(kind), 2.01);
    MKMemo memo = Memo("before");
    part.AddPart(&memo);
    memo.SetText("after");
    PartPtr copy(part.Clone());
    ASSERT_NE(copy, nullptr) << kind;
    EXPECT_EQ(copy->GetPartID(), kind);
    EXPECT_EQ(copy->GetVersion(), kind == MKPartAnthroDBReferenceID ? 2.02 : 2.01);
    ASSERT_EQ(copy->GetNumberOfChildrenParts(), 1u);
    EXPECT_NE(copy->GetChild(1), part.GetChild(1));
    EXPECT_EQ(TextOf(copy->GetChild(1)), "before");
  }
  for (int kind : {0, 1, 2, 3, 13, 17, 19, 20, 25})
    EXPECT_EQ(MKManikinPart(static_cast<MKPartID>(kind), 2.01).Clone(), nullptr) << kind;
  EXPECT_EQ(MKManikinPart(MKPartAnthroDBReferenceID, 2.0).GetVersion(), 2.0);
}

// Only the exact switch value "1" makes postures of the earlier version.
TEST(MKManikinPartTest, PostureVersionFollowsTheEnvironment) {
  const char* name = "MKKR12ManikinInR14";
  ASSERT_EQ(std::getenv(name), nullptr);
  for (const char* value : {"1", "0", "11", "", static_cast<const char*>(nullptr)}) {
    if (value) setenv(name, value, 1);
    if (!value) unsetenv(name);
    PartPtr posture(MKManikinPart::Create(MKPartPostureID));
    EXPECT_EQ(posture->GetVersion(), value && value == std::string("1") ? 2.01 : 2.03) << value;
  }
}

// FindPart answers the one-based position of the next child of a kind from
// a start, and the child itself; none from a start out of range.
TEST(MKManikinPartTest, FindPartScansFromAOneBasedStart) {
  MKManikinPart set(MKPartSetID, 2.01);
  Add(set, Memo("a"));
  Add(set, MKManikinPartFrame());
  Add(set, Memo("b"));
  MKManikinPart* found = nullptr;
  EXPECT_EQ(set.FindPart(MKPartMemoID, found, 1), 1);
  EXPECT_EQ(set.FindPart(MKPartMemoID, found, 2), 3);
  EXPECT_EQ(found, set.GetChild(3));  // into the tree, not a copy
  EXPECT_EQ(set.FindPart(MKPartFrameID, found, 1), 2);
  for (int start : {0, -1, 4, 100}) {
    found = set.GetChild(1);
    EXPECT_EQ(set.FindPart(MKPartMemoID, found, start), 0) << start;
    EXPECT_EQ(found, nullptr) << start;
  }
  EXPECT_EQ(set.FindPart(MKPartPostureID, found, 1), 0);
}

// The kind of an extracted copy, released here; -1 for none.
int KindOf(MKManikinPart* extracted) {
  const PartPtr part(extracted);
  return part ? part->GetPartID() : -1;
}

TEST(MKManikinPartTest, ExtractByPositionAndByKind) {
  MKManikinPart inner(MKPartSetID, 2.01);
  Add(inner, Memo("nested"));
  MKManikinPart set(MKPartSetID, 2.01);
  set.AddPart(&inner);
  Add(set, Memo("a"));
  Add(set, MKManikinPartFrame());
  Add(set, Memo("b"));

  // By position, from zero; a copy, not the child itself.
  PartPtr second(set.ExtractPartAtIndex(1));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second.get(), set.GetChild(2));
  EXPECT_EQ(TextOf(second.get()), "a");
  EXPECT_EQ(KindOf(set.ExtractPartAtIndex(0)), MKPartSetID);
  EXPECT_EQ(KindOf(set.ExtractPartAtIndex(2)), MKPartFrameID);
  EXPECT_EQ(KindOf(set.ExtractPartAtIndex(4)), -1);
  EXPECT_EQ(KindOf(set.ExtractPartAtIndex(0xFFFFFFFFu)), -1);

  // By kind: its own kind is the whole part; another counts the direct children from zero.
  PartPtr whole(set.ExtractPart(MKPartSetID, 5, nullptr));
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(whole->GetNumberOfChildrenParts(), 4u);
  PartPtr b(set.ExtractPart(MKPartMemoID, 1, nullptr));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(TextOf(b.get()), "b");  // the nested memo is not counted
  EXPECT_EQ(KindOf(set.ExtractPart(MKPartMemoID, 2, nullptr)), -1);
  EXPECT_EQ(KindOf(set.ExtractPart(MKPartFrameID, 0, nullptr)), MKPartFrameID);
  EXPECT_EQ(KindOf(set.ExtractPart(MKPartPostureID, 0, nullptr)), -1);
  EXPECT_EQ(inner.GetNumberOfChildrenParts(), 1u);
}

TEST(MKManikinPartTest, CopiesKeepTheStampAndTheLibraryFlag) {
  MKManikinPart set(MKPartSetID, 2.01);
  PartPtr copy(set.Clone());
  EXPECT_EQ(copy->GetTimeStamp(), 0);
  EXPECT_EQ(copy->IsLoadedFromLibrary(), 0);
  const long before = static_cast<long>(std::time(nullptr));
  mktest::Written(set);
  EXPECT_GE(set.GetTimeStamp(), before);
  EXPECT_LE(set.GetTimeStamp(), static_cast<long>(std::time(nullptr)));
  EXPECT_EQ(PartPtr(set.Clone())->GetTimeStamp(), set.GetTimeStamp());

  const std::string memo = mktest::MemoRecord("m", "0000", 4242);
  PartPtr read =
      mktest::ReadPart(mktest::Record("0006", 2.01, mktest::Bytes().Stamp(777).Raw(memo).data));
  ASSERT_NE(read, nullptr);
  const PartPtr clone(read->Clone());
  MKManikinPart direct(*read);
  for (const MKManikinPart* part : {read.get(), clone.get(), &direct}) {
    EXPECT_EQ(part->IsLoadedFromLibrary(), 1);
    EXPECT_EQ(part->GetTimeStamp(), 777);
    ASSERT_EQ(part->GetNumberOfChildrenParts(), 1u);
    EXPECT_EQ(part->GetChild(1)->IsLoadedFromLibrary(), 1);
    EXPECT_EQ(part->GetChild(1)->GetTimeStamp(), 4242);
  }
}

}  // namespace
