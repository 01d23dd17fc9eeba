// The statistical prediction of an anthropometry: free variables as the
// conditional expectation of the population's multivariate normal
// distribution given the fixed ones, with their conditional standard
// deviations.
//
// With S11 the covariance of the fixed variables, S21 that of the free
// variables with the fixed ones and x the fixed deviations from the mean:
//   mean of free i     = m_i + S21_i . S11^-1 . x
//   variance of free i = s_i^2 - S21_i . S11^-1 . S21_i
// The survey's height dimensions are nearly collinear, so S11 can be badly
// conditioned: it is factored as L L^T (Cholesky) and only triangular
// systems are solved, y_i = L^-1 S21_i and u = L^-1 x, giving the mean
// m_i + y_i . u and the variance s_i^2 - |y_i|^2 (never above s_i^2). A block
// that is not numerically positive definite falls back to the Gauss-Jordan
// inverse of MKNxMMatrix, which answers the identity for a singular block.
#include <cmath>
#include <vector>

#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "math/MKNxMMatrix.h"
#include "vision/MKVision.h"

namespace {

// A pivot below this fraction of its diagonal entry marks a block that is
// singular to working precision.
constexpr double kSingularPivot = 1e-12;

struct Partition {
  std::vector<MKAnthroVariable*> fixed;
  std::vector<MKAnthroVariable*> free;
};

// Covariance of two variables: the correlation asked of the variable with
// the lower reference number for the higher one, times both deviations.
double Covariance(const MKAnthroVariable& a, const MKAnthroVariable& b) {
  if (&a == &b) return a.GetStdDev() * a.GetStdDev();
  const bool aFirst = a.GetReferenceNumber() <= b.GetReferenceNumber();
  const MKAnthroVariable& lower = aFirst ? a : b;
  const MKAnthroVariable& higher = aFirst ? b : a;
  const double r =
      lower.GetCorrelationValue(static_cast<unsigned int>(higher.GetReferenceNumber()));
  return r * a.GetStdDev() * b.GetStdDev();
}

// In-place Cholesky factor (lower triangle, row-major k x k); false when the
// matrix is not numerically positive definite.
bool Factor(std::vector<double>& a, std::size_t k) {
  for (std::size_t j = 0; j < k; ++j) {
    const double diagonal = a[j * k + j];
    double pivot = diagonal;
    for (std::size_t p = 0; p < j; ++p) pivot -= a[j * k + p] * a[j * k + p];
    if (!(pivot > kSingularPivot * diagonal) || !std::isfinite(pivot)) return false;
    const double root = std::sqrt(pivot);
    a[j * k + j] = root;
    for (std::size_t i = j + 1; i < k; ++i) {
      double sum = a[i * k + j];
      for (std::size_t p = 0; p < j; ++p) sum -= a[i * k + p] * a[j * k + p];
      a[i * k + j] = sum / root;
    }
  }
  return true;
}

// Solves L y = b in place.
void ForwardSubstitute(const std::vector<double>& l, std::size_t k, std::vector<double>& b) {
  for (std::size_t i = 0; i < k; ++i) {
    double sum = b[i];
    for (std::size_t p = 0; p < i; ++p) sum -= l[i * k + p] * b[p];
    b[i] = sum / l[i * k + i];
  }
}

// Conditional mean and variance of every free variable, in partition order.
void Condition(const Partition& part, std::vector<double>& mean, std::vector<double>& variance) {
  const std::size_t k = part.fixed.size();
  const std::size_t free = part.free.size();
  mean.assign(free, 0.0);
  variance.assign(free, 0.0);

  std::vector<double> s11(k * k);
  std::vector<double> x(k);
  for (std::size_t i = 0; i < k; ++i) {
    x[i] = part.fixed[i]->GetValue() - part.fixed[i]->GetMean();
    for (std::size_t j = 0; j <= i; ++j)
      s11[i * k + j] = s11[j * k + i] = Covariance(*part.fixed[i], *part.fixed[j]);
  }
  std::vector<double> s21(free * k);
  for (std::size_t i = 0; i < free; ++i)
    for (std::size_t j = 0; j < k; ++j) s21[i * k + j] = Covariance(*part.free[i], *part.fixed[j]);

  std::vector<double> factor = s11;
  if (Factor(factor, k)) {
    ForwardSubstitute(factor, k, x);
    std::vector<double> y(k);
    for (std::size_t i = 0; i < free; ++i) {
      y.assign(s21.begin() + static_cast<std::ptrdiff_t>(i * k),
               s21.begin() + static_cast<std::ptrdiff_t>((i + 1) * k));
      ForwardSubstitute(factor, k, y);
      double shift = 0.0, explained = 0.0;
      for (std::size_t p = 0; p < k; ++p) {
        shift += y[p] * x[p];
        explained += y[p] * y[p];
      }
      const double s = part.free[i]->GetStdDev();
      mean[i] = part.free[i]->GetMean() + shift;
      variance[i] = s * s - explained;
    }
    return;
  }

  MKNxMMatrix block(static_cast<int>(k), static_cast<int>(k));
  for (std::size_t i = 0; i < k; ++i)
    for (std::size_t j = 0; j < k; ++j)
      block(static_cast<int>(i), static_cast<int>(j)) = s11[i * k + j];
  MKNxMMatrix inverse = !block;
  std::vector<double> w(k, 0.0);
  for (std::size_t i = 0; i < k; ++i)
    for (std::size_t j = 0; j < k; ++j)
      w[i] += inverse(static_cast<int>(i), static_cast<int>(j)) * x[j];
  std::vector<double> row(k);
  for (std::size_t i = 0; i < free; ++i) {
    const double* s = &s21[i * k];
    double shift = 0.0, explained = 0.0;
    for (std::size_t p = 0; p < k; ++p) {
      shift += s[p] * w[p];
      double sum = 0.0;
      for (std::size_t q = 0; q < k; ++q)
        sum += inverse(static_cast<int>(p), static_cast<int>(q)) * s[q];
      explained += s[p] * sum;
    }
    const double deviation = part.free[i]->GetStdDev();
    mean[i] = part.free[i]->GetMean() + shift;
    variance[i] = deviation * deviation - explained;
  }
}

Partition Split(const KelRawCollPV& variables) {
  Partition part;
  for (int i = 1; i <= variables.Size(); ++i) {
    auto* variable = static_cast<MKAnthroVariable*>(variables[i]);
    if (!variable) continue;
    (variable->GetManagementType() == 1 ? part.fixed : part.free).push_back(variable);
  }
  return part;
}

// Sets the conditional deviations of the free variables; where one is out of
// range the variable keeps its previous deviation and the status is 5.
MKStatus ApplyStdDev(const Partition& part, std::vector<double>& variance) {
  std::vector<double> previous(part.free.size());
  for (std::size_t i = 0; i < part.free.size(); ++i) {
    previous[i] = part.free[i]->GetCalculatedStdDev();
    part.free[i]->SetCalculatedStdDev(part.free[i]->GetStdDev());
  }
  MKStatus status = MKStatusSuccess;
  for (std::size_t i = 0; i < part.free.size(); ++i) {
    if (part.free[i]->CheckCalculatedStdDev(std::sqrt(variance[i])) != MKStatusSuccess) {
      variance[i] = previous[i] * previous[i];
      status = MKStatusValueRefused;
    }
  }
  for (std::size_t i = 0; i < part.free.size(); ++i)
    part.free[i]->SetCalculatedStdDev(std::sqrt(variance[i]));
  return status;
}

}  // namespace

