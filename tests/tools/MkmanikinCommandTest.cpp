// The mkmanikin program run end to end: each command, its outputs, and the
// refusal of bad input with a message, a non-zero exit and no file left.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Numbers.h"
#include "ToolRunner.h"
#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

using mktooltest::RunTool;
using mktooltest::ScratchDirectory;
using mktooltest::Slurp;

// Every dimension of the tool's JSON equals the library's for the same manikin.
void ExpectSameAsLibrary(const nlohmann::json& table, const MKManikin& manikin) {
  const MKAnthro& anthro = *manikin.GetAnthro();
  ASSERT_EQ(table["dimensions"].size(), anthro.GetNumberOfVariables());
  for (unsigned int i = 0; i < anthro.GetNumberOfVariables(); ++i) {
    const MKAnthroVariable& v = *anthro.GetVariableAtIndex(i);
    const nlohmann::json& d = table["dimensions"][i];
    const std::string acronym = "<" + d["acronym"].get<std::string>() + ">";
    ASSERT_EQ(acronym, v.GetAcronym().CastToCharPtr());
    EXPECT_EQ(d["value"].get<double>(), v.GetValue()) << acronym;
    EXPECT_EQ(d["percentile"].get<double>(), v.GetValueAsPercentile()) << acronym;
    const bool fixed = v.GetManagementType() == 1;
    EXPECT_EQ(d["source"], fixed ? "fixed" : "predicted") << acronym;
    if (fixed)
      EXPECT_TRUE(d["conditionalStdDev"].is_null()) << acronym;
    else
      EXPECT_EQ(d["conditionalStdDev"].get<double>(), v.GetCalculatedStdDev()) << acronym;
  }
}

// Width and height from a PNG file's header.
void ExpectPng(const std::string& png, unsigned int width, unsigned int height) {
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  auto word = [&png](std::size_t at) {
    unsigned int w = 0;
    for (std::size_t i = at; i < at + 4; ++i) w = (w << 8) | static_cast<unsigned char>(png[i]);
    return w;
  };
  EXPECT_EQ(word(16), width);
  EXPECT_EQ(word(20), height);
}

}  // namespace

