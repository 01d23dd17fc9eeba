#pragma once

#include "math/MK3x1Matrix.h"

class MKFrame;

// Homogeneous transform for row vectors (p' = p * M), sixteen doubles row-major. Rows 0, 1 and 2
// hold the images of the X, Y and Z axes; row 3 holds the translation and 1.
class MK4x4Matrix {
 public:
  // The null matrix (all zeros), not the identity.
  MK4x4Matrix();
  MK4x4Matrix(const MK4x4Matrix&) = default;
  MK4x4Matrix(const MKFrame& frame);
  MK4x4Matrix& operator=(const MK4x4Matrix&) = default;
  MK4x4Matrix& operator=(const MKFrame& frame);

  // r or c outside 0 to 3 answers element (0, 0).
  double& operator()(int r, int c);
  double operator()(int r, int c) const;

  // this = this * b.
  MK4x4Matrix& operator*=(const MK4x4Matrix& b);
  MK4x4Matrix operator*(const MK4x4Matrix& b) const;
  MK4x4Matrix operator-(const MK4x4Matrix& b) const;
  MK4x4Matrix operator*(double factor) const;
  // Every element multiplied by 1 / d.
  MK4x4Matrix operator/(double d) const;
  // The point p transformed: p * M with p extended by 1.
  MK3x1Matrix operator*(const MK3x1Matrix& p) const;

  // Gauss-Jordan inverse; the identity when the matrix is singular.
  MK4x4Matrix operator!() const;
  // this * (!b).
  MK4x4Matrix operator/(const MK4x4Matrix& b) const;

  void Null();
  void Unit();
  double Norm() const;
  // Exact comparisons, no tolerance.
  bool IsUnit() const;
  bool IsNull() const;

  MK3x1Matrix GetXAxis() const;
  MK3x1Matrix GetYAxis() const;
  MK3x1Matrix GetZAxis() const;
  MK3x1Matrix GetTranslation() const;
  void GetMKFrame(MKFrame& frame) const;

  void BuildFromTrans(double tx, double ty, double tz);
  void BuildFromRotY(const double a);

  // Elementary rotations (radians) multiplied on the left: M = R * M.
  void RotX(double a);
  void RotY(double a);
  void RotZ(double a);
  // this = this * T with T = identity rotated by RotX(ax), RotY(ay), RotZ(az) in that order.
  void RotXYZ(double ax, double ay, double az);
  // this = this * R(axis, a), the translation kept. The axis is used as given, not normalised.
  void RotAxis(const MK3x1Matrix& axis, const double a);

  // Partial pivoting on column k: swaps the row with the largest |(p, k)|, p >= k, into row k.
  // Answers -1 when the column is zero from row k down, 0 when row k already holds the pivot,
  // otherwise p.
  int Pivot(int k);

 private:
  // Replaces rows i and j by (ci * row i + si * row j) and (cj * row i + sj * row j).
  void CombineRows(int i, int j, double ci, double si, double cj, double sj);

  double m[16];
};
