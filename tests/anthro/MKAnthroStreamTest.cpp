// Records of an anthropometry, built byte by byte so that the reader and the
// writer are both held to the format, and its paste and extraction.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "anthro/MKAnthro.h"
#include "anthro/MKDBAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "parts/MKFramedRead.h"
#include "parts/MKMemo.h"
#include "parts/MKStreamTestSupport.h"

namespace {

using mktest::Bytes;
using mktest::BytesOf;
using mktest::MemoRecord;
using mktest::ReadFramed;
using mktest::Record;
using mktest::StreamOf;

const char* const kUUID = "9ad832be-4f22-11d3-8048-005004d3fe74";
const double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kCountOfRecords = std::numeric_limits<int>::min();

std::string Reference(const std::string& uuid, double version = 2.02) {
  return Record("0012", version, Bytes().Stamp(1001).data + MemoRecord(uuid, "0000", 1002));
}

std::string VariableRecord(int reference, double value, int type = 1, int carried = 7,
                           const std::string& memo = "") {
  Bytes body;
  body.Stamp(1003).Int(memo.empty() ? 0 : 1).Raw(memo).Int(carried).Int(type).Double(value);
  body.Int(reference);
  return Record("0004", 2.0, body.data);
}

// The fields of an anthropometry record after its memo and reference.
struct Fields {
  int sex = 0, valueType = 0, construction = 2, interpolation = 1;
  double bound = 2.5;
  std::vector<std::string> variables = {VariableRecord(100, 170.0),
                                        VariableRecord(125, 61.5, 1, 0)};
  int count = kCountOfRecords;
};

std::string AnthroRecord(const Fields& f, const std::string& memo = "",
                         const std::string& reference = Reference(kUUID), double version = 2.01) {
  Bytes body;
  if (version >= 2.0) body.Stamp(1000);
  body.Int(memo.empty() ? 0 : 1).Raw(memo);
  body.Int(reference.empty() ? 0 : 1).Raw(reference);
  body.Int(f.sex).Int(f.valueType);
  if (version >= 1.01) body.Int(f.construction);
  body.Int(f.interpolation);
  if (version >= 2.01) body.Double(f.bound);
  body.Int(f.count != kCountOfRecords ? f.count : static_cast<int>(f.variables.size()));
  for (const std::string& v : f.variables) body.Raw(v);
  return Record("0003", version, body.data);
}

std::string WrittenBy(MKAnthro& anthro) {
  KelStreamDefinition stream;
  EXPECT_EQ(anthro.Write(stream), MKStatusSuccess);
  return BytesOf(stream);
}

// Everything a failed read must leave alone.
std::string State(const MKAnthro& anthro) {
  std::string s = std::to_string(anthro.GetSex()) + std::to_string(anthro.GetValueType()) +
                  std::to_string(anthro.GetConstructionType()) +
                  std::to_string(anthro.GetInterpolationMethod()) +
                  std::to_string(anthro.GetLimitBound()) +
                  std::to_string(anthro.GetNumberOfChildrenParts());
  for (unsigned int i = 0; i < anthro.GetNumberOfVariables(); ++i) {
    const MKAnthroVariable* v = anthro.GetVariableAtIndex(i);
    s += "|" + std::to_string(v->GetValue()) + std::to_string(v->GetManagementType()) +
         std::to_string(v->GetCalculatedStdDev());
  }
  return s;
}

TEST(MKAnthroStreamTest, RecordReadAndWrittenBackByteForByte) {
  Fields fields;
  fields.variables[0] = VariableRecord(100, 170.0, 1, 7, MemoRecord("tall", "0004", 1004));
  const std::string record = AnthroRecord(fields, MemoRecord("notes", "0003", 999));
  MKAnthro anthro(nullptr, nullptr, 1);
  ASSERT_EQ(ReadFramed(anthro, record), MKStatusSuccess);

  EXPECT_EQ(anthro.GetSex(), 0);
  EXPECT_EQ(anthro.GetConstructionType(), MKPostureSitting);
  EXPECT_EQ(anthro.GetLimitBound(), 2.5);
  EXPECT_NEAR(anthro.GetPopulationAccommodation(), 98.76, 0.01);
  EXPECT_EQ(anthro.GetTimeStamp(), 1000);
  const MKAnthroVariable* stature = anthro.GetVariable("<STATURE>");
  EXPECT_EQ(stature->GetValue(), 170.0);
  EXPECT_EQ(stature->GetManagementType(), 1);
  EXPECT_EQ(anthro.GetVariable("<WEIGHT>")->GetValue(), 61.5);
  // The rest is predicted from the two.
  EXPECT_GT(anthro.GetVariable("<SPAN>")->GetValue(), anthro.GetVariable("<SPAN>")->GetMean());
  EXPECT_EQ(anthro.GetNumberOfChildrenParts(), 104u);

  EXPECT_EQ(WrittenBy(anthro), record);
  EXPECT_EQ(anthro.GetSize() + 5 + 8 + 4 + 5, record.size());
  // And again through a copy, and through a clone extracted as a part.
  MKAnthro copy(anthro);
  EXPECT_EQ(WrittenBy(copy), record);
  std::unique_ptr<MKManikinPart, mktest::PartDeleter> clone(
      anthro.ExtractPart(MKPartAnthropometryID, 0, nullptr));
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(State(*static_cast<MKAnthro*>(clone.get())), State(anthro));
  EXPECT_EQ(WrittenBy(*static_cast<MKAnthro*>(clone.get())), record);
}

TEST(MKAnthroStreamTest, OlderRecordsAndPercentiles) {
  Fields fields;
  fields.construction = 2;
  MKAnthro anthro(nullptr, nullptr, 1);
  anthro.SetLimitBound(3.0);
  // 2.0: no limit bound; 1.01: no time stamp either; 1.0: no construction type.
  ASSERT_EQ(ReadFramed(anthro, AnthroRecord(fields, "", Reference(kUUID), 2.0)), MKStatusSuccess);
  EXPECT_EQ(anthro.GetLimitBound(), 3.0);
  EXPECT_EQ(anthro.GetConstructionType(), MKPostureSitting);
  MKAnthro older(nullptr, nullptr, 1);
  ASSERT_EQ(ReadFramed(older, AnthroRecord(fields, "", "", 1.01)), MKStatusSuccess);
  EXPECT_EQ(older.GetVariable("<STATURE>")->GetValue(), 170.0);
  MKAnthro oldest(nullptr, nullptr, 1);
  ASSERT_EQ(ReadFramed(oldest, AnthroRecord(fields, "", "", 1.0)), MKStatusSuccess);
  EXPECT_EQ(oldest.GetConstructionType(), MKPostureStanding);

  // Value type 1: the numbers are percentiles; written back as values.
  fields.valueType = 1;
  fields.variables = {VariableRecord(100, 95.0)};
  MKAnthro percentiles(nullptr, nullptr, 0);
  ASSERT_EQ(ReadFramed(percentiles, AnthroRecord(fields)), MKStatusSuccess);
  EXPECT_EQ(percentiles.GetValueType(), 1);
  EXPECT_NEAR(percentiles.GetVariable("<STATURE>")->GetValue(), 162.94 + 1.645 * 6.36, 0.01);
  const std::string written = WrittenBy(percentiles);
  fields.valueType = 0;
  fields.variables = {VariableRecord(100, percentiles.GetVariable("<STATURE>")->GetValue())};
  MKAnthro expected(nullptr, nullptr, 0);
  ASSERT_EQ(ReadFramed(expected, AnthroRecord(fields)), MKStatusSuccess);
  EXPECT_EQ(written.substr(17 + 8), WrittenBy(expected).substr(17 + 8));
}

TEST(MKAnthroStreamTest, NewerPartsInsideAreSkipped) {
  Fields fields;
  fields.variables = {Record("0004", 2.5, "unknown future fields"), VariableRecord(125, 70.0)};
  const std::string newerReference =
      Record("0012", 3.0, Bytes().Stamp(1).data + MemoRecord("elsewhere", "0000", 1));
  MKAnthro anthro(nullptr, nullptr, 1);
  ASSERT_EQ(ReadFramed(anthro, AnthroRecord(fields, "", newerReference)), MKStatusSuccess);
  EXPECT_EQ(anthro.GetVariable("<STATURE>")->GetManagementType(), 0);
  EXPECT_EQ(anthro.GetVariable("<WEIGHT>")->GetValue(), 70.0);
  EXPECT_EQ(anthro.GetDatabase(), MKDatabaseManager::GetInstance()->GetDefaultAnthroDB());
}

TEST(MKAnthroStreamTest, HostileRecordsAreRefusedAndChangeNothing) {
  auto with = [](auto change) {
    Fields f;
    change(f);
    return AnthroRecord(f);
  };
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"sex 2", with([](Fields& f) { f.sex = 2; })},
      {"value type 2", with([](Fields& f) { f.valueType = 2; })},
      {"construction 0", with([](Fields& f) { f.construction = 0; })},
      {"construction 3", with([](Fields& f) { f.construction = 3; })},
      {"interpolation 2", with([](Fields& f) { f.interpolation = 2; })},
      {"bound above 4", with([](Fields& f) { f.bound = 4.5; })},
      {"bound below 0", with([](Fields& f) { f.bound = -0.1; })},
      {"bound NaN", with([](Fields& f) { f.bound = kNaN; })},
      {"negative count", with([](Fields& f) { f.count = -1; })},
      {"count beyond the records", with([](Fields& f) { f.count = 3; })},
      {"management type 2", with([](Fields& f) { f.variables[0] = VariableRecord(100, 170, 2); })},
      {"reference 302", with([](Fields& f) { f.variables[0] = VariableRecord(302, 170); })},
      {"reference -1", with([](Fields& f) { f.variables[0] = VariableRecord(-1, 170); })},
      {"value NaN", with([](Fields& f) { f.variables[0] = VariableRecord(100, kNaN); })},
      {"variable of another kind",
       with([](Fields& f) { f.variables[0] = Record("0005", 2.0, Bytes().Stamp(1).data); })},
      {"variable with two memos", with([](Fields& f) {
         f.variables[0] =
             Record("0004", 2.0, Bytes().Stamp(1).Int(2).Int(0).Int(1).Double(170).Int(100).data);
       })},
      {"percentile above 100", with([](Fields& f) {
         f.valueType = 1;
         f.variables = {VariableRecord(100, 150.0)};
       })},
      {"percentile of an unknown variable", with([](Fields& f) {
         f.valueType = 1;
         f.variables = {VariableRecord(1, 50.0)};
       })},
      {"memo flag 2", Record("0003", 2.01, Bytes().Stamp(1).Int(2).data)},
      {"reference flag 2", Record("0003", 2.01, Bytes().Stamp(1).Int(0).Int(2).data)},
      {"reference of another kind",
       Record("0003", 2.01, Bytes().Stamp(1).Int(0).Int(1).Raw(MemoRecord("x", "0000", 1)).data)},
      {"end tag of another kind",
       AnthroRecord(Fields()).replace(AnthroRecord(Fields()).size() - 5, 5, "0004E")},
  };
  MKAnthro anthro(nullptr, nullptr, 1);
  anthro.GetVariable("<SPAN>")->SetUserValue(190.0);
  anthro.Update();
  const std::string before = State(anthro);
  for (const auto& [name, bytes] : cases) {
    EXPECT_EQ(ReadFramed(anthro, bytes), MKStatusStreamContent) << name;
    EXPECT_EQ(State(anthro), before) << name;
  }

  // A reference to a database nobody has.
  EXPECT_EQ(ReadFramed(anthro, AnthroRecord(Fields(), "", Reference("no-such-database"))),
            MKStatusAnthroDB);
  EXPECT_EQ(State(anthro), before);

  // Every cut of a good record fails cleanly.
  const std::string good = AnthroRecord(Fields(), MemoRecord("m", "0003", 5));
  for (std::size_t cut = 17; cut < good.size(); ++cut) {
    KelStreamDefinition stream = StreamOf(good.substr(0, cut));
    ASSERT_TRUE(stream.Advance(17));
    EXPECT_NE(anthro.Read(stream), MKStatusSuccess) << cut;
  }
  EXPECT_EQ(State(anthro), before);
}

