// Damaged and hostile records, and library files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "parts/MKManikinPart.h"
#include "parts/MKManikinPartFrame.h"
#include "parts/MKMemo.h"
#include "parts/MKStreamTestSupport.h"

namespace {

using mktest::Bytes;
using mktest::PartPtr;
using mktest::Record;

std::string FrameRecord(std::int32_t stamp) {
  Bytes body;
  body.Stamp(stamp);
  for (int i = 0; i < 16; ++i) body.Double(i);
  for (int i = 0; i < 15; ++i) body.Int(i);
  for (int i = 0; i < 45; ++i) body.Double(-i);
  body.Int(1);
  return Record("0025", 2.3, body.data);
}

std::string PostureRecord(double version = 2.03) {
  return Record("0005", version,
                Bytes()
                    .Stamp(11)
                    .Raw(FrameRecord(12))
                    .Raw(mktest::MemoRecord("posture memo", "0005", 13))
                    .data);
}

std::string AnglesRecord(const char* text) {
  return Record("0006", 2.01, Bytes().Stamp(21).Raw(mktest::MemoRecord(text, "0006", 22)).data);
}

TEST(MKManikinPartHostileTest, EveryTruncationFailsCleanly) {
  const std::string records[] = {
      mktest::MemoRecord("a memo", "0001", 1),
      FrameRecord(2),
      PostureRecord(),
      AnglesRecord("zones"),
      Record("0026", 2.01, Bytes().Stamp(3).Raw(mktest::MemoRecord("", "0000", 4)).data),
      Record("0008", 2.01, Bytes().Stamp(5).data),
  };
  for (const std::string& record : records) {
    MKStatus status;
    ASSERT_NE(mktest::ReadPart(record, &status), nullptr) << record.substr(0, 5);
    for (std::size_t size = 0; size < record.size(); ++size) {
      PartPtr part = mktest::ReadPart(record.substr(0, size), &status);
      EXPECT_NE(status, MKStatusSuccess) << record.substr(0, 5) << " cut at " << size;
      EXPECT_EQ(part, nullptr) << record.substr(0, 5) << " cut at " << size;
    }
  }
}

TEST(MKManikinPartHostileTest, BadLengths) {
  MKStatus status;
  // Negative record length.
  EXPECT_EQ(mktest::ReadPart(Record("0005", 2.03, Bytes().Stamp(1).data, -100), &status), nullptr);
  EXPECT_EQ(status, MKStatusStreamContent);
  EXPECT_EQ(mktest::ReadPart(Bytes().Raw("0005B").Double(2.03).Int(-1).Stamp(1).Raw("0005E").data,
                             &status),
            nullptr);
  EXPECT_EQ(status, MKStatusStreamContent);
  // Negative length of a child.
  const std::string badChild =
      Record("0013", 2.0, Bytes().Stamp(1).Text("x").Text("0000").data, -1000);
  EXPECT_EQ(mktest::ReadPart(Record("0005", 2.03, Bytes().Stamp(1).Raw(badChild).data), &status),
            nullptr);
  EXPECT_EQ(status, MKStatusStreamContent);
  // A huge length on a child that must be skipped runs past the end.
  const std::string newer = Record("0013", 9.0, "", 0x7FFFFFF0);
  EXPECT_EQ(mktest::ReadPart(Record("0006", 2.01, Bytes().Stamp(1).Raw(newer).data), &status),
            nullptr);
  EXPECT_NE(status, MKStatusSuccess);
  // Text counts out of range or beyond the stream.
  for (int count : {-1, 1048577, 0x7FFFFFFF, 100000}) {
    const std::string memo = Record("0013", 2.0, Bytes().Stamp(1).Int(count).Char16('a').data);
    EXPECT_EQ(mktest::ReadPart(memo, &status), nullptr) << count;
    EXPECT_NE(status, MKStatusSuccess) << count;
  }
}

TEST(MKManikinPartHostileTest, WrongTags) {
  const std::string memo = mktest::MemoRecord("m", "0000", 1);
  const std::string memoBody = memo.substr(17, memo.size() - 22);
  const std::string stamp = Bytes().Stamp(1).data;
  const std::string cases[] = {
      // Records that no reader handles.
      Record("0000", 2.01, stamp),
      Record("0002", 2.01, stamp),
      Record("0011", 2.01, memo),
      Record("0019", 2.01, stamp),
      Record("0033", 2.01, stamp),
      // Padded with spaces: read as a three-digit kind.
      Record(" 013", 2.0, memoBody),
      // The "B" is not last.
      Bytes().Raw("00B5B").Double(2.03).Int(8).Raw(stamp).Raw("0005E").data,
      // The end tag of another kind.
      memo.substr(0, memo.size() - 5) + "0005E",
      Record("0005", 2.03, stamp).substr(0, 25) + "0006E",
      Record("0005", 2.03, stamp).substr(0, 25) + "0005B",
      // Children a posture does not take, or that are not begin tags.
      Record("0005", 2.03, stamp + Record("0007", 2.0, stamp)),
      Record("0005", 2.03, stamp + Record("0005", 2.03, stamp)),
      Record("0005", 2.03, stamp + Record("0026", 2.01, stamp)),
      Record("0006", 2.01, stamp + FrameRecord(1)),
      Record("0005", 2.03, stamp + memo.substr(0, 4) + "E" + memo.substr(5)),
      Record("0005", 2.03, stamp + "0B13B" + memo.substr(5)),
  };
  for (const std::string& bytes : cases) {
    MKStatus status;
    EXPECT_EQ(mktest::ReadPart(bytes, &status), nullptr) << bytes.substr(0, 5);
    EXPECT_EQ(status, MKStatusStreamContent) << bytes.substr(0, 5);
  }
}

TEST(MKManikinPartHostileTest, DeeplyNestedRecordsStopAtTheFirstForeignChild) {
  std::string record = Record("0005", 2.03, Bytes().Stamp(1).data);
  for (int depth = 0; depth < 200; ++depth)
    record = Record("0005", 2.03, Bytes().Stamp(1).Raw(record).data);
  MKStatus status;
  EXPECT_EQ(mktest::ReadPart(record, &status), nullptr);
  EXPECT_EQ(status, MKStatusStreamContent);
}

// A library file of the running test, removed at the end of it.
struct LibraryFile {
  explicit LibraryFile(const std::string& bytes)
      : path(::testing::TempDir() +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".lib") {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  ~LibraryFile() { std::remove(path.c_str()); }
  const std::string path;
};

std::string Library(const std::string& records) {
  return Record("0002", 2.01, Bytes().Stamp(100).Raw(records).data);
}

struct Listing {
  MKStatus status;
  KelRawCollPV parts;
  ~Listing() {
    for (int i = 1; i <= parts.Size(); ++i) static_cast<MKManikinPart*>(parts[i])->Destroy();
  }
  MKManikinPart* Part(int i) const { return static_cast<MKManikinPart*>(parts[i]); }
};

void List(const std::string& bytes, Listing& listing) {
  LibraryFile file(bytes);
  listing.status =
      MKManikinPart::GetListOfManikinPartFromLibraryStream(file.path.c_str(), listing.parts);
}

// A library lists its postures, angles and limits, skipping other kinds,
// records newer than the reader and records it cannot read.
TEST(MKManikinPartLibraryTest, ListsPosturesAnglesAndLimits) {
  const std::string stamp = Bytes().Stamp(1).data;
  Listing listing;
  listing.parts.Append(MKManikinPart::Create(MKPartSetID));  // released by the reader
  List(Library(PostureRecord() + mktest::MemoRecord("skipped", "0000", 1) +
               Record("0026", 2.01, stamp) + PostureRecord(2.04) +
               Record("0005", 2.03, stamp + Record("0007", 2.0, stamp)) + AnglesRecord("angles") +
               Record("0008", 2.01, Bytes().Stamp(31).data)),
       listing);
  EXPECT_EQ(listing.status, MKStatusSuccess);
  ASSERT_EQ(listing.parts.Size(), 3);
  EXPECT_EQ(listing.Part(1)->GetPartID(), MKPartPostureID);
  EXPECT_EQ(listing.Part(1)->GetNumberOfChildrenParts(), 2u);
  EXPECT_EQ(listing.Part(1)->GetTimeStamp(), 11);
  EXPECT_EQ(listing.Part(2)->GetPartID(), MKPartPrefAnglesID);
  EXPECT_EQ(listing.Part(2)->GetNumberOfChildrenParts(), 1u);
  EXPECT_EQ(listing.Part(3)->GetPartID(), MKPartJointLimitsID);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(listing.Part(i)->IsLoadedFromLibrary(), 1);
}

// Records whose length lies (read but shorter or longer than announced, or
// skipped beyond the end), files that are no library or hold a stray tag, and
// every truncation of a good library.
TEST(MKManikinPartLibraryTest, LyingTruncatedOrForeignFiles) {
  const std::string stamp = Bytes().Stamp(1).data;
  const std::pair<std::string, MKStatusCode> cases[] = {
      {Library(Record("0008", 2.01, stamp, 4) + std::string(4, '\0') + AnglesRecord("a")),
       MKStatusGeneral},
      {Library(Record("0008", 2.01, stamp, -4) + AnglesRecord("a")), MKStatusGeneral},
      {Library(Record("0026", 2.01, stamp, 1000) + AnglesRecord("a")), MKStatusGeneral},
      {AnglesRecord("a"), MKStatusStreamContent},
      {Library(AnglesRecord("a") + "0006E"), MKStatusStreamContent},
  };
  for (const auto& c : cases) {
    Listing listing;
    List(c.first, listing);
    EXPECT_EQ(listing.status, c.second);
  }
  KelRawCollPV parts;
  EXPECT_EQ(MKManikinPart::GetListOfManikinPartFromLibraryStream("", parts), MKStatusGeneral);
  EXPECT_EQ(MKManikinPart::GetListOfManikinPartFromLibraryStream("/nonexistent/mk/lib.bin", parts),
            MKStatusGeneral);
  EXPECT_EQ(parts.Size(), 0);

  const std::string bytes = Library(AnglesRecord("a") + PostureRecord());
  Listing whole;
  List(bytes, whole);
  ASSERT_EQ(whole.status, MKStatusSuccess);
  ASSERT_EQ(whole.parts.Size(), 2);
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    Listing listing;
    List(bytes.substr(0, size), listing);
    EXPECT_NE(listing.status, MKStatusSuccess) << size;
  }
}

}  // namespace
