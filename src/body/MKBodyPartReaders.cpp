// The body's part classes read their own records in streams: posture values
// and joint-limit records (DOFs) and preferred-angle zones.
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"

namespace {

MKManikinPart* NewDOF(MKPartID kind) {
  return new MKDOF(kind);
}
MKManikinPart* NewPrefAngle(MKPartID) {
  return new MKPrefAngle(nullptr);
}

const bool registered = [] {
  MKManikinPart::RegisterReader(MKPartPostureVariableID, NewDOF);
  MKManikinPart::RegisterReader(MKPartJointLimitsVariableID, NewDOF);
  MKManikinPart::RegisterReader(MKPartPrefAngleID, NewPrefAngle);
  return true;
}();

}  // namespace
