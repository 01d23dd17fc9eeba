#include "anthro/MKDBJointLimits.h"

MKDBJointLimits::MKDBJointLimits() : MKDatabase(KelUnicodeString()) {
  SetMKClassName(MKDBClassJointLimits);
}

MKDBJointLimits::MKDBJointLimits(const MKDBJointLimits& source) : MKDatabase(source) {
  // A copy made through this class is a plain joint-limits database, whatever the source.
  SetMKClassName(MKDBClassJointLimits);
  CopyVariablesFrom(source);
}

MKDBJointLimits& MKDBJointLimits::operator=(const MKDBJointLimits& source) {
  if (this == &source) return *this;
  MKDatabase::operator=(source);
  Clear();
  CopyVariablesFrom(source);
  return *this;
}

MKDBJointLimits::~MKDBJointLimits() {
  Clear();
}

unsigned int MKDBJointLimits::GetSize() const {
  return 0;
}

unsigned int MKDBJointLimits::GetNumberOfVariables() const {
  return static_cast<unsigned int>(variables.Size());
}

MKDBJointLimitsVariable* MKDBJointLimits::GetVariableAtIndex(unsigned int index) const {
  if (index >= GetNumberOfVariables()) return nullptr;
  return static_cast<MKDBJointLimitsVariable*>(variables[static_cast<int>(index) + 1]);
}

MKDBJointLimitsVariable* MKDBJointLimits::GetVariable(MKShortName segment,
                                                      const int dofNumber) const {
  for (int i = 1; i <= variables.Size(); ++i) {
    auto* variable = static_cast<MKDBJointLimitsVariable*>(variables[i]);
    if (variable && variable->GetDOFNumber() == static_cast<unsigned int>(dofNumber) &&
        variable->GetShortNameOfSegment() == segment)
      return variable;
  }
  return nullptr;
}

void MKDBJointLimits::AddVariable(MKDBJointLimitsVariable* variable) {
  if (variable) variables.Append(variable);
}

void MKDBJointLimits::Clear() {
  for (int i = 1; i <= variables.Size(); ++i)
    delete static_cast<MKDBJointLimitsVariable*>(variables[i]);
  variables.RemoveAll();
}

void MKDBJointLimits::CopyVariablesFrom(const MKDBJointLimits& source) {
  for (int i = 1; i <= source.variables.Size(); ++i)
    if (const auto* variable = static_cast<const MKDBJointLimitsVariable*>(source.variables[i]))
      variables.Append(new MKDBJointLimitsVariable(*variable));
}
