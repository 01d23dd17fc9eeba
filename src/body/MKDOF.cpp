#include "body/MKDOF.h"

#include <cmath>

#include "body/MKBody.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "math/MKUnitConversions.h"
#include "parts/MKMessage.h"
#include "vision/MKLineOfSight.h"

namespace {

// Values this small are stored as 0.
constexpr double kZeroValue = 1.1920929e-09;

// sum over i of c[i] * x^(i-1), the list being 1-based.
double Polynomial(const KelRawColldouble& c, double x) {
  double sum = 0.0, power = 1.0;
  for (int i = 1; i <= c.Size(); ++i, power *= x) sum += c[i] * power;
  return sum;
}

KelUnicodeString Number(int n) {
  KelUnicodeString text;
  text.BuildFromNum(n, "%d");
  return text;
}

}  // namespace

MKDOF::MKDOF(MKPartID kind) : MKManikinPart(kind, 2.04) {}

MKDOF::MKDOF(MKBodyElement* dofOwner, int dofAxis, int dofFlags, MKDOF* slave,
             double defaultDegrees)
    : MKManikinPart(MKPartPostureVariableID, 2.04),
      flags(dofFlags),
      axis(dofAxis),
      pureSlave(slave),
      owner(dofOwner),
      defaultValue(MKUnitConversions::DegreesToRadians(defaultDegrees)),
      ownerShortName(dofOwner ? dofOwner->GetShortName() : -1) {
  value = std::fabs(defaultValue);
  if (value < kZeroValue) value = 0.0;
  range = defaultValue < 0 ? -1 : 1;
  InitializePrefAngles();
  CheckAngleContinuity(UpdateAll, 0);
}

MKDOF::MKDOF(const MKDOF& source) : MKManikinPart(source) {
  CopyFields(source);
}

MKDOF::MKDOF(const MKDOF& source, RecordOnly)
    : MKManikinPart(source),
      state(source.state),
      axis(source.axis),
      speed(source.speed),
      acceleration(source.acceleration),
      value(source.value),
      range(source.range),
      defaultValue(source.defaultValue),
      ownerShortName(source.ownerShortName) {}

MKDOF MKDOF::PostureRecord() const {
  return MKDOF(*this, RecordOnly{});
}

MKDOF::~MKDOF() {
  RemoveAllPrefAngles();
}

void MKDOF::CopyFields(const MKDOF& source) {
  flags = source.flags;
  limitsLocked = source.limitsLocked;
  state = source.state;
  axis = source.axis;
  pureSlave = source.pureSlave;
  owner = source.owner;
  for (int i = 0; i < 4; ++i) coefficients[i] = source.coefficients[i];
  coupledSlave = source.coupledSlave;
  coupledMaster = source.coupledMaster;
  endSpineElement = source.endSpineElement;
  maxLimNoCoupling = source.maxLimNoCoupling;
  minLimNoCoupling = source.minLimNoCoupling;
  removedLimitsMin = source.removedLimitsMin;
  speed = source.speed;
  acceleration = source.acceleration;
  minLim = source.minLim;
  maxLim = source.maxLim;
  database = source.database;
  value = source.value;
  range = source.range;
  defaultValue = source.defaultValue;
  RemoveAllPrefAngles();
  for (unsigned int i = 0; i < source.GetNumberOfPrefAngles(); ++i) {
    auto* zone = new MKPrefAngle(*source.GetPrefAngle(i));
    zone->SetOwner(this);
    prefAngles.Append(zone);
  }
  ownerShortName = source.ownerShortName;
  spineMaxLim = source.spineMaxLim;
  spineMinLim = source.spineMinLim;
  spineValue = source.spineValue;
  spineMaxMean = source.spineMaxMean;
  spineMaxStdDev = source.spineMaxStdDev;
  spineMinMean = source.spineMinMean;
  spineMinStdDev = source.spineMinStdDev;
  keepLockStateForPaste = source.keepLockStateForPaste;
}

