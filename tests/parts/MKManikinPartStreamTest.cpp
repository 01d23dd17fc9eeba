// Primitive encodings, record framing and round trips of the part records.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "parts/MKManikinPart.h"
#include "parts/MKManikinPartFrame.h"
#include "parts/MKMemo.h"
#include "parts/MKPersistenceRoutines.h"
#include "parts/MKStreamTestSupport.h"

namespace {

using mktest::Bytes;
using mktest::Memo;
using mktest::PartPtr;
using mktest::Record;
using mktest::TextOf;
using R = MKPersistenceRoutines;

// Big-endian numbers (the records' own bytes are checked against their
// format below); strings carry the low sixteen bits of each character. Read
// back, each value returns; past the end every read fails.
TEST(MKPersistenceRoutinesTest, PrimitivesWrittenAndReadBack) {
  KelStreamDefinition stream;
  EXPECT_EQ(R::WriteInt(stream, 0x01020304), MKStatusSuccess);
  EXPECT_EQ(R::WriteUnicodeChar(stream, 0x20AC), MKStatusSuccess);
  EXPECT_EQ(R::WriteString(stream, KelUnicodeString("\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E")),
            MKStatusSuccess);
  EXPECT_EQ(R::WriteString(stream, KelString("")), MKStatusSuccess);
  const std::string bytes("\x01\x02\x03\x04\x20\xAC\0\0\0\3\0\xE9\x20\xAC\xD1\x1E\0\0\0\0", 20);
  EXPECT_EQ(mktest::BytesOf(stream), bytes);
  stream = mktest::StreamOf(bytes + Bytes().Double(-0.5).data);
  int i = 0;
  unsigned short c = 0;
  KelUnicodeString wide("junk");
  KelString empty("junk");
  double d = 0;
  EXPECT_EQ(R::ReadInt(stream, i), MKStatusSuccess);
  EXPECT_EQ(i, 0x01020304);
  EXPECT_EQ(R::ReadUnicodeChar(stream, c), MKStatusSuccess);
  EXPECT_EQ(c, 0x20AC);
  EXPECT_EQ(R::ReadString(stream, wide), MKStatusSuccess);
  EXPECT_EQ(wide.GetLengthInChar(), 3);
  EXPECT_EQ(R::ReadString(stream, empty), MKStatusSuccess);
  EXPECT_EQ(empty.Length(), 0);
  EXPECT_EQ(R::ReadDouble(stream, d), MKStatusSuccess);
  EXPECT_EQ(d, -0.5);
  EXPECT_EQ(R::ReadInt(stream, i), MKStatusFailure);
  EXPECT_EQ(R::ReadDouble(stream, d), MKStatusFailure);
  EXPECT_EQ(R::ReadUnicodeChar(stream, c), MKStatusFailure);

  KelStreamDefinition shortInt = mktest::StreamOf(std::string("\x00\x01\x02", 3));
  i = 7;
  EXPECT_NE(R::ReadInt(shortInt, i), MKStatusSuccess);
  EXPECT_EQ(i, 7);
  EXPECT_EQ(shortInt.GetCurrentPosition(), 0);  // a failed read leaves the position
  shortInt.Advance(1);
  EXPECT_NE(R::ReadInt(shortInt, i), MKStatusSuccess);
  EXPECT_EQ(shortInt.GetCurrentPosition(), 1);
}

TEST(MKPersistenceRoutinesTest, StringLengthLimits) {
  const int limit = 1048576;
  Bytes atLimit;
  atLimit.Int(limit);
  for (int i = 0; i < limit; ++i) atLimit.data.append("\0a", 2);
  atLimit.data[atLimit.data.size() - 1] = 'z';
  KelStreamDefinition stream = mktest::StreamOf(atLimit.data);
  KelUnicodeString text;
  EXPECT_EQ(R::ReadString(stream, text), MKStatusSuccess);
  EXPECT_EQ(text.GetLengthInChar(), limit);
  EXPECT_EQ(text[0], L'a');
  EXPECT_EQ(text[limit - 1], L'z');

  atLimit.data.replace(0, 4, Bytes().Int(limit + 1).data);
  atLimit.data.append(2, 'z');
  KelStreamDefinition over = mktest::StreamOf(atLimit.data);
  text = "previous";
  EXPECT_EQ(R::ReadString(over, text), MKStatusStreamContent);
  EXPECT_EQ(text.GetLengthInChar(), 0);

  for (int bad : {-1, -2147483647 - 1, 2147483647}) {
    KelStreamDefinition s = mktest::StreamOf(Bytes().Int(bad).Char16('a').data);
    text = "previous";
    EXPECT_EQ(R::ReadString(s, text), MKStatusStreamContent) << bad;
    EXPECT_EQ(text.GetLengthInChar(), 0);
  }
  // A count that the stream cannot hold fails without waiting for a huge read.
  KelStreamDefinition cut = mktest::StreamOf(Bytes().Int(1000000).Char16('a').data);
  KelString narrow("previous");
  EXPECT_NE(R::ReadString(cut, narrow), MKStatusSuccess);
  EXPECT_EQ(narrow.Length(), 0);
}

TEST(MKManikinPartStreamTest, OptionalMemo) {
  const std::string memo = mktest::MemoRecord("note", "0001", 12);
  struct Case {
    std::string bytes;
    MKStatusCode status;
    bool memo;
  };
  const Case cases[] = {
      {Bytes().Int(0).data, MKStatusSuccess, false},
      {Bytes().Int(1).Raw(memo).data, MKStatusSuccess, true},
      {Bytes().Int(2).Raw(memo).data, MKStatusStreamContent, false},
      {Bytes().Int(-1).data, MKStatusStreamContent, false},
      {Bytes().Int(1).Raw(Record("0026", 2.01, Bytes().Stamp(1).data)).data, MKStatusStreamContent,
       false},
      // A memo newer than the reader is skipped over.
      {Bytes().Int(1).Raw(Record("0013", 2.5, Bytes().Stamp(1).Text("x").Text("0001").data)).data,
       MKStatusSuccess, false},
  };
  for (const Case& c : cases) {
    KelStreamDefinition stream = mktest::StreamOf(c.bytes);
    MKManikinPart* read = MKMemo::Create();  // released by ReadMemo
    EXPECT_EQ(MKManikinPart::ReadMemo(stream, read), c.status);
    EXPECT_EQ(read != nullptr, c.memo);
    if (c.status == MKStatusSuccess) {
      EXPECT_EQ(stream.GetCurrentPosition(), static_cast<long>(c.bytes.size()));
    }
    if (!read) continue;
    const auto* m = static_cast<const MKMemo*>(read);
    EXPECT_EQ(TextOf(m), "note");
    EXPECT_EQ(m->GetPartIDOfOwner(), MKPartManikinID);
    EXPECT_EQ(m->GetTimeStamp(), 12);
    EXPECT_EQ(m->IsLoadedFromLibrary(), 1);
    read->Destroy();
  }
}

// A container of `kind` with the children its reader accepts: a memo, and
// a frame for a posture.
MKManikinPart MakeContainer(MKPartID kind) {
  MKManikinPart part(kind, kind == MKPartPostureID ? 2.03 : 2.01);
  if (kind == MKPartPostureID) {
    MKManikinPartFrame frame;
    frame.SetReferential(0, 4);
    frame.SetReferentialPosition(0, MK3DVertex(1.5, -2.5, 3.25));
    frame.SetPositionContext(2);
    part.AddPart(&frame);
  }
  const MKMemo memo = Memo("memo \xC3\xA9 of a container", MKPartJointLimitsID);
  part.AddPart(&memo);
  return part;
}

class ContainerRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(ContainerRoundTrip, ReadsBackEqualAndRewritesTheSameBytes) {
  const auto kind = static_cast<MKPartID>(GetParam());
  MKManikinPart original = MakeContainer(kind);
  MKStatus status;
  const std::string bytes = mktest::Written(original, &status);
  ASSERT_EQ(status, MKStatusSuccess);
  ASSERT_EQ(bytes.size(), 22u + original.GetSize());
  EXPECT_NE(original.GetTimeStamp(), 0);

