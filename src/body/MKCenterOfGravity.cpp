#include "body/MKCenterOfGravity.h"

#include "body/MKBody.h"
#include "body/MKSegment.h"

MKCenterOfGravity::MKCenterOfGravity(MKBody* body)
    : MKBodyElement(MKCenterOfGravityClass, static_cast<MKBodyElement*>(body), BoCg) {
  globalMatrix.Unit();
}

void MKCenterOfGravity::SetBody(MKBody* body) {
  SetOwnerElement(body);
  massSegments.RemoveAll();
  if (!body) return;
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i)
    if (body->GetSegmentAtIndex(i)->GetMass() > 0.0) massSegments.Append(static_cast<int>(i));
}

void MKCenterOfGravity::Update() {
  auto* body = static_cast<MKBody*>(owner);
  if (!body) return;
  // The plain weighted sum: the build gives fractions that add up to 1.
  MK3x1Matrix sum(0.0, 0.0, 0.0);
  for (int k = 1; k <= massSegments.Size(); ++k) {
    MKSegment* segment = body->GetSegmentAtIndex(static_cast<unsigned int>(massSegments[k]));
    if (!segment) continue;
    const MK3DVertex& c = segment->GetCenterOfGravityPosition();
    const double length = segment->GetLength();
    MK4x4Matrix local;
    local.BuildFromTrans(c.x * length, c.y * length, c.z * length);
    sum += segment->GetMass() * (local * segment->GetGlobalMatrix()).GetTranslation();
  }
  globalMatrix.BuildFromTrans(sum(0), sum(1), sum(2));
}
