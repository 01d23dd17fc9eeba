// Part kinds and the tree operations of the base part.
#include "parts/MKManikinPart.h"

#include <gtest/gtest.h>

#include <cstdio>
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

TEST(MKManikinPartTest, KindStrings) {
  for (int kind = 1; kind <= 32; ++kind) {
    const KelString& text = MKManikinPart::ConvertPartIDToString(static_cast<MKPartID>(kind));
    if (kind == 19 || kind == 20) {
      EXPECT_TRUE(text == "0000") << kind;
      continue;
    }
    char expected[8];
    std::snprintf(expected, sizeof expected, "%04d", kind);
    EXPECT_TRUE(text == expected) << kind;
    EXPECT_EQ(MKManikinPart::ConvertStringToPartID(expected), kind);
  }
  for (int kind : {0, -1, 33, 1000})
    EXPECT_TRUE(MKManikinPart::ConvertPartIDToString(static_cast<MKPartID>(kind)) == "0000");
  // The static objects themselves are answered.
  EXPECT_EQ(&MKManikinPart::ConvertPartIDToString(MKPartSetID), &MKManikinPart::sMKPartSetID);
  EXPECT_EQ(&MKManikinPart::ConvertPartIDToString(MKPartVisualLimitsID),
            &MKManikinPart::sMKPartDefaultID);

  EXPECT_EQ(MKManikinPart::ConvertStringToPartID("0019"), MKPartVisualLimitsID);
  EXPECT_EQ(MKManikinPart::ConvertStringToPartID("0020"), MKPartVisualLimitsVariableID);
  for (const char* none : {"0033", "0000", "", "19", "0005 ", "005", "00005", "abcd"})
    EXPECT_EQ(MKManikinPart::ConvertStringToPartID(none), MKPartDefaultID) << none;
}

TEST(MKManikinPartTest, CreateMakesEmptyContainers) {
  for (int kind : {6, 8, 10, 19, 26, 27, 28, 29, 30, 31, 32}) {
    PartPtr part(MKManikinPart::Create(static_cast<MKPartID>(kind)));
    ASSERT_NE(part, nullptr) << kind;
    EXPECT_EQ(part->GetPartID(), kind);
    EXPECT_EQ(part->GetVersion(), 2.01) << kind;
    EXPECT_EQ(part->GetNumberOfChildrenParts(), 0u);
    EXPECT_EQ(part->GetTimeStamp(), 0);
    EXPECT_EQ(part->IsLoadedFromLibrary(), 0);
  }
  // Kinds with a class of their own elsewhere, or none at all.
  for (int kind : {0, 1, 2, 4, 7, 9, 11, 12, 13, 14, 16, 17, 18, 20, 21, 22, 23, 24, 25, 33})
    EXPECT_EQ(MKManikinPart::Create(static_cast<MKPartID>(kind)), nullptr) << kind;
}

TEST(MKManikinPartTest, PostureVersionFollowsTheEnvironment) {
  const char* name = "MKKR12ManikinInR14";
  const char* old = std::getenv(name);
  const std::string saved = old ? old : "";
  struct Case {
    const char* value;
    double version;
  };
  for (const Case& c :
       {Case{nullptr, 2.03}, Case{"1", 2.01}, Case{"0", 2.03}, Case{"11", 2.03}, Case{"", 2.03}}) {
    if (c.value)
      setenv(name, c.value, 1);
    else
      unsetenv(name);
    PartPtr posture(MKManikinPart::Create(MKPartPostureID));
    ASSERT_NE(posture, nullptr);
    EXPECT_EQ(posture->GetVersion(), c.version) << (c.value ? c.value : "(unset)");
  }
  if (old)
    setenv(name, saved.c_str(), 1);
  else
    unsetenv(name);
}

TEST(MKManikinPartTest, ConstructorRaisesTheAnthroReferenceVersion) {
  EXPECT_EQ(MKManikinPart(MKPartAnthroDBReferenceID, 2.01).GetVersion(), 2.02);
  EXPECT_EQ(MKManikinPart(MKPartAnthroDBReferenceID, 2.0).GetVersion(), 2.0);
  EXPECT_EQ(MKManikinPart(MKPartJointLimitsDBReferenceID, 2.01).GetVersion(), 2.01);
}