  PartPtr read;
  if (kind == MKPartAnthroDBReferenceID) {
    // Not a kind that ReadFromStream offers; read as its owner would.
    read.reset(new MKManikinPart(kind, 2.02));
    KelStreamDefinition stream = mktest::StreamOf(bytes);
    ASSERT_TRUE(stream.Advance(17));
    ASSERT_EQ(read->Read(stream), MKStatusSuccess);
    EXPECT_EQ(stream.GetCurrentPosition(), static_cast<long>(bytes.size()));
  } else {
    read = mktest::ReadPart(bytes, &status);
    ASSERT_EQ(status, MKStatusSuccess);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->IsLoadedFromLibrary(), 1);
  }
  // Read back, the part and its children hold what was written, stamps included.
  EXPECT_EQ(read->GetPartID(), kind);
  EXPECT_EQ(read->GetTimeStamp(), original.GetTimeStamp());
  EXPECT_EQ(read->GetNumberOfChildrenParts(), original.GetNumberOfChildrenParts());
  EXPECT_EQ(mktest::Written(*read), bytes);
}

INSTANTIATE_TEST_SUITE_P(AllContainerKinds, ContainerRoundTrip,
                         ::testing::Values(5, 6, 8, 10, 12, 26, 27, 28, 29, 30, 31, 32));

