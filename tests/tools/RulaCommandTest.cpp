// mkmanikin rula, and export --colour rula: the scores are the library's,
// in every format; the picture is coloured.
#include <gtest/gtest.h>
#include <png.h>

#include <nlohmann/json.hpp>

#include <cstring>
#include <fstream>
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

void SetDegrees(MKBody& body, MKShortName segment, int axis, double degrees) {
  body.GetSegment(segment)->GetDOF(axis)->SetMathematicalValue(
      MKUnitConversions::DegreesToRadians(degrees));
}

// Arms raised and out, neck and head bowed, the spine bent forward.
void Awkward(MKBody& body) {
  for (MKShortName arm : {RSArAr, LSArAr}) {
    SetDegrees(body, arm, 0, 130);
    SetDegrees(body, arm, 1, 30);
  }
  SetDegrees(body, LSArCl, 1, 20);
  SetDegrees(body, LSArFAr, 0, 40);
  SetDegrees(body, LSHaCPr, 0, -30);
  SetDegrees(body, SHeNe, 0, 12);
  SetDegrees(body, SHeCg, 0, 20);
  for (int n = SBoL5; n <= SBoT1; ++n) {
    MKDOF* dof = body.GetSegment(static_cast<MKShortName>(n))->GetDOF(0);
    dof->SetMathematicalValue(0.6 * dof->GetMaxLim(false));
  }
}

// A file as `mkmanikin reach` writes one: the posture under "dofs", and more.
std::string WritePosture(const ScratchDirectory& dir, const MKManikin& manikin) {
  nlohmann::json file;
  file["command"] = "reach";
  file[mkcli::kPostureKey] = mkcli::PostureToJson(manikin);
  const std::string path = (dir / "posture.json").string();
  std::ofstream(path) << file.dump(1);
  return path;
}

std::vector<unsigned char> DecodePng(const std::string& png, unsigned int& width) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  std::vector<unsigned char> pixels;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return pixels;
  image.format = PNG_FORMAT_RGB;
  pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) pixels.clear();
  width = image.width;
  return pixels;
}

// How many pixels are clearly of one hue: red (r high, g and b low) or green.
int CountHue(const std::vector<unsigned char>& rgb, bool red) {
  int count = 0;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    const int r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
    if (red ? r > 120 && g < r / 2 && b < r / 2 : g > 100 && r < g * 2 / 3 && b < g * 2 / 3)
      ++count;
  }
  return count;
}

}  // namespace

TEST(MkmanikinRula, ScoresAreTheLibrarysInEveryFormat) {
  ScratchDirectory dir;
  mktest::Manikin manikin = mktest::Make(1, 50);
  Awkward(*manikin->GetBody());
  const std::string posture = WritePosture(dir, *manikin);
  const std::vector<std::string> common = {
      "rula", "--sex",  "male", "--posture-file", posture,        "--side",
      "left", "--load", "5",    "--load-mode",    "intermittent", "--legs-unsupported"};
  auto args = common;
  args.insert(args.end(), {"--format", "json"});
  const auto run = RunTool(args);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const nlohmann::json report = nlohmann::json::parse(run.out);

  MKRULASpecs* specs = MKRULASpecs::Create(manikin->GetBody());
  specs->SetSpec(MKKRULASide, MKKRULALeft);
  specs->SetSpec(MKKRULALoad, 5.0);
  specs->SetSpec(MKKRULALoadMode, MKKRULAIntermittent);
  specs->SetSpec(MKKRULALegs, MKKRULAYes);
  MKAnalysisResults results;
  ASSERT_EQ(MKAnalysis::PerformRULAAnalysis(specs, results), MKStatusSuccess);
  specs->Destroy();

  const char* const keys[] = {"upperArm",  "lowerArm",  "wrist",         "wristTwist", "postureA",
                              "muscleUse", "forceLoad", "wristAndArm",   "neck",       "trunk",
                              "legs",      "postureB",  "neckTrunkLegs", "final"};
  const int scores[] = {results.upperArmScore,     results.lowerArmScore,    results.wristScore,
                        results.wristTwistScore,   results.postureAScore,    results.muscleUseScore,
                        results.forceLoadScore,    results.wristAndArmScore, results.neckScore,
                        results.trunkScore,        results.legScore,         results.postureBScore,
                        results.neckTrunkLegScore, results.finalScore};
  ASSERT_EQ(report["scores"].size(), std::size(keys));
  for (std::size_t i = 0; i < std::size(keys); ++i)
    EXPECT_EQ(report["scores"][keys[i]]["score"], scores[i]) << keys[i];
  EXPECT_EQ(report["side"], "left");
  EXPECT_EQ(report["finalScore"], results.finalScore);
  EXPECT_GE(results.finalScore, 6);  // the posture is as awkward as meant
  EXPECT_NEAR(report["scores"]["upperArm"]["flexionDegrees"].get<double>(), 130.0, 1e-9);
  const std::string interpretation = results.InterpretRULAScore(0).ConvertToChar().CastToCharPtr();
  EXPECT_EQ(report["interpretation"], interpretation);

  const auto text = RunTool(common);
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_EQ(text.out.rfind("RULA of the left side: male, 50th percentile", 0), 0u) << text.out;
  EXPECT_NE(text.out.find(interpretation + "\n"), std::string::npos) << text.out;

  args = common;
  args.insert(args.end(), {"--format", "csv"});
  const auto csv = RunTool(args);
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  EXPECT_EQ(csv.out.rfind("item,score,flexion_degrees,interpretation\nupperArm,", 0), 0u);
  EXPECT_NE(csv.out.find("\nfinal," + std::to_string(results.finalScore) + ",," + interpretation),
            std::string::npos)
      << csv.out;
}

TEST(MkmanikinRula, PicturesAreColouredByScore) {
  ScratchDirectory dir;
  mktest::Manikin manikin = mktest::Make(0, 50);
  Awkward(*manikin->GetBody());
  const std::string posture = WritePosture(dir, *manikin);
  const std::string png = (dir / "rula.png").string();
  const auto run = RunTool({"rula", "--sex", "female", "--posture-file", posture, "--side", "left",
                            "--png", png, "--size", "400x500", "-o", (dir / "r.txt").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(Slurp(dir / "r.txt").find("final score"), std::string::npos);
  unsigned int width = 0;
  const std::vector<unsigned char> coloured = DecodePng(Slurp(png), width);
  ASSERT_EQ(width, 400u);
  ASSERT_EQ(coloured.size(), 400u * 500u * 3u);
  // The raised arm is red (its score is the worst an upper arm takes), the legs green.
  EXPECT_GT(CountHue(coloured, true), 150);
  EXPECT_GT(CountHue(coloured, false), 500);

  // export --colour rula scores the right side.
  const auto painted =
      RunTool({"export", "--sex", "female", "--posture", "arms-forward", "--png",
               (dir / "painted.png").string(), "--size", "400x500", "--colour", "rula"});
  ASSERT_EQ(painted.exitCode, 0) << painted.err;
  EXPECT_GT(CountHue(DecodePng(Slurp(dir / "painted.png"), width), false), 500);
}
