#include "anthro/MKUserDBJointLimitsVariable.h"

#include <cmath>

#include "parts/MKManikinPart.h"
#include "parts/MKPersistenceRoutines.h"

MKUserDBJointLimitsVariable::MKUserDBJointLimitsVariable(MKShortName segment,
                                                         unsigned int dofNumber, double minMean,
                                                         double minStdDev, double maxMean,
                                                         double maxStdDev)
    : MKDBJointLimitsVariable(segment, dofNumber, minMean, minStdDev, maxMean, maxStdDev) {}

MKUserDBJointLimitsVariable::~MKUserDBJointLimitsVariable() = default;

bool MKUserDBJointLimitsVariable::AreValid(double maxMean, double minMean, double maxStdDev,
                                           double minStdDev) {
  return maxMean >= 0.0 && maxMean <= 360.0 && minMean >= 0.0 && minMean <= 360.0 &&
         maxMean + minMean <= 360.0 && maxStdDev >= 0.0 && minStdDev >= 0.0 &&
         std::isfinite(maxStdDev + minStdDev);
}

void MKUserDBJointLimitsVariable::SetUserValues(double maxMean, double minMean, double maxStdDev,
                                                double minStdDev) {
  InitValues(maxMean, maxStdDev, minMean, minStdDev);
  managementType = 1;
}

unsigned int MKUserDBJointLimitsVariable::GetSize() const {
  return 4 + 4 + 4 * 8;
}

MKStatus MKUserDBJointLimitsVariable::Write(KelStreamDefinition& stream) const {
  MKStatus status = MKManikinPart::WriteBeginTag(MKPartUserDBJointLimitsVariableID, stream);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, sVersion);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, static_cast<int>(GetSize()));
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, static_cast<int>(GetShortNameOfSegment()));
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, static_cast<int>(GetDOFNumber()));
  for (double value : {GetMaxMean(), GetMinMean(), GetMaxStdDev(), GetMinStdDev()})
    if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, value);
  if (status == MKStatusSuccess)
    status = MKManikinPart::WriteEndTag(MKPartUserDBJointLimitsVariableID, stream);
  return status;
}

MKStatus MKUserDBJointLimitsVariable::Read(KelStreamDefinition& stream) {
  int segment = 0, dofNumber = 0;
  double values[4] = {};  // maximum mean, minimum mean, their standard deviations
  MKStatus status = MKPersistenceRoutines::ReadInt(stream, segment);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, dofNumber);
  for (double& value : values)
    if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, value);
  if (status == MKStatusSuccess)
    status = MKManikinPart::ReadEndTag(stream, MKPartUserDBJointLimitsVariableID);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  if (!AreValid(values[0], values[1], values[2], values[3]) || dofNumber < 0)
    return MKStatusStreamContent;
  *this = MKUserDBJointLimitsVariable(static_cast<MKShortName>(segment),
                                      static_cast<unsigned int>(dofNumber), values[1], values[3],
                                      values[0], values[2]);
  managementType = 1;
  return MKStatusSuccess;
}
