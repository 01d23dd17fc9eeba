// Prediction against measured people: for every 4th subject of the 1988
// survey records shipped with the library, stature and weight are fixed at
// the subject's own values and every other exactly mapped dimension is
// predicted. If the population's statistics and the prediction are right,
// the residuals divided by the conditional standard deviations are standard
// normal: mean about 0 and standard deviation about 1 over all subjects and
// variables.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroTestSupport.h"
#include "anthro/MKSurveySubjects.h"

namespace {

constexpr unsigned int kStature = 100, kWeight = 125;

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
  std::set<std::string> measured;  // acronyms of every variable any subject has
  std::set<std::string> predicted;
  Moments pooled;
};

SexResult Evaluate(int sex) {
  SexResult result;
  MKSurveySubjects survey;
  EXPECT_EQ(survey.ReadSurvey(1988, sex), MKStatusSuccess) << survey.GetProblem();
  MKAnthro anthro(nullptr, nullptr, sex);
  // The subjects' own values, unclamped: one man weighs more than 4 SD above the mean.
  anthro.SetInterpolationMethod(0);
  MKAnthroVariable* stature = anthro.GetVariableFromRefNumber(kStature);
  MKAnthroVariable* weight = anthro.GetVariableFromRefNumber(kWeight);
  for (unsigned int i = 0; i < survey.GetNumberOfSubjects(); i += 4) {
    const MKSubject& subject = *survey.GetSubjectAtIndex(i);
    EXPECT_EQ(stature->SetUserValue(subject.GetMeasuredValue(kStature)), MKStatusSuccess);
    EXPECT_EQ(weight->SetUserValue(subject.GetMeasuredValue(kWeight)), MKStatusSuccess);
    EXPECT_EQ(anthro.Update(), MKStatusSuccess) << "subject " << subject.GetIdentifier();
    ++result.subjects;
    for (const MKSubject::Measurement& m : subject.GetMeasurements()) {
      const MKAnthroVariable* v = anthro.GetVariableFromRefNumber(m.referenceNumber);
      const std::string acronym(v->GetAcronym());
      result.measured.insert(acronym);
      if (v == stature || v == weight) continue;
      const double z = (m.value - v->GetValue()) / v->GetCalculatedStdDev();
      result.pooled.Add(z);
      result.predicted.insert(acronym);
    }
  }
  return result;
}

TEST(MKAnthroAccuracyTest, ResidualsOfStatureAndWeightPredictionsAreStandardNormal) {
  const SexResult women = Evaluate(0);
  const SexResult men = Evaluate(1);
  ASSERT_EQ(women.subjects, 552);
  ASSERT_EQ(men.subjects, 444);
  // The survey measures exactly the variables the mapping calls exact.
  const mkanthrotest::Table mapping =
      mkanthrotest::ReadTable(mkanthrotest::SourcePath("../../tools/anthro/mapping.csv"));
  std::set<std::string> exact;
  for (const auto& row : mapping.rows)
    if (row[mapping.Column("match")] == "exact") exact.insert(row[mapping.Column("acronym")]);
  EXPECT_EQ(exact.size(), 84u);
  EXPECT_EQ(women.measured, exact);
  EXPECT_EQ(men.measured, exact);
  ASSERT_EQ(women.predicted.size(), 82u);
  ASSERT_EQ(men.predicted.size(), 82u);

  for (const SexResult* r : {&women, &men}) {
    EXPECT_NEAR(r->pooled.Mean(), 0.0, 0.05);
    EXPECT_GT(r->pooled.StdDev(), 0.9);
    EXPECT_LT(r->pooled.StdDev(), 1.1);
  }
}

}  // namespace
