// Whole manikins in streams and library files: round trips, libraries of
// manikins and loose parts, and damaged records.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "host/KelStreamDefinition.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKSpecs.h"
#include "manikin/MKManikin.h"
#include "manikin/MKManikinTestSupport.h"
#include "math/MKFrame.h"
#include "math/MKIEEE.h"
#include "math/MKUnitConversions.h"
#include "parts/MKMemo.h"
#include "parts/MKPartHolder.h"
#include "vision/MKVision.h"
#include "vision/MKVisualLimitsVariable.h"

namespace {

using mktest::Make;
using mktest::Manikin;
using Part = MKPartHolder<>;

double Degrees(double d) {
  return MKUnitConversions::DegreesToRadians(d);
}

MKDOF* DOF(MKManikin& m, MKShortName segment, int number) {
  return m.GetBody()->GetSegment(segment)->GetDOF(number);
}

MKMemo Memo(const char* text, MKPartID owner) {
  MKMemo memo;
  memo.SetText(KelUnicodeString(text));
  memo.SetPartIDOfOwner(owner);
  return memo;
}

std::string Bytes(MKManikinPart& part, MKStatus expected = MKStatusSuccess) {
  KelStreamDefinition stream;
  EXPECT_EQ(part.Write(stream), expected);
  return std::string(stream.GetBuffer(), stream.GetLength());
}

// `bytes` with every time stamp (an int 0 and then the seconds of a clock
// reading within an hour of now) zeroed: a part is stamped at its first
// write, so two writes a second apart differ only there.
std::string Unstamped(std::string bytes) {
  const long now = static_cast<long>(std::time(nullptr));
  for (std::size_t at = 0; at + 8 <= bytes.size(); ++at) {
    if (bytes.compare(at, 4, std::string(4, '\0')) != 0) continue;
    long seconds = 0;
    for (std::size_t k = 4; k < 8; ++k)
      seconds = (seconds << 8) | static_cast<unsigned char>(bytes[at + k]);
    if (seconds > now - 3600 && seconds <= now) bytes.replace(at + 4, 4, std::string(4, '\0'));
  }
  return bytes;
}

// Every target type a constraint can have; every other one left inactive.
constexpr int kTargetTypes[] = {MKIKConstraint::sPosition,
                                MKIKConstraint::sYDirection,
                                MKIKConstraint::sXDirection,
                                MKIKConstraint::sOrientation,
                                MKIKConstraint::sFrame,
                                MKIKConstraint::sPointing,
                                MKIKConstraint::sLine,
                                MKIKConstraint::sInfiniteLine,
                                MKIKConstraint::sLineWithZDirection,
                                MKIKConstraint::sZDirection,
                                MKIKConstraint::sHalfSpace,
                                MKIKConstraint::sPlane,
                                MKIKConstraint::sPlaneWithZDirection};

// A created, posed manikin with something set in every aspect that a record
// holds.
Manikin RichManikin(bool gazeAtInfinity) {
  Manikin m = Make(0, 5);
  MKAnthro* anthro = m->GetAnthro();
  EXPECT_EQ(anthro->GetVariable("<SPAN>")->SetUserValue(160.0), MKStatusSuccess);
  EXPECT_EQ(anthro->Update(), MKStatusSuccess);

  EXPECT_EQ(DOF(*m, RSArAr, 0)->SetValue(Degrees(40), 1), MKStatusSuccess);
  DOF(*m, RSArAr, 0)->LockValue();
  EXPECT_EQ(DOF(*m, LSLeLe, 0)->SetValue(Degrees(30), 1), MKStatusSuccess);
  EXPECT_EQ(DOF(*m, SBoL5, 0)->SetValue(Degrees(12), 1), MKStatusSuccess);
  DOF(*m, SHeCg, 0)->RemoveLimits();
  MKDOF* knee = DOF(*m, RSLeLe, 0);
  knee->UnlockLimits();
  EXPECT_EQ(knee->SetMaxLimFromPercentile(80), MKStatusSuccess);
  knee->LockLimits();
  EXPECT_NE(DOF(*m, RSArAr, 1)->InsertPrefAngle(Degrees(30), Degrees(10), 42.0), nullptr);
  EXPECT_NE(DOF(*m, LSArAr, 0)->InsertPrefAngle(Degrees(50), Degrees(20), 7.0), nullptr);

  for (const MKMemo& memo :
       {Memo("the manikin", MKPartManikinID), Memo("the posture", MKPartPostureID),
        Memo("the limits", MKPartJointLimitsID), Memo("the zones", MKPartPrefAnglesID),
        Memo("the constraints", MKPartIKConstraintsID)})
    EXPECT_EQ(m->PasteFrom(&memo, 1), MKStatusSuccess);

  MKBody* body = m->GetBody();
  MKIKManager* ik = m->GetIKManager();
  int i = 0;
  for (int type : kTargetTypes) {
    MKIKConstraint* c = nullptr;
    const bool right = i % 2 == 0;
    EXPECT_EQ(ik->AddConstraint(body->GetSegment(right ? RSHaMi3 : LSHaMi3),
                                body->GetSegment(right ? RSArCl : LSArCl), type, c, nullptr),
              MKStatusSuccess);
    if (!c) continue;
    MKFrame target;
    target.SetVector(MK3DVertex(10.0 + i, -20.0 + 2 * i, 100.0 - i));
    c->SetTargetMatrix(target);
    EXPECT_EQ(c->SetWeight(0.25 + 0.05 * i), MKStatusSuccess);
    if (i % 3 == 0) c->Deactivate();
    ++i;
  }
  EXPECT_EQ(ik->SetIKTolerance(0.0005), MKStatusSuccess);
  ik->SetBehavior(1);

  MKVision* vision = m->GetVision();
  MKVisualLimitsVariable limits(KelUnicodeString("narrow"));
  limits.SetMaxBinocularAngle(50.0);
  limits.SetMinVerticalTopAngle(10.0);
  EXPECT_EQ(vision->AddVisualLimitsVariable(&limits), MKStatusSuccess);
  EXPECT_EQ(vision->LinkToVisualLimitsVariable(1), MKStatusSuccess);
  const MK3DVertex eye = vision->GetEyePosition(MKMiddleEye);
  if (gazeAtInfinity)
    EXPECT_EQ(vision->LookAt(MKIEEE::Infinite(), Degrees(-8), Degrees(12)), MKStatusSuccess);
  else
    EXPECT_EQ(vision->LookAt(MK3DVertex(eye.x + 10, eye.y - 20, eye.z + 50)), MKStatusSuccess);
  return m;
}

// A manikin read back from `bytes` with ReadFromStream.
Manikin ReadBack(const std::string& bytes, MKStatus* status = nullptr) {
  KelStreamDefinition stream(bytes.data(), bytes.size());
  MKManikinPart* part = nullptr;
  const MKStatus result = MKManikinPart::ReadFromStream(stream, part);
  if (status) *status = result;
  if (part && part->GetPartID() != MKPartManikinID) {
    part->Destroy();
    part = nullptr;
  }
  return Manikin(static_cast<MKManikin*>(part));
}

// The gaze is compared within `gazeTolerance`: aiming the eyes at a point
// at a finite distance derives their angles again from that point.
void ExpectSameObservables(MKManikin& a, MKManikin& b, double gazeTolerance = 0.0) {
  ASSERT_EQ(a.GetAnthro()->GetNumberOfVariables(), b.GetAnthro()->GetNumberOfVariables());
  EXPECT_EQ(a.GetAnthro()->GetSex(), b.GetAnthro()->GetSex());
  for (unsigned int i = 0; i < a.GetAnthro()->GetNumberOfVariables(); ++i) {
    const MKAnthroVariable* va = a.GetAnthro()->GetVariableAtIndex(i);
    const MKAnthroVariable* vb = b.GetAnthro()->GetVariableAtIndex(i);
    EXPECT_EQ(va->GetValue(), vb->GetValue()) << va->GetAcronym().CastToCharPtr();
    EXPECT_EQ(va->GetManagementType(), vb->GetManagementType());
  }
  ASSERT_EQ(a.GetBody()->GetNumberOfSegments(), b.GetBody()->GetNumberOfSegments());
  for (unsigned int i = 0; i < a.GetBody()->GetNumberOfSegments(); ++i) {
    MKSegment* sa = a.GetBody()->GetSegmentAtIndex(i);
    MKSegment* sb = b.GetBody()->GetSegmentAtIndex(i);
    for (int n = 0; n < 3; ++n) {
      const MKDOF* da = sa->GetDOF(n);
      const MKDOF* db = sb->GetDOF(n);
      ASSERT_EQ(da == nullptr, db == nullptr);
      if (!da) continue;
      EXPECT_EQ(da->GetValue(), db->GetValue()) << sa->GetShortName() << " " << n;
      EXPECT_EQ(da->GetRange(), db->GetRange());
      EXPECT_EQ(da->GetDOFState(), db->GetDOFState());
      EXPECT_EQ(da->AreLimitsLocked(), db->AreLimitsLocked());
      EXPECT_EQ(da->GetMinLim(false), db->GetMinLim(false));
      EXPECT_EQ(da->GetMaxLim(false), db->GetMaxLim(false));
      ASSERT_EQ(da->GetNumberOfPrefAngles(), db->GetNumberOfPrefAngles());
      for (unsigned int z = 0; z < da->GetNumberOfPrefAngles(); ++z) {
        EXPECT_EQ(da->GetPrefAngle(z)->GetMin(), db->GetPrefAngle(z)->GetMin());
        EXPECT_EQ(da->GetPrefAngle(z)->GetMax(), db->GetPrefAngle(z)->GetMax());
        EXPECT_EQ(da->GetPrefAngle(z)->GetScore(), db->GetPrefAngle(z)->GetScore());
      }
    }
  }
  MKIKManager* ia = a.GetIKManager();
  MKIKManager* ib = b.GetIKManager();
  EXPECT_EQ(ia->GetIKTolerance(), ib->GetIKTolerance());
  EXPECT_EQ(ia->GetBehavior(), ib->GetBehavior());
  ASSERT_EQ(ia->GetNumberOfConstraints(), ib->GetNumberOfConstraints());
  for (unsigned int i = 0; i < ia->GetNumberOfConstraints(); ++i) {
    const MKIKConstraint* ca = ia->GetIKConstraint(i);
    const MKIKConstraint* cb = ib->GetIKConstraint(i);
    EXPECT_EQ(ca->GetTargetType(), cb->GetTargetType());
    EXPECT_EQ(ca->IsActive(), cb->IsActive());
    EXPECT_EQ(ca->GetWeight(), cb->GetWeight());
    EXPECT_EQ(ca->GetShortNameOfEndEffector(), cb->GetShortNameOfEndEffector());
    EXPECT_EQ(ca->GetShortNameOfStartSegment(), cb->GetShortNameOfStartSegment());
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c)
        EXPECT_EQ(ca->GetTargetMatrix()(r, c), cb->GetTargetMatrix()(r, c));
  }
  MKVision* va = a.GetVision();
  MKVision* vb = b.GetVision();
  const double gaze[][2] = {{va->GetFocalDistance(), vb->GetFocalDistance()},
                            {va->GetHorizontalAngle(), vb->GetHorizontalAngle()},
                            {va->GetVerticalAngle(), vb->GetVerticalAngle()}};
  for (const auto& pair : gaze)
    if (pair[0] != pair[1]) {
      EXPECT_NEAR(pair[0], pair[1], gazeTolerance);
    }
  EXPECT_EQ(va->GetBinocularAngle(), vb->GetBinocularAngle());
  EXPECT_EQ(va->GetMaxBinocularAngle(), vb->GetMaxBinocularAngle());
  EXPECT_EQ(va->GetNumberOfVisualLimitsVariables(), vb->GetNumberOfVisualLimitsVariables());
  EXPECT_EQ(va->GetLinkedVisualLimitsIndex(), vb->GetLinkedVisualLimitsIndex());
}

}  // namespace