MKStatus MKAnthro::Update() {
  return Predict(false);
}

MKStatus MKAnthro::InitialUpdate() {
  return Predict(true);
}

MKStatus MKAnthro::Predict(bool initial) {
  if (initial) {
    for (int i = 1; i <= variables.Size(); ++i) {
      auto* variable = static_cast<MKAnthroVariable*>(variables[i]);
      if (!variable || variable->GetManagementType() != 1) continue;
      const double low = variable->GetMinValue();
      const double high = variable->GetMaxValue();
      if (variable->GetValue() > high)
        variable->SetUserValue(high);
      else if (variable->GetValue() < low)
        variable->SetUserValue(low);
    }
  }

  const Partition part = Split(variables);
  MKStatus status = MKStatusSuccess;
  if (part.fixed.empty()) {
    for (MKAnthroVariable* variable : part.free) {
      variable->SetValueFromPercentile(50.0);
      variable->calculatedMean = variable->GetMean();
      variable->calculatedStdDev = variable->GetStdDev();
    }
  } else if (!part.free.empty()) {
    std::vector<double> mean, variance;
    Condition(part, mean, variance);
    for (std::size_t i = 0; i < part.free.size(); ++i)
      if (part.free[i]->CheckCalculatedMean(mean[i]) != MKStatusSuccess)
        status = MKStatusValueRefused;
    if (status == MKStatusSuccess) {
      if (initial) {
        for (std::size_t i = 0; i < part.free.size(); ++i)
          part.free[i]->SetCalculatedStdDev(std::sqrt(variance[i]));
      } else {
        status = ApplyStdDev(part, variance);
      }
      for (std::size_t i = 0; i < part.free.size(); ++i) {
        part.free[i]->SetValue(mean[i]);
        part.free[i]->SetCalculatedMean(mean[i]);
      }
    }
  }
  // With a manikin, the body is resized and reskinned (always for
  // InitialUpdate, and for Update unless every variable is fixed).
  const bool rebuild = manikin && (initial || !part.free.empty());
  if (refitsHeld > 0) {
    refitOwed = true;
    rebuildOwed = rebuildOwed || rebuild;
    return status;
  }
  const MKStatus built = Refit(rebuild, true);
  if (rebuild && (initial || status == MKStatusSuccess)) status = built;
  return status;
}

