// Hostile vision records and far looks: every search ends after a bounded
// number of looks, and values no eye can hold are refused.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "../manikin/MKManikinTestSupport.h"
#include "parts/MKStreamTestSupport.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

namespace {

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

// A vision record found by fuzzing: focal distance 1.7e29, a NaN eye angle
// and a proximum of -6.4e211. Pasted, it once searched without end.
const char* const kEndlessSearchRecord =
    "30303135424000cccccccccccd0000008400000000000000014600ffffffffffffbfcacee9f37bebe8800000"
    "0000000000bfcacee9f37bebe88000000000000000bfcacee90001403dffffffffffffbfcacee9f37bebe880"
    "00000000000000bfcacee9f37bebe8800000000000405e00faffffffff3f4180000000000040418000000000"
    "00401800000000000000000000000000003030313545";

// Runs `work`, aborting the test program when it has not returned within
// 30 s, so that a search without end fails instead of hanging the suite.
template <typename Work>
void Bounded(const char* what, Work work) {
  std::promise<void> done;
  std::future<void> finished = done.get_future();
  std::thread guard([&finished, what] {
    if (finished.wait_for(std::chrono::seconds(30)) == std::future_status::ready) return;
    std::fprintf(stderr, "%s did not return\n", what);
    std::abort();
  });
  work();
  done.set_value();
  guard.join();
}

// The fields of a written vision record, by offset: tag, version, length,
// child count (0), convergence, then the doubles.
constexpr std::size_t kFocalAt = 5 + 8 + 4 + 4 + 4;
constexpr std::size_t kSideAnglesAt = kFocalAt + 8;
constexpr std::size_t kProximumAt = kSideAnglesAt + 6 * 8 + 4;
constexpr std::size_t kFieldAnglesAt = kProximumAt + 2 * 8;

std::string WithDouble(std::string bytes, std::size_t at, double value) {
  return bytes.replace(at, 8, mktest::Bytes().Double(value).data);
}

}  // namespace

TEST(MKVisionBounds, EndlessSearchRecordIsRefusedQuickly) {
  mktest::Manikin manikin = mktest::Make(1, 50.0);
  MKVision* vision = manikin->GetVision();
  const double focal = vision->GetFocalDistance();

  MKStatus status;
  mktest::PartPtr part;
  Bounded("reading and pasting the record", [&] {
    part = mktest::ReadPart(FromHex(kEndlessSearchRecord), &status);
    if (part) manikin->PasteFrom(part.get(), 1);
  });
  EXPECT_EQ(status, MKStatusStreamContent);
  EXPECT_EQ(part, nullptr);
  EXPECT_EQ(vision->GetFocalDistance(), focal);
}

TEST(MKVisionBounds, FarthestAcceptedRecordPastesQuickly) {
  // The farthest values a record may hold: the slowest paste that is not refused.
  MKVision source;
  std::string bytes = mktest::Written(source);
  bytes = WithDouble(bytes, kFocalAt, 1.0e8);
  bytes = WithDouble(bytes, kProximumAt, 1.0e8);
  mktest::Manikin manikin = mktest::Make(1, 50.0);

  mktest::PartPtr part = mktest::ReadPart(bytes);
  ASSERT_TRUE(part);
  Bounded("pasting the farthest record",
          [&] { EXPECT_EQ(manikin->PasteFrom(part.get(), 1), MKStatusSuccess); });
  EXPECT_EQ(manikin->GetVision()->GetPonctumProximum(), 1.0e8);
  EXPECT_NEAR(manikin->GetVision()->GetFocalDistance(), 1.0e8, 1.0);
}

