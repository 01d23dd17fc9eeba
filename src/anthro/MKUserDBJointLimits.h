#pragma once

#include "anthro/MKDBJointLimits.h"
#include "anthro/MKUserDBJointLimitsVariable.h"
#include "host/KelStreamDefinition.h"
#include "host/KelUnicodeString.h"
#include "parts/MKShortName.h"
#include "parts/MKStatus.h"

// Joint limits the user sets for some degrees of freedom of the skeleton.
// Every variable it holds is an MKUserDBJointLimitsVariable.
//
// Record: as a user anthropometric database's, with begin tag "0023B", end
// tag "0023E" and the records of its variables.
class MKUserDBJointLimits : public MKDBJointLimits {
 public:
  static MKUserDBJointLimits* Create();
  static MKUserDBJointLimits* Create(const KelUnicodeString& name);

  MKUserDBJointLimits();
  // Deep-copies the user variables; the copy keeps the UUID.
  MKUserDBJointLimits(const MKUserDBJointLimits& source);
  MKUserDBJointLimits& operator=(const MKUserDBJointLimits& source);
  ~MKUserDBJointLimits() override;
  unsigned int GetSize() const override;

  // Values in the order of MKUserDBJointLimitsVariable::SetUserValues. 5 for
  // statistics that are not valid (MKUserDBJointLimitsVariable::AreValid);
  // 1100 for a degree of freedom the built-in database does not have.
  MKStatus SetVariable(MKShortName segment, int dofNumber, double maxMean, double minMean,
                       double maxStdDev, double minStdDev);

  // 2 for a database without UUID (nothing written).
  MKStatus Write(KelStreamDefinition& stream);
  // Replaces the database by the record at the stream's position. 100 for
  // a malformed record, 102 for a newer one; unchanged unless 0. Degrees of
  // freedom the built-in database lacks, and repeated ones, are dropped.
  MKStatus Read(KelStreamDefinition& stream);

  MKUserDBJointLimitsVariable* GetUserVariableAtIndex(unsigned int index) const;

 private:
  void CopyUserVariablesFrom(const MKUserDBJointLimits& source);
};
