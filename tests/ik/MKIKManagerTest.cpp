// The IK manager's constraint bookkeeping (adding, removing, activity,
// gathering the driven DOFs) and the solver settings (MKIKSpecs).
#include <gtest/gtest.h>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKSpecs.h"
#include "ik/MKIKTestSupport.h"
#include "ik/detail/MKIKManagerAccess.h"

TEST(MKIKManagerTest, AddingChecksTheChainAndReplacesTheOutput) {
  mkiktest::Body b;
  MKIKManager manager(nullptr);
  MKIKConstraint* c = nullptr;
  EXPECT_EQ(manager.AddConstraint(b[RSHaCPr], nullptr, 8, c, nullptr), MKStatus(702));
  EXPECT_EQ(manager.AddConstraint(nullptr, b[RSArCl], 8, c, nullptr), MKStatus(701));
  EXPECT_EQ(manager.AddConstraint(b[RSHaCPr], b[LSArCl], 8, c, nullptr), MKStatus(702));
  EXPECT_EQ(c, nullptr);
  EXPECT_EQ(manager.GetNumberOfConstraints(), 0u);

  // Any segment may start at the root; an ellipse stands by its segment and
  // can only be pointed.
  ASSERT_EQ(manager.AddConstraint(b.body.GetEllipse(REArWr), b[SBoPh], 8, c, "wrist"),
            MKStatusSuccess);
  EXPECT_EQ(c->GetTargetType(), 128);
  EXPECT_EQ(manager.GetIKConstraint(KelString("wrist")), c);
  // The constraint `c` pointed at is removed before the new one is added.
  ASSERT_EQ(manager.AddConstraint(b[RSHaCPr], b[RSArCl], 88, c, "hand"), MKStatusSuccess);
  EXPECT_EQ(manager.GetNumberOfConstraints(), 1u);
  EXPECT_EQ(manager.GetIKConstraint(0u), c);
  EXPECT_EQ(manager.GetIKConstraint(1u), nullptr);
  EXPECT_EQ(manager.GetIKConstraint(KelString("wrist")), nullptr);
  EXPECT_EQ(manager.RemoveConstraintAtIndex(3), MKStatus(10));
  EXPECT_EQ(manager.RemoveConstraint(c), MKStatusSuccess);
  EXPECT_EQ(manager.GetNumberOfConstraints(), 0u);
}

TEST(MKIKManagerTest, ActivityDecidesWhatIsGathered) {
  mkiktest::Body b;
  MKIKManager manager(nullptr);
  MKIKConstraint *hand = nullptr, *foot = nullptr;
  manager.AddConstraint(b[RSHaCPr], b[RSArCl], 8, hand, nullptr);
  manager.AddConstraint(b[LSFoTo], b[LSLeTh], 8, foot, nullptr);
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 0);
  hand->Activate();
  foot->Activate();
  // Hand 9, leg: thigh 3, shank 2, ankle 2, toes 1.
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 17);
  EXPECT_EQ(MKIKManagerAccess::GetNumberOfDrivenElements(manager), 8);
  EXPECT_EQ(foot->GetIKChainDOFIndex(0), 14);  // the thigh, gathered last
  EXPECT_TRUE(manager.IsActiveConstraintOnSegment(RSArAr));
  EXPECT_FALSE(manager.IsActiveConstraintOnSegment(LSArAr));

  foot->SetAsInvalid(1);
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 9);
  EXPECT_FALSE(manager.IsActiveConstraintOnSegment(LSLeLe));
  foot->SetAsInvalid(0);

  KelRawCollint states;
  hand->Deactivate();
  manager.DeactivateAllConstraints(states);
  ASSERT_EQ(states.Size(), 2);
  EXPECT_EQ(states[1], 0);
  EXPECT_EQ(states[2], 1);
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 0);
  manager.ReactivateAllConstraints(states);
  EXPECT_FALSE(hand->IsActive());
  EXPECT_TRUE(foot->IsActive());
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 8);
}

