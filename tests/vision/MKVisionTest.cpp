// A vision on its own (as in a library) and its visual-limit records:
// field angles, records and paste.
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
  EXPECT_EQ(vision.GetBinocularAngle(), 80.0);
  EXPECT_EQ(vision.GetAmbinocularAngle(), 120.0);
  EXPECT_EQ(vision.GetMonocularAngle(), 100.0);
  EXPECT_EQ(vision.GetVerticalTopAngle(), 35.0);
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
  EXPECT_LE(vision.GetBinocularAngle(), limits->GetMaxBinocularAngle());
  EXPECT_LE(vision.GetAmbinocularAngle(), limits->GetMaxAmbinocularAngle());
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

  // Detached, a line of sight has no place in the world.
  middle->SetLength(300);
  EXPECT_EQ(middle->GetEndPoint(MKLocalSpace).z, 300.0);
  EXPECT_TRUE(std::isnan(middle->GetEndPoint(MKCoordinateSpace(2)).y));
  EXPECT_TRUE(std::isinf(middle->GetEndPosition()(2)));  // no owner
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

  // A monocular angle sets the binocular one to twice it less the ambinocular one.
  MKVision monocular;  // ambinocular 120
  EXPECT_EQ(monocular.SetMonocularAngle(110), MKStatusSuccess);
  EXPECT_EQ(monocular.GetBinocularAngle(), 100.0);
  EXPECT_EQ(monocular.SetMonocularAngle(50), MKStatusValueRefused);  // below 60
  EXPECT_EQ(monocular.GetBinocularAngle(), 0.0);
  EXPECT_EQ(monocular.SetMonocularAngle(130), MKStatusValueRefused);
  EXPECT_EQ(monocular.GetBinocularAngle(), 120.0);
}

TEST(MKVision, VisualLimitRecords) {
  MKVision vision;
  EXPECT_EQ(vision.AddVisualLimitsVariable(nullptr), MKStatusNothingToPaste);
  const MKVisualLimitsVariable fakeDefault = Record("MKDefaultLimits", 10);
  EXPECT_EQ(vision.AddVisualLimitsVariable(&fakeDefault), MKStatusSuccess);
  EXPECT_EQ(vision.GetNumberOfVisualLimitsVariables(), 1u);
  EXPECT_EQ(vision.GetMaxBinocularAngle(), 124.0);

  const MKVisualLimitsVariable a = Record("A", 90), b = Record("B", 60), b2 = Record("B", 70);
  vision.AddVisualLimitsVariable(&a);
  vision.AddVisualLimitsVariable(&b);
  vision.AddVisualLimitsVariable(&b2);  // updates B
  ASSERT_EQ(vision.GetNumberOfVisualLimitsVariables(), 3u);
  EXPECT_EQ(vision.GetVisualLimitsVariable("B")->GetMaxBinocularAngle(), 70.0);

  EXPECT_EQ(vision.LinkToVisualLimitsVariable(3), MKStatusValueRefused);
  EXPECT_EQ(vision.LinkToVisualLimitsVariable(2), MKStatusSuccess);
  EXPECT_EQ(vision.GetBinocularAngle(), 70.0);  // 80 lowered to B's maximum
  EXPECT_EQ(vision.RemoveVisualLimitsVariable(1u), MKStatusSuccess);
  EXPECT_EQ(vision.GetLinkedVisualLimitsIndex(), 1u);  // B moved down
  EXPECT_TRUE(vision.GetVisualLimitsVariable(1u)->GetName() == "B");

  EXPECT_EQ(vision.RemoveVisualLimitsVariable(0u), MKStatusSuccess);  // kept
  EXPECT_EQ(vision.GetNumberOfVisualLimitsVariables(), 2u);
  EXPECT_EQ(vision.GetLinkedVisualLimitsIndex(), 1u);
  EXPECT_EQ(vision.RemoveVisualLimitsVariable(5u), MKStatusValueRefused);
  EXPECT_EQ(vision.RemoveVisualLimitsVariable(KelUnicodeString("Nobody")), MKStatusValueRefused);
  EXPECT_EQ(vision.RemoveVisualLimitsVariable(KelUnicodeString("B")), MKStatusSuccess);
  EXPECT_EQ(vision.GetNumberOfVisualLimitsVariables(), 1u);
  EXPECT_EQ(vision.GetLinkedVisualLimitsIndex(), 0u);  // the linked one went: back to 0
  EXPECT_EQ(vision.GetVisualLimitsVariable(1u), nullptr);
}

