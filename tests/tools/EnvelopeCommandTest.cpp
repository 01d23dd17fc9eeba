// mkmanikin envelope: the OBJ holds the closed envelope surface, the two
// arms' envelopes mirror each other and the picture is written.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "ToolRunner.h"

namespace {

using mktooltest::RunTool;
using mktooltest::ScratchDirectory;
using mktooltest::Slurp;

struct Obj {
  std::vector<double> x, y, z;
  int faces = 0;
};

Obj ParseObj(const std::string& text) {
  Obj obj;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string tag;
    words >> tag;
    if (tag == "f") ++obj.faces;
    if (tag != "v") continue;
    double x, y, z;
    words >> x >> y >> z;
    obj.x.push_back(x);
    obj.y.push_back(y);
    obj.z.push_back(z);
  }
  return obj;
}

double Mean(const std::vector<double>& values) {
  double sum = 0.0;
  for (double v : values) sum += v;
  return values.empty() ? 0.0 : sum / values.size();
}

}  // namespace

TEST(MkmanikinEnvelope, BothArmsGiveMirroredClosedSurfaces) {
  ScratchDirectory dir;
  const unsigned int n = 6;
  Obj arms[2];
  const char* sides[2] = {"right", "left"};
  for (int s = 0; s < 2; ++s) {
    const std::string obj = (dir / (std::string(sides[s]) + ".obj")).string();
    std::vector<std::string> args = {"envelope",     "--sex", "female", "--side", sides[s],
                                     "--resolution", "6",     "--obj",  obj};
    const std::string png = (dir / "envelope.png").string();
    if (s == 0) args.insert(args.end(), {"--png", png, "--size", "300x200"});
    const auto run = RunTool(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find(std::string(sides[s]) + " arm: reach "), std::string::npos) << run.out;
    if (s == 0) {
      EXPECT_EQ(Slurp(png).substr(1, 3), "PNG");
    }
    arms[s] = ParseObj(Slurp(obj));
    // n - 1 rings of n points and the two poles, welded: bands between the
    // rings and a fan at each pole.
    EXPECT_EQ(arms[s].x.size(), n * (n - 1) + 2);
    EXPECT_EQ(arms[s].faces, static_cast<int>(2 * n * (n - 1)));
  }
  // The manikin is symmetric about its sagittal plane (X = 0).
  EXPECT_NEAR(Mean(arms[0].x), -Mean(arms[1].x), 1.0);
  EXPECT_GT(std::fabs(Mean(arms[0].x)), 10.0);
  EXPECT_NEAR(Mean(arms[0].y), Mean(arms[1].y), 1.0);
  EXPECT_NEAR(Mean(arms[0].z), Mean(arms[1].z), 1.0);
}
