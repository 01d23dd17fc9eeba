// Paste rules of the container kinds and of memos and part frames.
#include <gtest/gtest.h>

#include <string>

#include "parts/MKManikinPart.h"
#include "parts/MKManikinPartFrame.h"
#include "parts/MKMemo.h"
#include "parts/MKStreamTestSupport.h"

namespace {

using mktest::Memo;
using mktest::TextOf;

// The address of a part that lives until the end of the full expression.
const MKManikinPart* P(const MKManikinPart& part) {
  return &part;
}

void Add(MKManikinPart& parent, const MKManikinPart& child) {
  parent.AddPart(&child);
}

// The kinds of the children, in order, as "k1,k2,...".
std::string Kinds(const MKManikinPart& part) {
  std::string out;
  for (unsigned int i = 1; i <= part.GetNumberOfChildrenParts(); ++i) {
    if (!out.empty()) out += ",";
    const MKManikinPart* child = part.GetChild(static_cast<int>(i));
    out += child ? std::to_string(child->GetPartID()) : "null";
  }
  return out;
}

TEST(MKManikinPartPasteTest, NoSourceAndNoRule) {
  const MKMemo memo = Memo("m");
  for (int kind : {5, 6, 8, 10, 11, 12, 19, 26, 27, 30})
    EXPECT_EQ(MKManikinPart(static_cast<MKPartID>(kind), 2.01).PasteFrom(nullptr, 1),
              MKStatusNothingToPaste)
        << kind;
  for (int kind : {0, 1, 2, 3, 13, 17, 25}) {
    MKManikinPart part(static_cast<MKPartID>(kind), 2.01);
    EXPECT_EQ(part.PasteFrom(nullptr, 0), MKStatusNothingToPaste) << kind;
    EXPECT_EQ(part.PasteFrom(&memo, 0), MKStatusFailure) << kind;
    EXPECT_EQ(part.GetNumberOfChildrenParts(), 0u);
  }
}

TEST(MKManikinPartPasteTest, MemosMergeIntoTheFirstMemo) {
  for (int kind : {5, 6, 8, 10, 11, 12, 19, 26, 27, 31}) {
    MKManikinPart part(static_cast<MKPartID>(kind), 2.01);
    EXPECT_EQ(part.PasteFrom(P(Memo("first", MKPartManikinID)), 1), MKStatusSuccess) << kind;
    ASSERT_EQ(Kinds(part), "13") << kind;
    // A memo of another owner leaves the existing one as it is.
    EXPECT_EQ(part.PasteFrom(P(Memo("other", MKPartJointLimitsID)), 1), MKStatusSuccess) << kind;
    ASSERT_EQ(Kinds(part), "13") << kind;
    EXPECT_EQ(TextOf(part.GetChild(1)), "first") << kind;
    EXPECT_EQ(part.PasteFrom(P(Memo("second", MKPartManikinID)), 0), MKStatusSuccess) << kind;
    EXPECT_EQ(TextOf(part.GetChild(1)), "second") << kind;
  }
}

TEST(MKManikinPartPasteTest, KindsTheReceiverDoesNotTake) {
  const MKManikinPartFrame frame;
  const MKManikinPart posture(MKPartPostureID, 2.03);
  const MKManikinPart set(MKPartSetID, 2.01);
  struct Case {
    MKPartID receiver;
    const MKManikinPart* source;
  };
  for (const Case& c :
       {Case{MKPartIKConstraintsID, &frame}, Case{MKPartIKConstraintsID, &posture},
        Case{MKPartVisualLimitsID, &posture}, Case{MKPartJointLimitsDBReferenceID, &frame},
        Case{MKPartAnthroDBReferenceID, &set}, Case{MKPartSetID, &posture},
        Case{MKPartSetID, &frame}, Case{MKPartPostureID, &set}, Case{MKPartPrefAnglesID, &frame},
        Case{MKPartPrefAnglesID, &posture}, Case{MKPartJointLimitsID, &frame},
        Case{MKPartJointLimitsDof1ID, &set}}) {
    MKManikinPart receiver(c.receiver, 2.01);
    EXPECT_EQ(receiver.PasteFrom(c.source, 1), MKStatusPasteKindRefused)
        << c.receiver << " <- " << c.source->GetPartID();
    EXPECT_EQ(receiver.GetNumberOfChildrenParts(), 0u);
  }
}

TEST(MKManikinPartPasteTest, SetTakesTheChildrenOfASet) {
  MKManikinPart source(MKPartSetID, 2.01);
  Add(source, Memo("s"));
  Add(source, MKManikinPartFrame());
  Add(source, MKManikinPart(MKPartPostureID, 2.03));
  MKManikinPart receiver(MKPartSetID, 2.01);
  Add(receiver, Memo("r"));
  EXPECT_EQ(receiver.PasteFrom(&source, 0), MKStatusSuccess);
  // Added as they are, the source's memo beside the receiver's own.
  EXPECT_EQ(Kinds(receiver), "13,13,25,5");
  EXPECT_EQ(TextOf(receiver.GetChild(1)), "r");
  EXPECT_EQ(TextOf(receiver.GetChild(2)), "s");
}

TEST(MKManikinPartPasteTest, PostureReplacesWithAFlagAndMergesWithout) {
  MKManikinPart source(MKPartPostureID, 2.03);
  Add(source, MKManikinPartFrame());
  Add(source, Memo("source"));

  MKManikinPart merged(MKPartPostureID, 2.03);
  Add(merged, Memo("kept"));
  EXPECT_EQ(merged.PasteFrom(&source, 0), MKStatusSuccess);
  EXPECT_EQ(Kinds(merged), "13");  // frames and memos of the source are not merged
  EXPECT_EQ(TextOf(merged.GetChild(1)), "kept");

  MKManikinPart replaced(MKPartPostureID, 2.03);
  Add(replaced, Memo("gone"));
  EXPECT_EQ(replaced.PasteFrom(&source, 1), MKStatusSuccess);
  EXPECT_EQ(Kinds(replaced), "25,13");
  EXPECT_EQ(TextOf(replaced.GetChild(2)), "source");

  MKManikinPart frames(MKPartPostureID, 2.03);
  EXPECT_EQ(frames.PasteFrom(P(MKManikinPartFrame()), 0), MKStatusSuccess);
  EXPECT_EQ(frames.PasteFrom(P(MKManikinPartFrame()), 0), MKStatusSuccess);
  EXPECT_EQ(Kinds(frames), "25,25");
}

TEST(MKManikinPartPasteTest, PreferredAngleContainers) {
  MKManikinPart source(MKPartPrefAnglesID, 2.01);
  Add(source, Memo("zones"));

  MKManikinPart all(MKPartPrefAnglesID, 2.01);
  EXPECT_EQ(all.PasteFrom(&source, 1), MKStatusSuccess);
  EXPECT_EQ(Kinds(all), "13");

  MKManikinPart onlyZones(MKPartPrefAnglesID, 2.01);
  EXPECT_EQ(onlyZones.PasteFrom(&source, 0), MKStatusSuccess);
  EXPECT_EQ(Kinds(onlyZones), "");  // with flag 0 only zones are taken

  for (MKPartID one : {MKPartPrefAnglesDof1ID, MKPartPrefAnglesDof2ID, MKPartPrefAnglesDof3ID}) {
    MKManikinPart receiver(one, 2.01);
    EXPECT_EQ(receiver.PasteFrom(&source, 0), MKStatusSuccess) << one;
    EXPECT_EQ(Kinds(receiver), "13") << one;
  }
  MKManikinPart dof1(MKPartPrefAnglesDof1ID, 2.01);
  MKManikinPart dof2(MKPartPrefAnglesDof2ID, 2.01);
  EXPECT_EQ(dof2.PasteFrom(&dof1, 1), MKStatusPasteKindRefused);
  EXPECT_EQ(source.PasteFrom(&dof1, 1), MKStatusPasteKindRefused);
  EXPECT_EQ(dof1.PasteFrom(&dof1, 1), MKStatusSuccess);
}

TEST(MKManikinPartPasteTest, JointLimitsReferenceGoesFirst) {
  MKManikinPart reference(MKPartJointLimitsDBReferenceID, 2.01);
  Add(reference, Memo("db", MKPartJointLimitsID));

  MKManikinPart empty(MKPartJointLimitsID, 2.01);
  EXPECT_EQ(empty.PasteFrom(&reference, 1), MKStatusSuccess);
  EXPECT_EQ(Kinds(empty), "11");

  MKManikinPart limits(MKPartJointLimitsID, 2.01);
  Add(limits, Memo("notes"));
  Add(limits, MKManikinPart(MKPartSetID, 2.01));
  EXPECT_EQ(limits.PasteFrom(&reference, 0), MKStatusSuccess);
  EXPECT_EQ(Kinds(limits), "11,13,26");
  EXPECT_NE(limits.GetChild(1), &reference);
  EXPECT_EQ(limits.GetChild(1)->GetNumberOfChildrenParts(), 1u);
}

TEST(MKManikinPartPasteTest, JointLimitContainers) {
  MKManikinPart reference(MKPartJointLimitsDBReferenceID, 2.01);
  MKManikinPart source(MKPartJointLimitsID, 2.01);
  Add(source, reference);
  Add(source, Memo("limits"));

  for (MKPartID kind : {MKPartJointLimitsID, MKPartJointLimitsDof1ID, MKPartJointLimitsDof2ID,
                        MKPartJointLimitsDof3ID}) {
    MKManikinPart receiver(kind, 2.01);
    EXPECT_EQ(receiver.PasteFrom(&source, 0), MKStatusSuccess) << kind;
    EXPECT_EQ(Kinds(receiver), "11,13") << kind;
  }
  MKManikinPart dof1(MKPartJointLimitsDof1ID, 2.01);
  Add(dof1, Memo("one"));
  MKManikinPart dof3(MKPartJointLimitsDof3ID, 2.01);
  EXPECT_EQ(dof3.PasteFrom(&dof1, 1), MKStatusPasteKindRefused);
  MKManikinPart full(MKPartJointLimitsID, 2.01);
  EXPECT_EQ(full.PasteFrom(&dof1, 1), MKStatusPasteKindRefused);
  MKManikinPart sameDof(MKPartJointLimitsDof1ID, 2.01);
  EXPECT_EQ(sameDof.PasteFrom(&dof1, 1), MKStatusSuccess);
  EXPECT_EQ(Kinds(sameDof), "13");
}

TEST(MKManikinPartPasteTest, PasteStopsAtTheFirstRefusedChild) {
  MKManikinPart source(MKPartJointLimitsID, 2.01);
  Add(source, Memo("taken"));
  Add(source, MKManikinPartFrame());  // no joint-limits container takes a frame
  Add(source, MKManikinPart(MKPartJointLimitsDBReferenceID, 2.01));
  MKManikinPart receiver(MKPartJointLimitsID, 2.01);
  EXPECT_EQ(receiver.PasteFrom(&source, 1), MKStatusPasteKindRefused);
  EXPECT_EQ(Kinds(receiver), "13");  // what came before the refusal stays

  MKManikinPart angles(MKPartPrefAnglesID, 2.01);
  Add(angles, Memo("taken"));
  Add(angles, MKManikinPartFrame());
  Add(angles, MKManikinPart(MKPartPostureID, 2.03));
  MKManikinPart angleReceiver(MKPartPrefAnglesID, 2.01);
  EXPECT_EQ(angleReceiver.PasteFrom(&angles, 1), MKStatusPasteKindRefused);
  EXPECT_EQ(Kinds(angleReceiver), "13");
}

TEST(MKMemoPasteTest, OwnerRules) {
  const MKMemo limits = Memo("limits text", MKPartJointLimitsID);

  MKMemo manikin = Memo("manikin text", MKPartManikinID);
  EXPECT_EQ(manikin.PasteFrom(&limits, 1), MKStatusSuccess);
  EXPECT_EQ(TextOf(&manikin), "manikin text");
  EXPECT_EQ(manikin.GetPartIDOfOwner(), MKPartManikinID);

  MKMemo ownerless = Memo("nobody's");
  EXPECT_EQ(ownerless.PasteFrom(&limits, 0), MKStatusSuccess);
  EXPECT_EQ(TextOf(&ownerless), "limits text");
  EXPECT_EQ(ownerless.GetPartIDOfOwner(), MKPartJointLimitsID);

  MKMemo owned = Memo("owned", MKPartPrefAnglesID);
  EXPECT_EQ(owned.PasteFrom(P(Memo("free text")), 0), MKStatusSuccess);
  EXPECT_EQ(TextOf(&owned), "free text");
  EXPECT_EQ(owned.GetPartIDOfOwner(), MKPartDefaultID);

  MKMemo same = Memo("old", MKPartManikinID);
  EXPECT_EQ(same.PasteFrom(P(Memo("new", MKPartManikinID)), 0), MKStatusSuccess);
  EXPECT_EQ(TextOf(&same), "new");

  EXPECT_EQ(same.PasteFrom(nullptr, 0), MKStatusNothingToPaste);
  const MKManikinPartFrame frame;
  EXPECT_EQ(same.PasteFrom(&frame, 0), MKStatusPasteKindRefused);
  const MKManikinPart set(MKPartSetID, 2.01);
  EXPECT_EQ(same.PasteFrom(&set, 0), MKStatusPasteKindRefused);
  EXPECT_EQ(TextOf(&same), "new");
}

TEST(MKManikinPartFramePasteTest, CopiesAFrameEntirely) {
  MKManikinPartFrame source;
  MKFrame frame;
  frame(3, 0) = 12.5;
  source.SetFrame(frame);
  source.SetReferential(14, 3);
  source.SetReferentialPosition(14, MK3DVertex(1, 2, 3));
  source.SetPositionContext(9);

  MKManikinPartFrame receiver;
  EXPECT_EQ(receiver.PasteFrom(&source, 0), MKStatusSuccess);
  EXPECT_EQ((*receiver.GetFrame())(3, 0), 12.5);
  EXPECT_EQ((*receiver.GetFrame())(0, 0), 1.0);
  EXPECT_EQ(receiver.GetReferential(14), 3);
  EXPECT_EQ(receiver.GetReferentialPosition(14).z, 3.0);
  EXPECT_EQ(receiver.GetPositionContext(), 9);

  EXPECT_EQ(receiver.PasteFrom(nullptr, 0), MKStatusNothingToPaste);
  const MKMemo memo = Memo("m");
  EXPECT_EQ(receiver.PasteFrom(&memo, 0), MKStatusPasteKindRefused);
  EXPECT_EQ(receiver.GetPositionContext(), 9);
}

}  // namespace
