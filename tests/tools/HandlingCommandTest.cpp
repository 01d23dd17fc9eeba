// mkmanikin lift, push, pull, carry and snook-check: reaches as postures,
// missing table cells reported, and the validator finding altered known rows
// and values rising the wrong way. That the limits printed are the library's,
// the Python module's tests check.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "ToolRunner.h"

namespace {

using mktooltest::RunTool;
using mktooltest::ScratchDirectory;
using mktooltest::Slurp;

std::string DataFile() {
  std::string path = __FILE__;
  path.erase(path.find_last_of('/') + 1);
  return path + "../../data/snook-ciriello-1991.csv";
}

TEST(HandlingCommand, PushPullCarry) {
  const auto push = RunTool({"push", "--sex", "male", "--format", "csv"});
  ASSERT_EQ(push.exitCode, 0) << push.err;
  EXPECT_EQ(push.out.rfind("method,quantity,value,unit\n", 0), 0u);
  EXPECT_NE(push.out.find("Liberty Mutual 2021,initial force,"), std::string::npos);
  const auto carry = RunTool({"carry", "--sex", "male", "--percent", "33"});
  ASSERT_EQ(carry.exitCode, 0) << carry.err;
  EXPECT_NE(carry.out.find("(status 205)"), std::string::npos) << carry.out;
  EXPECT_EQ(RunTool({"carry", "--sex", "male", "--frequency", "-1"}).exitCode, 2);
}

// A reach is the posture mkmanikin reach writes for the same targets; one out
// of reach stops the command with nothing written.
TEST(HandlingCommand, ReachesAreThePosturesReachWrites) {
  ScratchDirectory scratch;
  // Task files: the postures that reach writes for the same targets.
  const char* const targets[] = {"-12,0,40", "14,0,38", "-15,60,30", "15,60,30"};
  for (int end = 0; end < 2; ++end) {
    const std::string right = targets[2 * end], left = targets[2 * end + 1];
    const std::string name = end ? "destination" : "origin";
    ASSERT_EQ(RunTool({"reach", "--sex", "female", "--right=" + right, "--left=" + left, "-o",
                       (scratch / (name + ".json")).string()})
                  .exitCode,
              0);
    std::ofstream(scratch / (name + "-task.json"))
        << R"({"right": {"position": [)" << right << R"(]}, "left": {"position": [)" << left
        << "]}}";
  }
  const auto byFile =
      RunTool({"lift", "--sex", "female", "--origin-file", (scratch / "origin.json").string(),
               "--destination-file", (scratch / "destination.json").string(), "--format", "json"});
  const auto byTask = RunTool({"lift", "--sex", "female", "--origin-task",
                               (scratch / "origin-task.json").string(), "--destination-task",
                               (scratch / "destination-task.json").string(), "--format", "json"});
  ASSERT_EQ(byTask.exitCode, 0) << byTask.err;
  const auto expected = nlohmann::json::parse(byFile.out), got = nlohmann::json::parse(byTask.out);
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

  // A load held at a point: the hands either side of it, parallel to the
  // hips, so no asymmetry; H and D are the point's own.
  const auto byPoint = RunTool({"lift", "--sex", "male", "--origin-reach", "0,0,40",
                                "--destination-reach", "0,60,30", "--format", "json"});
  ASSERT_EQ(byPoint.exitCode, 0) << byPoint.err;
  const auto niosh = nlohmann::json::parse(byPoint.out)["NIOSH 1991"];
  EXPECT_NEAR(niosh["A origin (degrees)"].get<double>(), 0.0, 1e-6);
  EXPECT_NEAR(niosh["A destination (degrees)"].get<double>(), 0.0, 1e-6);
  EXPECT_NEAR(niosh["H origin (m)"].get<double>(), 0.40, 1e-3);
  EXPECT_NEAR(niosh["H destination (m)"].get<double>(), 0.30, 1e-3);
  EXPECT_NEAR(niosh["D (m)"].get<double>(), 0.60, 1e-3);
  const auto snook = nlohmann::json::parse(byPoint.out)["Snook and Ciriello 1991"];
  EXPECT_NE(snook["missing"].get<std::string>().find("snook-ciriello-1991.csv"), std::string::npos);
  EXPECT_TRUE(snook["acceptable weight (N)"].is_null());

  const auto unreached = RunTool(
      {"push", "--sex", "male", "--reach", "0,-20,40", "-o", (scratch / "push.txt").string()});
  EXPECT_EQ(unreached.exitCode, 1);
  EXPECT_NE(unreached.err.find("--reach 0,-20,40: not reached"), std::string::npos)
      << unreached.err;
  EXPECT_NE(unreached.err.find("1300"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(scratch / "push.txt"));
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
  run = check("male_lift,0,10,20,,,90,5,NA\n", "");
  EXPECT_NE(run.out.find("1 cells have no row"), std::string::npos) << run.out;
  EXPECT_EQ(RunTool({"snook-check", (scratch / "none.csv").string()}).exitCode, 1);
}

}  // namespace