TEST(MKVision, RecordRoundTripsByteForByte) {
  MKVision source;
  Customise(source);
  const std::string first = mktest::Written(source);
  EXPECT_EQ(first.size(), source.GetSize() + 22);
  EXPECT_EQ(first.substr(0, 5), "0015B");

  MKVision read;
  ASSERT_EQ(ReadFramed(read, first), MKStatusSuccess);
  EXPECT_EQ(read.GetNumberOfVisualLimitsVariables(), 3u);
  EXPECT_EQ(read.GetLinkedVisualLimitsIndex(), 1u);
  EXPECT_EQ(read.GetBinocularAngle(), 70.0);
  EXPECT_EQ(read.GetAmbinocularAngle(), 140.0);
  EXPECT_EQ(read.GetVerticalTopAngle(), 30.0);  // bounded by the linked "Glasses"
  EXPECT_EQ(read.GetCentralConeAngle(), 8.0);
  EXPECT_EQ(read.GetType(), MKVisionLeftMonocular);
  EXPECT_EQ(read.GetActiveSide(), MKVisionLeftSide);
  EXPECT_EQ(read.GetConvergenceMode(), 0);
  EXPECT_EQ(read.GetPonctumProximum(), 12.0);
  EXPECT_EQ(read.GetPonctumRemotum(), 600.0);
  EXPECT_EQ(read.GetFocalDistance(), 45.0);
  EXPECT_EQ(read.GetVerticalAngle(), -0.1);
  EXPECT_EQ(read.GetNumberOfChildrenParts(), 1u);
  EXPECT_EQ(mktest::Written(read), first);

  // The registered reader of its kind, and a clone, give the same record.
  mktest::PartPtr registered = mktest::ReadPart(first);
  ASSERT_NE(dynamic_cast<MKVision*>(registered.get()), nullptr);
  EXPECT_EQ(mktest::Written(*registered), first);
  EXPECT_EQ(mktest::Written(*mktest::PartPtr(source.Clone())), first);
  EXPECT_NE(dynamic_cast<MKVision*>(mktest::PartPtr(MKManikinPart::Create(MKPartVisionID)).get()),
            nullptr);

  // A truncated record leaves the vision as it was.
  MKVision untouched;
  EXPECT_NE(ReadFramed(untouched, first.substr(0, first.size() - 40)), MKStatusSuccess);
  EXPECT_EQ(untouched.GetNumberOfVisualLimitsVariables(), 1u);
  EXPECT_EQ(untouched.GetBinocularAngle(), 80.0);

  // Reset brings the defaults back.
  source.Reset();
  EXPECT_EQ(source.GetNumberOfVisualLimitsVariables(), 1u);
  EXPECT_EQ(source.GetBinocularAngle(), 80.0);
  EXPECT_EQ(source.GetActiveSide(), MKVisionMiddleSide);
  EXPECT_EQ(source.GetFocalDistance(), 30.0);
  EXPECT_NEAR(source.GetVerticalAngle(), -12.0 * kDegree, 1e-15);
}

TEST(MKVision, OlderRecordsHoldTheSideInPlaceOfTheType) {
  MKVision source;
  std::string bytes = mktest::Written(source);
  // Version 2.0, and the int after the side angles (tag, version, length,
  // child count, convergence, focal distance, six angles) holds side 2.
  const std::string version = mktest::Bytes().Double(2.0).data;
  bytes.replace(5, 8, version);
  const std::size_t at = 5 + 8 + 4 + 4 + 4 + 8 + 6 * 8;
  ASSERT_EQ(mktest::IntAt(bytes, at), 0);
  bytes.replace(at, 4, mktest::Bytes().Int(2).data);
  MKVision read;
  ASSERT_EQ(ReadFramed(read, bytes), MKStatusSuccess);
  EXPECT_EQ(read.GetActiveSide(), MKVisionRightSide);
  EXPECT_EQ(read.GetType(), MKVisionRightMonocular);
}

// The visual-limits container replaces a vision's own records when pasted.
TEST(MKVision, ExtractionAndPasteOfParts) {
  MKVision source;
  EXPECT_EQ(source.ExtractPart(MKPartVisualLimitsID, 0, nullptr), nullptr);
  Customise(source);
  const mktest::PartPtr limits(source.ExtractPart(MKPartVisualLimitsID, 0, nullptr));
  ASSERT_NE(limits, nullptr);
  EXPECT_EQ(limits->GetVersion(), 2.1);
  EXPECT_EQ(limits->GetNumberOfChildrenParts(), 2u);
  EXPECT_EQ(source.ExtractPart(MKPartVisualLimitsVariableID, 3, nullptr), nullptr);

  MKVision target;
  const MKVisualLimitsVariable stale = Record("Stale", 50);
  target.AddVisualLimitsVariable(&stale);
  EXPECT_EQ(target.PasteFrom(limits.get(), 1), MKStatusSuccess);
  EXPECT_EQ(target.GetNumberOfVisualLimitsVariables(), 3u);
  EXPECT_EQ(target.GetVisualLimitsVariable("Stale"), nullptr);
  EXPECT_EQ(target.PasteFrom(nullptr, 1), MKStatusNothingToPaste);
  const MKManikinPart posture(MKPartPostureID, 2.03);
  EXPECT_EQ(target.PasteFrom(&posture, 1), MKStatusPasteKindRefused);
}

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

  MKVisualLimitsVariable source("Driver");
  source.SetMinVerticalBottomAngle(10);
  MKMemo memo;
  memo.SetText("seated, helmet");
  source.PasteFrom(&memo, 1);
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
