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

// The children in order as "kind,kind(...),13:text": nested children in
// brackets, a memo with its text.
std::string Kinds(const MKManikinPart& part) {
  std::string out;
  for (unsigned int i = 1; i <= part.GetNumberOfChildrenParts(); ++i) {
    if (!out.empty()) out += ",";
    const MKManikinPart* child = part.GetChild(static_cast<int>(i));
    out += std::to_string(child->GetPartID());
    if (child->GetPartID() == MKPartMemoID) {
      out += ":" + TextOf(child);
    } else if (child->GetNumberOfChildrenParts() > 0) {
      out += "(" + Kinds(*child) + ")";
    }
  }
  return out;
}

// A container of `kind` holding copies of `children`.
MKManikinPart Holding(MKPartID kind, std::initializer_list<const MKManikinPart*> children) {
  MKManikinPart part(kind, kind == MKPartPostureID ? 2.03 : 2.01);
  for (const MKManikinPart* child : children) part.AddPart(child);
  return part;
}

// Containers need a source, and merge a memo of their own owner (or of
// none) into their first memo; kinds without a paste rule refuse any source.
TEST(MKManikinPartPasteTest, NoSourceNoRuleAndMemos) {
  for (int kind : {5, 6, 8, 10, 11, 12, 19, 26, 27, 30, 31}) {
    MKManikinPart part(static_cast<MKPartID>(kind), 2.01);
    EXPECT_EQ(part.PasteFrom(nullptr, 1), MKStatusNothingToPaste) << kind;
    EXPECT_EQ(part.PasteFrom(P(Memo("first", MKPartManikinID)), 1), MKStatusSuccess) << kind;
    EXPECT_EQ(part.PasteFrom(P(Memo("other", MKPartJointLimitsID)), 1), MKStatusSuccess) << kind;
    EXPECT_EQ(Kinds(part), "13:first") << kind;
    EXPECT_EQ(part.PasteFrom(P(Memo("second", MKPartManikinID)), 0), MKStatusSuccess) << kind;
    EXPECT_EQ(Kinds(part), "13:second") << kind;
  }
  for (int kind : {0, 1, 2, 3, 13, 17, 25}) {
    MKManikinPart part(static_cast<MKPartID>(kind), 2.01);
    EXPECT_EQ(part.PasteFrom(nullptr, 0), MKStatusNothingToPaste) << kind;
    EXPECT_EQ(part.PasteFrom(P(Memo("m")), 0), MKStatusFailure) << kind;
    EXPECT_EQ(part.GetNumberOfChildrenParts(), 0u);
  }
}

