#include "math/MKFrame.h"

#include "host/MKTrace.h"
#include "math/MKIEEE.h"

namespace {

const char kSubscriptMessage[] = "Subscript out of range in MKFrame::operator()\n";

bool InRange(int r, int c) {
  return r >= 0 && r < 4 && c >= 0 && c < 4;
}

}  // namespace

MKFrame::MKFrame() {
  Unit();
}

void MKFrame::Null() {
  for (double& e : m) e = 0.0;
}

void MKFrame::Unit() {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

double& MKFrame::operator()(int r, int c) {
  if (!InRange(r, c)) {
    MKTrace(kSubscriptMessage);
    return m[0];
  }
  return m[r * 4 + c];
}

double MKFrame::operator()(int r, int c) const {
  if (!InRange(r, c)) {
    MKTrace(kSubscriptMessage);
    return MKIEEE::NaN();
  }
  return m[r * 4 + c];
}

MK3DVertex MKFrame::GetRow(int r) const {
  return MK3DVertex(m[r * 4], m[r * 4 + 1], m[r * 4 + 2]);
}

void MKFrame::SetRow(int r, const MK3DVertex& value) {
  m[r * 4] = value.x;
  m[r * 4 + 1] = value.y;
  m[r * 4 + 2] = value.z;
}

MK3DVertex MKFrame::GetFirstColumn() const {
  return GetRow(0);
}
MK3DVertex MKFrame::GetSecondColumn() const {
  return GetRow(1);
}
MK3DVertex MKFrame::GetThirdColumn() const {
  return GetRow(2);
}
MK3DVertex MKFrame::GetVector() const {
  return GetRow(3);
}
void MKFrame::SetFirstColumn(const MK3DVertex& axis) {
  SetRow(0, axis);
}
void MKFrame::SetSecondColumn(const MK3DVertex& axis) {
  SetRow(1, axis);
}
void MKFrame::SetThirdColumn(const MK3DVertex& axis) {
  SetRow(2, axis);
}
void MKFrame::SetVector(const MK3DVertex& origin) {
  SetRow(3, origin);
}
