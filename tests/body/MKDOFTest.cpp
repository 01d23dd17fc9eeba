// Degrees of freedom: values, limits and locks, and their records with their zones.
#include <gtest/gtest.h>

#include <cmath>

#include "anthro/MKDBJointLimitsVariable.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "math/MKUnitConversions.h"
#include "parts/MKMemo.h"
#include "parts/MKPersistenceRoutines.h"

namespace {

double Rad(double degrees) {
  return MKUnitConversions::DegreesToRadians(degrees);
}
double Deg(double radians) {
  return MKUnitConversions::RadiansToDegrees(radians);
}

// A segment with one X DOF whose limits come from a database row (degrees).
struct OneDOF {
  explicit OneDOF(double minDegrees, double maxDegrees, MKShortName name = RSArFAr)
      : segment(nullptr, name, 0, nullptr), variable(name, 0, minDegrees, 5.0, maxDegrees, 8.0) {
    segment.AddDOF(0, 0, 0.0, nullptr);
    dof = segment.GetDOF(0);
    dof->SetJointLimitDatabase(&variable);
  }
  MKSegment segment;
  MKDBJointLimitsVariable variable;
  MKDOF* dof;
};

std::string Bytes(MKManikinPart& part) {
  KelStreamDefinition stream;
  EXPECT_EQ(part.Write(stream), MKStatusSuccess);
  return std::string(stream.GetBuffer(), stream.GetLength());
}

// Moves past a record's tag, version and length; the length.
unsigned int SkipHeader(KelStreamDefinition& stream) {
  KelString tag;
  double version;
  unsigned int length = 0;
  MKManikinPart::ReadTagBegin(stream, tag);
  MKManikinPart::ReadVersionAndLength(stream, version, length);
  return length;
}

}  // namespace

TEST(MKDOFTest, ValuesAreClampedLockedAndFreedOfLimits) {
  OneDOF joint(45, 120);
  MKDOF& dof = *joint.dof;
  EXPECT_EQ(dof.SetValue(0.5, 0).GetCode(), 400);
  EXPECT_EQ(dof.GetValue(), 0.0);

  EXPECT_EQ(dof.SetMathematicalValue(Rad(200)), MKStatusSuccess);
  EXPECT_NEAR(Deg(dof.GetMathematicalValue()), 120, 1e-9);
  dof.SetMathematicalValue(Rad(-60));
  EXPECT_NEAR(Deg(dof.GetValue()), 45, 1e-9);
  EXPECT_EQ(dof.GetRange(), -1);

  dof.SetMathematicalValue(-0.0);
  EXPECT_EQ(dof.GetValue(), 0.0);
  EXPECT_EQ(dof.GetRange(), 1);
  dof.SetMathematicalValue(1e-10);
  EXPECT_EQ(dof.GetValue(), 0.0);

  // A locked value stays and collapses the limits onto itself.
  dof.SetMathematicalValue(Rad(30));
  dof.LockValue();
  EXPECT_EQ(dof.SetMathematicalValue(Rad(50)).GetCode(), 12);
  EXPECT_NEAR(Deg(dof.GetMathematicalValue()), 30, 1e-9);
  EXPECT_NEAR(Deg(dof.GetMinLim(true)), -30, 1e-9);
  EXPECT_NEAR(Deg(dof.GetMaxLim(true)), 30, 1e-9);
  EXPECT_NEAR(Deg(dof.GetMinLim(false)), 45, 1e-9);
  dof.UnlockValue();

  // Removed limits open a full turn around the value range.
  dof.RemoveLimits();
  EXPECT_EQ(dof.GetDOFState(), MKDOF::LimitsRemoved);
  EXPECT_NEAR(Deg(dof.GetMinLim(false)), 142.5, 1e-9);
  EXPECT_NEAR(Deg(dof.GetMaxLim(false)), 217.5, 1e-9);
  dof.SetMathematicalValue(Rad(200));
  EXPECT_NEAR(Deg(dof.GetMathematicalValue()), 200, 1e-9);  // no clamping
  dof.RestoreLimits();
  EXPECT_EQ(dof.GetDOFState(), MKDOF::Free);
  EXPECT_NEAR(Deg(dof.GetMaxLim(false)), 120, 1e-9);
}