TEST(MKManikinPartStreamTest, OldRecordsWithoutTimeStamps) {
  MKStatus status;
  const std::string oldPosture = Record("0005", 1.5, mktest::MemoRecord("old", "0000", 3));
  PartPtr posture = mktest::ReadPart(oldPosture, &status);
  EXPECT_EQ(status, MKStatusSuccess);
  ASSERT_NE(posture, nullptr);
  EXPECT_EQ(posture->GetVersion(), 1.5);  // a posture takes the record's version
  EXPECT_EQ(posture->GetTimeStamp(), 0);
  // ... and is written as it was read, without a time stamp, so that it reads back.
  EXPECT_EQ(mktest::Written(*posture), oldPosture);

  PartPtr angles = mktest::ReadPart(Record("0006", 1.0, ""), &status);
  EXPECT_EQ(status, MKStatusSuccess);
  ASSERT_NE(angles, nullptr);
  EXPECT_EQ(angles->GetVersion(), 2.01);

  MKManikinPart anthroReference(MKPartAnthroDBReferenceID, 2.02);
  KelStreamDefinition stream =
      mktest::StreamOf(Record("0012", 2.01, mktest::MemoRecord("uuid", "0000", 9)));
  ASSERT_TRUE(stream.Advance(17));
  EXPECT_EQ(anthroReference.Read(stream), MKStatusSuccess);
  EXPECT_EQ(anthroReference.GetTimeStamp(), 0);
  EXPECT_EQ(anthroReference.GetNumberOfChildrenParts(), 1u);
}

// Children newer than their reader are skipped, and memos merge into one.
TEST(MKManikinPartStreamTest, ChildrenNewerThanTheirReaderAreSkipped) {
  const std::string newerMemo = Record("0013", 2.5, Bytes().Stamp(1).Text("new").Text("0000").data);
  const std::string newerFrame = Record("0025", 2.4, std::string(600, '\x01'));
  const std::string body = Bytes()
                               .Stamp(5)
                               .Raw(newerMemo)
                               .Raw(newerFrame)
                               .Raw(mktest::MemoRecord("merged", "0001", 1))
                               .Raw(mktest::MemoRecord("kept", "0000", 1))
                               .data;
  MKStatus status;
  PartPtr posture = mktest::ReadPart(Record("0005", 2.03, body), &status);
  EXPECT_EQ(status, MKStatusSuccess);
  ASSERT_NE(posture, nullptr);
  ASSERT_EQ(posture->GetNumberOfChildrenParts(), 1u);
  EXPECT_EQ(TextOf(posture->GetChild(1)), "kept");
}

TEST(MKMemoTest, RecordIsByteExact) {
  // Text "Hi é" (the é as one 16-bit character), owner joint limits.
  const std::string record = mktest::MemoRecord("Hi \xE9", "0008", 0x01020304);
  MKStatus status;
  PartPtr part = mktest::ReadPart(record, &status);
  ASSERT_EQ(status, MKStatusSuccess);
  ASSERT_NE(part, nullptr);
  ASSERT_EQ(part->GetPartID(), MKPartMemoID);
  const auto* memo = static_cast<const MKMemo*>(part.get());
  EXPECT_EQ(TextOf(memo), "Hi \xC3\xA9");
  EXPECT_EQ(memo->GetPartIDOfOwner(), MKPartJointLimitsID);
  EXPECT_EQ(memo->GetTimeStamp(), 0x01020304);
  EXPECT_EQ(memo->IsLoadedFromLibrary(), 1);
  EXPECT_EQ(memo->GetSize(), static_cast<unsigned int>(record.size() - 22));
  EXPECT_EQ(mktest::Written(*part), record);
}

