// mkmanikin lift, push, pull, carry and snook-check: the limits printed are
// the library's; missing table cells are reported; the validator finds
// altered known rows and values rising the wrong way.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "ToolRunner.h"
#include "manikin/MKManikinTestSupport.h"
#include "mkmanikin.h"

namespace {

using mktooltest::RunTool;
using mktooltest::ScratchDirectory;
using mktooltest::Slurp;

std::string DataFile() {
  std::string path = __FILE__;
  path.erase(path.find_last_of('/') + 1);
  return path + "../../data/snook-ciriello-1991.csv";
}

TEST(HandlingCommand, LiftPrintsTheLibrarysLimits) {
  const auto run = RunTool({"lift", "--sex", "female", "--origin-posture", "standing",
                            "--destination-posture", "arms-forward", "--load", "8", "--frequency",
                            "2", "--duration", "2", "--coupling", "fair", "--format", "json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);

  auto manikin = mktest::Make(0, 50);
  MKBody* body = manikin->GetBody();
  body->SetPosture(MKPostureStanding);
  MKManikinPart* origin = manikin->ExtractPart(MKPartPostureID, 0, nullptr);
  body->SetPosture(static_cast<MKPostureSpec>(3));
  MKManikinPart* destination = manikin->ExtractPart(MKPartPostureID, 0, nullptr);
  MKAnalysisResults r;
  const MKFrame floor;
  EXPECT_EQ(MKAnalysis::PerformLiftLowerAnalysis(
                manikin.get(), origin, destination, MKAnalysis::MKNIOSH1991,
                MKAnalysis::MKCouplingFair, 2.0 / 60, 2, 8, 75, floor, floor, r),
            MKStatusSuccess);
  EXPECT_DOUBLE_EQ(json["NIOSH 1991"]["RWL destination (kg)"].get<double>(), r.rwlDestination);
  EXPECT_DOUBLE_EQ(json["NIOSH 1991"]["LI origin"].get<double>(), r.liOrigin);
  EXPECT_NE(json["NIOSH 1991"]["lifting index"].get<std::string>().find("index"),
            std::string::npos);
  EXPECT_EQ(MKAnalysis::PerformLiftLowerAnalysis(
                manikin.get(), origin, destination, MKAnalysis::MKLibertyMutual2021,
                MKAnalysis::MKCouplingFair, 2.0 / 60, 2, 8, 75, floor, floor, r),
            MKStatusSuccess);
  EXPECT_DOUBLE_EQ(json["Liberty Mutual 2021"]["acceptable weight (N)"].get<double>(),
                   r.liftLowerWeight);
  EXPECT_NE(
      json["Snook and Ciriello 1991"]["missing"].get<std::string>().find("snook-ciriello-1991.csv"),
      std::string::npos);
  EXPECT_TRUE(json["Snook and Ciriello 1991"]["acceptable weight (N)"].is_null());
  origin->Destroy();
  destination->Destroy();
}

TEST(HandlingCommand, PushPullCarry) {
  const auto push = RunTool({"push", "--sex", "male", "--format", "csv"});
  ASSERT_EQ(push.exitCode, 0) << push.err;
  EXPECT_EQ(push.out.rfind("method,quantity,value,unit\n", 0), 0u);
  EXPECT_NE(push.out.find("Liberty Mutual 2021,initial force,"), std::string::npos);
  const auto pull = RunTool({"pull", "--sex", "female", "--distance", "20", "--percent", "90"});
  ASSERT_EQ(pull.exitCode, 0) << pull.err;
  EXPECT_NE(pull.out.find("(status 206)"), std::string::npos) << pull.out;
  const auto carry = RunTool({"carry", "--sex", "male", "--percent", "33"});
  ASSERT_EQ(carry.exitCode, 0) << carry.err;
  EXPECT_NE(carry.out.find("(status 205)"), std::string::npos) << carry.out;
  EXPECT_EQ(RunTool({"carry", "--sex", "male", "--frequency", "-1"}).exitCode, 2);
}

// A reach is the posture mkmanikin reach writes for the same targets; one out
// of reach stops the command with nothing written.
TEST(HandlingCommand, ReachesAreThePosturesReachWrites) {
  ScratchDirectory scratch;
  const std::string origin = "0,0,40", destination = "0,60,30";
  for (const std::string& at : {origin, destination})
    ASSERT_EQ(RunTool({"reach", "--sex", "female", "--right", at, "--left", at, "-o",
                       (scratch / at).string()})
                  .exitCode,
              0);
  const auto byFile =
      RunTool({"lift", "--sex", "female", "--origin-file", (scratch / origin).string(),
               "--destination-file", (scratch / destination).string(), "--format", "json"});
  const auto byReach = RunTool({"lift", "--sex", "female", "--origin-reach", origin,
                                "--destination-reach", destination, "--format", "json"});
  ASSERT_EQ(byReach.exitCode, 0) << byReach.err;
  const auto expected = nlohmann::json::parse(byFile.out), got = nlohmann::json::parse(byReach.out);
  ASSERT_EQ(got.size(), expected.size());
  for (const auto& [method, rows] : expected.items())
    for (const auto& [quantity, value] : rows.items()) {
      if (value.is_number())  // the file holds degrees: a few last bits may differ
        EXPECT_NEAR(got[method][quantity].get<double>(), value.get<double>(),
                    1e-9 * (1 + std::fabs(value.get<double>())))
            << method << " " << quantity;
      else
        EXPECT_EQ(got[method][quantity], value) << method << " " << quantity;
    }
  std::ofstream(scratch / "task.json") << R"({"right": {"position": [0, 0, 40]},
                                              "left": {"position": [0, 0, 40]}})";
  EXPECT_EQ(RunTool({"carry", "--sex", "male", "--task", (scratch / "task.json").string()}).out,
            RunTool({"carry", "--sex", "male", "--reach", origin}).out);

  const auto unreached = RunTool(
      {"push", "--sex", "male", "--reach", "0,-20,40", "-o", (scratch / "push.txt").string()});
  EXPECT_EQ(unreached.exitCode, 1);
  EXPECT_NE(unreached.err.find("--reach 0,-20,40: not reached"), std::string::npos)
      << unreached.err;
  EXPECT_NE(unreached.err.find("1300"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(scratch / "push.txt"));
  EXPECT_EQ(
      RunTool({"lift", "--sex", "male", "--origin-reach", origin, "--origin-posture", "standing"})
          .exitCode,
      2);
}

TEST(HandlingCommand, SnookCheck) {
  const auto shipped = RunTool({"snook-check", DataFile()});
  EXPECT_EQ(shipped.exitCode, 0) << shipped.out << shipped.err;
  EXPECT_NE(shipped.out.find("6810 of 6840 cells missing"), std::string::npos) << shipped.out;

  const std::string text = Slurp(DataFile());
  ScratchDirectory scratch;
  const auto check = [&](const std::string& from, const std::string& to) {
    std::string altered = text;
    const auto at = altered.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    altered.replace(at, from.size(), to);
    std::ofstream(scratch / "t.csv") << altered;
    return RunTool({"snook-check", (scratch / "t.csv").string()});
  };
  auto run = check("male_lift,0,10,10,,,90,5,22\n", "male_lift,0,10,10,,,90,5,23\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("the paper gives 22"), std::string::npos) << run.out;
  run = check("male_lift,0,10,10,,,90,9,26\n", "male_lift,0,10,10,,,90,9,20\n");
  EXPECT_NE(run.out.find("falls as the period rises"), std::string::npos) << run.out;
  run = check("male_lift,0,10,20,,,90,5,NA\n", "male_lift,0,10,20,,,90,5,30\n");
  EXPECT_NE(run.out.find("rises as the travel D rises"), std::string::npos) << run.out;
  run = check("male_lift,0,10,20,,,90,5,NA\n", "");
  EXPECT_NE(run.out.find("1 cells have no row"), std::string::npos) << run.out;
  EXPECT_EQ(RunTool({"snook-check", (scratch / "none.csv").string()}).exitCode, 1);
}

}  // namespace
