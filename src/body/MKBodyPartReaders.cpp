// The body's part classes read their own records in streams: posture values
// and joint-limit records (DOFs) and preferred-angle zones.
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "parts/detail/MKPartReaders.h"

namespace {

MKManikinPart* NewDOF(MKPartID kind) {
  return new MKDOF(kind);
}
MKManikinPart* NewPrefAngle(MKPartID) {
  return new MKPrefAngle(nullptr);
}

const bool registered = [] {
  MKRegisterPartReader(MKPartPostureVariableID, NewDOF);
  MKRegisterPartReader(MKPartJointLimitsVariableID, NewDOF);
  MKRegisterPartReader(MKPartPrefAngleID, NewPrefAngle);
  return true;
}();

}  // namespace