TEST(MKDOFTest, LimitSettersHonourLocksFactorsAndEmptyRanges) {
  OneDOF joint(45, 120);
  MKDOF& dof = *joint.dof;
  EXPECT_EQ(dof.SetMaxLim(Rad(100)).GetCode(), 11);  // limits start locked
  dof.UnlockLimits();
  EXPECT_EQ(dof.SetMaxLim(Rad(100), 0.5, false).GetCode(), 10);  // factor for another limit
  dof.SetMathematicalValue(Rad(110));
  EXPECT_EQ(dof.SetMaxLim(Rad(100)), MKStatusSuccess);
  EXPECT_NEAR(Deg(dof.GetMathematicalValue()), 100, 1e-9);  // the value follows the new max
  EXPECT_EQ(dof.SetMaxLim(Rad(100), 0.5, false), MKStatusSuccess);
  EXPECT_NEAR(Deg(dof.GetMaxLim(false)), 50, 1e-9);
  EXPECT_NEAR(Deg(dof.GetMaxLimNoCoupling(true)), 100, 1e-9);
  EXPECT_EQ(dof.SetMaxLim(Rad(-60)), MKStatusValueRefused);  // below -(min): raised to it
  EXPECT_NEAR(Deg(dof.GetMaxLim(false)), -45, 1e-9);

  // A min limit holds the value on its own side of zero: at -min, or at +|min|
  // when the limit forbids every negative angle.
  OneDOF other(45, 120);
  MKDOF& low = *other.dof;
  low.UnlockLimits();
  low.SetMathematicalValue(Rad(-40));
  EXPECT_EQ(low.SetMinLim(Rad(30)), MKStatusSuccess);
  EXPECT_NEAR(Deg(low.GetMathematicalValue()), -30, 1e-9);
  EXPECT_EQ(low.GetRange(), -1);
  EXPECT_EQ(low.SetMinLim(Rad(-10)), MKStatusSuccess);
  EXPECT_NEAR(Deg(low.GetMathematicalValue()), 10, 1e-9);
  EXPECT_EQ(low.GetRange(), 1);
  EXPECT_EQ(low.SetMinLim(Rad(-150)), MKStatusValueRefused);  // above the max: lowered to it
  EXPECT_NEAR(Deg(low.GetMinLim(false)), -120, 1e-9);
}

TEST(MKDOFTest, RecordsRoundTripByteExactly) {
  OneDOF joint(45, 120);
  MKDOF& dof = *joint.dof;
  dof.SetMathematicalValue(Rad(-30));
  dof.SetSpeed(1.5);
  dof.RemoveLimits();  // a record with no removed-limits min gets one on reading
  dof.RestoreLimits();
  dof.LockValue();
  for (MKPartID kind : {MKPartPostureVariableID, MKPartJointLimitsVariableID}) {
    MKManikinPart* record = dof.ExtractPart(kind, 0, nullptr);
    ASSERT_NE(record, nullptr);
    const std::string bytes = Bytes(*record);
    EXPECT_EQ(bytes.size(), record->GetSize() + 22);
    KelStreamDefinition in(bytes.data(), bytes.size());
    MKManikinPart* read = nullptr;
    ASSERT_EQ(MKManikinPart::ReadFromStream(in, read), MKStatusStreamContent)
        << "a lone DOF record is no part of its own";
    KelStreamDefinition again(bytes.data(), bytes.size());
    SkipHeader(again);
    MKDOF copy(kind);
    ASSERT_EQ(copy.Read(again), MKStatusSuccess);
    EXPECT_EQ(Bytes(copy), bytes);
    if (kind == MKPartPostureVariableID) {  // the record holds what the DOF held
      EXPECT_EQ(copy.GetSpeed(), 1.5);
      EXPECT_DOUBLE_EQ(copy.GetMathematicalValue(), Rad(-30));
    }
    record->Destroy();
  }

  // A zone's record length counts its name, two bytes a character, and its memo.
  MKPrefAngle* zone = dof.AddPrefAngle();
  zone->SetScore(3.5);
  zone->SetColor(7);
  MKMemo memo;
  memo.SetText("kept for the reach study");
  for (const char* name : {"", "Reach", "Comfortable when seated"})
    for (bool annotated : {false, true}) {
      zone->SetName(name);
      zone->RemoveAllParts();
      if (annotated) zone->AddPart(&memo);
      const std::string bytes = Bytes(*zone);
      KelStreamDefinition in(bytes.data(), bytes.size());
      EXPECT_EQ(SkipHeader(in), bytes.size() - 22) << name << " " << annotated;
      MKPrefAngle copy(nullptr);
      ASSERT_EQ(copy.Read(in), MKStatusSuccess);
      EXPECT_EQ(Bytes(copy), bytes);
    }
}