MKStatus MKAnthro::Refit(bool rebuild, bool spine) {
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  // The gaze survives the rebuild as a distance and angles of the eyes.
  MKVision* vision = manikin ? manikin->GetVision() : nullptr;
  const double focal = vision ? vision->GetFocalDistance() : 0.0;
  const double vertical = vision ? vision->GetVerticalAngle() : 0.0;
  const double horizontal = vision ? vision->GetHorizontalAngle() : 0.0;
  MKStatus built = MKStatusSuccess;
  if (rebuild) {
    built = manikin->BuildManikin(sex);
    if (body) body->RebuildMeshes();
  }
  // The spine DOFs are re-initialised on the new skeleton.
  if (body && spine)
    for (unsigned int index : {4u, 9u, 24u})
      if (MKSegment* segment = body->GetSegmentAtIndex(index))
        for (int axis = 0; axis < 3; ++axis)
          if (MKDOF* dof = segment->GetDOF(axis)) dof->InitializeSpineDof();
  if (rebuild) {
    UpdateAnchorPoints();
    if (vision) vision->LookAt(focal, vertical, horizontal);
  }
  return built;
}

void MKAnthro::HoldRefits() {
  ++refitsHeld;
}

void MKAnthro::ReleaseRefits() {
  if (--refitsHeld > 0 || !refitOwed) return;
  refitOwed = false;
  const bool rebuild = rebuildOwed;
  rebuildOwed = false;
  Refit(rebuild, true);
}

MKStatus MKAnthro::UpdateCalculatedStdDev() {
  const Partition part = Split(variables);
  if (part.fixed.empty()) {
    for (MKAnthroVariable* variable : part.free) variable->calculatedStdDev = variable->GetStdDev();
    return MKStatusSuccess;
  }
  if (part.free.empty()) return MKStatusSuccess;
  std::vector<double> mean, variance;
  Condition(part, mean, variance);
  return ApplyStdDev(part, variance);
}

void MKAnthro::FillSigma(MKNxMMatrix& matrix, int rowType, int columnType) const {
  int row = 0;
  for (int i = 1; i <= variables.Size(); ++i) {
    const auto* a = static_cast<const MKAnthroVariable*>(variables[i]);
    if (!a || a->GetManagementType() != rowType) continue;
    int column = 0;
    for (int j = 1; j <= variables.Size(); ++j) {
      const auto* b = static_cast<const MKAnthroVariable*>(variables[j]);
      if (!b || b->GetManagementType() != columnType) continue;
      matrix(row, column++) = Covariance(*a, *b);
    }
    ++row;
  }
}
