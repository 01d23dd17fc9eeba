// A vision on its own (as in a library) and its visual-limit records:
// field angles and records.
#include "vision/MKVision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "body/MKDOF.h"
#include "parts/MKFramedRead.h"
#include "parts/MKMemo.h"
#include "parts/MKStreamTestSupport.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVisualLimitsVariable.h"

namespace {

using mktest::ReadFramed;

constexpr double kDegree = M_PI / 180.0;

MKVisualLimitsVariable Record(const char* name, double maxBinocular) {
  MKVisualLimitsVariable record(name);
  record.SetMaxBinocularAngle(maxBinocular);
  return record;
}

// A vision with a memo, two records of its own and non-default settings.
void Customise(MKVision& vision) {
  MKMemo memo;
  memo.SetText("night shift");
  vision.PasteFrom(&memo, 1);
  MKVisualLimitsVariable glasses = Record("Glasses", 90);
  glasses.SetMaxVerticalTopAngle(30);
  vision.AddVisualLimitsVariable(&glasses);
  const MKVisualLimitsVariable visor = Record("Visor", 110);
  vision.AddVisualLimitsVariable(&visor);
  vision.LinkToVisualLimitsVariable(1);
  vision.SetAmbinocularAngle(140);
  vision.SetBinocularAngle(70);
  vision.SetVerticalBottomAngle(40);
  vision.SetCentralConeAngle(8);
  vision.SetType(MKVisionLeftMonocular);
  vision.SetActiveSide(MKVisionLeftSide);
  vision.SetConvergenceMode(0);
  vision.SetPonctumProximum(12);
  vision.SetPonctumRemotum(600);
  vision.LookAt(45.0, -0.1, 0.05);
}

}  // namespace

TEST(MKVision, NewVisionHasTheDefaultField) {
  MKVision vision;
  EXPECT_EQ(vision.GetPartID(), MKPartVisionID);
  EXPECT_EQ(vision.GetVersion(), 2.1);
  EXPECT_EQ(vision.GetMonocularAngle(), 100.0);  // binocular 80, ambinocular 120
  EXPECT_EQ(vision.GetVerticalBottomAngle(), 35.0);
  EXPECT_EQ(vision.GetCentralConeAngle(), 6.0);
  EXPECT_EQ(vision.GetActiveSide(), MKVisionMiddleSide);
  EXPECT_EQ(vision.GetType(), MKVisionBinocular);
  EXPECT_EQ(vision.GetConvergenceMode(), 1);
  EXPECT_EQ(vision.GetPonctumProximum(), 5.0);
  EXPECT_TRUE(std::isinf(vision.GetPonctumRemotum()));
  EXPECT_EQ(vision.GetBlindSpotHorizontalAngle(), -15.0);
  EXPECT_EQ(vision.GetBlindSpotRadiusVerticalAngle(), 7.5);
  EXPECT_FALSE(vision.IsAttached());

  ASSERT_EQ(vision.GetNumberOfVisualLimitsVariables(), 1u);
  const MKVisualLimitsVariable* limits = vision.GetVisualLimitsVariable(0u);
  EXPECT_TRUE(limits->GetName() == "MKDefaultLimits");
  MKManikinPart* memo = nullptr;
  ASSERT_NE(limits->FindPart(MKPartMemoID, memo, 1), 0);
  EXPECT_TRUE(static_cast<MKMemo*>(memo)->GetText() ==
              "Biomechanical limits of eye deviation\nFrom: Humanscale Head and Vision (6a), The "
              "MIT Press, Cambridge MA.");
}

TEST(MKVision, LinesOfSightAndTheirDegreesOfFreedom) {
  MKVision vision;
  EXPECT_EQ(vision.GetLineOfSight(MLHeEye), vision.GetCentralLineOfSight());
  EXPECT_EQ(vision.GetLineOfSight(MKLeftEye)->GetShortName(), LLHeEye);
  EXPECT_EQ(vision.GetLineOfSight(RSHeEye), nullptr);
  EXPECT_EQ(vision.GetLineOfSight(MKEye(3)), nullptr);
  MKLineOfSight* middle = vision.GetCentralLineOfSight();
  EXPECT_EQ(middle->GetDOF(2), nullptr);
  EXPECT_NEAR(middle->GetDOF(0)->GetMathematicalValue(), -12.0 * kDegree, 1e-12);

  // The eyes move: the middle one within the field angles, the side ones freely.
  EXPECT_NEAR(middle->GetDOF(1)->GetMaxLim(false), 40.0 * kDegree, 1e-12);
  EXPECT_NEAR(middle->GetDOF(1)->GetMinLim(false), 40.0 * kDegree, 1e-12);
  EXPECT_NEAR(middle->GetDOF(0)->GetMaxLim(false), 35.0 * kDegree, 1e-12);
  EXPECT_NEAR(vision.GetLeftLineOfSight()->GetDOF(1)->GetMaxLim(false), M_PI, 1e-12);
  vision.SetBinocularAngle(60);
  EXPECT_NEAR(middle->GetDOF(1)->GetMaxLim(false), 30.0 * kDegree, 1e-12);
  vision.SetVerticalBottomAngle(10);  // the eye's -12 degrees is pushed back within
  EXPECT_NEAR(middle->GetDOF(0)->GetMathematicalValue(), -10.0 * kDegree, 1e-12);
  EXPECT_NEAR(middle->GetDOF(0)->GetMinLim(false), 10.0 * kDegree, 1e-12);  // down: the bottom
  EXPECT_NEAR(middle->GetDOF(0)->GetMaxLim(false), 35.0 * kDegree, 1e-12);  // up: the top
}

