// Prediction against measured people: for every subject of the survey sample
// (tests/anthro/data), stature and weight are fixed at the subject's own
// values and every other exactly mapped dimension is predicted. If the
// population's statistics and the prediction are right, the residuals
// divided by the conditional standard deviations are standard normal: mean
// about 0 and standard deviation about 1 over all subjects and variables.
// The per-variable figures are printed for the record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroTestSupport.h"

namespace {

using mkanthrotest::ReadTable;
using mkanthrotest::SourcePath;
using mkanthrotest::Table;

struct Moments {
  int n = 0;
  double sum = 0.0, squares = 0.0;
  void Add(double z) {
    ++n;
    sum += z;
    squares += z * z;
  }
  double Mean() const { return sum / n; }
  double StdDev() const { return std::sqrt((squares - sum * sum / n) / (n - 1)); }
};

struct SexResult {
  int subjects = 0;
  Moments pooled;
  std::map<std::string, Moments> perVariable;
};

SexResult Evaluate(int sex, const char* file) {
  SexResult result;
  const Table sample = ReadTable(SourcePath(std::string("data/") + file));
  const int stature = sample.Column("<STATURE>"), weight = sample.Column("<WEIGHT>");
  EXPECT_GE(stature, 0);
  EXPECT_GE(weight, 0);
  if (stature < 0 || weight < 0) return result;

  MKAnthro anthro(nullptr, nullptr, sex);
  // The subjects' own values, unclamped: one man weighs more than 4 SD above the mean.
  anthro.SetInterpolationMethod(0);
  MKAnthroVariable* fixedStature = anthro.GetVariable("<STATURE>");
  MKAnthroVariable* fixedWeight = anthro.GetVariable("<WEIGHT>");
  std::vector<std::pair<int, MKAnthroVariable*>> predicted;
  for (std::size_t c = 1; c < sample.header.size(); ++c) {
    MKAnthroVariable* v = anthro.GetVariable(sample.header[c].c_str());
    EXPECT_NE(v, nullptr) << sample.header[c];
    if (v && v != fixedStature && v != fixedWeight) predicted.emplace_back(static_cast<int>(c), v);
  }

  for (const auto& row : sample.rows) {
    fixedStature->SetUserValue(std::strtod(row[stature].c_str(), nullptr));
    fixedWeight->SetUserValue(std::strtod(row[weight].c_str(), nullptr));
    EXPECT_EQ(anthro.Update(), MKStatusSuccess) << "subject " << row[0];
    ++result.subjects;
    for (const auto& [column, v] : predicted) {
      if (row[column].empty()) continue;  // not measured
      const double z =
          (std::strtod(row[column].c_str(), nullptr) - v->GetValue()) / v->GetCalculatedStdDev();
      result.pooled.Add(z);
      result.perVariable[sample.header[column]].Add(z);
    }
  }
  return result;
}

TEST(MKAnthroAccuracyTest, SampleColumnsAreTheExactlyMappedVariables) {
  const Table mapping = ReadTable(SourcePath("../../tools/anthro/mapping.csv"));
  std::set<std::string> exact;
  for (const auto& row : mapping.rows)
    if (row[mapping.Column("match")] == "exact") exact.insert(row[mapping.Column("acronym")]);
  EXPECT_EQ(exact.size(), 84u);
  for (const char* file : {"data/us_natick_sample_female.csv", "data/us_natick_sample_male.csv"}) {
    const Table sample = ReadTable(SourcePath(file));
    EXPECT_EQ(std::set<std::string>(sample.header.begin() + 1, sample.header.end()), exact) << file;
    EXPECT_GE(sample.rows.size(), 300u) << file;
    for (const auto& row : sample.rows) ASSERT_EQ(row.size(), sample.header.size()) << file;
  }
}

TEST(MKAnthroAccuracyTest, ResidualsOfStatureAndWeightPredictionsAreStandardNormal) {
  const SexResult women = Evaluate(0, "us_natick_sample_female.csv");
  const SexResult men = Evaluate(1, "us_natick_sample_male.csv");
  ASSERT_EQ(women.subjects, 552);
  ASSERT_EQ(men.subjects, 444);
  ASSERT_EQ(women.perVariable.size(), 82u);
  ASSERT_EQ(men.perVariable.size(), 82u);

  std::printf("\nz = (measured - predicted) / conditional SD, stature and weight fixed\n");
  std::printf("%-11s %5s %7s %6s   %5s %7s %6s\n", "variable", "n(F)", "mean z", "SD z", "n(M)",
              "mean z", "SD z");
  for (const auto& [acronym, w] : women.perVariable) {
    const Moments& m = men.perVariable.at(acronym);
    std::printf("%-11s %5d %7.3f %6.3f   %5d %7.3f %6.3f\n", acronym.c_str(), w.n, w.Mean(),
                w.StdDev(), m.n, m.Mean(), m.StdDev());
  }
  std::printf("%-11s %5d %7.3f %6.3f   %5d %7.3f %6.3f\n", "all", women.pooled.n,
              women.pooled.Mean(), women.pooled.StdDev(), men.pooled.n, men.pooled.Mean(),
              men.pooled.StdDev());

  for (const SexResult* r : {&women, &men}) {
    EXPECT_NEAR(r->pooled.Mean(), 0.0, 0.05);
    EXPECT_GT(r->pooled.StdDev(), 0.9);
    EXPECT_LT(r->pooled.StdDev(), 1.1);
  }
}

}  // namespace
