// IK constraints: defaults per type, guarded setters, properties, end
// effector and start segment rules, resolution, host criteria, paste
// and the stream record.
#include <gtest/gtest.h>

#include <cmath>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKTestSupport.h"
#include "ik/detail/MKIKManagerAccess.h"

namespace {

struct TypeDefaults {
  int type;
  double atConstruction;
  double onChange;
};
const TypeDefaults kDefaults[] = {
    {8, 1.0, 1.0},     {24, 0.5, 0.7},    {72, 0.7, 0.75},   {80, 0.0, 0.0},   {88, 0.7, 0.75},
    {128, 0.0, 0.75},  {137, 0.7, 0.75},  {139, 0.7, 0.75},  {152, 0.7, 0.75}, {648, 0.5, 0.7},
    {1152, 0.7, 0.75}, {1160, 0.7, 0.75}, {1672, 0.7, 0.75},
};

class HostConstraint : public MKKIIKConstraint {
 public:
  double GetDistanceTolerance() const override { return distance; }
  double GetAngleTolerance() const override { return angle; }
  int GetTargetType() const override { return type; }
  bool HasTargetObject() const override { return target; }
  double distance = 1.0, angle = 0.1;
  int type = 8;
  bool target = false;
};

}  // namespace

TEST(MKIKConstraintTest, DefaultsPerTypeAndGuardedSetters) {
  MKIKConstraint plain;
  EXPECT_EQ(plain.GetTargetType(), 128);
  EXPECT_FALSE(plain.IsActive());
  EXPECT_TRUE(plain.IsResolved());

  MKSegment hand(nullptr, RSHaCPr, 0, nullptr);
  for (const TypeDefaults& d : kDefaults) {
    MKIKConstraint c(nullptr, &hand, &hand, d.type, nullptr);
    EXPECT_EQ(c.GetPositionWeight(), d.atConstruction) << d.type;
    c.SetTargetType(d.type);
    EXPECT_EQ(c.GetPositionWeight(), d.onChange) << d.type;
  }

  MKIKConstraint c(nullptr, &hand, &hand, 8, "grip");
  EXPECT_EQ(c.SetWeight(1.5), MKStatus(5));
  EXPECT_EQ(c.SetWeight(-0.1), MKStatus(5));
  EXPECT_EQ(c.SetWeight(1.0), MKStatusSuccess);
  EXPECT_EQ(c.GetWeight(), 1.0);
  EXPECT_EQ(c.SetPositionWeight(1.01), MKStatus(700));
  EXPECT_EQ(c.GetPositionWeight(), 1.0);
  c.SetRange(4.0);
  c.SetRange(-1.0);
  EXPECT_EQ(c.GetRange(), 4.0);
  EXPECT_EQ(c.SetTargetLine(MK3DVertex(0, 0, 0), MK3DVertex(0, 0, 2)), MKStatus(10));

  EXPECT_EQ(c.SetCstProperty("color", "red"), MKStatusSuccess);
  c.SetCstProperty("color", "blue");
  EXPECT_TRUE(c.GetCstProperty("color") == "blue");
  EXPECT_TRUE(c.GetCstProperty("mass") == "@Error_Property_mass_Not_Found");
}

TEST(MKIKConstraintTest, EndEffectorAndStartSegmentMustShareAChain) {
  mkiktest::Body b;
  MKIKManager manager(nullptr);
  MKIKConstraint* c = nullptr;
  ASSERT_EQ(manager.AddConstraint(b[RSHaCPr], b[RSArCl], 8, c, nullptr), MKStatusSuccess);
  c->Activate();
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 9);

  EXPECT_EQ(c->SetEndEffector(nullptr), MKStatus(10));
  EXPECT_EQ(c->SetStartSegment(b[LSArCl]), MKStatus(10));
  EXPECT_EQ(c->SetStartSegment(b[RSArAr]), MKStatusSuccess);
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 7);
  // Still under the start segment: kept.
  EXPECT_EQ(c->SetEndEffector(b[RSHaIn3]), MKStatusSuccess);
  EXPECT_EQ(c->GetShortNameOfStartSegment(), RSArAr);
  // Elsewhere: the default start segment of the new end effector.
  EXPECT_EQ(c->SetEndEffector(b[LSFoTo]), MKStatusSuccess);
  EXPECT_EQ(c->GetStartSegment(), b[LSLeTh]);
  EXPECT_EQ(c->GetShortNameOfEndEffector(), LSFoTo);
  // The offset is reset at the new element's tip.
  EXPECT_EQ(c->GetOffsetMatrix()(3, 2), 10.0);
  EXPECT_EQ(c->ResetEndEffector(b[SHeFr]), MKStatusSuccess);
  EXPECT_EQ(c->GetStartSegment(), b[SHeNe]);
  MKIKConstraint loose(nullptr, b[SHeFr], b[SHeNe], 8, nullptr);
  EXPECT_EQ(loose.ResetEndEffector(b[SHeCg]), MKStatus(10));
}

