#include "anthro/MKDBJointLimitsVariable.h"

MKDBJointLimitsVariable::MKDBJointLimitsVariable(MKShortName segment, unsigned int dofNumber,
                                                 double minMean, double minStdDev, double maxMean,
                                                 double maxStdDev)
    : segment(segment),
      dofNumber(dofNumber),
      minMean(minMean),
      minStdDev(minStdDev),
      maxMean(maxMean),
      maxStdDev(maxStdDev) {}

MKDBJointLimitsVariable::~MKDBJointLimitsVariable() = default;

void MKDBJointLimitsVariable::InitValues(double maxMean, double maxStdDev, double minMean,
                                         double minStdDev) {
  this->maxMean = maxMean;
  this->maxStdDev = maxStdDev;
  this->minMean = minMean;
  this->minStdDev = minStdDev;
}