TEST(MKDOFTest, NonNumbersAndTaggedOwnerlessZonesAreRefused) {
  OneDOF joint(45, 120);
  MKDOF& dof = *joint.dof;
  dof.SetMathematicalValue(Rad(30));
  for (bool removed : {false, true}) {
    if (removed) dof.RemoveLimits();
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
      EXPECT_EQ(dof.SetValue(bad, 1), MKStatusValueRefused) << bad;
      EXPECT_DOUBLE_EQ(dof.GetMathematicalValue(), Rad(30));
    }
  }
  dof.RestoreLimits();

  // In a record, the value (posture) or a limit (joint limits), the first
  // double after the time stamp (two ints) and the memo flag: status 100
  // and the receiving DOF unchanged.
  for (MKPartID kind : {MKPartPostureVariableID, MKPartJointLimitsVariableID}) {
    MKManikinPart* record = dof.ExtractPart(kind, 0, nullptr);
    std::string bytes = Bytes(*record);
    record->Destroy();
    bytes.replace(29, 8, std::string("\x7f\xf8\0\0\0\0\0\0", 8));
    KelStreamDefinition in(bytes.data(), bytes.size());
    SkipHeader(in);
    MKDOF copy(kind);
    const std::string before = Bytes(copy);
    EXPECT_EQ(copy.Read(in), MKStatusStreamContent) << kind;
    EXPECT_EQ(Bytes(copy), before) << kind;
  }

  // A zone of no owner is written without its begin tag: a tagged record of
  // one (its owner short name after the time stamp and child count) is not
  // this library's.
  std::string zone = Bytes(*dof.GetPrefAngle(0));
  zone.replace(29, 4, std::string(4, '\xff'));
  KelStreamDefinition in(zone.data(), zone.size());
  SkipHeader(in);
  MKPrefAngle copy(nullptr);
  const std::string before = Bytes(copy);
  EXPECT_EQ(copy.Read(in), MKStatusStreamContent);
  EXPECT_EQ(Bytes(copy), before);
}

TEST(MKDOFTest, OldDefaultNeckLimitsAreReplacedOnReading) {
  MKSegment neck(nullptr, SHeNe, 0, nullptr);
  neck.AddDOF(0, 0, 0.0, nullptr);
  MKDOF* dof = neck.GetDOF(0);
  dof->UnlockLimits();
  dof->SetMinLim(Rad(25));
  dof->SetMaxLim(Rad(20));
  MKManikinPart* record = dof->ExtractPart(MKPartJointLimitsVariableID, 0, nullptr);
  KelStreamDefinition stream;
  record->Write(stream);
  record->Destroy();
  stream.Reset();
  SkipHeader(stream);
  MKDOF read(MKPartJointLimitsVariableID);
  ASSERT_EQ(read.Read(stream), MKStatusSuccess);
  EXPECT_NEAR(Deg(read.GetMinLimNoCoupling(true)), 5, 1e-9);
  EXPECT_NEAR(Deg(read.GetMaxLimNoCoupling(true)), 15, 1e-9);
}
