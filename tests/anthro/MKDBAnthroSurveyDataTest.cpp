// The built-in population against its survey tables (correlations, mapping):
// the generated correlation table must match its source, the statistics the
// population's own table, and each sex's full correlation matrix must be
// positive definite for the prediction to be defined.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "anthro/MKAnthroTestSupport.h"
#include "anthro/MKDBAnthro.h"
#include "anthro/MKDatabaseManager.h"

namespace {

using mkanthrotest::ReadTable;
using mkanthrotest::SourcePath;
using mkanthrotest::Table;

const MKDBAnthro& BuiltIn() {
  return *MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();
}

double Number(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

TEST(MKDBAnthroSurveyDataTest, CorrelationsAreThoseOfTheSurveyTable) {
  const Table table = ReadTable(SourcePath("../../src/anthro/MKDBAnthroCorrelations.csv"));
  ASSERT_EQ(table.rows.size(), 3570u);
  const int a = table.Column("ref_a"), b = table.Column("ref_b");
  const int female = table.Column("r_female"), male = table.Column("r_male");
  std::map<std::pair<unsigned int, unsigned int>, std::pair<double, double>> survey;
  for (const auto& row : table.rows)
    survey[{static_cast<unsigned int>(Number(row[a])), static_cast<unsigned int>(Number(row[b]))}] =
        {Number(row[female]), Number(row[male])};

  const MKDBAnthro& db = BuiltIn();
  int zeroPairs = 0;
  for (unsigned int i = 0; i < db.GetNumberOfVariables(); ++i) {
    const MKDBAnthroVariable* low = db.GetVariableAtIndex(i);
    for (unsigned int j = i + 1; j < db.GetNumberOfVariables(); ++j) {
      const unsigned int high = db.GetVariableAtIndex(j)->GetReferenceNumber();
      const auto found = survey.find({low->GetReferenceNumber(), high});
      const double r0 = found == survey.end() ? 0.0 : found->second.first;
      const double r1 = found == survey.end() ? 0.0 : found->second.second;
      zeroPairs += found == survey.end();
      ASSERT_EQ(low->GetCorrelationValue(high, 0), r0) << low->GetReferenceNumber() << "-" << high;
      ASSERT_EQ(low->GetCorrelationValue(high, 1), r1) << low->GetReferenceNumber() << "-" << high;
    }
  }
  // The 18 variables without survey data: every pair involving one of them.
  EXPECT_EQ(zeroPairs, 5253 - 3570);
}

TEST(MKDBAnthroSurveyDataTest, StatisticsAreThoseOfThePopulationTable) {
  const Table table = ReadTable(SourcePath("../../tools/anthro/mapping.csv"));
  ASSERT_EQ(table.rows.size(), 103u);
  const int ref = table.Column("ref"), acronym = table.Column("acronym");
  const int mean0 = table.Column("table_mean_female"), sd0 = table.Column("table_sd_female");
  const int mean1 = table.Column("table_mean_male"), sd1 = table.Column("table_sd_male");
  for (const auto& row : table.rows) {
    const MKDBAnthroVariable* v =
        BuiltIn().GetVariableFromRefNumber(static_cast<unsigned int>(Number(row[ref])));
    ASSERT_NE(v, nullptr) << row[ref];
    EXPECT_EQ(std::string(v->GetAcronym()), row[acronym]);
    EXPECT_EQ(v->GetMean(0), Number(row[mean0])) << row[acronym];
    EXPECT_EQ(v->GetStdDev(0), Number(row[sd0])) << row[acronym];
    EXPECT_EQ(v->GetMean(1), Number(row[mean1])) << row[acronym];
    EXPECT_EQ(v->GetStdDev(1), Number(row[sd1])) << row[acronym];
  }
}

TEST(MKDBAnthroSurveyDataTest, FullCorrelationMatrixOfEachSexIsPositiveDefinite) {
  const MKDBAnthro& db = BuiltIn();
  const std::size_t n = db.GetNumberOfVariables();
  for (int sex = 0; sex <= 1; ++sex) {
    std::vector<double> a(n * n);
    for (std::size_t i = 0; i < n; ++i)
      for (std::size_t j = i; j < n; ++j)
        a[i * n + j] = a[j * n + i] =
            db.GetVariableAtIndex(static_cast<unsigned int>(i))
                ->GetCorrelationValue(
                    db.GetVariableAtIndex(static_cast<unsigned int>(j))->GetReferenceNumber(), sex);
    double smallest = 1.0;
    for (std::size_t j = 0; j < n; ++j) {
      double pivot = a[j * n + j];
      for (std::size_t p = 0; p < j; ++p) pivot -= a[j * n + p] * a[j * n + p];
      ASSERT_GT(pivot, 0.0) << "sex " << sex << ", column " << j;
      smallest = std::fmin(smallest, pivot);
      const double root = std::sqrt(pivot);
      a[j * n + j] = root;
      for (std::size_t i = j + 1; i < n; ++i) {
        double sum = a[i * n + j];
        for (std::size_t p = 0; p < j; ++p) sum -= a[i * n + p] * a[j * n + p];
        a[i * n + j] = sum / root;
      }
    }
    // Well away from singular, though ill-conditioned (the heights are nearly collinear).
    EXPECT_GT(smallest, 0.004) << "sex " << sex;
    EXPECT_LT(smallest, 0.01) << "sex " << sex;
  }
}

}  // namespace
