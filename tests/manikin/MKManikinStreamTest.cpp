// Whole manikins in streams and library files: round trips, libraries of
// manikins and loose parts, and damaged records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "host/KelStreamDefinition.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "manikin/MKManikin.h"
#include "manikin/MKManikinTestSupport.h"
#include "math/MKFrame.h"
#include "math/MKIEEE.h"
#include "parts/MKMemo.h"
#include "parts/MKPartHolder.h"
#include "parts/MKStreamTestSupport.h"
#include "vision/MKVision.h"
#include "vision/MKVisualLimitsVariable.h"

namespace {

using mktest::Degrees;
using mktest::DOF;
using mktest::Make;
using mktest::Manikin;
using mktest::Memo;
using Part = MKPartHolder<>;

std::string Bytes(MKManikinPart& part, MKStatus expected = MKStatusSuccess) {
  KelStreamDefinition stream;
  EXPECT_EQ(part.Write(stream), expected);
  return std::string(stream.GetBuffer(), stream.GetLength());
}

// `bytes` with every time stamp `from` (an int 0 and then the seconds)
// changed to `to`.
std::string Restamped(std::string bytes, long from, long to) {
  const std::string stamp = mktest::Bytes().Stamp(static_cast<int>(from)).data;
  const std::string other = mktest::Bytes().Stamp(static_cast<int>(to)).data;
  for (std::size_t at = bytes.find(stamp); at != std::string::npos; at = bytes.find(stamp, at + 8))
    bytes.replace(at, 8, other);
  return bytes;
}

// Every target type a constraint can have; every other one left inactive.
using C = MKIKConstraint;
constexpr int kTargetTypes[] = {
    C::sPosition,  C::sYDirection, C::sXDirection,         C::sOrientation,        C::sFrame,
    C::sPointing,  C::sLine,       C::sInfiniteLine,       C::sLineWithZDirection, C::sZDirection,
    C::sHalfSpace, C::sPlane,      C::sPlaneWithZDirection};

// A created, posed manikin with something set in every aspect that a record
// holds; its body's coupling off with the gaze at a point. Its left
// forearm, which a new manikin turns, is back at its default value.
Manikin RichManikin(bool gazeAtInfinity) {
  Manikin m = Make(0, 5);
  if (!gazeAtInfinity) m->GetBody()->DisableCoupling(false);
  for (int n = 0; n < 3; ++n) {
    MKDOF* forearm = DOF(m, LSArFAr, n);
    if (!forearm) continue;
    EXPECT_EQ(forearm->SetValue(std::fabs(forearm->GetDefaultValue()), forearm->GetDefaultRange()),
              MKStatusSuccess);
  }
  MKAnthro* anthro = m->GetAnthro();
  EXPECT_EQ(anthro->GetVariable("<SPAN>")->SetUserValue(160.0), MKStatusSuccess);
  EXPECT_EQ(anthro->Update(), MKStatusSuccess);

  EXPECT_EQ(DOF(m, RSArAr, 0)->SetValue(Degrees(40), 1), MKStatusSuccess);
  DOF(m, RSArAr, 0)->LockValue();
  EXPECT_EQ(DOF(m, LSLeLe, 0)->SetValue(Degrees(30), 1), MKStatusSuccess);
  EXPECT_EQ(DOF(m, SBoL5, 0)->SetValue(Degrees(12), 1), MKStatusSuccess);
  DOF(m, SHeCg, 0)->RemoveLimits();
  MKDOF* knee = DOF(m, RSLeLe, 0);
  knee->UnlockLimits();
  EXPECT_EQ(knee->SetMaxLimFromPercentile(80), MKStatusSuccess);
  knee->LockLimits();
  EXPECT_NE(DOF(m, RSArAr, 1)->InsertPrefAngle(Degrees(30), Degrees(10), 42.0), nullptr);
  EXPECT_NE(DOF(m, LSArAr, 0)->InsertPrefAngle(Degrees(50), Degrees(20), 7.0), nullptr);

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

// What a host can observe of a manikin: its dimensions, skin, segment
// ends, DOFs with their limits and zones, constraints, solver settings and
// look, as numbers; positions, which a read body computes anew, apart.
struct Seen {
  std::vector<double> exact, positions;
};
Seen Observables(MKManikin& m) {
  Seen seen;
  auto add = [&seen](std::initializer_list<double> values) {
    seen.exact.insert(seen.exact.end(), values.begin(), values.end());
  };
  auto at = [&seen](const MK3DVertex& p) {
    seen.positions.insert(seen.positions.end(), {p.x, p.y, p.z});
  };
  MKAnthro* anthro = m.GetAnthro();
  add({double(anthro->GetSex())});
  for (unsigned int i = 0; i < anthro->GetNumberOfVariables(); ++i) {
    const MKAnthroVariable* v = anthro->GetVariableAtIndex(i);
    add({v->GetValue(), double(v->GetManagementType())});
  }
  MKBody* body = m.GetBody();
  for (int v = 0; v < body->GetNbUniqueVertices(); ++v)
    at(body->GetComputedVertexAtHierarchyIndex(v));
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i) {
    MKSegment* s = body->GetSegmentAtIndex(i);
    at(s->GetEndPoint(MKGlobalSpace));
    for (int n = 0; n < 3; ++n) {
      const MKDOF* d = s->GetDOF(n);
      if (!d) continue;
      add({d->GetValue(), double(d->GetRange()), double(d->GetDOFState()),
           double(d->AreLimitsLocked()), d->GetMinLim(false), d->GetMaxLim(false)});
      for (unsigned int z = 0; z < d->GetNumberOfPrefAngles(); ++z)
        add({d->GetPrefAngle(z)->GetMin(), d->GetPrefAngle(z)->GetMax(),
             d->GetPrefAngle(z)->GetScore()});
    }
  }
  MKIKManager* ik = m.GetIKManager();
  add({ik->GetIKTolerance(), double(ik->GetBehavior()), double(body->IsCouplingEnabled())});
  for (unsigned int i = 0; i < ik->GetNumberOfConstraints(); ++i) {
    const MKIKConstraint* c = ik->GetIKConstraint(i);
    add({double(c->GetTargetType()), double(c->IsActive()), c->GetWeight(),
         double(c->GetShortNameOfEndEffector()), double(c->GetShortNameOfStartSegment())});
    for (int r = 0; r < 4; ++r)
      for (int k = 0; k < 4; ++k) add({c->GetTargetMatrix()(r, k)});
  }
  MKVision* vision = m.GetVision();
  add({vision->GetFocalDistance(), vision->GetHorizontalAngle(), vision->GetVerticalAngle(),
       vision->GetBinocularAngle(), vision->GetMaxBinocularAngle(),
       double(vision->GetNumberOfVisualLimitsVariables()),
       double(vision->GetLinkedVisualLimitsIndex())});
  return seen;
}

// The same observables, to the bit (NaN included), and positions within 1e-9.
void ExpectSameObservables(MKManikin& a, MKManikin& b) {
  const Seen x = Observables(a), y = Observables(b);
  ASSERT_EQ(x.exact.size(), y.exact.size());
  for (std::size_t i = 0; i < x.exact.size(); ++i)
    EXPECT_TRUE(x.exact[i] == y.exact[i] || (std::isnan(x.exact[i]) && std::isnan(y.exact[i])))
        << "observable " << i << ": " << x.exact[i] << " vs " << y.exact[i];
  ASSERT_EQ(x.positions.size(), y.positions.size());
  for (std::size_t i = 0; i < x.positions.size(); ++i)
    EXPECT_NEAR(x.positions[i], y.positions[i], 1e-9) << "position " << i;
}

}  // namespace