TEST(MKIKManagerTest, BehaviourMovesHeadPointingDownTheTrunk) {
  mkiktest::Body b;
  MKIKManager manager(nullptr);
  MKIKConstraint *look = nullptr, *reach = nullptr;
  manager.AddConstraint(b[SHeFr], b[SHeNe], 128, look, nullptr);
  manager.AddConstraint(b[SHeCg], b[SHeNe], 8, reach, nullptr);
  look->Activate();
  EXPECT_EQ(look->GetIKChainElement(0), b[SHeNe]);
  const struct {
    int behavior;
    MKShortName top;
  } cases[] = {{2, SBoT12}, {4, SBoL5}, {6, SBoL5}, {1, SHeNe}};
  for (const auto& k : cases) {
    manager.SetBehavior(k.behavior);
    manager.BuildGlobalConstraint();
    EXPECT_EQ(look->GetIKChainElement(0), b[k.top]) << k.behavior;
  }
  // Only Pointing constraints move down.
  manager.SetBehavior(4);
  look->Deactivate();
  reach->Activate();
  EXPECT_EQ(reach->GetIKChainElement(0), b[SHeNe]);
  EXPECT_EQ(manager.GetBehavior(), 4);
}

// Settings out of range are ignored; pastes take fields and memos; a coarse
// tolerance read is mended, a 2.01 record (no behaviour) keeps the reader's
// own, and a broken one changes nothing. Round trips go through the
// manikin's stream tests.
TEST(MKIKSpecsTest, GuardedSettingsPastesAndRecords) {
  MKIKManager manager(nullptr);
  MKIKSpecs& specs = *manager.GetIKSpecs();
  EXPECT_EQ(manager.GetIKTolerance(), 1.1920929e-07);
  EXPECT_EQ(manager.GetBehavior(), 1);
  EXPECT_EQ(manager.SetIKTolerance(2.0), MKStatusSuccess);
  specs.SetTolerance(-0.5);
  EXPECT_EQ(specs.GetTolerance(), 1.1920929e-07);

  MKIKSpecs source;
  source.SetTolerance(0.0005);
  source.SetBehavior(0x1008);
  MKMemo memo = mktest::Memo("why", MKPartIKSpecsID);
  EXPECT_EQ(source.PasteFrom(&memo, 1), MKStatusSuccess);
  EXPECT_EQ(specs.PasteFrom(nullptr, 1), MKStatus(600));
  MKManikinPart set(MKPartSetID, 2.01);
  EXPECT_EQ(specs.PasteFrom(&set, 1), MKStatus(601));
  ASSERT_EQ(specs.PasteFrom(&source, 1), MKStatusSuccess);
  EXPECT_EQ(manager.GetIKTolerance(), 0.0005);
  EXPECT_EQ(manager.GetBehavior(), 0x1008);
  MKManikinPart* copied = nullptr;
  ASSERT_NE(specs.FindPart(MKPartMemoID, copied, 1), 0);
  EXPECT_EQ(mktest::TextOf(copied), "why");

  mktest::PartPtr coarse = mktest::ReadPart(
      mktest::Record("0014", 2.02, mktest::Bytes().Stamp(9).Int(0).Double(0.01).Int(3).data));
  ASSERT_TRUE(coarse);
  EXPECT_EQ(static_cast<MKIKSpecs*>(coarse.get())->GetTolerance(), 1.1920929e-07);
  EXPECT_EQ(static_cast<MKIKSpecs*>(coarse.get())->GetBehavior(), 3);
  MKIKSpecs existing;
  existing.SetBehavior(0x8001);
  const std::string older =
      mktest::Record("0014", 2.01, mktest::Bytes().Stamp(9).Int(0).Double(0.0001).data);
  ASSERT_EQ(mkiktest::ReadInto(existing, older), MKStatusSuccess);
  EXPECT_EQ(existing.GetBehavior(), 0x8001);
  EXPECT_EQ(existing.GetTolerance(), 0.0001);
  std::string broken = mktest::Written(specs);
  broken.back() = 'X';
  EXPECT_EQ(mkiktest::ReadInto(existing, broken), MKStatus(100));
  EXPECT_EQ(existing.GetBehavior(), 0x8001);
}