// What each container kind takes from a source, with or without the flag:
// a posture replaces with it and merges without; preferred angles take only
// zones without it; a joint-limits database reference goes first; a paste
// stops at the first child the receiver refuses, keeping what came before;
// a kind the receiver does not take is refused whole.
TEST(MKManikinPartPasteTest, ContainerRules) {
  const MKManikinPartFrame frame;
  const MKManikinPart posture(MKPartPostureID, 2.03);
  const MKMemo zones = Memo("zones"), taken = Memo("taken");
  const MKManikinPart emptyReference(MKPartJointLimitsDBReferenceID, 2.01);
  const MKManikinPart reference =
      Holding(MKPartJointLimitsDBReferenceID, {P(Memo("db", MKPartJointLimitsID))});
  const MKManikinPart set = Holding(MKPartSetID, {P(Memo("s")), &frame, &posture});
  const MKManikinPart posed = Holding(MKPartPostureID, {&frame, P(Memo("source"))});
  const MKManikinPart angles = Holding(MKPartPrefAnglesID, {&zones});
  const MKManikinPart angles1(MKPartPrefAnglesDof1ID, 2.01);
  const MKManikinPart limits = Holding(MKPartJointLimitsID, {&emptyReference, P(Memo("limits"))});
  const MKManikinPart limits1 = Holding(MKPartJointLimitsDof1ID, {P(Memo("one"))});
  const MKManikinPart limitsWithFrame =
      Holding(MKPartJointLimitsID, {&taken, &frame, &emptyReference});
  const MKManikinPart anglesWithFrame = Holding(MKPartPrefAnglesID, {&taken, &frame, &posture});
  struct Case {
    MKManikinPart receiver;
    const MKManikinPart* source;
    int flag;
    MKStatusCode status;
    const char* kinds;
  };
  const Case cases[] = {
      {Holding(MKPartSetID, {P(Memo("r"))}), &set, 0, MKStatusSuccess, "13:r,13:s,25,5"},
      {Holding(MKPartPostureID, {P(Memo("kept"))}), &posed, 0, MKStatusSuccess, "13:kept"},
      {Holding(MKPartPostureID, {P(Memo("gone"))}), &posed, 1, MKStatusSuccess, "25,13:source"},
      {Holding(MKPartPostureID, {&frame}), &frame, 0, MKStatusSuccess, "25,25"},
      {Holding(MKPartPrefAnglesID, {}), &angles, 1, MKStatusSuccess, "13:zones"},
      {Holding(MKPartPrefAnglesID, {}), &angles, 0, MKStatusSuccess, ""},
      {Holding(MKPartPrefAnglesDof1ID, {}), &angles, 0, MKStatusSuccess, "13:zones"},
      {Holding(MKPartPrefAnglesDof3ID, {}), &angles, 0, MKStatusSuccess, "13:zones"},
      {Holding(MKPartPrefAnglesDof2ID, {}), &angles1, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartPrefAnglesID, {}), &angles1, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartPrefAnglesDof1ID, {}), &angles1, 1, MKStatusSuccess, ""},
      {Holding(MKPartJointLimitsID, {}), &reference, 1, MKStatusSuccess, "11(13:db)"},
      {Holding(MKPartJointLimitsID, {P(Memo("notes")), P(MKManikinPart(MKPartSetID, 2.01))}),
       &reference, 0, MKStatusSuccess, "11(13:db),13:notes,26"},
      {Holding(MKPartJointLimitsID, {}), &limits, 0, MKStatusSuccess, "11,13:limits"},
      {Holding(MKPartJointLimitsDof2ID, {}), &limits, 0, MKStatusSuccess, "11,13:limits"},
      {Holding(MKPartJointLimitsDof3ID, {}), &limits1, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartJointLimitsID, {}), &limits1, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartJointLimitsDof1ID, {}), &limits1, 1, MKStatusSuccess, "13:one"},
      {Holding(MKPartJointLimitsID, {}), &limitsWithFrame, 1, MKStatusPasteKindRefused, "13:taken"},
      {Holding(MKPartPrefAnglesID, {}), &anglesWithFrame, 1, MKStatusPasteKindRefused, "13:taken"},
      // Kinds the receiver does not take at all.
      {Holding(MKPartIKConstraintsID, {}), &posture, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartVisualLimitsID, {}), &posture, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartJointLimitsDBReferenceID, {}), &frame, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartAnthroDBReferenceID, {}), &set, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartSetID, {}), &frame, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartPostureID, {}), &set, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartPrefAnglesID, {}), &posture, 1, MKStatusPasteKindRefused, ""},
      {Holding(MKPartJointLimitsDof1ID, {}), &set, 1, MKStatusPasteKindRefused, ""},
  };
  int index = 0;
  for (const Case& c : cases) {
    MKManikinPart receiver = c.receiver;
    EXPECT_EQ(receiver.PasteFrom(c.source, c.flag), c.status) << "case " << index;
    EXPECT_EQ(Kinds(receiver), c.kinds) << "case " << index;
    ++index;
  }
  MKManikinPart self(MKPartPrefAnglesDof1ID, 2.01);
  EXPECT_EQ(self.PasteFrom(&self, 1), MKStatusSuccess);
}

}  // namespace