// Written, read back and written again: the same bytes, time stamps
// included, and the same observables, whether the eyes look at infinity or
// at a point. The stamps of the first write are moved to a past second, so
// that a part stamped by the clock at the second write would show.
TEST(MKManikinStreamTest, ARichManikinComesBackTheSame) {
  for (bool gazeAtInfinity : {true, false}) {
    SCOPED_TRACE(gazeAtInfinity ? "gaze at infinity" : "gaze at a point");
    Manikin source = RichManikin(gazeAtInfinity);
    const std::string written = Bytes(*source);
    EXPECT_EQ(written.size(), source->GetSize() + 2 * 5 + 12u);
    EXPECT_EQ(Bytes(*source), written);
    const long stamp = source->GetTimeStamp();
    const std::string first = Restamped(written, stamp, stamp - 86400);
    ASSERT_NE(first, written);
    MKStatus status;
    Manikin read = ReadBack(first, &status);
    ASSERT_EQ(status, MKStatusSuccess);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->IsLoadedFromLibrary(), 1);
    EXPECT_EQ(read->GetTimeStamp(), stamp - 86400);
    EXPECT_EQ(Bytes(*read), first);
    ExpectSameObservables(*source, *read);
  }
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
  EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
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
  ExpectSameObservables(*listed, *second);
  for (int i = 1; i <= list.Size(); ++i) static_cast<MKManikinPart*>(list[i])->Destroy();
  std::remove(path.c_str());
}

