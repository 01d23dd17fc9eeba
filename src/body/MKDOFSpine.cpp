// The spine view of a DOF: a DOF of the first vertebra of a run of
// vertebrae standing for the whole run (its aggregate angle, limits and
// preferred zones), and the distribution of an aggregate angle over the run.
#include <cmath>
#include <functional>
#include <vector>

#include "anthro/MKDBJointLimitsVariable.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "host/KelMathVector.h"
#include "math/MKMathRoutines.h"
#include "math/MKUnitConversions.h"

namespace {

constexpr double kTolerance = 1.1920929e-09;
constexpr double kSignFlipTolerance = 100.0 * kTolerance;
constexpr double kFirstGain = 1.5;
constexpr double kReportedZero = 1e-06;
// Passes of the distribution loop; a chain that cannot follow stops earlier
// through the stall test, this only bounds a pathological one.
constexpr int kMaxDistributionPasses = 200;

double Radians(double degrees) {
  return MKUnitConversions::DegreesToRadians(degrees);
}

KelMathVector ToKel(const MK3x1Matrix& v) {
  return KelMathVector(v(0), v(1), v(2));
}

double FoldedAngle(const MK3x1Matrix& from, const MK3x1Matrix& to) {
  double angle = ToKel(from).GetAngleTo(ToKel(to));
  if (angle >= M_PI) angle = 2.0 * M_PI - angle;
  return angle;
}

// Saved state of one DOF of the run, restored after a measurement.
struct SavedDOF {
  MKDOF* dof;
  double value;
  bool valueLocked;
  double minLim;
  double maxLim;
  bool limitsLocked;
};

}  // namespace

MKSegment* MKDOF::GetOwnerSegment() const {
  return owner && owner->GetMKClassName() == MKSegmentClass ? static_cast<MKSegment*>(owner)
                                                            : nullptr;
}

std::vector<MKSegment*> MKDOF::GetSpineSegments() const {
  std::vector<MKSegment*> run;
  MKSegment* first = GetOwnerSegment();
  MKBody* body = GetBody();
  if (!first || !body || !IsSpineDOF()) return run;
  for (int n = ownerShortName; n <= endSpineElement; ++n)
    if (MKSegment* segment = body->GetSegment(static_cast<MKShortName>(n))) run.push_back(segment);
  return run;
}

KelRawCollPV MKDOF::GetSpineDofList() const {
  KelRawCollPV members;
  for (MKSegment* segment : GetSpineSegments())
    if (MKDOF* dof = segment->GetDOF(axis)) members.Append(dof);
  return members;
}

void MKDOF::SetEndSpineElement(MKShortName end) {
  if (end == endSpineElement) return;
  endSpineElement = end;
  InitializeSpineDof();
}

namespace {

// Saves every DOF of the run, unlocks and resets its limits to the database
// means, unlocks its value; resets the DOFs of `resetAxes`.
std::vector<SavedDOF> SaveAndRelax(const std::vector<MKSegment*>& run) {
  std::vector<SavedDOF> saved;
  for (MKSegment* segment : run) {
    for (int a = 0; a < 3; ++a) {
      MKDOF* dof = segment->GetDOF(a);
      if (!dof) continue;
      saved.push_back({dof, dof->GetMathematicalValue(), dof->GetDOFState() == MKDOF::ValueLocked,
                       dof->GetMinLimNoCoupling(true), dof->GetMaxLimNoCoupling(true),
                       dof->AreLimitsLocked()});
      dof->UnlockLimits();
      dof->ResetLimits();
      dof->UnlockValue();
    }
  }
  return saved;
}

void RestoreLimitsAndLocks(const std::vector<SavedDOF>& saved, bool values) {
  for (const SavedDOF& s : saved) {
    s.dof->UnlockLimits();
    s.dof->SetMinLim(s.minLim, 1.0, false);
    s.dof->SetMaxLim(s.maxLim, 1.0, false);
    if (s.limitsLocked) s.dof->LockLimits();
    if (values) s.dof->SetMathematicalValue(s.value);
    if (s.valueLocked) s.dof->LockValue();
  }
}

void ResetAxes(const std::vector<SavedDOF>& saved, int exceptAxis) {
  for (const SavedDOF& s : saved)
    if (s.dof->GetNumber() != exceptAxis) s.dof->Reset();
}

}  // namespace

