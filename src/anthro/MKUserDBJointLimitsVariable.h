#pragma once

#include "anthro/MKDBJointLimitsVariable.h"
#include "host/KelStreamDefinition.h"
#include "parts/MKStatus.h"

// A degree of freedom whose limit statistics the user sets in a user
// joint-limits database.
//
// Record: begin tag "0024B", double version, int length, int segment short
// name, int DOF number, double maximum mean, minimum mean, maximum standard
// deviation, minimum standard deviation; end tag "0024E".
class MKUserDBJointLimitsVariable : public MKDBJointLimitsVariable {
 public:
  static constexpr double sVersion = 2.0;

  MKUserDBJointLimitsVariable() = default;
  MKUserDBJointLimitsVariable(MKShortName segment, unsigned int dofNumber, double minMean,
                              double minStdDev, double maxMean, double maxStdDev);
  MKUserDBJointLimitsVariable(const MKUserDBJointLimitsVariable&) = default;
  MKUserDBJointLimitsVariable& operator=(const MKUserDBJointLimitsVariable&) = default;
  ~MKUserDBJointLimitsVariable() override;

  // Whether statistics are ones a user may set: both means in [0, 360] with
  // a sum of at most 360, both standard deviations finite and not negative.
  static bool AreValid(double maxMean, double minMean, double maxStdDev, double minStdDev);

  // Note the order: (maximum mean, minimum mean, maximum standard deviation,
  // minimum standard deviation). Management type 1.
  void SetUserValues(double maxMean, double minMean, double maxStdDev, double minStdDev);
  int GetManagementType() const { return managementType; }

  unsigned int GetSize() const;
  MKStatus Write(KelStreamDefinition& stream) const;
  // Entered after the begin tag, version and length; reads the fields and
  // the end tag. 100 for a record cut short, a wrong end tag or statistics
  // that are not valid (AreValid); the variable is then unchanged.
  MKStatus Read(KelStreamDefinition& stream);

 private:
  int managementType = 0;
};