TEST(MKVisionBounds, RecordsRefuseValuesNoEyeCanHold) {
  MKVision source;
  const std::string good = mktest::Written(source);
  ASSERT_EQ(mktest::ReadPart(good)->GetPartID(), MKPartVisionID);
  ASSERT_EQ(mktest::DoubleAt(good, kFocalAt), 30.0);
  ASSERT_EQ(mktest::DoubleAt(good, kProximumAt), 5.0);

  const double nan = std::nan(""), inf = INFINITY;
  struct Case {
    std::size_t at;
    double value;
    bool accepted;
  };
  const Case cases[] = {
      {kFocalAt, inf, true},
      {kFocalAt, 1.0e8, true},
      {kFocalAt, 1.0e16, false},
      {kFocalAt, nan, false},
      {kFocalAt, -1.0, false},
      {kFocalAt, -inf, false},
      {kSideAnglesAt, nan, false},
      {kSideAnglesAt + 40, inf, false},
      {kSideAnglesAt + 8, 4.0, false},
      {kSideAnglesAt + 8, -3.0, true},
      {kSideAnglesAt + 16, -3.5, false},
      {kProximumAt, inf, false},
      {kProximumAt, -0.5, false},
      {kProximumAt, 0.0, true},
      {kProximumAt + 8, 1.0e300, false},
      {kProximumAt + 8, nan, false},
      {kFieldAnglesAt, nan, false},
      {kFieldAnglesAt + 32, nan, false},
      {kFieldAnglesAt, inf, true},
  };
  for (const Case& c : cases) {
    MKStatus status;
    mktest::PartPtr part = mktest::ReadPart(WithDouble(good, c.at, c.value), &status);
    EXPECT_EQ(part != nullptr, c.accepted) << c.at << " " << c.value;
    if (!c.accepted) {
      EXPECT_EQ(status, MKStatusStreamContent) << c.at << " " << c.value;
    }
  }
  // Infinite field angles are clamped by the setters.
  mktest::PartPtr clamped = mktest::ReadPart(WithDouble(good, kFieldAnglesAt, inf));
  ASSERT_TRUE(clamped);
  EXPECT_EQ(static_cast<MKVision*>(clamped.get())->GetBinocularAngle(),
            static_cast<MKVision*>(clamped.get())->GetAmbinocularAngle());

  // A refused record leaves the receiving vision as it was.
  MKVision read;
  KelStreamDefinition stream = mktest::StreamOf(WithDouble(good, kProximumAt, nan));
  stream.Advance(5 + 8 + 4);
  EXPECT_EQ(read.Read(stream), MKStatusStreamContent);
  EXPECT_EQ(mktest::Written(read), good);
}

TEST(MKVisionBounds, NearestFocusDoesNotDependOnHowFarTheEyesLook) {
  mktest::Manikin manikin = mktest::Make(1, 50.0);
  MKVision* vision = manikin->GetVision();
  ASSERT_EQ(vision->SetPonctumRemotum(INFINITY), MKStatusSuccess);
  ASSERT_EQ(vision->LookAt(100.0, -0.1, 0.05), MKStatusSuccess);
  const double nearest = vision->GetMinPonctumProximum();
  EXPECT_GT(nearest, 0.01);
  EXPECT_LT(nearest, 0.011);

  // From 1 m to distances where a step of 1 no longer moves the focus; the
  // eyes look back where they were.
  for (double distance : {1.0e3, 1.0e5, 1.0e7, 1.0e12, 1.0e16}) {
    ASSERT_EQ(vision->LookAt(distance, -0.1, 0.05), MKStatusSuccess) << distance;
    Bounded("the nearest-focus search",
            [&] { EXPECT_NEAR(vision->GetMinPonctumProximum(), nearest, 1e-6) << distance; });
    EXPECT_EQ(vision->SetPonctumProximum(10.0), MKStatusSuccess) << distance;
    EXPECT_NEAR(vision->GetCentralLineOfSight()->GetLength(), distance, distance * 1e-9);
    EXPECT_NEAR(vision->GetVerticalAngle(), -0.1, 1e-9) << distance;
  }
}

TEST(MKVisionBounds, AccommodationSearchesEndAtHugeLimits) {
  mktest::Manikin manikin = mktest::Make(1, 50.0);
  MKVision* vision = manikin->GetVision();
  // Limits where a step of a hundredth no longer moves the focus.
  Bounded("the accommodation searches", [vision] {
    vision->SetPonctumProximum(1.0e17);
    EXPECT_EQ(vision->GetPonctumProximum(), 1.0e17);
    EXPECT_EQ(vision->SetFocalDistance(50.0).GetCode(), 900);
    EXPECT_EQ(vision->GetPonctumProximum(), 1.0e17);
    EXPECT_EQ(vision->SetPonctumProximum(5.0), MKStatusSuccess);
    vision->SetPonctumRemotum(3.0e16);
    EXPECT_EQ(vision->GetPonctumRemotum(), 3.0e16);
    EXPECT_EQ(vision->SetFocalDistance(1.0e17).GetCode(), 902);
    EXPECT_EQ(vision->GetPonctumRemotum(), 3.0e16);
  });
}
