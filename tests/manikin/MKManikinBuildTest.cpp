// Creating a manikin, its mass model and its geometric build: sizes from
// the anthropometry, and the earlier generation behind its switch.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "manikin/MKManikinTestSupport.h"
#include "math/MKIEEE.h"
#include "math/MKUnitConversions.h"

namespace {

using mktest::Make;
using mktest::Manikin;

double Value(const MKManikin& m, const char* acronym) {
  return m.GetAnthro()->GetVariable(acronym)->GetValue();
}

// Every size the build sets, in segment and ellipse order.
std::vector<double> Sizes(const MKManikin& m) {
  std::vector<double> sizes;
  MKBody* body = m.GetBody();
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i) {
    MKSegment* s = body->GetSegmentAtIndex(i);
    sizes.insert(sizes.end(), {s->GetLength(), s->GetRotationX(), s->GetRotationY(),
                               s->GetRotationZ(), s->GetMass()});
    for (int e = 0; e < s->GetNumberOfEllipses(); ++e) {
      MKEllipse* el = s->GetEllipseAtIndex(e);
      sizes.insert(sizes.end(), {el->GetMajorAxis(), el->GetMinorAxis(), el->GetPositionX(),
                                 el->GetPositionY(), el->GetPositionZ(), el->GetRotationX()});
    }
  }
  return sizes;
}

}  // namespace

// Only the exact switch value "1" builds the earlier generation, which keeps
// the posture, carries no spine curvature of its own (only L5 turns, against
// the pelvis) and sizes the pelvis from weight and stature.
TEST(MKManikinBuildTest, OnlyTheExactSwitchValueSelectsTheEarlierGeometry) {
  Manikin m = Make(1, 50.0);
  MKBody* body = m->GetBody();
  ASSERT_EQ(body->SetPosture(MKPostureSitting), MKStatusSuccess);
  KelRawColldouble before, after;
  body->GetDOFValues(before);
  unsetenv("MKKR12ManikinInR14");
  ASSERT_EQ(m->BuildManikin(1), MKStatusSuccess);
  const std::vector<double> current = Sizes(*m);
  for (const char* value : {"0", "true", "11", "1"}) {
    setenv("MKKR12ManikinInR14", value, 1);
    EXPECT_EQ(m->BuildManikin(1), MKStatusSuccess);
    EXPECT_EQ(Sizes(*m) == current, value != std::string("1")) << value;
  }
  body->GetDOFValues(after);
  ASSERT_EQ(before.Size(), after.Size());
  for (int i = 1; i <= before.Size(); ++i) EXPECT_DOUBLE_EQ(before[i], after[i]) << i;
  for (MKShortName name : {SBoL4, SBoL1, SBoT6, SBoT1})
    EXPECT_DOUBLE_EQ(body->GetSegment(name)->GetRotationX(), 0.0);
  const double pounds = MKUnitConversions::KgToLb(Value(*m, "<WEIGHT>"));
  EXPECT_NEAR(body->GetSegment(SBoTIp)->GetLength(),
              0.0034 * pounds + 0.001 * Value(*m, "<STATURE>") + 7.735, 1e-9);
  unsetenv("MKKR12ManikinInR14");
  ASSERT_EQ(m->BuildManikin(1), MKStatusSuccess);
  EXPECT_EQ(Sizes(*m), current);
}

