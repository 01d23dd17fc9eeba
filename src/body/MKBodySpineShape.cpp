// Shaping of the lumbar and thoracic spine, and the spine ellipses that
// follow it.
#include <algorithm>
#include <cmath>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"

namespace {

struct Vertebra {
  MKShortName name;
  double length;     // centimetres
  double rotationX;  // degrees, at rest
};

constexpr Vertebra kVertebrae[] = {
    {SBoL5, 3.69, -28.42}, {SBoL4, 3.59, 13.67}, {SBoL3, 3.57, 16.07},  {SBoL2, 3.5, 11.04},
    {SBoL1, 3.25, -0.06},  {SBoT12, 3.11, -0.2}, {SBoT11, 3.01, -2.97}, {SBoT10, 3.13, -2.7},
    {SBoT9, 2.82, -2.23},  {SBoT8, 2.76, -1.49}, {SBoT7, 2.68, -4.56},  {SBoT6, 2.62, 0.45},
    {SBoT5, 2.58, -2.81},  {SBoT4, 2.56, -3.59}, {SBoT3, 2.36, -5.35},  {SBoT2, 2.24, -7.75},
    {SBoT1, 2.21, -10.38},
};

// The world z the top of the thoracic spine is brought back to.
constexpr double kSpineTopZ = -1.7358;
constexpr double kTiltStepDegrees = 0.01;
// A full turn of tilt steps: the search ends there whatever the geometry.
constexpr int kMaxTiltSteps = 36000;
constexpr int kTiltBlock = 100;

// Gives the vertebrae their lengths and, when `curved`, their rest
// curvature; answers how many there are (a missing one ends the chain).
int StackVertebrae(MKBody& body, MKSegment** chain, bool curved) {
  int count = 0;
  for (const Vertebra& v : kVertebrae) {
    MKSegment* segment = body.GetSegment(v.name);
    if (!segment) break;
    segment->SetLength(v.length);
    segment->SetRotation(curved ? v.rotationX : 0.0, 0.0, 0.0);
    chain[count++] = segment;
  }
  return count;
}

}  // namespace

void MKBody::BuildSpineShape(double hipOffset, double b, double cervicaleHeight,
                             double trochanterHeight) {
  const double height = cervicaleHeight - trochanterHeight - hipOffset - b;
  MKSegment* chain[17] = {};
  const int count = StackVertebrae(*this, chain, true);
  if (count == 0) return;

  // The pelvis tilt given by the trunk builder must not tilt the spine.
  MKSegment* l5 = chain[0];
  const MKSegment* sacrum = GetSegment(SBoTIp);
  double l5Rotation = kVertebrae[0].rotationX - (sacrum ? sacrum->GetRotationXInDegrees() : 0.0);
  l5->SetRotation(l5Rotation, 0.0, 0.0);
  MKSegment* top = chain[count - 1];
  // Tilt by 0.01 degree steps until the top is far enough back. The chain
  // turns rigidly about L5, so the top's depth changes smoothly: blocks of a
  // hundred steps are tried first and the last block is walked step by step,
  // which finds the same step as walking all of them at a hundredth of the cost.
  auto tooFarForward = [&](double rotation) {
    l5->SetRotation(rotation, 0.0, 0.0);
    return top->GetEndPosition()(2) > kSpineTopZ;
  };
  int steps = 0;
  bool forward = tooFarForward(l5Rotation);
  while (forward && steps < kMaxTiltSteps) {
    double blockEnd = l5Rotation;
    const int block = std::min(kTiltBlock, kMaxTiltSteps - steps);
    for (int i = 0; i < block; ++i) blockEnd += kTiltStepDegrees;
    if (tooFarForward(blockEnd)) {
      l5Rotation = blockEnd;
      steps += block;
      continue;
    }
    for (int i = 0; i < block && forward; ++i, ++steps) {
      l5Rotation += kTiltStepDegrees;
      forward = tooFarForward(l5Rotation);
    }
  }
  l5->SetRotation(l5Rotation, 0.0, 0.0);

  FinishSpineShape(chain, count, height);
}

void MKBody::BuildOldSpineShape(double hipOffset, double b, double cervicaleHeight,
                                double trochanterHeight) {
  const double height = cervicaleHeight - trochanterHeight - hipOffset - b;
  MKSegment* chain[17] = {};
  const int count = StackVertebrae(*this, chain, false);
  if (count == 0) return;
  const MKSegment* sacrum = GetSegment(SBoTIp);
  chain[0]->SetRotation(-(sacrum ? sacrum->GetRotationXInDegrees() : 0.0), 0.0, 0.0);
  FinishSpineShape(chain, count, height);
}

void MKBody::FinishSpineShape(MKSegment* const* chain, int count, double height) {
  MKSegment* l5 = chain[0];
  MKSegment* top = chain[count - 1];
  const double span = top->GetEndPosition()(1) - l5->GetOriginPosition()(1);
  if (span != 0.0)
    for (int i = 0; i < count; ++i) chain[i]->SetLength(chain[i]->GetLength() * height / span);
  for (int i = 0; i < count; ++i) chain[i]->SetParaMatrix();

  spineAngle = 0.0;
  spineDy = spineDz = 0.0;
  for (int i = 0; i < count; ++i) spineAngle += chain[i]->GetRotationXInDegrees();
  for (int i = 0; i < count; ++i) {
    const MKShortName name = chain[i]->GetShortName();
    if (name != SBoT3 && name != SBoT2 && name != SBoT1) continue;
    const MK3x1Matrix d = chain[i]->GetEndPosition() - chain[i]->GetOriginPosition();
    spineDy += d(1);
    spineDz += d(2);
  }
}

void MKBody::GetBackSpineEllipses() {
  MKSegment* root = GetRoot();
  for (unsigned int i = 1; i < GetNumberOfSegments(); ++i) {
    MKSegment* segment = GetSegmentAtIndex(i);
    for (int e = 0; e < segment->GetNumberOfEllipses();) {
      MKEllipse* ellipse = segment->GetEllipseAtIndex(e);
      if (!ellipse->IsPartOfSpine()) {
        ++e;
        continue;
      }
      segment->DetachEllipse(ellipse);
      root->AttachEllipse(ellipse);
      e = 0;  // the scan starts again from the segment's first ellipse
    }
  }
}

MKSegment* MKBody::GetMatchingSegment(MKEllipse* ellipse) {
  if (!ellipse) return nullptr;
  const double y = ellipse->GetGlobalMatrix()(3, 1);
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i) {
    MKSegment* segment = GetSegmentAtIndex(i);
    const double origin = segment->GetOriginPosition()(1);
    const double end = segment->GetEndPosition()(1);
    if ((end - y) * (origin - y) <= 0.0) return segment;
  }
  return nullptr;
}

void MKBody::SpreadSpineEllipses() {
  MKSegment* root = GetRoot();
  for (int e = 0; e < root->GetNumberOfEllipses();) {
    MKEllipse* ellipse = root->GetEllipseAtIndex(e);
    if (!ellipse->IsPartOfSpine()) {
      ++e;
      continue;
    }
    MKSegment* target = GetMatchingSegment(ellipse);
    if (!target || target == root) return;
    root->DetachEllipse(ellipse);
    target->AttachEllipse(ellipse);
  }
}
