#pragma once

#include <cstdint>
#include <unordered_map>

#include "anthro/MKDBJointLimitsVariable.h"
#include "anthro/MKDatabase.h"
#include "host/KelRawColl.h"
#include "parts/MKShortName.h"

// A joint-limits database: one MKDBJointLimitsVariable per degree of freedom
// of the skeleton, in creation order. The database owns its variables.
class MKDBJointLimits : public MKDatabase {
 public:
  // Empty name, no variables.
  MKDBJointLimits();
  // Deep-copies the variables.
  MKDBJointLimits(const MKDBJointLimits& source);
  MKDBJointLimits& operator=(const MKDBJointLimits& source);

  // The virtual operations, in their fixed slot order.
  ~MKDBJointLimits() override;
  // No record of its own: 0. User databases count their stream records.
  unsigned int GetSize() const override;

  unsigned int GetNumberOfVariables() const;
  // 0-based; null at or beyond the count.
  MKDBJointLimitsVariable* GetVariableAtIndex(unsigned int index) const;
  // The first variable of that segment and DOF number, or null.
  MKDBJointLimitsVariable* GetVariable(MKShortName segment, const int dofNumber) const;
  // Takes ownership; null is ignored.
  void AddVariable(MKDBJointLimitsVariable* variable);
  // Destroys every variable.
  void Clear();

  // Appends the 137 degrees of freedom of the skeleton with zero statistics.
  void CreateVariables();
  // Makes this the built-in "Orvane Joints limits database": identity,
  // variables when there are none yet, and their statistics.
  void CreateOrvaneDB();

 private:
  void CopyVariablesFrom(const MKDBJointLimits& source);
  static std::uint64_t Key(MKShortName segment, unsigned int dofNumber);

  KelRawCollPV variables;
  // The first variable of each segment and DOF number: a body links its
  // hundred-odd DOFs by name, which a scan of the list made quadratic.
  std::unordered_map<std::uint64_t, MKDBJointLimitsVariable*> byDOF;
};
