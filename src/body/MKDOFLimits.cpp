// Limits of a DOF: effective and no-coupling limits, database statistics,
// percentiles, removal and restoration.
#include <cmath>

#include "anthro/MKDBJointLimitsVariable.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "math/MKMathRoutines.h"
#include "math/MKUnitConversions.h"

namespace {

constexpr double kTwoPi = 2.0 * M_PI;

double Radians(double degrees) {
  return MKUnitConversions::DegreesToRadians(degrees);
}
double Degrees(double radians) {
  return MKUnitConversions::RadiansToDegrees(radians);
}

bool IsSideLineOfSight(int ownerShortName) {
  return ownerShortName == LLHeEye || ownerShortName == RLHeEye;
}

}  // namespace

double MKDOF::GetMinLim(bool honourLock) const {
  if (honourLock && state == ValueLocked) return -GetMathematicalValue();
  if (state == LimitsRemoved) return removedLimitsMin;
  return minLim;
}

double MKDOF::GetMaxLim(bool honourLock) const {
  if (honourLock && state == ValueLocked) return GetMathematicalValue();
  if (state == LimitsRemoved) return kTwoPi - removedLimitsMin;
  return maxLim;
}

double MKDOF::GetMinLimNoCoupling(bool raw) const {
  return !raw && state == LimitsRemoved ? removedLimitsMin : minLimNoCoupling;
}

double MKDOF::GetMaxLimNoCoupling(bool raw) const {
  return !raw && state == LimitsRemoved ? kTwoPi - removedLimitsMin : maxLimNoCoupling;
}

MKStatus MKDOF::SetMinLim(double limit) {
  return SetMinLim(limit, 1.0, false);
}
MKStatus MKDOF::SetMaxLim(double limit) {
  return SetMaxLim(limit, 1.0, false);
}
MKStatus MKDOF::SetMinLim(double limit, unsigned char clamp) {
  return SetMinLim(limit, 1.0, clamp != 0);
}
MKStatus MKDOF::SetMaxLim(double limit, unsigned char clamp) {
  return SetMaxLim(limit, 1.0, clamp != 0);
}

MKStatus MKDOF::SetMaxLim(double limit, double factor, bool clampToDatabase) {
  if (AreLimitsLocked()) return MKStatus(11);
  if (factor != 1.0 && limit != maxLimNoCoupling) return MKStatus(10);
  const bool relock = state == ValueLocked;
  if (relock) state = Free;
  if (factor != 1.0) {
    maxLim = maxLimNoCoupling * factor;
  } else {
    if (database && clampToDatabase) {
      const double bound = MKMathRoutines::GaussianValueFromPercentile(
          database->GetMaxMean(), database->GetMaxStdDev(), 100.0);
      if (Degrees(limit) > bound) limit = Radians(bound);
    }
    maxLimNoCoupling = maxLim = limit;
  }
  if (IsPureMaster() && pureSlave) pureSlave->SetMaxLim(limit, factor, clampToDatabase);
  MKStatus status = MKStatusSuccess;
  if (maxLim < -minLim) {
    maxLim = -minLim;
    status = MKStatusValueRefused;
  } else {
    UpdatePrefAngleIndices();
    if (GetMathematicalValue() > maxLim) {
      value = std::fabs(maxLim);
      range = maxLim >= 0 ? 1 : -1;
      InvalidateOwner();
    }
    SynchronizePrefAngles();
  }
  if (relock) state = ValueLocked;
  return status;
}

MKStatus MKDOF::SetMinLim(double limit, double factor, bool clampToDatabase) {
  if (AreLimitsLocked()) return MKStatus(11);
  if (factor != 1.0 && limit != minLimNoCoupling) return MKStatus(10);
  const bool relock = state == ValueLocked;
  if (relock) state = Free;
  if (factor != 1.0) {
    minLim = minLimNoCoupling * factor;
  } else {
    if (database && clampToDatabase) {
      const double bound = MKMathRoutines::GaussianValueFromPercentile(
          database->GetMinMean(), database->GetMinStdDev(), 100.0);
      if (Degrees(limit) > bound) limit = Radians(bound);
    }
    minLimNoCoupling = minLim = limit;
  }
  if (IsPureMaster() && pureSlave) pureSlave->SetMinLim(limit, factor, clampToDatabase);
  MKStatus status = MKStatusSuccess;
  if (minLim < -maxLim) {
    minLim = -maxLim;
    status = MKStatusValueRefused;
  } else {
    UpdatePrefAngleIndices();
    if (GetMathematicalValue() < -minLim) {
      value = std::fabs(minLim);
      range = -minLim >= 0 ? 1 : -1;
      InvalidateOwner();
    }
    SynchronizePrefAngles();
  }
  if (relock) state = ValueLocked;
  return status;
}

MKStatus MKDOF::SetMinLimFromPercentile(double percentile) {
  if (AreLimitsLocked() || !database) return MKStatus(10);
  if (IsPureMaster() && pureSlave) pureSlave->SetMinLimFromPercentile(percentile);
  const bool outside = percentile < 0.0 || percentile > 100.0;
  if (percentile < 0.0) percentile = 0.0;
  if (percentile > 100.0) percentile = 100.0;
  const double limit = Radians(MKMathRoutines::GaussianValueFromPercentile(
      database->GetMinMean(), database->GetMinStdDev(), percentile));
  minLimNoCoupling = limit;
  const MKStatus status = SetMinLim(limit, 1.0, true);
  return outside ? MKStatus(MKStatusValueRefused) : status;
}

