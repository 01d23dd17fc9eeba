// mkmanikin on other populations: the shipped "US ARMY 2012" and population
// files, and the completed table that `population` writes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ToolRunner.h"
#include "anthro/MKUserDBAnthro.h"

namespace {

using mktooltest::RunTool;
using mktooltest::ScratchDirectory;

double Value(const nlohmann::json& table, const std::string& acronym) {
  for (const auto& d : table["dimensions"])
    if (d["acronym"] == acronym) return d["value"].get<double>();
  ADD_FAILURE() << acronym;
  return 0.0;
}

// "ACRONYM,sex" -> {mean, sd} of a population file the tool wrote.
std::map<std::string, std::pair<double, double>> ReadCompleted(const std::string& text) {
  std::map<std::string, std::pair<double, double>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#' || line == "acronym,sex,mean,sd") continue;
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, ',');) f.push_back(field);
    EXPECT_EQ(f.size(), 4u) << line;
    if (f.size() == 4) rows[f[0] + "," + f[1]] = {std::stod(f[2]), std::stod(f[3])};
  }
  return rows;
}

TEST(MkmanikinPopulation, ShippedOrFileCompletedAsTheLibraryDoesAndReadBack) {
  const auto army =
      RunTool({"create", "--population", "US ARMY 2012", "--sex", "male", "--format", "json"});
  ASSERT_EQ(army.exitCode, 0) << army.err;
  EXPECT_NEAR(Value(nlohmann::json::parse(army.out), "STATURE"), 175.62, 0.005);
  EXPECT_NEAR(Value(nlohmann::json::parse(army.out), "WEIGHT"), 85.52, 0.005);

  ScratchDirectory scratch;
  const std::string file = (scratch / "survey.csv").string();
  std::ofstream(file) << "acronym,sex,mean,sd\n"
                         "# stature and weight of another survey\n"
                         "STATURE,female,164,6.6\n<STATURE>,male,178,7.2\n"
                         "weight,female,66,10.5\nWEIGHT,male,84,13\n\n"
                         "WEIGHT/STATURE,male,0.5\n";
  const auto created =
      RunTool({"create", "--population", file, "--sex", "female", "--format", "json"});
  ASSERT_EQ(created.exitCode, 0) << created.err;
  const nlohmann::json table = nlohmann::json::parse(created.out);
  EXPECT_EQ(table["population"], "survey");
  EXPECT_EQ(Value(table, "STATURE"), 164.0);
  EXPECT_EQ(Value(table, "WEIGHT"), 66.0);
  // The file's correlation drives the prediction of a manikin on it.
  const auto taller = RunTool({"create", "--population", file, "--sex", "male", "--fix",
                               "STATURE=190", "--format", "json"});
  ASSERT_EQ(taller.exitCode, 0) << taller.err;
  EXPECT_NEAR(Value(nlohmann::json::parse(taller.out), "WEIGHT"), 84 + 0.5 * 13 * 12 / 7.2, 1e-9);

  const std::string completed = (scratch / "completed.csv").string();
  const auto written =
      RunTool({"population", "--population", file, "--format", "csv", "-o", completed});
  ASSERT_EQ(written.exitCode, 0) << written.err;
  const auto rows = ReadCompleted(mktooltest::Slurp(completed));
  ASSERT_EQ(rows.size(), 206u);

  // The library's own completion of the same population, to the last bit.
  MKUserDBAnthro* db = MKUserDBAnthro::Create();
  ASSERT_EQ(db->SetVariable("<STATURE>", 178, 164, 7.2, 6.6), MKStatusSuccess);
  ASSERT_EQ(db->SetVariable("<WEIGHT>", 84, 66, 13, 10.5), MKStatusSuccess);
  db->Update();
  for (unsigned int i = 0; i < db->GetNumberOfVariables(); ++i) {
    const MKDBAnthroVariable* v = db->GetVariableAtIndex(i);
    std::string acronym = v->GetAcronym().CastToCharPtr();
    acronym = acronym.substr(1, acronym.size() - 2);
    for (int sex = 0; sex <= 1; ++sex) {
      const auto row = rows.find(acronym + (sex ? ",male" : ",female"));
      ASSERT_NE(row, rows.end()) << acronym;
      EXPECT_EQ(row->second.first, v->GetMean(sex)) << acronym;
      EXPECT_EQ(row->second.second, v->GetStdDev(sex)) << acronym;
    }
  }
  db->Destroy();

  // The completed table is itself a population file, every dimension given.
  const auto again = RunTool({"population", "--population", completed, "--format", "csv"});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(ReadCompleted(again.out), rows);
}

TEST(MkmanikinPopulation, MalformedFilesAreRefusedWithTheirLine) {
  ScratchDirectory scratch;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"STATURE,female,164,6.6\n", ":1: the first line must be 'acronym,sex,mean,sd'"},
      {"acronym,sex,mean,sd\nSTATUR,female,164,6.6\n", ":2: unknown dimension STATUR"},
      {"acronym,sex,mean,sd\nSTATURE,female,0,6.6\n", ":2: the mean must be above 0"},
      {"acronym,sex,mean,sd\nSTATURE,female,1x,6\n", ":2: '1x' is not a number"},
      {"acronym,sex,mean,sd\nSTATURE,female,164,6.6\n", "STATURE needs a row for each sex"},
      {"acronym,sex,mean,sd\nSTATURE,female,164,6.6\nWEIGHT,male,80,12\nSTATURE/WEIGHT,male,1.5\n",
       ":4: a coefficient lies between -1 and 1"},
      {"acronym,sex,mean,sd\n", "no dimension is given"}};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string file = (scratch / ("bad" + std::to_string(i) + ".csv")).string();
    std::ofstream(file) << cases[i].first;
    const auto run = RunTool({"population", "--population", file});
    EXPECT_EQ(run.exitCode, 2) << i;
    EXPECT_EQ(run.out, "") << i;
    EXPECT_NE(run.err.find(cases[i].second), std::string::npos) << i << ": " << run.err;
  }
}

}  // namespace
