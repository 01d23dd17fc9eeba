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
  const auto found = byDOF.find(Key(segment, static_cast<unsigned int>(dofNumber)));
  return found == byDOF.end() ? nullptr : found->second;
}

std::uint64_t MKDBJointLimits::Key(MKShortName segment, unsigned int dofNumber) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(segment)) << 32 | dofNumber;
}

void MKDBJointLimits::AddVariable(MKDBJointLimitsVariable* variable) {
  if (!variable) return;
  variables.Append(variable);
  byDOF.emplace(Key(variable->GetShortNameOfSegment(), variable->GetDOFNumber()), variable);
}

void MKDBJointLimits::Clear() {
  for (int i = 1; i <= variables.Size(); ++i)
    delete static_cast<MKDBJointLimitsVariable*>(variables[i]);
  variables.RemoveAll();
  byDOF.clear();
}

void MKDBJointLimits::CopyVariablesFrom(const MKDBJointLimits& source) {
  for (int i = 1; i <= source.variables.Size(); ++i)
    if (const auto* variable = static_cast<const MKDBJointLimitsVariable*>(source.variables[i]))
      AddVariable(new MKDBJointLimitsVariable(*variable));
}
