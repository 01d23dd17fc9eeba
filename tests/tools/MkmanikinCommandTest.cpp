// The mkmanikin program run end to end: each command, its outputs, and the
// refusal of bad input with a message, a non-zero exit and no file left.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <ostream>
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

TEST(MkmanikinCreate, JsonHoldsTheLibrarysValues) {
  const auto run = RunTool({"create", "--sex", "female", "--percentile", "5", "--format", "json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const nlohmann::json table = nlohmann::json::parse(run.out);
  EXPECT_EQ(table["sex"], "female");
  EXPECT_EQ(table["percentile"], 5.0);
  EXPECT_EQ(table["population"], "US NATICK");
  const mktest::Manikin manikin = mktest::Make(0, 5);
  ExpectSameAsLibrary(table, *manikin);
  EXPECT_EQ(table["dimensions"][0]["name"], "Abdominal extension depth, sitting");
}

TEST(MkmanikinCreate, FixedDimensionsAreTheLibrarysPrediction) {
  const auto run =
      RunTool({"create", "--sex", "MALE", "--fix", "stature=180", "<SPAN>=185", "--fix-percentile",
               "WEIGHT=90", "--accommodation", "95", "--format", "json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  mktest::Manikin manikin = mktest::Make(1, 50);
  MKAnthro& anthro = *manikin->GetAnthro();
  anthro.SetPopulationAccommodation(95);
  anthro.GetVariable("<STATURE>")->SetUserValue(180);
  anthro.GetVariable("<SPAN>")->SetUserValue(185);
  anthro.GetVariable("<WEIGHT>")->SetUserValueFromPercentile(90);
  anthro.Update();
  const nlohmann::json table = nlohmann::json::parse(run.out);
  ExpectSameAsLibrary(table, *manikin);
  EXPECT_EQ(table["accommodation"].get<double>(), 95.0);
}

TEST(MkmanikinCreate, TextAndCsv) {
  const auto text = RunTool({"create", "--sex", "male"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_EQ(text.out.rfind("male, 50th percentile of \"US NATICK\"", 0), 0u) << text.out;
  const std::size_t row = text.out.find("\nSTATURE     175.58 cm   50.0  predicted ");
  ASSERT_NE(row, std::string::npos) << text.out;
  EXPECT_EQ(text.out.substr(text.out.find('\n', row + 1) - 12, 12), " cm  Stature");

  const auto csv = RunTool({"create", "--sex", "female", "--percentile", "95", "--format", "csv"});
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  std::istringstream lines(csv.out);
  std::string line;
  std::vector<std::string> rows;
  while (std::getline(lines, line)) rows.push_back(line);
  ASSERT_EQ(rows.size(), 1u + 103u);
  EXPECT_EQ(rows[0], "acronym,name,reference,unit,value,percentile,source,conditional_sd");
  EXPECT_EQ(rows[1].rfind("ABEXDPST,\"Abdominal extension depth, sitting\",2,cm,", 0), 0u);
  bool stature = false;
  for (const std::string& row : rows)
    if (row.rfind("STATURE,Stature,100,cm,", 0) == 0) {
      stature = true;
      EXPECT_NE(row.find(",fixed,"), std::string::npos) << row;
      EXPECT_EQ(row.back(), ',') << "a fixed dimension has no conditional deviation: " << row;
    }
  EXPECT_TRUE(stature);
}

TEST(MkmanikinCreate, ClampedRequestIsAWarningWithTheKeptValue) {
  const auto run = RunTool({"create", "--sex", "male", "--fix", "STATURE=300"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // The largest stature the library lets a man have: 4 standard deviations.
  const mktest::Manikin manikin = mktest::Make(1, 50);
  const MKAnthroVariable* stature = manikin->GetAnthro()->GetVariable("<STATURE>");
  const std::string kept = mkcli::FixedText(stature->GetMean() + 4 * stature->GetStdDev(), 2);
  EXPECT_EQ(run.err, "mkmanikin: warning: --fix STATURE=300: STATURE kept at " + kept +
                         " cm (percentile 100.0) instead of 300.00 cm: the library keeps fixed "
                         "values within the accommodated range around their prediction\n");
  const nlohmann::json table = nlohmann::json::parse(
      RunTool({"create", "--sex", "male", "--fix", "STATURE=300", "--format", "json"}).out);
  for (const nlohmann::json& d : table["dimensions"]) {
    if (d["acronym"] == "STATURE") {
      EXPECT_EQ(mkcli::FixedText(d["value"].get<double>(), 2), kept);
    }
  }
}

TEST(MkmanikinCreate, OutputFileIsWrittenWhole) {
  ScratchDirectory dir;
  const auto run =
      RunTool({"create", "--sex", "male", "--format", "csv", "-o", (dir / "table.csv").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Slurp(dir / "table.csv").rfind("acronym,", 0), 0u);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"table.csv"});
}

struct BadInput {
  std::vector<std::string> arguments;
  int exitCode;
  std::string message;  // part of standard error
};

// The command line, for the test's name.
void PrintTo(const BadInput& bad, std::ostream* out) {
  *out << "mkmanikin";
  for (const std::string& a : bad.arguments) *out << " " << a;
}

class MkmanikinRefuses : public testing::TestWithParam<BadInput> {};

TEST_P(MkmanikinRefuses, WithAMessageAndNoOutput) {
  const BadInput& bad = GetParam();
  const auto run = RunTool(bad.arguments);
  EXPECT_EQ(run.exitCode, bad.exitCode) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(bad.message), std::string::npos) << run.err;
  EXPECT_EQ(run.err.rfind("mkmanikin: ", 0), 0u) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    BadCommandLines, MkmanikinRefuses,
    testing::Values(
        BadInput{{"create", "--sex", "male", "--percentile", "0"},
                 2,
                 "--percentile: 0 is not a percentile"},
        BadInput{{"create", "--sex", "male", "--percentile", "100"},
                 2,
                 "--percentile: 100 is not a percentile"},
        BadInput{{"create", "--sex", "male", "--percentile", "abc"},
                 2,
                 "--percentile: 'abc' is not a number"},
        BadInput{{"create", "--sex", "male", "--percentile", "2,5"},
                 2,
                 "--percentile: '2,5' is not a number"},
        BadInput{{"create", "--sex", "other"}, 2, "--sex: 'other' is not a sex"},
        BadInput{{"create", "--percentile", "5"}, 2, "--sex is required"},
        BadInput{{"create", "--sex", "male", "--fix", "STATUR=180"},
                 2,
                 "--fix STATUR=180: unknown dimension STATUR (did you mean STATURE?)"},
        BadInput{{"create", "--sex", "male", "--fix", "STATURE"},
                 2,
                 "--fix: 'STATURE' is not of the form ACRONYM=VALUE"},
        BadInput{{"create", "--sex", "male", "--fix", "STATURE=-4"},
                 2,
                 "a body dimension is a positive number"},
        BadInput{{"create", "--sex", "male", "--fix-percentile", "SPAN=100"},
                 2,
                 "SPAN=100: 100 is not a percentile"},
        BadInput{{"create", "--sex", "male", "--fix", "SPAN=180", "--fix-percentile", "span=20"},
                 2,
                 "SPAN is already fixed by --fix SPAN=180"},
        BadInput{{"create", "--sex", "male", "--accommodation", "0"},
                 2,
                 "--accommodation: 0 is not a percentage"},
        BadInput{{"create", "--sex", "male", "--population", "Mars 2100"},
                 2,
                 "'Mars 2100' is no known population (\"US NATICK\", \"US ARMY 2012\") and "
                 "no readable file"},
        BadInput{{"create", "--sex", "male", "--format", "xml"}, 2, "--format"},
        BadInput{{"create", "--sex", "male", "-o", "/nonexistent-dir/table.txt"},
                 1,
                 "--output /nonexistent-dir/table.txt: cannot write: No such file or directory"},
        BadInput{{"create", "--sex", "male", "--bogus"}, 2, "--bogus"},
        BadInput{{"export", "--sex", "male"}, 2, "nothing to write"},
        BadInput{{"export", "--sex", "male", "--png", "a.png", "--posture", "flying"},
                 2,
                 "'flying' is not a posture"},
        BadInput{{"export", "--sex", "male", "--png", "a.png", "--size", "big"},
                 2,
                 "'big' is not a picture size"},
        BadInput{{},
                 2,
                 "give a command: create, export, demo, rula, reach, envelope, population, lift, "
                 "push, pull, carry, snook-check or study"},
        BadInput{{"dance"}, 2, "unknown command 'dance'"}));

// Checks an OBJ text: consistent counts, valid indices, unit normals.
void ExpectWellFormedObj(const std::string& obj) {
  std::istringstream lines(obj);
  std::string line;
  std::size_t vertices = 0, normals = 0, faces = 0, groups = 0;
  std::vector<std::string> faceLines;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string tag;
    fields >> tag;
    if (tag == "v") ++vertices;
    if (tag == "g") ++groups;
    if (tag == "vn") {
      double x, y, z;
      fields >> x >> y >> z;
      EXPECT_NEAR(x * x + y * y + z * z, 1.0, 1e-3) << line;
      ++normals;
    }
    if (tag == "f") {
      ++faces;
      faceLines.push_back(line);
    }
  }
  EXPECT_GT(faces, 10000u);
  EXPECT_EQ(vertices, normals);
  EXPECT_GT(groups, 30u);
  for (const std::string& f : faceLines) {
    std::istringstream fields(f.substr(1));
    std::string corner;
    int count = 0;
    while (fields >> corner) {
      const std::size_t slashes = corner.find("//");
      ASSERT_NE(slashes, std::string::npos) << f;
      const long v = std::stol(corner.substr(0, slashes));
      ASSERT_EQ(v, std::stol(corner.substr(slashes + 2))) << f;
      ASSERT_TRUE(v >= 1 && static_cast<std::size_t>(v) <= vertices) << f;
      ++count;
    }
    ASSERT_EQ(count, 3) << f;
  }
}

// Width and height from a PNG file's header.
void ExpectPng(const std::string& png, unsigned int width, unsigned int height) {
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  auto word = [&png](std::size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) |
           (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(word(16), width);
  EXPECT_EQ(word(20), height);
}

TEST(MkmanikinExport, WritesObjAndPng) {
  ScratchDirectory dir;
  const auto run =
      RunTool({"export", "--sex", "female", "--percentile", "20", "--posture", "sitting", "--obj",
               (dir / "f.obj").string(), "--png", (dir / "f.png").string(), "--size", "300x200"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("f.obj"), std::string::npos);
  const std::string obj = Slurp(dir / "f.obj");
  EXPECT_EQ(obj.rfind("# mkmanikin ", 0), 0u);
  EXPECT_NE(obj.find("female, 20th percentile of \"US NATICK\", posture sitting"),
            std::string::npos);
  EXPECT_NE(obj.find("\ng head_lips\n"), std::string::npos);
  ExpectWellFormedObj(obj);
  ExpectPng(Slurp(dir / "f.png"), 300, 200);
}

TEST(MkmanikinExport, NothingIsWrittenWhenOneOutputFails) {
  ScratchDirectory dir;
  const auto run = RunTool({"export", "--sex", "male", "--obj", (dir / "m.obj").string(), "--png",
                            (dir / "missing" / "m.png").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("--png " + (dir / "missing" / "m.png").string() + ": cannot write"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(dir.Entries().empty()) << "left behind: " << dir.Entries().front();

  const auto intoDirectory = RunTool({"export", "--sex", "male", "--png", dir.path.string()});
  EXPECT_EQ(intoDirectory.exitCode, 1);
  EXPECT_NE(intoDirectory.err.find("Is a directory"), std::string::npos) << intoDirectory.err;
}

TEST(MkmanikinDemo, WritesEveryFileAndASummary) {
  ScratchDirectory dir;
  const std::filesystem::path out = dir / "demo";
  const auto run = RunTool({"demo", "--out", out.string(), "--size", "240x200"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* stem : {"female-p5", "male-p50", "male-p95"}) {
    for (const char* extension : {".csv", ".json", ".obj"})
      EXPECT_TRUE(std::filesystem::is_regular_file(out / (std::string(stem) + extension)))
          << stem << extension;
    const nlohmann::json table = nlohmann::json::parse(Slurp(out / (std::string(stem) + ".json")));
    EXPECT_EQ(table["dimensions"].size(), 103u);
  }
  ExpectPng(Slurp(out / "demo.png"), 240, 200);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 10);
  // The headline dimensions, as the tables hold them.
  EXPECT_NE(run.out.find("5th percentile female"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("sitting height"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("175.6 cm"), std::string::npos) << run.out;
}

TEST(MkmanikinHelp, EveryCommandHasHelpAndTheProgramAVersion) {
  for (const char* command : {"create", "export", "demo", "rula"}) {
    const auto run = RunTool({command, "--help"});
    EXPECT_EQ(run.exitCode, 0) << command;
    EXPECT_NE(run.out.find("Usage:"), std::string::npos) << command;
  }
  const auto help = RunTool({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  const auto version = RunTool({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_NE(version.out.find("libMKManikin"), std::string::npos);
}

}  // namespace
