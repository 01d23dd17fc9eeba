// Limits of a DOF: effective and no-coupling limits, database statistics,
// percentiles, removal and restoration.
#include <cmath>

#include "anthro/MKDBJointLimitsVariable.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "math/MKMathRoutines.h"
#include "math/MKUnitConversions.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

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

// A row without any statistics: the database has no data for that DOF.
bool IsEmptyRow(const MKDBJointLimitsVariable* row) {
  return !row || (row->GetMinMean() == 0.0 && row->GetMinStdDev() == 0.0 &&
                  row->GetMaxMean() == 0.0 && row->GetMaxStdDev() == 0.0);
}

// Limits of a DOF whose row says nothing: the median, as a percentile.
constexpr double kNoDataPercentile = 50.0;

}  // namespace

MKLineOfSight* MKDOF::GetOwnerLineOfSight() const {
  return owner && owner->GetMKClassName() == MKLineOfSightClass ? static_cast<MKLineOfSight*>(owner)
                                                                : nullptr;
}

bool MKDOF::LimitsIgnoreDatabase() const {
  if (IsSideLineOfSight(ownerShortName)) return true;
  return ownerShortName == MLHeEye && IsEmptyRow(database);
}

bool MKDOF::GetDatabaseLimits(double& minLimit, double& maxLimit) const {
  // The side eyes turn freely: they follow the focus point, not a population.
  if (IsSideLineOfSight(ownerShortName)) {
    minLimit = maxLimit = M_PI;
    return true;
  }
  if (!database) return false;
  if (ownerShortName == MLHeEye && IsEmptyRow(database)) {
    // No statistics for the eyes (the built-in database has none) means no
    // data, not no motion: the vision's field angles bound the middle eye.
    const MKLineOfSight* line = GetOwnerLineOfSight();
    const MKVision* vision = line ? line->GetVision() : nullptr;
    if (!vision) return false;
    vision->GetDeviationLimits(axis, minLimit, maxLimit);
    return true;
  }
  minLimit = Radians(database->GetMinMean());
  maxLimit = Radians(database->GetMaxMean());
  return true;
}

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
    if (database && clampToDatabase && !LimitsIgnoreDatabase()) {
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
    if (database && clampToDatabase && !LimitsIgnoreDatabase()) {
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
  if (AreLimitsLocked() || !database || LimitsIgnoreDatabase()) return MKStatus(10);
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
  if (AreLimitsLocked() || !database || LimitsIgnoreDatabase()) return MKStatus(10);
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
  // The side eyes answer for the middle one, whose limits follow the field
  // angles when the database has no data for it.
  if (IsSideLineOfSight(ownerShortName)) {
    const MKLineOfSight* line = GetOwnerLineOfSight();
    const MKVision* vision = line ? line->GetVision() : nullptr;
    const MKLineOfSight* middle = vision ? vision->GetCentralLineOfSight() : nullptr;
    const MKDOF* twin = middle ? middle->GetDOF(static_cast<unsigned int>(axis)) : nullptr;
    return twin ? twin->GetMinLimAsPercentile() : kNoDataPercentile;
  }
  if (LimitsIgnoreDatabase()) return kNoDataPercentile;
  if (IsSpineDOF())
    return MKMathRoutines::GaussianPercentileFromValue(spineMinMean, spineMinStdDev,
                                                       Degrees(spineMinLim));
  if (!database) return 0.0;
  return MKMathRoutines::GaussianPercentileFromValue(
      database->GetMinMean(), database->GetMinStdDev(), Degrees(minLimNoCoupling));
}

double MKDOF::GetMaxLimAsPercentile() const {
  if (IsSideLineOfSight(ownerShortName)) {
    const MKLineOfSight* line = GetOwnerLineOfSight();
    const MKVision* vision = line ? line->GetVision() : nullptr;
    const MKLineOfSight* middle = vision ? vision->GetCentralLineOfSight() : nullptr;
    const MKDOF* twin = middle ? middle->GetDOF(static_cast<unsigned int>(axis)) : nullptr;
    return twin ? twin->GetMaxLimAsPercentile() : kNoDataPercentile;
  }
  if (LimitsIgnoreDatabase()) return kNoDataPercentile;
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
  if (!database || AreLimitsLocked() || LimitsIgnoreDatabase()) return;
  minLim = minLimNoCoupling = Radians(database->GetMinMean() + 4.0 * database->GetMinStdDev());
}

void MKDOF::OpenMaxLimToMaximum() {
  if (!database || AreLimitsLocked() || LimitsIgnoreDatabase()) return;
  maxLim = maxLimNoCoupling = Radians(database->GetMaxMean() + 4.0 * database->GetMaxStdDev());
}

void MKDOF::ResetLimits() {
  if (IsPureMaster() && pureSlave) pureSlave->ResetLimits();
  double low, high;
  if (AreLimitsLocked() || !database || !GetDatabaseLimits(low, high)) return;
  minLim = minLimNoCoupling = low;
  maxLim = maxLimNoCoupling = high;
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
  double low, high;
  // The middle eye of a vision not yet attached keeps its limits.
  if (!variable || !GetDatabaseLimits(low, high)) return;
  minLimNoCoupling = low;
  maxLimNoCoupling = high;
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