MK3x1Matrix MKDOF::SpineChainVector() const {
  const std::vector<MKSegment*> run = GetSpineSegments();
  return run.back()->GetEndPosition() - run.front()->GetOriginPosition();
}

MK3x1Matrix MKDOF::SpineRotationAxis() const {
  const MK4x4Matrix& global = GetOwnerSegment()->GetGlobalMatrix();
  return MK3x1Matrix(global(axis, 0), global(axis, 1), global(axis, 2));
}

double MKDOF::CalculateSpineDofValue() const {
  const std::vector<MKSegment*> run = GetSpineSegments();
  if (run.empty() || run.back()->GetShortName() != endSpineElement) return 0.0;
  if (axis == 2) {
    double sum = 0.0;
    for (int i = 1; i <= GetSpineDofList().Size(); ++i)
      sum += static_cast<MKDOF*>(GetSpineDofList()[i])->GetValue();
    return sum;
  }
  const std::vector<SavedDOF> saved = SaveAndRelax(run);
  ResetAxes(saved, axis);
  MK3x1Matrix v = SpineChainVector();
  ResetAxes(saved, -1);
  MK3x1Matrix r = SpineChainVector();
  const MK3x1Matrix a = SpineRotationAxis();
  if (r.VectProd(v).VectDot(a) < 0) std::swap(r, v);
  const double angle = FoldedAngle(r, v);
  RestoreLimitsAndLocks(saved, true);
  return angle;
}

double MKDOF::GetValueOfSpineDof() {
  if (state != ValueLocked) spineValue = CalculateSpineDofValue();
  return std::fabs(spineValue) < kReportedZero ? 0.0 : spineValue;
}

void MKDOF::UpdateValueOfSpineDof() {
  spineValue = CalculateSpineDofValue();
}

void MKDOF::InitializeSpineDofValue() {
  if (owner) UpdateValueOfSpineDof();
}

double MKDOF::MeasureRunAt(const std::function<double(const MKDOF&)>& valueOf) const {
  const KelRawCollPV members = GetSpineDofList();
  std::vector<double> values;
  std::vector<bool> locked;
  for (int i = 1; i <= members.Size(); ++i) {
    auto* m = static_cast<MKDOF*>(members[i]);
    values.push_back(m->GetMathematicalValue());
    locked.push_back(m->GetDOFState() == ValueLocked);
    m->UnlockValue();
    m->SetMathematicalValue(valueOf(*m));
  }
  // The run's angle takes the side its first vertebra turns to.
  const double measured = CalculateSpineDofValue() * GetRange();
  for (int i = 1; i <= members.Size(); ++i) {
    auto* m = static_cast<MKDOF*>(members[i]);
    m->SetMathematicalValue(values[static_cast<std::size_t>(i - 1)]);
    if (locked[static_cast<std::size_t>(i - 1)]) m->LockValue();
  }
  return measured;
}

void MKDOF::InitializeSpineDofLims() {
  const KelRawCollPV members = GetSpineDofList();
  if (members.Size() == 0) return;
  spineMinMean = spineMinStdDev = spineMaxMean = spineMaxStdDev = 0.0;
  for (int i = 1; i <= members.Size(); ++i) {
    auto* m = static_cast<MKDOF*>(members[i]);
    // Vertebrae move together: percentiles of the run add up, so do means
    // and standard deviations.
    spineMinMean += m->GetMinMean();
    spineMinStdDev += m->GetMinStdDev();
    spineMaxMean += m->GetMaxMean();
    spineMaxStdDev += m->GetMaxStdDev();
  }
  spineMinLim = -MeasureRunAt([](const MKDOF& m) { return -m.GetMinLimNoCoupling(true); });
  spineMaxLim = MeasureRunAt([](const MKDOF& m) { return m.GetMaxLimNoCoupling(true); });
}

void MKDOF::InitializeSpineDof() {
  if (!IsSpineDOF()) return;
  InitializeSpineDofValue();
  InitializeSpineDofLims();
  InitializeSpinePrefAngles();
}

int MKDOF::GetRangeOfSpineDof() const {
  return range;
}

double MKDOF::GetMinLimOfSpineDof() const {
  return state == ValueLocked ? spineValue : spineMinLim;
}

double MKDOF::GetMaxLimOfSpineDof() const {
  return state == ValueLocked ? spineValue : spineMaxLim;
}

