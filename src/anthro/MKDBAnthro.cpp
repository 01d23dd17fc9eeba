#include "anthro/MKDBAnthro.h"

MKDBAnthro::MKDBAnthro() : MKDatabase(KelUnicodeString()) {
  SetMKClassName(MKDBClassAnthro);
}

MKDBAnthro::MKDBAnthro(const MKDBAnthro& source) : MKDatabase(source) {
  // A copy made through this class is a plain anthropometric database, whatever the source.
  SetMKClassName(MKDBClassAnthro);
  CopyVariablesFrom(source);
}

MKDBAnthro& MKDBAnthro::operator=(const MKDBAnthro& source) {
  if (this == &source) return *this;
  MKDatabase::operator=(source);
  Clear();
  CopyVariablesFrom(source);
  return *this;
}

MKDBAnthro::~MKDBAnthro() {
  Clear();
}

unsigned int MKDBAnthro::GetSize() const {
  return 0;
}

unsigned int MKDBAnthro::GetNumberOfVariables() const {
  return static_cast<unsigned int>(variables.Size());
}

MKDBAnthroVariable* MKDBAnthro::GetVariableAtIndex(unsigned int index) const {
  if (index >= GetNumberOfVariables()) return nullptr;
  return static_cast<MKDBAnthroVariable*>(variables[static_cast<int>(index) + 1]);
}

MKDBAnthroVariable* MKDBAnthro::GetVariableFromRefNumber(unsigned int referenceNumber) const {
  for (int i = 1; i <= variables.Size(); ++i) {
    auto* variable = static_cast<MKDBAnthroVariable*>(variables[i]);
    if (variable && variable->GetReferenceNumber() == referenceNumber) return variable;
  }
  return nullptr;
}

MKDBAnthroVariable* MKDBAnthro::GetVariable(const KelString& acronym) const {
  if (acronym.Length() == 0) return nullptr;
  for (int i = 1; i <= variables.Size(); ++i) {
    auto* variable = static_cast<MKDBAnthroVariable*>(variables[i]);
    if (variable && variable->GetAcronym() == acronym) return variable;
  }
  return nullptr;
}

void MKDBAnthro::AddVariable(MKDBAnthroVariable* variable) {
  if (variable) variables.Append(variable);
}

void MKDBAnthro::SetAnchorPointSpec(unsigned int referenceNumber, MKSideSpec side,
                                    MKPostureSpec posture) {
  if (MKDBAnthroVariable* variable = GetVariableFromRefNumber(referenceNumber))
    variable->SetAnchorPointSpec(side, posture);
}

void MKDBAnthro::SetAnchorPointTranslation(unsigned int referenceNumber, double x, double y,
                                           double z) {
  if (MKDBAnthroVariable* variable = GetVariableFromRefNumber(referenceNumber))
    variable->SetAnchorPointTranslation(x, y, z);
}

void MKDBAnthro::Clear() {
  for (int i = 1; i <= variables.Size(); ++i) delete static_cast<MKDBAnthroVariable*>(variables[i]);
  variables.RemoveAll();
}

void MKDBAnthro::CopyVariablesFrom(const MKDBAnthro& source) {
  for (int i = 1; i <= source.variables.Size(); ++i)
    if (const auto* variable = static_cast<const MKDBAnthroVariable*>(source.variables[i]))
      variables.Append(new MKDBAnthroVariable(*variable));
}
