#pragma once

#include "body/MKBodyElement.h"
#include "host/KelRawColl.h"

class MKBody;

// The centre of gravity of a posed body: a body element whose global matrix
// is a pure translation to the mass-weighted sum of the segments' centres.
class MKCenterOfGravity : public MKBodyElement {
 public:
  explicit MKCenterOfGravity(MKBody* body);
  ~MKCenterOfGravity() override { massSegments.RemoveAll(); }

  // Records the body and lists its segments of positive mass; segments that
  // gain mass later join only at the next call.
  void SetBody(MKBody* body);
  void Update() override;
  const KelRawCollint& GetMassSegmentIndices() const { return massSegments; }

 private:
  KelRawCollint massSegments;
};
