// Segments: parameter matrices, guarded setters, DOF slots, mirrors and the
// lazy update of a subtree.
#include <gtest/gtest.h>

#include <cmath>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "math/MKUnitConversions.h"

namespace {
double Rad(double degrees) {
  return MKUnitConversions::DegreesToRadians(degrees);
}
}  // namespace

TEST(MKSegmentTest, SettersIgnoreValuesOutsideTheirRanges) {
  MKSegment segment(nullptr, RSArAr, 0, nullptr);
  segment.SetLength(-1);
  EXPECT_EQ(segment.GetLength(), 5.0);
  EXPECT_TRUE(segment.IsLengthDefaulted());
  segment.SetLength(2);
  segment.SetLength(0);
  EXPECT_EQ(segment.GetLength(), 2.0);

  segment.SetRotation(30, 0, 0);
  segment.SetRotation(400, 10, 0);
  EXPECT_NEAR(segment.GetRotationXInDegrees(), 30, 1e-12);
  EXPECT_NEAR(segment.GetRotationYInDegrees(), 10, 1e-12);

  segment.SetMass(0.2);
  segment.SetMass(1.0);
  segment.SetMass(0.0);
  EXPECT_EQ(segment.GetMass(), 0.2);
}

TEST(MKSegmentTest, MirrorsAndSwaps) {
  MKBody body(nullptr, 1, 0);
  EXPECT_EQ(body.GetSegment(LSLeLe)->GetMirrorSegment(), body.GetSegment(RSLeLe));
  EXPECT_EQ(body.GetSegment(SBoL3)->GetMirrorSegment(), nullptr);

  MKSegment* l3 = body.GetSegment(SBoL3);
  for (int axis = 0; axis < 3; ++axis) l3->GetDOF(axis)->SetMathematicalValue(Rad(2));
  l3->SwapPosture();
  EXPECT_NEAR(l3->GetDOF(0)->GetMathematicalValue(), Rad(2), 1e-12);
  EXPECT_NEAR(l3->GetDOF(1)->GetMathematicalValue(), Rad(-2), 1e-12);
  EXPECT_NEAR(l3->GetDOF(2)->GetMathematicalValue(), Rad(-2), 1e-12);

  MKSegment* right = body.GetSegment(RSArFAr);
  right->GetDOF(0)->SetMathematicalValue(Rad(40));
  right->MirrorCopyPosture();
  right->GetDOF(0)->SetMathematicalValue(Rad(10));
  right->SwapPosture();
  EXPECT_NEAR(right->GetDOF(0)->GetMathematicalValue(), Rad(40), 1e-12);
  EXPECT_NEAR(body.GetSegment(LSArFAr)->GetDOF(0)->GetMathematicalValue(), Rad(10), 1e-12);
}

TEST(MKSegmentTest, ACopyOwnsCopiesOfItsDOFsAndEllipses) {
  MKBody body(nullptr, 1, 0);
  MKSegment* arm = body.GetSegment(RSArAr);
  arm->GetEllipse(REArBi)->SetPosition(1, 2, 3);
  arm->GetDOF(1)->SetMathematicalValue(0.2);
  MKSegment copy(*arm);
  ASSERT_NE(copy.GetDOF(1), arm->GetDOF(1));
  EXPECT_EQ(copy.GetDOF(1)->GetOwner(), &copy);
  EXPECT_EQ(copy.GetDOF(1)->GetMathematicalValue(), 0.2);
  ASSERT_EQ(copy.GetNumberOfEllipses(), arm->GetNumberOfEllipses());
  EXPECT_EQ(copy.GetEllipse(REArBi)->GetSegment(), &copy);
  EXPECT_EQ(copy.GetEllipse(REArBi)->GetPositionZ(), 3.0);
  EXPECT_EQ(copy.GetSkinElement(), nullptr);
}