TEST(MKManikinStreamTest, ARichManikinComesBackTheSame) {
  Manikin source = RichManikin(true);
  const std::string first = Bytes(*source);
  EXPECT_EQ(first.size(), source->GetSize() + 2 * 5 + 12u);
  MKStatus status;
  Manikin read = ReadBack(first, &status);
  ASSERT_EQ(status, MKStatusSuccess);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->IsLoadedFromLibrary(), 1);
  EXPECT_EQ(read->GetTimeStamp(), source->GetTimeStamp());
  const std::string second = Bytes(*read);
  ASSERT_EQ(second.size(), first.size());
  EXPECT_EQ(Unstamped(second), Unstamped(first));
  ExpectSameObservables(*source, *read);
}

TEST(MKManikinStreamTest, AGazeAtAPointComesBackWithinRounding) {
  Manikin source = RichManikin(false);
  MKStatus status;
  Manikin read = ReadBack(Bytes(*source), &status);
  ASSERT_EQ(status, MKStatusSuccess);
  ASSERT_NE(read, nullptr);
  ExpectSameObservables(*source, *read, 1e-9);
}

TEST(MKManikinStreamTest, ALibraryListsItsManikinsAndLooseParts) {
  Manikin first = RichManikin(true);
  Manikin second = Make(1, 95);
  Manikin third = Make(0, 50);
  MKManikinPart library(MKPartLibraryID, 2.01);
  for (MKManikin* m : {first.get(), second.get(), third.get()}) library.AddPart(m);
  for (MKPartID kind : {MKPartPostureID, MKPartAnthropometryID, MKPartVisionID, MKPartPrefAnglesID,
                        MKPartJointLimitsID}) {
    const Part loose(first->ExtractPart(kind, 0, nullptr));
    ASSERT_NE(loose, nullptr) << kind;
    library.AddPart(loose.get());
  }
  const std::string path = ::testing::TempDir() + "mk_library_of_eight.bin";
  const std::string bytes = Bytes(library);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);

  KelRawCollPV list;
  ASSERT_EQ(
      MKManikinPart::GetListOfManikinPartFromLibraryStream(KelUnicodeString(path.c_str()), list),
      MKStatusSuccess);
  ASSERT_EQ(list.Size(), 8);
  const MKPartID expected[] = {MKPartManikinID,    MKPartManikinID,       MKPartManikinID,
                               MKPartPostureID,    MKPartAnthropometryID, MKPartVisionID,
                               MKPartPrefAnglesID, MKPartJointLimitsID};
  for (int i = 1; i <= list.Size(); ++i) {
    auto* part = static_cast<MKManikinPart*>(list[i]);
    EXPECT_EQ(part->GetPartID(), expected[i - 1]);
    EXPECT_EQ(part->IsLoadedFromLibrary(), 1);
  }
  // The listed manikins are the ones written.
  auto* listed = static_cast<MKManikin*>(list[2]);
  EXPECT_EQ(listed->GetAnthro()->GetSex(), 1);
  ExpectSameObservables(*listed, *second, 1e-12);
  for (int i = 1; i <= list.Size(); ++i) static_cast<MKManikinPart*>(list[i])->Destroy();
  list.RemoveAll();

  // A manikin of a newer format is skipped and the next record still listed.
  std::string newer = bytes;
  const std::size_t at = newer.find("0001B");
  ASSERT_NE(at, std::string::npos);
  newer[at + 5 + 7] = static_cast<char>(newer[at + 5 + 7] + 1);  // 2.01 and a little more
  file = std::fopen(path.c_str(), "wb");
  ASSERT_EQ(std::fwrite(newer.data(), 1, newer.size(), file), newer.size());
  std::fclose(file);
  ASSERT_EQ(
      MKManikinPart::GetListOfManikinPartFromLibraryStream(KelUnicodeString(path.c_str()), list),
      MKStatusSuccess);
  ASSERT_EQ(list.Size(), 7);
  EXPECT_EQ(static_cast<MKManikinPart*>(list[1])->GetPartID(), MKPartManikinID);
  for (int i = 1; i <= list.Size(); ++i) static_cast<MKManikinPart*>(list[i])->Destroy();
  std::remove(path.c_str());
}

TEST(MKManikinStreamTest, ATruncatedRecordChangesNothing) {
  Manikin source = RichManikin(false);
  const std::string bytes = Bytes(*source);
  Manikin receiver = Make(1, 50);
  const std::string before = Unstamped(Bytes(*receiver));
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    KelStreamDefinition stream(bytes.data(), cut);
    ASSERT_EQ(receiver->Read(stream), MKStatusStreamContent) << "cut at " << cut;
  }
  EXPECT_EQ(Unstamped(Bytes(*receiver)), before);
}
