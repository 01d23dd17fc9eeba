#include "anthro/MKAnthro.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "anthro/MKDBAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "math/MKNxMMatrix.h"
#include "parts/MKStreamTestSupport.h"

namespace {

const MKDBAnthro* BuiltIn() {
  return MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();
}

std::unique_ptr<MKAnthro> NewAnthro(int sex) {
  auto anthro = std::make_unique<MKAnthro>(nullptr, nullptr, sex);
  anthro->Update();
  return anthro;
}

MKAnthroVariable& Var(const MKAnthro& anthro, const char* acronym) {
  return *anthro.GetVariable(acronym);
}

// The coefficient of a pair, asked of the lower number as the database wants.
double R(const MKAnthroVariable& a, const MKAnthroVariable& b) {
  const bool aFirst = a.GetReferenceNumber() < b.GetReferenceNumber();
  return (aFirst ? a : b)
      .GetCorrelationValue(static_cast<unsigned int>((aFirst ? b : a).GetReferenceNumber()));
}

struct Snapshot {
  std::vector<double> value, mean, stdDev;
  std::vector<int> type;
};

Snapshot Take(const MKAnthro& anthro) {
  Snapshot s;
  for (unsigned int i = 0; i < anthro.GetNumberOfVariables(); ++i) {
    const MKAnthroVariable* v = anthro.GetVariableAtIndex(i);
    s.value.push_back(v->GetValue());
    s.mean.push_back(v->GetCalculatedMean());
    s.stdDev.push_back(v->GetCalculatedStdDev());
    s.type.push_back(v->GetManagementType());
  }
  return s;
}

void ExpectSame(const Snapshot& a, const Snapshot& b) {
  EXPECT_EQ(a.value, b.value);
  EXPECT_EQ(a.mean, b.mean);
  EXPECT_EQ(a.stdDev, b.stdDev);
  EXPECT_EQ(a.type, b.type);
}

TEST(MKAnthroTest, NewAnthropometryOnTheBuiltInPopulation) {
  MKAnthro anthro(nullptr, nullptr, 0);
  EXPECT_EQ(anthro.GetDatabase(), BuiltIn());
  EXPECT_EQ(anthro.GetInterpolationMethod(), 1);
  EXPECT_EQ(anthro.GetLimitBound(), 4.0);
  EXPECT_NEAR(anthro.GetPopulationAccommodation(), 99.99, 0.01);
  // Without a manikin there is no body to measure anchor points on.
  EXPECT_EQ(anthro.UpdateAnchorPoints(), MKStatusFailure);
  ASSERT_EQ(anthro.GetNumberOfVariables(), 103u);

  // Not predicted yet: value 0, the population's statistics for the sex.
  const MKAnthroVariable& stature = Var(anthro, "<STATURE>");
  EXPECT_EQ(stature.GetValue(), 0.0);
  EXPECT_EQ(stature.GetCalculatedMean(), 162.94);
  EXPECT_EQ(stature.GetCalculatedStdDev(), 6.36);
  EXPECT_TRUE(std::isnan(stature.GetFirstAnchorPoint().x));

  // Nothing fixed gives the population means.
  for (int sex = 0; sex <= 1; ++sex) {
    auto anthro = NewAnthro(sex);
    for (unsigned int i = 0; i < anthro->GetNumberOfVariables(); ++i) {
      const MKAnthroVariable* v = anthro->GetVariableAtIndex(i);
      EXPECT_EQ(v->GetValue(), v->GetDBVariable()->GetMean(sex)) << v->GetAcronym();
      EXPECT_EQ(v->GetCalculatedMean(), v->GetMean());
      EXPECT_EQ(v->GetCalculatedStdDev(), v->GetDBVariable()->GetStdDev(sex));
      EXPECT_EQ(v->GetManagementType(), 0);
      EXPECT_NEAR(v->GetValueAsPercentile(), 50.0, 1e-9);
    }
  }
}

// The documented formulas with the explicit inverse of MKNxMMatrix, on
// FillSigma's blocks: the Cholesky solution must agree with them. Three weakly
// correlated dimensions give a well-conditioned block, which the factorisation
// itself must solve, with every off-diagonal term of its factor in play.
TEST(MKAnthroTest, PredictionAgreesWithTheExplicitInverse) {
  auto anthro = NewAnthro(1);
  const char* fixed[] = {"<HANDLGTH>", "<CHSTCIRC>", "<SITTHGHT>"};
  const double z[] = {1.5, -1.1, 0.9};
  for (int i = 0; i < 3; ++i) {
    MKAnthroVariable& v = Var(*anthro, fixed[i]);
    v.SetUserValue(v.GetMean() + z[i] * v.GetStdDev());
  }
  ASSERT_EQ(anthro->Update(), MKStatusSuccess);

  const int k = 3, n = 103;
  MKNxMMatrix s11(k, k), s21(n - k, k);
  anthro->FillSigma(s11, 1, 1);
  anthro->FillSigma(s21, 0, 1);
  MKNxMMatrix inverse = !s11;
  std::vector<double> x;
  std::vector<const MKAnthroVariable*> fixedInOrder, free;
  for (unsigned int i = 0; i < anthro->GetNumberOfVariables(); ++i) {
    const MKAnthroVariable* v = anthro->GetVariableAtIndex(i);
    if (v->GetManagementType() == 1) {
      x.push_back(v->GetValue() - v->GetMean());
      fixedInOrder.push_back(v);
    } else {
      free.push_back(v);
    }
  }
  ASSERT_EQ(static_cast<int>(free.size()), n - k);
  // Blocks in list order, each entry the covariance of its pair; weakly correlated.
  for (int p = 0; p < k; ++p)
    for (int q = 0; q < k; ++q) {
      const MKAnthroVariable &a = *fixedInOrder[p], &b = *fixedInOrder[q];
      const double r = p == q ? 1.0 : R(a, b);
      EXPECT_DOUBLE_EQ(s11(p, q), r * a.GetStdDev() * b.GetStdDev());
      EXPECT_LT(std::fabs(r), p == q ? 1.1 : 0.6);
    }
  for (int i = 0; i < n - k; ++i) {
    double mean = free[i]->GetMean(), explained = 0.0;
    for (int p = 0; p < k; ++p)
      for (int q = 0; q < k; ++q) {
        mean += s21(i, p) * inverse(p, q) * x[q];
        explained += s21(i, p) * inverse(p, q) * s21(i, q);
      }
    EXPECT_NEAR(free[i]->GetValue(), mean, 1e-9 * mean) << free[i]->GetAcronym();
    const double sd = std::sqrt(free[i]->GetStdDev() * free[i]->GetStdDev() - explained);
    EXPECT_NEAR(free[i]->GetCalculatedStdDev(), sd, 1e-9 * free[i]->GetStdDev())
        << free[i]->GetAcronym();
  }
  // The face variables without survey data stay at their means.
  EXPECT_EQ(Var(*anthro, "<GLABX>").GetValue(), Var(*anthro, "<GLABX>").GetMean());
  EXPECT_EQ(Var(*anthro, "<GLABX>").GetCalculatedStdDev(), Var(*anthro, "<GLABX>").GetStdDev());
}

TEST(MKAnthroTest, NegativePredictionIsRefusedAndLeavesTheValues) {
  auto anthro = NewAnthro(0);
  anthro->SetInterpolationMethod(0);
  MKAnthroVariable& stature = Var(*anthro, "<STATURE>");
  stature.SetUserValue(stature.GetMean() + stature.GetStdDev());
  ASSERT_EQ(anthro->Update(), MKStatusSuccess);
  const Snapshot before = Take(*anthro);
  // A 1 cm stature predicts negative ankle heights.
  EXPECT_EQ(stature.SetUserValue(1.0), MKStatusSuccess);
  EXPECT_EQ(anthro->Update(), MKStatusValueRefused);
  Snapshot after = Take(*anthro);
  unsigned int index = 0;
  while (anthro->GetVariableAtIndex(index) != &stature) ++index;
  after.value[index] = before.value[index];
  ExpectSame(before, after);
}

TEST(MKAnthroTest, BoundsClampFixedValues) {
  auto anthro = NewAnthro(1);
  MKAnthroVariable& stature = Var(*anthro, "<STATURE>");
  const double m = stature.GetMean(), s = stature.GetStdDev();
  EXPECT_EQ(stature.SetUserValue(m + 5 * s), MKStatusValueRefused);
  EXPECT_DOUBLE_EQ(stature.GetValue(), m + 4 * s);
  EXPECT_EQ(stature.GetManagementType(), 1);
  EXPECT_EQ(stature.SetUserValue(m - 5 * s), MKStatusValueRefused);
  EXPECT_DOUBLE_EQ(stature.GetValue(), m - 4 * s);
  EXPECT_EQ(stature.SetUserValue(m - 3 * s), MKStatusSuccess);

  EXPECT_EQ(anthro->SetLimitBound(-1.0), MKStatusSuccess);
  EXPECT_EQ(anthro->GetLimitBound(), 0.0);
  EXPECT_EQ(anthro->GetPopulationAccommodation(), 0.0);
  // With a zero bound a fixed value collapses onto its prediction.
  EXPECT_EQ(stature.GetValue(), stature.GetCalculatedMean());
  anthro->SetLimitBound(7.0);
  EXPECT_EQ(anthro->GetLimitBound(), 4.0);

  EXPECT_EQ(anthro->SetPopulationAccommodation(95.0), MKStatusSuccess);
  EXPECT_NEAR(anthro->GetLimitBound(), 1.96, 0.005);
  EXPECT_EQ(anthro->GetPopulationAccommodation(), 95.0);
  EXPECT_DOUBLE_EQ(
      stature.GetMaxValue(),
      stature.GetCalculatedMean() + anthro->GetLimitBound() * stature.GetCalculatedStdDev());
  EXPECT_EQ(anthro->SetPopulationAccommodation(100.5), MKStatus(10));
  EXPECT_EQ(anthro->SetPopulationAccommodation(-0.5), MKStatus(10));
  EXPECT_EQ(anthro->SetPopulationAccommodation(100.0), MKStatusSuccess);
  EXPECT_EQ(anthro->GetLimitBound(), 4.0);

  EXPECT_EQ(stature.SetUserValueFromPercentile(100.5), MKStatus(7));
  EXPECT_EQ(stature.SetUserValueFromPercentile(95.0), MKStatusSuccess);
  EXPECT_NEAR(stature.GetValue(), m + 1.645 * s, 0.01);
  EXPECT_NEAR(stature.GetValueAsPercentile(), 95.0, 0.01);
}

TEST(MKAnthroTest, InitialUpdateBringsFixedValuesWithinBounds) {
  auto anthro = NewAnthro(1);
  MKAnthroVariable& stature = Var(*anthro, "<STATURE>");
  // The 100th percentile lies beyond 4 standard deviations.
  stature.SetValueFromPercentile(100.0);
  stature.SetManagementType(1);
  const double beyond = stature.GetValue();
  ASSERT_GT(beyond, stature.GetMaxValue());
  anthro->Update();
  EXPECT_EQ(stature.GetValue(), beyond);
  EXPECT_EQ(anthro->InitialUpdate(), MKStatusSuccess);
  EXPECT_DOUBLE_EQ(stature.GetValue(), stature.GetMean() + 4 * stature.GetStdDev());
  const MKAnthroVariable& span = Var(*anthro, "<SPAN>");
  EXPECT_GT(span.GetValue(), span.GetMean() + 3 * span.GetStdDev());
  EXPECT_LT(span.GetCalculatedStdDev(), span.GetStdDev());
}

TEST(MKAnthroTest, ChangingSexKeepsValuesOrPercentiles) {
  auto anthro = NewAnthro(0);
  MKAnthroVariable& stature = Var(*anthro, "<STATURE>");
  stature.SetUserValue(170.0);
  anthro->Update();
  const Snapshot before = Take(*anthro);
  EXPECT_EQ(anthro->SetSex(2), MKStatus(6));
  EXPECT_EQ(anthro->SetSex(0), MKStatus(1));
  EXPECT_EQ(anthro->GetSex(), 0);
  ExpectSame(before, Take(*anthro));

  // Value type 0: the same 170 cm, predicted as a man.
  EXPECT_EQ(anthro->SetSex(1), MKStatusSuccess);
  EXPECT_EQ(stature.GetValue(), 170.0);
  EXPECT_EQ(stature.GetManagementType(), 1);
  const MKAnthroVariable& span = Var(*anthro, "<SPAN>");
  const double r = R(span, stature);
  EXPECT_NEAR(span.GetValue(), 182.31 + r * 8.19 * (170.0 - 175.58) / 6.68, 1e-9);
  EXPECT_EQ(Var(*anthro, "<WEIGHT>").GetManagementType(), 0);

  // Value type 1: the same percentile.
  EXPECT_EQ(anthro->SetValueType(2), MKStatusValueRefused);
  EXPECT_EQ(anthro->SetValueType(1), MKStatusSuccess);
  stature.SetUserValueFromPercentile(90.0);
  anthro->Update();
  EXPECT_EQ(anthro->SetSex(0), MKStatusSuccess);
  // Both conversions interpolate in tables: they agree to about 0.01.
  EXPECT_NEAR(stature.GetValueAsPercentile(), 90.0, 0.01);
  EXPECT_NEAR(stature.GetValue(), 162.94 + 1.2816 * 6.36, 0.01);
}

TEST(MKAnthroTest, UsingAnotherDatabase) {
  auto anthro = NewAnthro(0);
  EXPECT_EQ(anthro->UseAnthroDB(nullptr), MKStatusAnthroDB);
  EXPECT_EQ(anthro->UseAnthroDB(BuiltIn()), MKStatusSuccess);

  MKDBAnthro small;
  small.AddVariable(new MKDBAnthroVariable(100, 0, 170, 7, 180, 7, "<STATURE>"));
  EXPECT_EQ(anthro->UseAnthroDB(&small), MKStatusFailure);

  MKDBAnthro taller(*BuiltIn());
  MKDBAnthro broken(*BuiltIn());
  broken.GetVariableFromRefNumber(60)->InitValues(18.0, 1.0, 0.0, 1.0);
  MKAnthroVariable* stature = anthro->GetVariable("<STATURE>");
  stature->SetUserValue(168.0);
  anthro->Update();
  EXPECT_EQ(anthro->UseAnthroDB(&broken), MKStatusValueRefused);
  EXPECT_EQ(anthro->GetDatabase(), BuiltIn());
  EXPECT_EQ(anthro->GetVariable("<STATURE>"), stature);

  taller.GetVariableFromRefNumber(100)->InitValues(170.0, 6.0, 180.0, 7.0);
  ASSERT_EQ(anthro->UseAnthroDB(&taller), MKStatusSuccess);
  EXPECT_EQ(anthro->GetDatabase(), &taller);
  stature = anthro->GetVariable("<STATURE>");
  EXPECT_EQ(stature->GetDBVariable(), taller.GetVariableFromRefNumber(100));
  EXPECT_EQ(stature->GetManagementType(), 1);
  EXPECT_EQ(stature->GetValue(), 168.0);
  EXPECT_EQ(stature->GetMean(), 170.0);
  anthro->UseAnthroDB(BuiltIn());  // `taller` goes out of scope before the anthropometry
}

}  // namespace