TEST(MKManikinPartTest, CloneOnlyForContainerKinds) {
  for (int kind : kContainerKinds) {
    MKManikinPart part(static_cast<MKPartID>(kind), 2.01);
    Add(part, Memo("m"));
    PartPtr copy(part.Clone());
    ASSERT_NE(copy, nullptr) << kind;
    EXPECT_EQ(copy->GetPartID(), kind);
    EXPECT_EQ(copy->GetVersion(), part.GetVersion());
    EXPECT_EQ(copy->GetNumberOfChildrenParts(), 1u);
    EXPECT_NE(copy->GetChild(1), part.GetChild(1));  // children are copied too
  }
  for (int kind : {0, 1, 2, 3, 13, 17, 19, 20, 25})
    EXPECT_EQ(MKManikinPart(static_cast<MKPartID>(kind), 2.01).Clone(), nullptr) << kind;
}

TEST(MKManikinPartTest, AddPartStoresACopy) {
  MKManikinPart set(MKPartSetID, 2.01);
  MKMemo memo = Memo("before");
  set.AddPart(&memo);
  set.AddPart(nullptr);
  ASSERT_EQ(set.GetNumberOfChildrenParts(), 1u);
  memo.SetText("after");
  EXPECT_NE(set.GetChild(1), &memo);
  EXPECT_EQ(TextOf(set.GetChild(1)), "before");
  set.RemoveAllParts();
  EXPECT_EQ(set.GetNumberOfChildrenParts(), 0u);
}

TEST(MKManikinPartTest, FindPartScansFromAOneBasedStart) {
  MKManikinPart set(MKPartSetID, 2.01);
  Add(set, Memo("a"));
  MKManikinPartFrame frame;
  set.AddPart(&frame);
  Add(set, Memo("b"));

  MKManikinPart* found = nullptr;
  EXPECT_EQ(set.FindPart(MKPartMemoID, found, 1), 1);
  EXPECT_EQ(found, set.GetChild(1));
  EXPECT_EQ(set.FindPart(MKPartMemoID, found, 2), 3);
  EXPECT_EQ(found, set.GetChild(3));  // into the tree, not a copy
  EXPECT_EQ(TextOf(found), "b");
  EXPECT_EQ(set.FindPart(MKPartFrameID, found, 1), 2);

  for (int start : {0, -1, 4, 100}) {
    found = &frame;
    EXPECT_EQ(set.FindPart(MKPartMemoID, found, start), 0) << start;
    EXPECT_EQ(found, nullptr) << start;
  }
  found = &frame;
  EXPECT_EQ(set.FindPart(MKPartPostureID, found, 1), 0);
  EXPECT_EQ(found, nullptr);
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

TEST(MKManikinPartTest, ExtractOneDOFOfPreferredAngles) {
  MKManikinPart angles(MKPartPrefAnglesID, 2.01);
  Add(angles, Memo("about the zones"));
  PartPtr one(angles.ExtractPart(MKPartPrefAnglesDof2ID, 0, nullptr));
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->GetPartID(), MKPartPrefAnglesDof2ID);
  EXPECT_EQ(one->GetVersion(), 2.01);
  ASSERT_EQ(one->GetNumberOfChildrenParts(), 1u);
  EXPECT_EQ(TextOf(one->GetChild(1)), "about the zones");

  // The one-DOF path is only taken from the full container.
  MKManikinPart dof1(MKPartPrefAnglesDof1ID, 2.01);
  Add(dof1, Memo("x"));
  EXPECT_EQ(dof1.ExtractPart(MKPartPrefAnglesDof2ID, 0, nullptr), nullptr);
}

TEST(MKManikinPartTest, ExtractOneDOFOfJointLimitsIgnoresShortNames) {
  MKManikinPart reference(MKPartJointLimitsDBReferenceID, 2.01);
  Add(reference, Memo("db-uuid", MKPartJointLimitsID));
  MKManikinPart limits(MKPartJointLimitsID, 2.01);
  limits.AddPart(&reference);
  Add(limits, Memo("notes"));
  KelRawCollint names;
  names.Append(12345);
  PartPtr one(limits.ExtractPart(MKPartJointLimitsDof3ID, 0, &names));
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->GetPartID(), MKPartJointLimitsDof3ID);
  ASSERT_EQ(one->GetNumberOfChildrenParts(), 2u);
  EXPECT_EQ(one->GetChild(1)->GetPartID(), MKPartJointLimitsDBReferenceID);
  EXPECT_EQ(TextOf(one->GetChild(2)), "notes");
}

