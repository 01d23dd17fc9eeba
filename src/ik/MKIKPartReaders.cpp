// The IK part classes read their own records in streams: constraints (in
// their container) and solver settings (MKIKSpecs).
#include "ik/MKIKConstraint.h"
#include "ik/MKIKSpecs.h"
#include "parts/detail/MKPartReaders.h"

namespace {

MKManikinPart* NewConstraint(MKPartID) {
  return new MKIKConstraint();
}
MKManikinPart* NewSpecs(MKPartID) {
  return new MKIKSpecs();
}

const bool registered = [] {
  MKRegisterPartReader(MKPartIKConstraintID, NewConstraint);
  MKRegisterPartReader(MKPartIKSpecsID, NewSpecs);
  return true;
}();

}  // namespace