TEST(MKAnthroStreamTest, DatabaseUUIDOfARecord) {
  auto uuidOf = [](const std::string& record, KelString& uuid) {
    KelStreamDefinition stream = StreamOf(record);
    stream.Advance(17);
    return MKAnthro::GetDatabaseUUID(stream, uuid);
  };
  KelString uuid("x");
  EXPECT_EQ(uuidOf(AnthroRecord(Fields(), MemoRecord("m", "0003", 5)), uuid), MKStatusSuccess);
  EXPECT_EQ(std::string(uuid), kUUID);
  EXPECT_EQ(uuidOf(AnthroRecord(Fields(), "", ""), uuid), MKStatusAnthroDB);
  EXPECT_EQ(std::string(uuid), "");
  EXPECT_EQ(uuidOf(Record("0003", 2.01, Bytes().Stamp(1).Int(5).data), uuid),
            MKStatusStreamContent);
  const std::string empty = Record("0012", 2.02, Bytes().Stamp(1).data);
  EXPECT_EQ(uuidOf(AnthroRecord(Fields(), "", empty), uuid), MKStatusAnthroDB);
}

TEST(MKAnthroStreamTest, PasteFromAnotherAnthropometry) {
  MKAnthro target(nullptr, nullptr, 1);
  target.Update();
  EXPECT_EQ(target.PasteFrom(nullptr, 1), MKStatusNothingToPaste);
  MKManikinPart posture(MKPartPostureID, 2.03);
  EXPECT_EQ(target.PasteFrom(&posture, 1), MKStatusPasteKindRefused);

  MKAnthro source(nullptr, nullptr, 0);
  source.SetConstructionType(MKPostureSitting);
  source.SetLimitBound(3.5);
  source.GetVariable("<STATURE>")->SetUserValue(158.0);
  source.GetVariable("<WEIGHT>")->SetUserValue(55.0);
  source.Update();
  MKMemo memo;
  memo.SetText("source notes");
  memo.SetPartIDOfOwner(MKPartAnthropometryID);
  ASSERT_EQ(source.PasteFrom(&memo, 1), MKStatusSuccess);

  ASSERT_EQ(target.PasteFrom(&source, 1), MKStatusSuccess);
  EXPECT_EQ(target.GetSex(), 0);
  EXPECT_EQ(target.GetConstructionType(), MKPostureSitting);
  EXPECT_EQ(target.GetLimitBound(), 3.5);
  EXPECT_EQ(target.GetNumberOfChildrenParts(), 104u);
  for (unsigned int i = 0; i < target.GetNumberOfVariables(); ++i) {
    const MKAnthroVariable* a = target.GetVariableAtIndex(i);
    const MKAnthroVariable* b = source.GetVariableAtIndex(i);
    EXPECT_EQ(a->GetManagementType(), b->GetManagementType()) << a->GetAcronym();
    EXPECT_NEAR(a->GetValue(), b->GetValue(), 1e-9 * b->GetValue()) << a->GetAcronym();
  }
  EXPECT_EQ(target.PasteFrom(&target, 1), MKStatusSuccess);
  EXPECT_EQ(target.GetVariable("<STATURE>")->GetValue(), 158.0);

  // Database references go through the manager.
  std::unique_ptr<MKManikinPart, mktest::PartDeleter> reference(
      target.ExtractPart(MKPartAnthroDBReferenceID, 0, nullptr));
  ASSERT_NE(reference, nullptr);
  EXPECT_EQ(target.PasteFrom(reference.get(), 1), MKStatusSuccess);
  MKManikinPart unknown(MKPartAnthroDBReferenceID, 2.01);
  memo.SetText("no-such-database");
  memo.SetPartIDOfOwner(MKPartDefaultID);
  unknown.PasteFrom(&memo, 1);
  EXPECT_EQ(target.PasteFrom(&unknown, 1), MKStatusAnthroDB);
}

}  // namespace
