// mkmanikin reach and envelope: the solved posture puts the hand on the
// target, the outcome is told in words, the two arms' envelopes are closed
// mirrored surfaces, the pictures are written.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "PostureJson.h"
#include "ToolRunner.h"
#include "manikin/MKManikinTestSupport.h"
#include "mkmanikin.h"

namespace {

using mktooltest::RunTool;
using mktooltest::ScratchDirectory;
using mktooltest::Slurp;

// The right hand's end in the posture a reach wrote.
MK3DVertex HandOf(const nlohmann::json& output) {
  mktest::Manikin manikin = mktest::Make(1, 50);
  std::vector<std::string> warnings;
  mkcli::ApplyPostureJson(*manikin, output[mkcli::kPostureKey], "test", warnings);
  return manikin->GetBody()->GetSegment(RSHaCPr)->GetEndPoint(MKGlobalSpace);
}

}  // namespace

TEST(MkmanikinReach, TheHandReachesATargetAndTheFilesAreWritten) {
  ScratchDirectory dir;
  const std::string json = (dir / "reach.json").string(), png = (dir / "reach.png").string();
  const auto run = RunTool({"reach", "--sex", "male", "--right", "20,30,30", "-o", json, "--png",
                            png, "--size", "200x250"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const nlohmann::json output = nlohmann::json::parse(Slurp(json));
  EXPECT_EQ(output["status"], "reached");
  EXPECT_EQ(output["code"], 0);
  const MK3DVertex hand = HandOf(output);
  EXPECT_NEAR(hand.x, 20.0, 0.2);
  EXPECT_NEAR(hand.y, 30.0, 0.2);
  EXPECT_NEAR(hand.z, 30.0, 0.2);
  EXPECT_EQ(Slurp(png).substr(1, 3), "PNG");

  // Out of reach: told, not an error; a task file gives both hands.
  const std::string task = (dir / "task.json").string();
  std::ofstream(task) << R"({"right": {"position": [20, 30, 400]},
                             "left": {"position": [-20, 30, 30], "rotation": [0, 0, 0]}})";
  const auto far = RunTool({"reach", "--sex", "male", "--task", task});
  ASSERT_EQ(far.exitCode, 0) << far.err;
  const nlohmann::json both = nlohmann::json::parse(far.out);
  EXPECT_EQ(both["status"], "not reached");
  EXPECT_EQ(both["code"], 1300);
  EXPECT_EQ(both["targets"]["left"]["rotation"].size(), 3u);
}

TEST(MkmanikinEnvelope, BothArmsGiveMirroredClosedSurfaces) {
  ScratchDirectory dir;
  const int n = 6;
  double mean[2][3] = {};
  for (int s = 0; s < 2; ++s) {
    const std::string side = s ? "left" : "right", obj = (dir / (side + ".obj")).string();
    std::vector<std::string> args = {"envelope",     "--sex", "female", "--side", side,
                                     "--resolution", "6",     "--obj",  obj};
    if (s == 0) args.insert(args.end(), {"--png", (dir / "e.png").string(), "--size", "300x200"});
    const auto run = RunTool(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find(side + " arm: reach "), std::string::npos) << run.out;
    std::istringstream lines(Slurp(obj));
    int vertices = 0, faces = 0;
    for (std::string tag; lines >> tag; lines.ignore(1 << 20, '\n')) {
      faces += tag == "f";
      if (tag != "v") continue;
      ++vertices;
      double x, y, z;
      lines >> x >> y >> z;
      mean[s][0] += x, mean[s][1] += y, mean[s][2] += z;
    }
    // n - 1 rings of n points and the two poles, welded: bands between the
    // rings and a fan at each pole.
    EXPECT_EQ(vertices, n * (n - 1) + 2);
    EXPECT_EQ(faces, 2 * n * (n - 1));
    for (double& m : mean[s]) m /= vertices;
  }
  EXPECT_EQ(Slurp(dir / "e.png").substr(1, 3), "PNG");
  // The manikin is symmetric about its sagittal plane (X = 0).
  EXPECT_NEAR(mean[0][0], -mean[1][0], 1.0);
  EXPECT_GT(std::fabs(mean[0][0]), 10.0);
  EXPECT_NEAR(mean[0][1], mean[1][1], 1.0);
  EXPECT_NEAR(mean[0][2], mean[1][2], 1.0);
}