MKDOF* MKDOF::CloneDetached() const {
  auto* copy = new MKDOF(*this);
  copy->flags &= ~(sPureMaster | sPureSlave);
  copy->state = Free;
  copy->pureSlave = nullptr;
  copy->owner = nullptr;
  copy->coupledSlave = nullptr;
  copy->coupledMaster = nullptr;
  copy->database = nullptr;
  copy->endSpineElement = static_cast<MKShortName>(-1);
  copy->minLim = minLimNoCoupling;
  copy->maxLim = maxLimNoCoupling;
  return copy;
}

void MKDOF::SetOwner(MKBodyElement* newOwner) {
  owner = newOwner;
  ownerShortName = newOwner ? newOwner->GetShortName() : -1;
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i) GetPrefAngle(i)->SetOwner(this);
}

MKBody* MKDOF::GetBody() const {
  if (!owner || !owner->GetOwner() || owner->GetOwner()->GetMKClassName() != MKBodyClass)
    return nullptr;
  return static_cast<MKBody*>(owner->GetOwner());
}

bool MKDOF::IsCouplingEnabled() const {
  const MKBody* body = GetBody();
  return body && body->IsCouplingEnabled();
}

void MKDOF::InvalidateOwner() {
  if (owner) owner->Invalidate();
}

MKStatus MKDOF::SetMathematicalValue(double v) {
  return SetValue(std::fabs(v), v < 0 ? -1 : 1);
}
MKStatus MKDOF::IncrementValue(double d) {
  return SetMathematicalValue(GetMathematicalValue() + d);
}
MKStatus MKDOF::DecrementValue(double d) {
  return SetMathematicalValue(GetMathematicalValue() - d);
}

double MKDOF::GetDefaultValue() const {
  return std::fabs(defaultValue);
}

MKStatus MKDOF::SetValue(double magnitude, int newRange) {
  if (state == ValueLocked) return MKStatus(12);
  // An angle that is not a number passes every limit, and an infinite one
  // every removed limit: either would turn the matrices below into NaN. A
  // DOF of no element is a record, which may carry an infinite length.
  if (std::isnan(magnitude) || (owner && std::isinf(magnitude))) return MKStatusValueRefused;
  if (IsPureMaster() && pureSlave) pureSlave->SetValue(magnitude, newRange);
  if (!owner && minLim == 0.0 && maxLim == 0.0) {
    value = magnitude;
    range = newRange;
    return MKStatusSuccess;
  }
  if (newRange != 1 && newRange != -1) return MKStatusCoupledSpine;

  double s = magnitude * newRange;
  if (state != LimitsRemoved) {
    const bool coupling = IsCouplingEnabled();
    const double low = -(coupling ? minLim : minLimNoCoupling);
    const double high = coupling ? maxLim : maxLimNoCoupling;
    if (s < low) s = low;
    if (s > high) s = high;
  }
  value = std::fabs(s);
  range = s >= 0 ? 1 : -1;
  if (value < kZeroValue) value = 0.0;
  if (IsMasterCoupledDOF() && IsCouplingEnabled()) ApplyCoupling();
  InvalidateOwner();
  // A line of sight passes the move on to its vision, which makes that eye
  // the active one unless the vision is moving it itself.
  if (owner && owner->GetMKClassName() == MKLineOfSightClass)
    static_cast<MKLineOfSight*>(owner)->InvalidateFromDOF(this);
  return MKStatusSuccess;
}