TEST(MKVision, AngleSettersCorrectAndReport907) {
  MKVision vision;
  EXPECT_EQ(vision.SetBinocularAngle(130).GetCode(), 907);  // above the ambinocular 120
  EXPECT_EQ(vision.GetBinocularAngle(), 120.0);
  EXPECT_EQ(vision.SetBinocularAngle(-3).GetCode(), 907);
  EXPECT_EQ(vision.GetBinocularAngle(), 0.0);
  EXPECT_EQ(vision.SetBinocularAngle(80), MKStatusSuccess);

  const MKVisualLimitsVariable narrow = Record("Narrow", 100);
  vision.AddVisualLimitsVariable(&narrow);
  vision.LinkToVisualLimitsVariable(1);
  vision.SetAmbinocularAngle(150);
  EXPECT_EQ(vision.SetBinocularAngle(130).GetCode(), 907);
  EXPECT_EQ(vision.GetBinocularAngle(), 100.0);  // the record's maximum, below 150

  EXPECT_EQ(vision.SetAmbinocularAngle(50).GetCode(), 907);  // below the binocular angle
  EXPECT_EQ(vision.GetAmbinocularAngle(), 100.0);
  EXPECT_EQ(vision.SetAmbinocularAngle(200).GetCode(), 907);
  EXPECT_EQ(vision.GetAmbinocularAngle(), 188.0);

  EXPECT_EQ(vision.SetCentralConeAngle(0.1).GetCode(), 907);
  EXPECT_EQ(vision.GetCentralConeAngle(), 0.5);
  EXPECT_EQ(vision.SetCentralConeAngle(80).GetCode(), 907);  // 2 x vertical top 35
  EXPECT_EQ(vision.GetCentralConeAngle(), 70.0);
  EXPECT_EQ(vision.SetVerticalTopAngle(20), MKStatusSuccess);  // the cone follows
  EXPECT_EQ(vision.GetCentralConeAngle(), 40.0);
  EXPECT_EQ(vision.SetVerticalTopAngle(60).GetCode(), 907);
  EXPECT_EQ(vision.GetVerticalTopAngle(), 50.0);
  EXPECT_EQ(vision.SetVerticalBottomAngle(-1).GetCode(), 907);
  EXPECT_EQ(vision.GetVerticalBottomAngle(), 0.0);
  // No room between half a degree and the field: the field bounds the cone,
  // and setting the cone to its own value keeps it.
  vision.SetVerticalTopAngle(0.1);
  EXPECT_EQ(vision.GetCentralConeAngle(), 0.2);
  EXPECT_EQ(vision.SetCentralConeAngle(vision.GetCentralConeAngle()), MKStatusSuccess);
  EXPECT_EQ(vision.GetCentralConeAngle(), 0.2);

  // A monocular angle sets the binocular one to twice it less the ambinocular one.
  MKVision monocular;  // ambinocular 120
  EXPECT_EQ(monocular.SetMonocularAngle(110), MKStatusSuccess);
  EXPECT_EQ(monocular.GetBinocularAngle(), 100.0);
  EXPECT_EQ(monocular.SetMonocularAngle(50), MKStatusValueRefused);  // below 60
  EXPECT_EQ(monocular.GetBinocularAngle(), 0.0);
  EXPECT_EQ(monocular.SetMonocularAngle(130), MKStatusValueRefused);
  EXPECT_EQ(monocular.GetBinocularAngle(), 120.0);
}

TEST(MKVision, RecordRoundTripsByteForByte) {
  MKVision source;
  Customise(source);
  const std::string first = mktest::Written(source);
  EXPECT_EQ(first.size(), source.GetSize() + 22);
  EXPECT_EQ(first.substr(0, 5), "0015B");

  MKVision read;
  ASSERT_EQ(ReadFramed(read, first), MKStatusSuccess);
  // Rewritten byte for byte; the settings that the linked record bounds hold.
  EXPECT_EQ(mktest::Written(read), first);
  EXPECT_EQ(read.GetLinkedVisualLimitsIndex(), 1u);
  EXPECT_EQ(read.GetVerticalTopAngle(), 30.0);  // bounded by the linked "Glasses"
  EXPECT_EQ(read.GetFocalDistance(), 45.0);

  // The registered reader of its kind gives the same record.
  mktest::PartPtr registered = mktest::ReadPart(first);
  ASSERT_NE(dynamic_cast<MKVision*>(registered.get()), nullptr);
  EXPECT_EQ(mktest::Written(*registered), first);

  // A truncated record leaves the vision as it was.
  MKVision untouched;
  EXPECT_NE(ReadFramed(untouched, first.substr(0, first.size() - 40)), MKStatusSuccess);
  EXPECT_EQ(untouched.GetNumberOfVisualLimitsVariables(), 1u);
  EXPECT_EQ(untouched.GetBinocularAngle(), 80.0);
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