// A frame record body: frame elements 0.5 * (i + 1), `count` referentials
// 10 + i at (i, 2i, 3i), then the context when given.
std::string FrameBody(int count, bool context, std::int32_t stamp) {
  Bytes body;
  body.Stamp(stamp);
  for (int i = 0; i < 16; ++i) body.Double(0.5 * (i + 1));
  for (int i = 0; i < count; ++i) body.Int(10 + i);
  for (int i = 0; i < count; ++i) body.Double(i).Double(2.0 * i).Double(3.0 * i);
  if (context) body.Int(77);
  return body.data;
}

// The current record is byte exact; older ones hold fewer referentials and
// no context, and leave the rest as it was.
TEST(MKManikinPartFrameTest, RecordsOfEachVersion) {
  const std::string record = Record("0025", 2.3, FrameBody(15, true, 99));
  ASSERT_EQ(record.size(), 22u + 560u);
  PartPtr part = mktest::ReadPart(record);
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->IsLoadedFromLibrary(), 1);
  EXPECT_EQ(mktest::Written(*part), record);
  struct Case {
    double version;
    int count;
    bool context;
  };
  for (const Case& c :
       {Case{2.0, 0, false}, Case{2.1, 1, false}, Case{2.2, 15, false}, Case{2.3, 15, true}}) {
    KelStreamDefinition stream =
        mktest::StreamOf(Record("0025", c.version, FrameBody(c.count, c.context, 3)));
    ASSERT_TRUE(stream.Advance(17));
    MKManikinPartFrame frame;
    frame.SetPositionContext(42);
    frame.SetReferential(5, 5);
    ASSERT_EQ(frame.Read(stream), MKStatusSuccess) << c.version;
    EXPECT_EQ((*frame.GetFrame())(0, 1), 1.0);  // row by row
    EXPECT_EQ((*frame.GetFrame())(1, 0), 2.5);
    EXPECT_EQ((*frame.GetFrame())(3, 3), 8.0);
    for (int i = 0; i < 15; ++i) {
      EXPECT_EQ(frame.GetReferential(i), i < c.count ? 10 + i : -1) << c.version << " " << i;
      const double y = frame.GetReferentialPosition(i).y;
      EXPECT_TRUE(i < c.count ? y == 2.0 * i : std::isnan(y)) << c.version << " " << i;
    }
    EXPECT_EQ(frame.GetPositionContext(), c.context ? 77 : 42) << c.version;
    EXPECT_EQ(frame.GetTimeStamp(), 3);
  }
}

TEST(MKManikinPartFrameTest, AFailedReadChangesNothing) {
  const std::string record = Record("0025", 2.3, FrameBody(15, true, 99));
  KelStreamDefinition stream = mktest::StreamOf(record.substr(0, record.size() - 9));
  ASSERT_TRUE(stream.Advance(17));
  MKManikinPartFrame frame;
  frame.SetReferential(0, 5);
  frame.SetPositionContext(6);
  frame.SetReferential(15, 8);  // beyond the 15 referentials: ignored
  frame.SetReferentialPosition(15, MK3DVertex(1, 1, 1));
  EXPECT_NE(frame.Read(stream), MKStatusSuccess);
  EXPECT_EQ(frame.GetReferential(0), 5);
  EXPECT_EQ(frame.GetPositionContext(), 6);
  EXPECT_EQ((*frame.GetFrame())(0, 0), 0.0);
  EXPECT_EQ(frame.GetTimeStamp(), 0);
  for (unsigned int i = 1; i < 15; ++i) {
    EXPECT_EQ(frame.GetReferential(i), -1);
    EXPECT_TRUE(std::isnan(frame.GetReferentialPosition(i).z));
  }
}

}  // namespace