TEST(MKIKConstraintTest, DefaultStartSegmentsLieAboveTheirEndEffectors) {
  mkiktest::Body b;
  for (int n = 0; n < 99; ++n) {
    const MKShortName start = MKIKConstraint::FindStartSegment(static_cast<MKShortName>(n));
    MKSegment* end = b[static_cast<MKShortName>(n)];
    EXPECT_TRUE(start == n || b[start]->IsAncestor(end)) << n;
    // The left side mirrors the right side.
    if (n >= RSLeTh && n <= RSHaAu3) {
      EXPECT_EQ(MKIKConstraint::FindStartSegment(static_cast<MKShortName>(n + 32)), start + 32);
    }
  }
  EXPECT_EQ(MKIKConstraint::FindStartSegment(RSHaIn3), RSArCl);
  EXPECT_EQ(MKIKConstraint::FindStartSegment(MLHeEye), SHeNe);
  EXPECT_EQ(MKIKConstraint::FindStartSegment(EBoCh), SBoPh);
}

TEST(MKIKConstraintTest, ResolvedWhileInactiveAndGatheredOnlyWhenActive) {
  mkiktest::Body b;
  MKIKManager manager(nullptr);
  MKIKConstraint* c = nullptr;
  manager.AddConstraint(b[RSHaCPr], b[RSArFAr], 8, c, nullptr);
  c->Activate();
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 4);
  // Resolved while inactive; active, it compares with the tolerance.
  c->SetTargetPosition(0.0, 100.0, 0.0);
  c->ComputePotential();
  EXPECT_FALSE(c->IsResolved());
  c->Deactivate();
  EXPECT_TRUE(c->IsResolved());
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 0);
}

TEST(MKIKConstraintTest, HostCriteriaDecideSuccess) {
  MKSegment root(nullptr, SBoPh, 0, nullptr);
  root.SetLength(10.0);
  MKIKConstraint c(nullptr, &root, &root, 88, "c");
  EXPECT_FALSE(c.IsSuccessByCriteria());
  HostConstraint host;  // distance 1, angle 0.1, type 8, no target object
  c.SetExternalConstraint(&host);
  c.SetTargetPosition(0.0, 0.5, 10.0);
  MK4x4Matrix turned = c.GetTargetMatrix();
  turned.RotZ(0.3);
  c.SetTargetMatrix(turned);
  EXPECT_TRUE(c.IsSuccessByCriteria());
  host.type = 88;  // the angle counts too
  EXPECT_FALSE(c.IsSuccessByCriteria());
  host.target = true;
  host.type = 24;  // with a target object only the distance counts
  EXPECT_TRUE(c.IsSuccessByCriteria());
  host.distance = 0.4;
  EXPECT_FALSE(c.IsSuccessByCriteria());
}

// Round trips go through the manikin's stream tests; here, what only a
// constraint's reader decides.
TEST(MKIKConstraintTest, CutRecordsChangeNothingAndOlderOnesKeepTheTarget) {
  MKSegment hand(nullptr, RSHaCPr, 0, nullptr);
  MKIKConstraint c(nullptr, &hand, &hand, 648, "abc");
  const std::string bytes = mktest::Written(c);
  // A record cut short changes nothing.
  MKIKConstraint untouched;
  EXPECT_EQ(mkiktest::ReadInto(untouched, bytes.substr(0, bytes.size() - 20)), MKStatus(100));
  EXPECT_EQ(untouched.GetTargetType(), 128);

  // Records before 2.01 have no target matrix: the reader keeps its own.
  mktest::Bytes body;
  body.Stamp(77).Int(0).Int(8).Int(0).Text("old");
  body.Int(SHeFr).Double(1.0).Int(SHeNe).Double(0.0).Double(1.0);
  MKIKConstraint old;
  MK4x4Matrix kept;
  kept.BuildFromTrans(1.0, 2.0, 3.0);
  old.SetTargetMatrix(kept);
  ASSERT_EQ(mkiktest::ReadInto(old, mktest::Record("0018", 2.0, body.data)), MKStatusSuccess);
  EXPECT_EQ(old.GetTargetType(), 8);
  EXPECT_FALSE(old.IsActive());
  EXPECT_EQ(old.GetShortNameOfEndEffector(), SHeFr);
  EXPECT_EQ(old.GetTargetMatrix()(3, 1), 2.0);
  EXPECT_EQ(old.GetTimeStamp(), 77);
}

TEST(MKIKConstraintTest, PasteTakesValuesAndKeepsTheBodyBinding) {
  mkiktest::Body b;
  MKIKManager manager(nullptr);
  MKIKConstraint* c = nullptr;
  manager.AddConstraint(b[RSHaCPr], b[RSArCl], 8, c, nullptr);
  EXPECT_EQ(c->PasteFrom(nullptr, 1), MKStatus(600));
  MKManikinPart set(MKPartSetID, 2.01);
  EXPECT_EQ(c->PasteFrom(&set, 1), MKStatus(601));

  MKIKConstraint read;  // as read from a stream: no end effector
  read.SetTargetType(88);
  read.SetWeight(0.3);
  read.Activate();
  ASSERT_EQ(c->PasteFrom(&read, 1), MKStatusSuccess);
  EXPECT_EQ(c->GetTargetType(), 88);
  EXPECT_EQ(c->GetWeight(), 0.3);
  EXPECT_TRUE(c->IsActive());
  EXPECT_EQ(c->GetEndEffector(), b[RSHaCPr]);
  EXPECT_EQ(c->GetOffsetMatrix()(3, 2), 10.0);
  // Pasting activated it: the manager gathered its chain.
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 9);
}
