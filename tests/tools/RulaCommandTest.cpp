// mkmanikin rula: the scores are the library's, in every format.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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

  args = common;
  args.insert(args.end(), {"--format", "csv"});
  const auto csv = RunTool(args);
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  EXPECT_EQ(csv.out.rfind("item,score,flexion_degrees,interpretation\nupperArm,", 0), 0u);
  EXPECT_NE(csv.out.find("\nfinal," + std::to_string(results.finalScore) + ",," + interpretation),
            std::string::npos)
      << csv.out;
}