TEST(MkmanikinCreate, JsonHoldsTheLibrarysValuesFixedOrPredicted) {
  const auto run = RunTool({"create", "--sex", "female", "--percentile", "5", "--format", "json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const nlohmann::json table = nlohmann::json::parse(run.out);
  EXPECT_EQ(table["sex"], "female");
  EXPECT_EQ(table["percentile"], 5.0);
  EXPECT_EQ(table["population"], "US NATICK");
  ExpectSameAsLibrary(table, *mktest::Make(0, 5));
  EXPECT_EQ(table["dimensions"][0]["name"], "Abdominal extension depth, sitting");

  const auto fixed =
      RunTool({"create", "--sex", "MALE", "--fix", "stature=180", "<SPAN>=185", "--fix-percentile",
               "WEIGHT=90", "--accommodation", "95", "--format", "json"});
  ASSERT_EQ(fixed.exitCode, 0) << fixed.err;
  mktest::Manikin manikin = mktest::Make(1, 50);
  MKAnthro& anthro = *manikin->GetAnthro();
  anthro.SetPopulationAccommodation(95);
  anthro.GetVariable("<STATURE>")->SetUserValue(180);
  anthro.GetVariable("<SPAN>")->SetUserValue(185);
  anthro.GetVariable("<WEIGHT>")->SetUserValueFromPercentile(90);
  anthro.Update();
  ExpectSameAsLibrary(nlohmann::json::parse(fixed.out), *manikin);
}

TEST(MkmanikinCreate, TextCsvFileAndTheClampWarning) {
  const auto text = RunTool({"create", "--sex", "male"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_EQ(text.out.rfind("male, 50th percentile of \"US NATICK\"", 0), 0u) << text.out;
  EXPECT_NE(text.out.find("\nSTATURE     175.58 cm   50.0  predicted "), std::string::npos);

  ScratchDirectory dir;
  const auto csv = RunTool({"create", "--sex", "female", "--percentile", "95", "--format", "csv",
                            "-o", (dir / "table.csv").string()});
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  EXPECT_EQ(csv.out, "");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"table.csv"});
  std::istringstream lines(Slurp(dir / "table.csv"));
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 1u + 103u);
  EXPECT_EQ(rows[0], "acronym,name,reference,unit,value,percentile,source,conditional_sd");
  EXPECT_EQ(rows[1].rfind("ABEXDPST,\"Abdominal extension depth, sitting\",2,cm,", 0), 0u);

  // The largest stature the library lets a man have: 4 standard deviations.
  const auto clamped = RunTool({"create", "--sex", "male", "--fix", "STATURE=300"});
  ASSERT_EQ(clamped.exitCode, 0) << clamped.err;
  const mktest::Manikin man = mktest::Make(1, 50);
  const MKAnthroVariable* stature = man->GetAnthro()->GetVariable("<STATURE>");
  const std::string kept = mkcli::FixedText(stature->GetMean() + 4 * stature->GetStdDev(), 2);
  EXPECT_EQ(clamped.err, "mkmanikin: warning: --fix STATURE=300: STATURE kept at " + kept +
                             " cm (percentile 100.0) instead of 300.00 cm: the library keeps "
                             "fixed values within the accommodated range around their "
                             "prediction\n");
}

// Every command refuses bad input with a message, writing nothing.
TEST(Mkmanikin, RefusesBadCommandLinesWithAMessageAndNoOutput) {
  ScratchDirectory dir;
  const std::string notJson = (dir / "a.json").string(), noDofs = (dir / "b.json").string(),
                    badDof = (dir / "c.json").string(), task = (dir / "task.json").string();
  std::ofstream(notJson) << "{\"dofs\": [1, 2";
  std::ofstream(noDofs) << "{\"posture\": {}}";
  std::ofstream(badDof) << "{\"dofs\": {\"SBoTh\": [1, null, null]}}";
  std::ofstream(task) << R"({"right": {"position": [1, "two", 3]}})";
  const std::string out = (dir / "out.json").string(), obj = (dir / "e.obj").string();
  const struct {
    std::vector<std::string> arguments;
    int exitCode;
    std::string message;  // part of standard error
  } cases[] = {
      {{"create", "--sex", "male", "--percentile", "100"}, 2, "100 is not a percentile"},
      {{"create", "--sex", "other"}, 2, "--sex: 'other' is not a sex"},
      {{"create", "--percentile", "5"}, 2, "--sex is required"},
      {{"create", "--sex", "male", "--fix", "STATUR=180"},
       2,
       "--fix STATUR=180: unknown dimension STATUR (did you mean STATURE?)"},
      {{"create", "--sex", "male", "--fix", "STATURE=-4"}, 2, "is a positive number"},
      {{"create", "--sex", "male", "--fix", "SPAN=180", "--fix-percentile", "span=20"},
       2,
       "SPAN is already fixed by --fix SPAN=180"},
      {{"create", "--sex", "male", "--population", "Mars 2100"},
       2,
       "'Mars 2100' is no known population (\"US NATICK\", \"US ARMY 2012\") and no readable file"},
      {{"create", "--sex", "male", "-o", "/nonexistent-dir/t.txt"},
       1,
       "--output /nonexistent-dir/t.txt: cannot write: No such file or directory"},
      {{"export", "--sex", "male"}, 2, "nothing to write"},
      {{"export", "--sex", "male", "--png", "a.png", "--posture", "flying"}, 2, "not a posture"},
      {{}, 2, "give a command: create, export, demo, rula, reach, envelope, population, lift,"},
      {{"dance"}, 2, "unknown command 'dance'"},
      {{"rula", "--sex", "male", "--posture", "sitting", "--posture-file", noDofs}, 2, "excludes"},
      {{"rula", "--sex", "male", "--posture-file", (dir / "none.json").string()},
       2,
       "cannot be read"},
      {{"rula", "--sex", "male", "--posture-file", notJson}, 2, "not a JSON file"},
      {{"rula", "--sex", "male", "--posture-file", noDofs}, 2, "no posture in it"},
      {{"rula", "--sex", "male", "--posture-file", badDof}, 2, "the segment has no such DOF"},
      {{"rula", "--sex", "male", "--load", "-2"}, 2, "not a load"},
      {{"rula", "--sex", "male", "--load-mode", "fast"}, 2, "not a load mode"},
      {{"export", "--sex", "male", "--obj", obj, "--colour", "rula"},
       2,
       "--colour colours the picture"},
      {{"envelope", "--sex", "male"}, 2, ""},
      {{"envelope", "--sex", "male", "--resolution", "3", "--obj", obj}, 2, ""},
      {{"envelope", "--sex", "male", "--side", "middle", "--obj", obj}, 2, ""},
      {{"reach", "--sex", "male", "-o", out}, 2, ""},
      {{"reach", "--sex", "male", "--right", "1,2", "-o", out}, 2, ""},
      {{"reach", "--sex", "male", "--right-rotation", "0,0,0", "-o", out}, 2, ""},
      {{"reach", "--sex", "male", "--task", task, "-o", out}, 2, ""},
      {{"reach", "--sex", "male", "--task", (dir / "missing.json").string(), "-o", out}, 2, ""},
  };
  for (const auto& c : cases) {
    const auto run = RunTool(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.err.rfind("mkmanikin: ", 0), 0u) << run.err;
  }
  EXPECT_EQ(dir.Entries().size(), 4u);  // nothing written beside the inputs
}

TEST(MkmanikinExport, WritesObjAndPngOrNothing) {
  ScratchDirectory dir;
  const auto run =
      RunTool({"export", "--sex", "female", "--percentile", "20", "--posture", "sitting", "--obj",
               (dir / "f.obj").string(), "--png", (dir / "f.png").string(), "--size", "300x200"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string obj = Slurp(dir / "f.obj");
  EXPECT_NE(obj.find("female, 20th percentile of \"US NATICK\", posture sitting"),
            std::string::npos);
  EXPECT_NE(obj.find("\ng head_lips\n"), std::string::npos);
  const auto count = [&obj](const std::string& tag) {
    std::size_t n = 0;
    for (std::size_t at = obj.find(tag); at != std::string::npos; at = obj.find(tag, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("\nv "), count("\nvn "));
  EXPECT_GT(count("\nf "), 10000u);
  ExpectPng(Slurp(dir / "f.png"), 300, 200);

  // One output that cannot be written: none is.
  ScratchDirectory empty;
  const auto failed = RunTool({"export", "--sex", "male", "--obj", (empty / "m.obj").string(),
                               "--png", (empty / "missing" / "m.png").string()});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_NE(failed.err.find("--png " + (empty / "missing" / "m.png").string() + ": cannot write"),
            std::string::npos)
      << failed.err;
  EXPECT_TRUE(empty.Entries().empty()) << "left behind: " << empty.Entries().front();
  const auto intoDirectory = RunTool({"export", "--sex", "male", "--png", empty.path.string()});
  EXPECT_NE(intoDirectory.err.find("Is a directory"), std::string::npos) << intoDirectory.err;
}
