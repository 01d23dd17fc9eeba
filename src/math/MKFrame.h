#pragma once

#include "math/MK3DVertex.h"

// A position frame: sixteen doubles laid out like MK4x4Matrix (row-major). Rows 0, 1 and 2 start
// with the X, Y and Z axes (the frame's first, second and third "columns"); row 3 starts with the
// origin (the frame's vector).
class MKFrame {
 public:
  // The identity.
  MKFrame();
  MKFrame(const MKFrame&) = default;
  MKFrame& operator=(const MKFrame&) = default;

  void Null();
  void Unit();

  // Out of range (either index outside 0 to 3) traces a message and answers element (0, 0).
  double& operator()(int r, int c);
  // Out of range traces the same message and answers MKIEEE::NaN().
  double operator()(int r, int c) const;

  MK3DVertex GetFirstColumn() const;
  MK3DVertex GetSecondColumn() const;
  MK3DVertex GetThirdColumn() const;
  MK3DVertex GetVector() const;
  void SetFirstColumn(const MK3DVertex& axis);
  void SetSecondColumn(const MK3DVertex& axis);
  void SetThirdColumn(const MK3DVertex& axis);
  void SetVector(const MK3DVertex& origin);

 private:
  MK3DVertex GetRow(int r) const;
  void SetRow(int r, const MK3DVertex& value);

  double m[16];
};