TEST(MKManikinStreamTest, ATruncatedRecordChangesNothing) {
  Manikin source = RichManikin(false);
  const std::string bytes = Bytes(*source);
  Manikin receiver = Make(1, 50);
  const std::string before = Bytes(*receiver);
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    KelStreamDefinition stream(bytes.data(), cut);
    ASSERT_EQ(receiver->Read(stream), MKStatusStreamContent) << "cut at " << cut;
  }
  EXPECT_EQ(Bytes(*receiver), before);
}

namespace {

// The framing of a manikin record: the offsets of its header and end tag,
// the lead int of every section, and the tags and length of every section
// record; and, apart, the offset of each section record's version.
struct Framing {
  std::vector<std::size_t> bytes;
  std::vector<std::size_t> sectionVersions;
};

Framing FramingOf(const std::string& record) {
  Framing framing;
  auto add = [&framing](std::size_t from, std::size_t count) {
    for (std::size_t k = from; k < from + count; ++k) framing.bytes.push_back(k);
  };
  add(0, 17);
  std::size_t at = 17 + 8 + 4;  // after the time stamp and the coupling
  for (int section = 0; section < 10; ++section) {
    add(at, 4);
    const bool present = mktest::IntAt(record, at) != 0;
    at += 4;
    if (!present) continue;
    add(at, 5);
    framing.sectionVersions.push_back(at + 5);
    add(at + 13, 4);
    at += 17 + static_cast<std::size_t>(mktest::IntAt(record, at + 13));
    add(at, 5);
    at += 5;
  }
  add(at, 4 + 5);  // clothing count and end tag
  EXPECT_EQ(at + 9, record.size());
  return framing;
}

}  // namespace

// Every single-byte change of a record's framing fails with 100 and leaves
// the receiving manikin as it was, or reads (the receiver then reads the
// intact record again); clothing, newer and older section records read.
TEST(MKManikinStreamTest, AChangedFramingByteReadsOrChangesNothing) {
  Manikin source = RichManikin(true);
  const std::string bytes = Bytes(*source);
  const Framing framing = FramingOf(bytes);
  Manikin receiver = Make(1, 50);
  auto read = [&receiver](const std::string& record) {
    KelStreamDefinition stream(record.data(), record.size());
    return receiver->Read(stream);
  };
  ASSERT_EQ(read(bytes), MKStatusSuccess);
  const std::string before = Bytes(*receiver);
  int reads = 0;
  for (std::size_t at : framing.bytes) {
    for (unsigned char flip : {0x01, 0x80}) {
      std::string changed = bytes;
      changed[at] = static_cast<char>(changed[at] ^ flip);
      const MKStatus status = read(changed);
      if (status == MKStatusSuccess) {
        ++reads;
        ASSERT_EQ(read(bytes), MKStatusSuccess);
      } else {
        EXPECT_EQ(status, MKStatusStreamContent) << "byte " << at << " flip " << int(flip);
      }
    }
  }
  EXPECT_EQ(Bytes(*receiver), before);
  // Only the manikin's own version may change to one that still reads.
  EXPECT_LE(reads, 16);

  // A clothing record (count 1) is skipped over; a count of 2 is refused.
  for (int count : {1, 2}) {
    std::string dressed = bytes.substr(0, bytes.size() - 9);
    dressed += mktest::Bytes().Int(count).data + mktest::Record("0016", 2.01, "0123") + "0001E";
    const std::string length = mktest::Bytes().Int(mktest::IntAt(bytes, 13) + 26).data;
    dressed.replace(13, 4, length);
    EXPECT_EQ(read(dressed), count == 1 ? MKStatusSuccess : MKStatusStreamContent) << count;
  }

  // A section record of a newer version is skipped; the others are read.
  for (std::size_t at : framing.sectionVersions) {
    std::string newer = bytes;
    newer[at + 7] = static_cast<char>(newer[at + 7] + 1);
    EXPECT_EQ(read(newer), MKStatusSuccess) << "version at " << at;
  }

  // An anthropometric database reference below version 2.02 has no time stamp.
  std::string older = bytes;
  const std::size_t at = older.find("0012B");
  ASSERT_EQ(mktest::DoubleAt(older, at + 5), 2.02);
  older.replace(at + 5, 8, mktest::Bytes().Double(2.01).data);
  older.replace(at + 13, 4, mktest::Bytes().Int(mktest::IntAt(older, at + 13) - 8).data);
  older.erase(at + 17, 8);
  older.replace(13, 4, mktest::Bytes().Int(mktest::IntAt(older, 13) - 8).data);
  Manikin fresh = Make(1, 50);
  KelStreamDefinition stream(older.data(), older.size());
  ASSERT_EQ(fresh->Read(stream), MKStatusSuccess);
  ExpectSameObservables(*source, *fresh);
}