TEST(MKManikinPartTest, ExtractWithShortNames) {
  KelRawCollint names;
  names.Append(0);
  MKManikinPart posture(MKPartPostureID, 2.03);
  Add(posture, Memo("m"));
  PartPtr filtered(posture.ExtractPart(MKPartPostureID, 0, &names));
  ASSERT_NE(filtered, nullptr);
  EXPECT_EQ(filtered->GetPartID(), MKPartPostureID);
  EXPECT_EQ(filtered->GetNumberOfChildrenParts(), 0u);  // memos are not filtered in

  for (int kind : {6, 8, 27, 31}) {
    const auto id = static_cast<MKPartID>(kind);
    EXPECT_EQ(KindOf(MKManikinPart(id, 2.01).ExtractPart(id, 0, &names)), kind);
  }
  MKManikinPart constraints(MKPartIKConstraintsID, 2.01);
  EXPECT_EQ(constraints.ExtractPart(MKPartIKConstraintsID, 0, &names), nullptr);
  MKManikinPart set(MKPartSetID, 2.01);
  Add(set, Memo("m"));
  EXPECT_EQ(set.ExtractPart(MKPartMemoID, 0, &names), nullptr);
  EXPECT_EQ(posture.ExtractPart(MKPartPrefAnglesID, 0, &names), nullptr);
}

TEST(MKManikinPartTest, AssignmentKeepsTheKind) {
  MKManikinPart limits(MKPartJointLimitsID, 2.01);
  Add(limits, Memo("m"));
  MKManikinPart angles(MKPartPrefAnglesID, 2.01);
  angles = limits;  // another kind: nothing happens
  EXPECT_EQ(angles.GetPartID(), MKPartPrefAnglesID);
  EXPECT_EQ(angles.GetNumberOfChildrenParts(), 0u);

  MKManikinPart blank(MKPartDefaultID, 2.0);
  blank = limits;
  EXPECT_EQ(blank.GetPartID(), MKPartJointLimitsID);
  EXPECT_EQ(blank.GetVersion(), 2.01);
  EXPECT_EQ(blank.GetNumberOfChildrenParts(), 1u);

  MKManikinPart other(MKPartJointLimitsID, 1.5);
  limits = other;  // same kind: children replaced, version copied
  EXPECT_EQ(limits.GetNumberOfChildrenParts(), 0u);
  EXPECT_EQ(limits.GetVersion(), 1.5);
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

TEST(MKManikinPartTest, SizeOfABody) {
  for (int kind : {2, 5, 6, 8, 10, 12, 19, 26, 27, 28, 29, 30, 31, 32})
    EXPECT_EQ(MKManikinPart(static_cast<MKPartID>(kind), 2.01).GetSize(), 8u) << kind;
  for (int kind : {0, 1, 11, 13, 17, 25})
    EXPECT_EQ(MKManikinPart(static_cast<MKPartID>(kind), 2.01).GetSize(), 0u) << kind;

  const MKMemo abc = Memo("abc");
  EXPECT_EQ(abc.GetSize(), 30u);  // 4 + 6, 4 + 8, 8
  MKManikinPart posture(MKPartPostureID, 2.03);
  posture.AddPart(&abc);
  EXPECT_EQ(posture.GetSize(), 8u + 30u + 22u);
  MKManikinPartFrame frame;
  posture.AddPart(&frame);
  EXPECT_EQ(posture.GetSize(), 8u + 30u + 22u + 560u + 22u);

  MKManikinPart reference(MKPartJointLimitsDBReferenceID, 2.01);
  reference.AddPart(&abc);
  EXPECT_EQ(reference.GetSize(), 52u);
  MKManikinPart outer(MKPartSetID, 2.01);
  outer.AddPart(&reference);
  EXPECT_EQ(outer.GetSize(), 8u + 52u + 22u);
}

}  // namespace
