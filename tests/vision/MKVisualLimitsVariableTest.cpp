#include "vision/MKVisualLimitsVariable.h"

#include <gtest/gtest.h>

#include <string>

#include "parts/MKFramedRead.h"
#include "parts/MKMemo.h"
#include "parts/MKStreamTestSupport.h"

namespace {

using mktest::ReadFramed;

MKVisualLimitsVariable Sample() {
  MKVisualLimitsVariable record("Driver");
  record.SetMaxBinocularAngle(100);
  record.SetMinBinocularAngle(20);
  record.SetMaxAmbinocularAngle(150);
  record.SetMinAmbinocularAngle(30);
  record.SetMaxVerticalTopAngle(40);
  record.SetMinVerticalTopAngle(5);
  record.SetMaxVerticalBottomAngle(60);
  record.SetMinVerticalBottomAngle(10);
  MKMemo memo;
  memo.SetText("seated, helmet");
  record.PasteFrom(&memo, 1);
  return record;
}

}  // namespace

// A new record spans the biomechanical range; setters keep each bound
// within it and every minimum below its maximum.
TEST(MKVisualLimitsVariable, BoundsStayWithinTheBiomechanicalRange) {
  MKVisualLimitsVariable record("Any");
  EXPECT_EQ(record.GetPartID(), MKPartVisualLimitsVariableID);
  EXPECT_EQ(record.GetVersion(), 2.0);
  EXPECT_EQ(record.GetMinBinocularAngle(), 0.0);
  EXPECT_EQ(record.GetMaxAmbinocularAngle(), 188.0);
  EXPECT_EQ(record.GetMaxVerticalTopAngle(), 50.0);
  record.SetMaxBinocularAngle(130);
  EXPECT_EQ(record.GetMaxBinocularAngle(), 124.0);
  record.SetMinAmbinocularAngle(200);
  EXPECT_EQ(record.GetMinAmbinocularAngle(), 0.0);
  record.SetMinVerticalTopAngle(-1);
  EXPECT_EQ(record.GetMinVerticalTopAngle(), 0.0);
  record.SetMinVerticalBottomAngle(30);
  record.SetMaxVerticalBottomAngle(20);  // below the minimum: ignored
  EXPECT_EQ(record.GetMaxVerticalBottomAngle(), 70.0);
  record.SetMinVerticalBottomAngle(10);
  record.SetMaxVerticalBottomAngle(10);  // equal to the minimum is taken
  EXPECT_EQ(record.GetMaxVerticalBottomAngle(), 10.0);
}

// A paste sets maxima before minima, and carries the memo once.
TEST(MKVisualLimitsVariable, Paste) {
  MKVisualLimitsVariable narrow("Narrow");
  narrow.SetMaxBinocularAngle(30);
  MKVisualLimitsVariable wide("Wide");
  wide.SetMinBinocularAngle(60);
  EXPECT_EQ(narrow.PasteFrom(&wide, 1), MKStatusSuccess);
  EXPECT_EQ(narrow.GetMinBinocularAngle(), 60.0);
  EXPECT_EQ(narrow.GetMaxBinocularAngle(), 124.0);
  EXPECT_TRUE(narrow == wide);
  EXPECT_EQ(narrow.PasteFrom(nullptr, 1), MKStatusNothingToPaste);
  const MKManikinPart posture(MKPartPostureID, 2.03);
  EXPECT_EQ(narrow.PasteFrom(&posture, 1), MKStatusPasteKindRefused);

  const MKVisualLimitsVariable source = Sample();
  MKVisualLimitsVariable target("Other");
  target.PasteFrom(&source, 1);
  target.PasteFrom(&source, 1);  // merged, not added twice
  ASSERT_EQ(target.GetNumberOfChildrenParts(), 1u);
  EXPECT_TRUE(static_cast<const MKMemo*>(target.GetChild(1))->GetText() == "seated, helmet");
  EXPECT_EQ(target.GetMinVerticalBottomAngle(), 10.0);
}

TEST(MKVisualLimitsVariable, ReadDropsBoundsOutOfRangeAndRejectsAWrongEndTag) {
  mktest::Bytes body;
  body.Stamp(7).Int(0).Text("Odd");
  // min/max binocular, ambinocular, vertical top, vertical bottom
  for (double v : {10.0, 200.0, 250.0, 100.0, 20.0, 40.0, 5.0, 60.0}) body.Double(v);
  MKVisualLimitsVariable read("");
  ASSERT_EQ(ReadFramed(read, mktest::Record("0000", 2.0, body.data)), MKStatusSuccess);
  EXPECT_EQ(read.GetMaxBinocularAngle(), 124.0);  // 200 above the biomechanical maximum
  EXPECT_EQ(read.GetMinBinocularAngle(), 10.0);
  EXPECT_EQ(read.GetMinAmbinocularAngle(), 0.0);  // 250 above the maximum read
  EXPECT_EQ(read.GetMaxAmbinocularAngle(), 100.0);
  EXPECT_EQ(read.GetTimeStamp(), 7);

  std::string bad = mktest::Record("0000", 2.0, body.data);
  bad.replace(bad.size() - 5, 5, "0020E");
  MKVisualLimitsVariable untouched("Kept");
  EXPECT_EQ(ReadFramed(untouched, bad), MKStatusStreamContent);
  EXPECT_TRUE(untouched.GetName() == "Kept");
  EXPECT_EQ(untouched.GetMaxBinocularAngle(), 124.0);
}
