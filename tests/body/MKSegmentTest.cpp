// Segments: a copy owns copies of its DOFs and ellipses.
#include <gtest/gtest.h>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"

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
