#pragma once

#include "parts/MKShortName.h"

// The range-of-motion statistics of one degree of freedom: mean and standard
// deviation of its minimum and of its maximum limit, in degrees. Means are
// magnitudes on either side of zero, as the degree of freedom stores its limits.
class MKDBJointLimitsVariable {
 public:
  // No segment and no DOF (both -1), zero statistics.
  MKDBJointLimitsVariable() = default;
  MKDBJointLimitsVariable(MKShortName segment, unsigned int dofNumber, double minMean,
                          double minStdDev, double maxMean, double maxStdDev);
  MKDBJointLimitsVariable(const MKDBJointLimitsVariable&) = default;
  MKDBJointLimitsVariable& operator=(const MKDBJointLimitsVariable&) = default;
  virtual ~MKDBJointLimitsVariable();

  // Note the order: maximum first, unlike the constructor.
  void InitValues(double maxMean, double maxStdDev, double minMean, double minStdDev);

  MKShortName GetShortNameOfSegment() const { return segment; }
  unsigned int GetDOFNumber() const { return dofNumber; }
  double GetMinMean() const { return minMean; }
  double GetMinStdDev() const { return minStdDev; }
  double GetMaxMean() const { return maxMean; }
  double GetMaxStdDev() const { return maxStdDev; }

 private:
  MKShortName segment = static_cast<MKShortName>(-1);
  unsigned int dofNumber = static_cast<unsigned int>(-1);
  double minMean = 0.0;
  double minStdDev = 0.0;
  double maxMean = 0.0;
  double maxStdDev = 0.0;
};