void MKDOF::ApplyCoupling() {
  MKDOF* slave = coupledSlave;
  const bool relock = slave->AreLimitsLocked();
  if (relock) slave->UnlockLimits();
  const bool knee = slave->GetNumber() == 0 && (slave->GetShortNameOfOwner() == RSLeLe ||
                                                slave->GetShortNameOfOwner() == LSLeLe);
  if (range == -1) {
    const double x = minLimNoCoupling != 0.0 ? value / minLimNoCoupling : 0.0;
    if (!knee) slave->SetMaxLim(slave->maxLimNoCoupling, Polynomial(coefficients[2], x), false);
    slave->SetMinLim(slave->minLimNoCoupling, Polynomial(coefficients[3], x), false);
  } else {
    const double x = maxLimNoCoupling != 0.0 ? value / maxLimNoCoupling : 0.0;
    if (knee) {
      slave->ApplyKneeCoupling(x, coefficients[0]);
    } else if (x >= 0.0 && x <= 1.0) {
      slave->SetMaxLim(slave->maxLimNoCoupling, Polynomial(coefficients[0], x), false);
      slave->SetMinLim(slave->minLimNoCoupling, Polynomial(coefficients[1], x), false);
    }
  }
  if (relock) slave->LockLimits();
}

void MKDOF::ApplyKneeCoupling(double x, const KelRawColldouble& c1) {
  // Past half the hip's flexion the knee must stay flexed by at least
  // M (1 - p1(x)); below it keeps its own minimum. Its maximum is untouched.
  const double M = maxLimNoCoupling;
  if (M <= 0.0 || x < 0.0 || x > 1.0) return;
  minLim = x < 0.5 ? minLimNoCoupling : -(M * (1.0 - Polynomial(c1, x)));
  ClampValueToLimits();
}

void MKDOF::ClampValueToLimits() {
  const double v = GetMathematicalValue();
  double clamped = v;
  if (clamped > maxLim) clamped = maxLim;
  if (clamped < -minLim) clamped = -minLim;
  if (clamped == v) return;
  value = std::fabs(clamped);
  range = clamped >= 0 ? 1 : -1;
  if (value < kZeroValue) value = 0.0;
  InvalidateOwner();
}

void MKDOF::Reset() {
  if (GetMathematicalValue() != defaultValue) SetMathematicalValue(defaultValue);
  if (IsSpineDOF()) spineValue = std::fabs(defaultValue);
}

MKStatus MKDOF::GetNumber(MKKEDOF& dof) const {
  if (axis < 0 || axis > 2) return MKStatusValueRefused;
  dof = static_cast<MKKEDOF>(axis);
  return MKStatusSuccess;
}

KelUnicodeString MKDOF::GetName() const {
  return MKGetMessage(KelUnicodeString("MKShortName") + Number(ownerShortName) + "DOF" +
                      Number(axis));
}

KelUnicodeString MKDOF::GetMinName() const {
  return MKGetMessage(KelUnicodeString("MKShortName") + Number(ownerShortName) + "DOF" +
                      Number(axis) + "Min");
}

KelUnicodeString MKDOF::GetMaxName() const {
  return MKGetMessage(KelUnicodeString("MKShortName") + Number(ownerShortName) + "DOF" +
                      Number(axis) + "Max");
}

void MKDOF::LockValue() {
  if (IsPureMaster() && pureSlave) pureSlave->LockValue();
  state = ValueLocked;
}

void MKDOF::UnlockValue() {
  if (IsPureMaster() && pureSlave) pureSlave->UnlockValue();
  if (state == ValueLocked) state = Free;
}

void MKDOF::LockLimits() {
  if (IsPureMaster() && pureSlave) pureSlave->LockLimits();
  limitsLocked = 1;
}

void MKDOF::UnlockLimits() {
  if (IsPureMaster() && pureSlave) pureSlave->UnlockLimits();
  limitsLocked = 0;
}

void MKDOF::SetSlaveCoupledDOF(MKDOF* slave, const KelRawColldouble& c1, const KelRawColldouble& c2,
                               const KelRawColldouble& c3, const KelRawColldouble& c4) {
  coupledSlave = slave;
  coefficients[0] = c1;
  coefficients[1] = c2;
  coefficients[2] = c3;
  coefficients[3] = c4;
}
