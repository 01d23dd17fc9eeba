#include "anthro/MKSubject.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"

MKSubject::MKSubject(std::string identifier, int sex, std::vector<Measurement> measurements)
    : identifier(std::move(identifier)), sex(sex), measurements(std::move(measurements)) {}

double MKSubject::GetMeasuredValue(unsigned int referenceNumber) const {
  for (const Measurement& m : measurements)
    if (m.referenceNumber == referenceNumber) return m.value;
  return std::numeric_limits<double>::quiet_NaN();
}

MKStatus MKSubject::ApplyTo(MKAnthro& anthro) const {
  if (anthro.GetSex() != sex) return MKStatusSexRefused;
  std::vector<MKAnthroVariable*> fixed;
  fixed.reserve(measurements.size());
  for (const Measurement& m : measurements) {
    MKAnthroVariable* variable = anthro.GetVariableFromRefNumber(m.referenceNumber);
    if (!variable) return MKStatusMissingInput;
    fixed.push_back(variable);
  }
  anthro.SetInterpolationMethod(0);
  // Free variables start without a value, so that a refused prediction
  // shows, and with the population's standard deviation, so that the result
  // never depends on the subject made before.
  for (unsigned int i = 0; i < anthro.GetNumberOfVariables(); ++i) {
    MKAnthroVariable* variable = anthro.GetVariableAtIndex(i);
    variable->SetValue(std::numeric_limits<double>::quiet_NaN());
    variable->SetCalculatedStdDev(variable->GetStdDev());
  }
  for (std::size_t k = 0; k < fixed.size(); ++k) fixed[k]->SetUserValue(measurements[k].value);
  const MKStatus status = anthro.Update();
  bool refused = false;
  for (unsigned int i = 0; i < anthro.GetNumberOfVariables(); ++i) {
    MKAnthroVariable* variable = anthro.GetVariableAtIndex(i);
    if (!std::isnan(variable->GetValue())) continue;
    variable->SetValue(variable->GetMean());
    refused = true;
  }
  if (refused) return MKStatusValueRefused;
  // Update also answers 5 when it keeps a conditional standard deviation that
  // rounding put above the population's; every value is predicted all the same.
  return status == MKStatusValueRefused ? MKStatusSuccess : status;
}

bool MKSubject::IsWithinBounds(const MKAnthro& anthro) const {
  const double bound = std::min(anthro.GetLimitBound(), 4.0);
  for (const Measurement& m : measurements) {
    const MKAnthroVariable* variable = anthro.GetVariableFromRefNumber(m.referenceNumber);
    if (!variable) continue;
    if (std::fabs(m.value - variable->GetMean()) > bound * variable->GetStdDev()) return false;
  }
  return true;
}