MKStatus MKDOF::SetValueOfSpineDof(double magnitude, int newRange) {
  if (state == ValueLocked || state == LimitsRemoved || (newRange != 1 && newRange != -1))
    return MKStatusCoupledSpine;
  const std::vector<MKSegment*> run = GetSpineSegments();
  const KelRawCollPV members = GetSpineDofList();
  if (run.empty() || members.Size() == 0) return MKStatusCoupledSpine;
  const double target = magnitude * newRange;
  const double current = spineValue * range;

  // The same angle on the other side: every member simply turns the other way.
  if (target * current < 0 &&
      std::fabs(std::fabs(target) - std::fabs(current)) < kSignFlipTolerance &&
      std::fabs(spineMaxLim - spineMinLim) < kSignFlipTolerance) {
    for (int i = 1; i <= members.Size(); ++i) {
      auto* m = static_cast<MKDOF*>(members[i]);
      m->SetMathematicalValue(-m->GetMathematicalValue());
      m->InvalidateOwner();
    }
    spineValue = std::fabs(target);
    return MKStatusSuccess;
  }

  if (axis == 2) {
    std::vector<double> weights;
    double total = 0.0;
    for (int i = 1; i <= members.Size(); ++i) {
      auto* m = static_cast<MKDOF*>(members[i]);
      weights.push_back(target > 0 ? m->GetMaxMean() : m->GetMinMean());
      total += weights.back();
    }
    double sum = 0.0;
    for (int i = 1; i <= members.Size(); ++i) {
      auto* m = static_cast<MKDOF*>(members[i]);
      if (total != 0.0)
        m->SetMathematicalValue(weights[static_cast<std::size_t>(i - 1)] / total * target);
      sum += m->GetMathematicalValue();
    }
    spineValue = std::fabs(sum);
    return MKStatusSuccess;
  }

  const std::vector<SavedDOF> saved = SaveAndRelax(run);
  for (const SavedDOF& s : saved) {
    if (s.dof->GetNumber() != axis) continue;
    s.dof->OpenMinLimToMaximum();
    s.dof->OpenMaxLimToMaximum();
  }
  ResetAxes(saved, -1);
  std::vector<double> weights;
  double opened = 0.0;
  for (int i = 1; i <= members.Size(); ++i) {
    auto* m = static_cast<MKDOF*>(members[i]);
    weights.push_back(Radians(target > 0 ? m->GetMaxMean() : m->GetMinMean()));
    opened += target > 0 ? m->GetMaxLimNoCoupling(true) : m->GetMinLimNoCoupling(true);
  }
  if (opened != 0.0)
    for (double& w : weights) w /= opened;

  if (std::fabs(target) <= kTolerance) {
    spineValue = 0.0;
  } else {
    const MK3x1Matrix r = SpineChainVector();
    double step = target * kFirstGain;
    double previous = 0.0;
    for (int pass = 0; pass < kMaxDistributionPasses && std::fabs(step) > kTolerance; ++pass) {
      for (int i = 1; i <= members.Size(); ++i) {
        const double d = weights[static_cast<std::size_t>(i - 1)] * step;
        auto* m = static_cast<MKDOF*>(members[i]);
        if (d >= 0)
          m->IncrementValue(d);
        else
          m->DecrementValue(-d);
      }
      spineValue = FoldedAngle(r, SpineChainVector());
      previous = step;
      step = target - spineValue * range;
      if (std::fabs(step - previous) <= kTolerance) break;  // the chain cannot follow
    }
  }
  RestoreLimitsAndLocks(saved, false);
  return MKStatusSuccess;
}

MKStatus MKDOF::SetValueOfSpineDof3(MKShortName end, double magnitude, int newRange) {
  const MKShortName previous = endSpineElement;
  SetEndSpineElement(end);
  const MKStatus status = SetValueOfSpineDof(magnitude, newRange);
  SetEndSpineElement(previous);
  return status;
}

MKStatus MKDOF::SetMinLimOfSpineDof(double limit, bool clampToDatabase) {
  return ScaleSpineLimits(false, limit, clampToDatabase);
}

MKStatus MKDOF::SetMaxLimOfSpineDof(double limit, bool clampToDatabase) {
  return ScaleSpineLimits(true, limit, clampToDatabase);
}