MKStatus MKDOF::SetMaxLimFromPercentile(double percentile) {
  if (AreLimitsLocked() || !database) return MKStatus(10);
  if (IsPureMaster() && pureSlave) pureSlave->SetMaxLimFromPercentile(percentile);
  const bool outside = percentile < 0.0 || percentile > 100.0;
  if (percentile < 0.0) percentile = 0.0;
  if (percentile > 100.0) percentile = 100.0;
  const double limit = Radians(MKMathRoutines::GaussianValueFromPercentile(
      database->GetMaxMean(), database->GetMaxStdDev(), percentile));
  maxLimNoCoupling = limit;
  const MKStatus status = SetMaxLim(limit, 1.0, true);
  return outside ? MKStatus(MKStatusValueRefused) : status;
}

double MKDOF::GetMinLimAsPercentile() const {
  if (IsSpineDOF())
    return MKMathRoutines::GaussianPercentileFromValue(spineMinMean, spineMinStdDev,
                                                       Degrees(spineMinLim));
  if (!database) return 0.0;
  return MKMathRoutines::GaussianPercentileFromValue(
      database->GetMinMean(), database->GetMinStdDev(), Degrees(minLimNoCoupling));
}

double MKDOF::GetMaxLimAsPercentile() const {
  if (IsSpineDOF())
    return MKMathRoutines::GaussianPercentileFromValue(spineMaxMean, spineMaxStdDev,
                                                       Degrees(spineMaxLim));
  if (!database) return 0.0;
  return MKMathRoutines::GaussianPercentileFromValue(
      database->GetMaxMean(), database->GetMaxStdDev(), Degrees(maxLimNoCoupling));
}

double MKDOF::GetMinMean() const {
  return database ? database->GetMinMean() : 0.0;
}
double MKDOF::GetMinStdDev() const {
  return database ? database->GetMinStdDev() : 0.0;
}
double MKDOF::GetMaxMean() const {
  return database ? database->GetMaxMean() : 0.0;
}
double MKDOF::GetMaxStdDev() const {
  return database ? database->GetMaxStdDev() : 0.0;
}

void MKDOF::OpenMinLimToMaximum() {
  if (!database || AreLimitsLocked()) return;
  minLim = minLimNoCoupling = Radians(database->GetMinMean() + 4.0 * database->GetMinStdDev());
}

void MKDOF::OpenMaxLimToMaximum() {
  if (!database || AreLimitsLocked()) return;
  maxLim = maxLimNoCoupling = Radians(database->GetMaxMean() + 4.0 * database->GetMaxStdDev());
}

void MKDOF::ResetLimits() {
  if (IsPureMaster() && pureSlave) pureSlave->ResetLimits();
  if (AreLimitsLocked() || !database) return;
  minLim = minLimNoCoupling = Radians(database->GetMinMean());
  maxLim = maxLimNoCoupling = Radians(database->GetMaxMean());
}

double MKDOF::ComputeRemovedLimitsMin() const {
  // The part of the full turn outside [-min, max], split evenly on both sides.
  return minLimNoCoupling + (kTwoPi - (maxLimNoCoupling + minLimNoCoupling)) * 0.5;
}

void MKDOF::FitEndZonesToLimits() {
  const unsigned int count = GetNumberOfPrefAngles();
  if (count == 0) return;
  GetPrefAngle(0)->SetMax(maxLimNoCoupling);
  GetPrefAngle(count - 1)->SetMin(-minLimNoCoupling);
}

void MKDOF::RemoveLimits() {
  if (IsPureMaster() && pureSlave) pureSlave->RemoveLimits();
  state = LimitsRemoved;
  if (removedLimitsMin == 0.0) removedLimitsMin = ComputeRemovedLimitsMin();
  FitEndZonesToLimits();
}

void MKDOF::RestoreLimits() {
  if (IsPureMaster() && pureSlave) pureSlave->RestoreLimits();
  state = Free;
  UpdatePrefAngleIndices();
  FitEndZonesToLimits();
}

void MKDOF::SetJointLimitDatabase(MKDBJointLimitsVariable* variable) {
  if (IsPureMaster() && pureSlave) pureSlave->SetJointLimitDatabase(variable);
  database = variable;
  if (!variable) return;
  if (IsSideLineOfSight(ownerShortName)) {
    minLimNoCoupling = maxLimNoCoupling = M_PI;
  } else {
    minLimNoCoupling = Radians(variable->GetMinMean());
    maxLimNoCoupling = Radians(variable->GetMaxMean());
  }
  minLim = minLimNoCoupling;
  maxLim = maxLimNoCoupling;
  if (GetNumberOfPrefAngles() == 1 && GetPrefAngle(0)->GetMax() == GetPrefAngle(0)->GetMin()) {
    RemoveAllPrefAngles();
    InitializePrefAngles();
  }
  if ((range == -1 && value > minLimNoCoupling) || (range == 1 && value > maxLimNoCoupling)) {
    value = range == -1 ? minLimNoCoupling : maxLimNoCoupling;
    InvalidateOwner();
  }
  CheckAngleContinuity(UpdateAll, 0);
}