// Sections sized from a girth alone: one axis is the build's share of the
// girth and lies across the body (or front to back), the other what the girth
// leaves. Swapping the two keeps the girth but not the section's shape.
TEST(MKManikinBuildTest, GirthSectionsKeepTheirAxesAndTheirOrientation) {
  const struct {
    MKShortName ellipse;
    const char* girth;
    double share;
    bool acrossBody;  // the share is the major axis along x, else the minor along x
  } kSections[] = {
      {RELeKn, "<KNEECIRC>", 0.31, true}, {RELeCa, "<CALFCIRC>", 0.3, true},
      {RELeAn, "<ANKLCIRC>", 0.3, true},  {REArSc, "<AXARCIRC>", 0.3, true},
      {REArBi, "<BICIRCFL>", 0.3, true},  {REArEl, "<ELBCIRC>", 0.31, true},
      {REArAc, "<SCYECIRC>", 0.3, false},
  };
  for (int sex : {0, 1}) {
    Manikin m = Make(sex, 50.0);
    MKBody* body = m->GetBody();
    for (const auto& s : kSections)
      for (int side : {0, LEArAc - REArAc}) {
        MKEllipse* e = body->GetEllipse(static_cast<MKShortName>(s.ellipse + side));
        ASSERT_NE(e, nullptr);
        const double girth = Value(*m, s.girth);
        EXPECT_NEAR(s.acrossBody ? e->GetMajorAxis() : e->GetMinorAxis(), s.share * girth,
                    1e-9 * girth)
            << s.girth << " " << side;
        const MK3DVertex centre = e->GetPosition(MKPositionCenter, MKGlobalSpace);
        const MK3DVertex end = e->GetPosition(MKPositionMajorEnd, MKGlobalSpace);
        const MK3DVertex major(end.x - centre.x, end.y - centre.y, end.z - centre.z);
        const double along = std::fabs(s.acrossBody ? major.x : major.z);
        EXPECT_GT(along, 0.95 * 0.5 * e->GetMajorAxis()) << s.girth << " " << side;
      }
  }
}

TEST(MKManikinTest, CreateRefusesBadArgumentsAndLeavesNothing) {
  MKManikin* manikin = nullptr;
  EXPECT_EQ(MKManikin::Create(manikin, 2, 50, nullptr, 1, 1).GetCode(), 6);
  EXPECT_EQ(manikin, nullptr);
  EXPECT_EQ(MKManikin::Create(manikin, 1, 0, nullptr, 1, 1).GetCode(), 7);
  EXPECT_EQ(MKManikin::Create(manikin, 1, 100, nullptr, 1, 1).GetCode(), 7);
  EXPECT_EQ(MKManikin::Create(manikin, 0, 50, nullptr, 3, 1).GetCode(), 8);
  EXPECT_EQ(manikin, nullptr);
  ASSERT_EQ(MKManikin::Create(manikin, 1, 50, nullptr, 2, 1), MKStatusSuccess);
  ASSERT_EQ(MKManikin::Create(manikin, 0, 50, nullptr, 1, 1), MKStatusSuccess);  // replaces it
  EXPECT_EQ(manikin->GetAnthro()->GetSex(), 0);
  manikin->Destroy();
}

TEST(MKManikinTest, MassFractionsFollowTheDistribution) {
  EXPECT_NEAR(MKManikin::GetMassPercentage(MKKTrunk, 1, 50), 0.477534, 1e-12);
  // The 5th percentile is x = 1: a + b + c.
  EXPECT_NEAR(MKManikin::GetMassPercentage(MKKHand, 1, 5), (0.1235 - 0.5392 + 1.1162) * 0.01,
              1e-12);
  EXPECT_NEAR(MKManikin::GetMassPercentage(MKKFoot, 0, 95),
              (0.0152 * 9 - 0.0827 * 3 + 1.5536) * 0.01, 1e-12);
  EXPECT_TRUE(MKIEEE::IsNaN(MKManikin::GetMassPercentage(static_cast<MKKEBodyPart>(9), 1, 50)));
  EXPECT_TRUE(MKIEEE::IsNaN(MKManikin::GetMassPercentage(MKKHand, 2, 50)));
  EXPECT_TRUE(MKIEEE::IsNaN(MKManikin::GetMassPercentage(MKKHand, 1, 101)));
  // One of each part but the doubled limbs: the fractions of a whole body add up to about 1.
  for (int sex = 0; sex < 2; ++sex) {
    double total = 0;
    for (int part = 0; part <= 8; ++part) {
      const double single = MKManikin::GetMassPercentage(static_cast<MKKEBodyPart>(part), sex, 50);
      total += (part == MKKHead || part == MKKNeck || part == MKKTrunk) ? single : 2 * single;
    }
    EXPECT_NEAR(total, 1.0, 0.02) << sex;
  }
  Manikin manikin = Make(1, 50);
  EXPECT_NEAR(manikin->MassDistrib(MKKTrunk, 1), 0.477534, 1e-6);
}