MKStatus MKDOF::ScaleSpineLimits(bool maxSide, double limit, bool clampToDatabase) {
  const KelRawCollPV members = GetSpineDofList();
  const double current = maxSide ? spineMaxLim : spineMinLim;
  if (members.Size() == 0 || current == 0.0) return MKStatusValueRefused;
  const double factor = limit / current;
  MKStatus result = MKStatusSuccess;
  for (int i = 1; i <= members.Size(); ++i) {
    auto* m = static_cast<MKDOF*>(members[i]);
    const MKStatus status =
        maxSide ? m->SetMaxLim(m->GetMaxLimNoCoupling(true) * factor, 1.0, clampToDatabase)
                : m->SetMinLim(m->GetMinLimNoCoupling(true) * factor, 1.0, clampToDatabase);
    if (status != MKStatusSuccess) result = status;
  }
  InitializeSpineDofLims();
  return result;
}

MKStatus MKDOF::SetMinLimOfSpineDofFromPercentile(double percentile) {
  if (percentile < 0.0 || percentile > 100.0) return MKStatusValueRefused;
  return SetMinLimOfSpineDof(Radians(MKMathRoutines::GaussianValueFromPercentile(
                                 spineMinMean, spineMinStdDev, percentile)),
                             true);
}

MKStatus MKDOF::SetMaxLimOfSpineDofFromPercentile(double percentile) {
  if (percentile < 0.0 || percentile > 100.0) return MKStatusValueRefused;
  return SetMaxLimOfSpineDof(Radians(MKMathRoutines::GaussianValueFromPercentile(
                                 spineMaxMean, spineMaxStdDev, percentile)),
                             true);
}

void MKDOF::LockValueOfSpineDof() {
  const KelRawCollPV members = GetSpineDofList();
  for (int i = 1; i <= members.Size(); ++i) static_cast<MKDOF*>(members[i])->LockValue();
}

void MKDOF::UnlockValueOfSpineDof() {
  const KelRawCollPV members = GetSpineDofList();
  for (int i = 1; i <= members.Size(); ++i) static_cast<MKDOF*>(members[i])->UnlockValue();
}

double MKDOF::SpineZoneBound(unsigned int i, bool maxSide) const {
  // The run posed with every vertebra at its own bound of zone i, measured
  // like the run's angle.
  return MeasureRunAt([i, maxSide](const MKDOF& m) {
    const MKPrefAngle* zone = m.GetPrefAngle(i);
    if (!zone) return m.GetMathematicalValue();
    return maxSide ? zone->GetMax() : zone->GetMin();
  });
}

double MKDOF::GetMinOfSpinePref(unsigned int i) const {
  return SpineZoneBound(i, false);
}
double MKDOF::GetMaxOfSpinePref(unsigned int i) const {
  return SpineZoneBound(i, true);
}

void MKDOF::ScaleSpineZoneBound(unsigned int i, bool maxSide, double angle) {
  // Members keep their shares; a few passes absorb the run's non-linearity.
  const KelRawCollPV members = GetSpineDofList();
  for (int pass = 0; pass < 4; ++pass) {
    const double current = SpineZoneBound(i, maxSide);
    if (current == 0.0 || std::fabs(current - angle) <= kTolerance) return;
    const double factor = angle / current;
    for (int k = 1; k <= members.Size(); ++k) {
      auto* m = static_cast<MKDOF*>(members[k]);
      const MKPrefAngle* zone = m->GetPrefAngle(i);
      if (!zone) continue;
      if (maxSide)
        m->SetPrefAngleMax(i, zone->GetMax() * factor);
      else
        m->SetPrefAngleMin(i, zone->GetMin() * factor);
    }
  }
}

void MKDOF::SetMinOfSpinePref(unsigned int i, double angle) {
  ScaleSpineZoneBound(i, false, angle);
}
void MKDOF::SetMaxOfSpinePref(unsigned int i, double angle) {
  ScaleSpineZoneBound(i, true, angle);
}

void MKDOF::InitializeSpinePrefAngles() {
  // Every member gets as many zones as this DOF, so that zone i of the run
  // is zone i of each member.
  const KelRawCollPV members = GetSpineDofList();
  const unsigned int count = GetNumberOfPrefAngles();
  for (int k = 1; k <= members.Size(); ++k) {
    auto* m = static_cast<MKDOF*>(members[k]);
    if (m == this) continue;
    while (m->GetNumberOfPrefAngles() < count) m->AddPrefAngle();
    while (m->GetNumberOfPrefAngles() > count &&
           m->RemovePrefAngle(m->GetNumberOfPrefAngles() - 1)) {
    }
  }
}
