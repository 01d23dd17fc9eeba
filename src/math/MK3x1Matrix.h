#pragma once

#include "math/MKIEEE.h"

class MK3DVertex;

// A 3-vector (x, y, z), elements 0 to 2.
class MK3x1Matrix {
 public:
  // The null vector.
  MK3x1Matrix();
  MK3x1Matrix(double x, double y, double z);
  MK3x1Matrix(const MK3x1Matrix&) = default;
  MK3x1Matrix(const MK3DVertex& vertex);
  MK3x1Matrix& operator=(const MK3x1Matrix&) = default;
  MK3x1Matrix& operator=(const MK3DVertex& vertex);

  // Index 3 or more answers element 0. Inline: point transforms call these
  // for every vertex of every skin ring.
  double& operator()(int i) { return static_cast<unsigned>(i) < 3 ? v[i] : v[0]; }
  // Index 3 or more answers MKIEEE::NaN().
  double operator()(int i) const { return static_cast<unsigned>(i) < 3 ? v[i] : MKIEEE::NaN(); }

  MK3x1Matrix& operator+=(const MK3x1Matrix& b);
  MK3x1Matrix& operator-=(const MK3x1Matrix& b);
  MK3x1Matrix& operator*=(double factor);
  MK3x1Matrix operator-() const;
  MK3x1Matrix operator+(const MK3x1Matrix& b) const;
  MK3x1Matrix operator-(const MK3x1Matrix& b) const;
  MK3x1Matrix operator*(double factor) const;

  void Null();
  bool IsNull() const;

  double Norm() const;
  // Vectors of norm 0.001 or less are left as they are.
  void Normalize();

  double VectDot(const MK3x1Matrix& b) const;
  // this x b.
  MK3x1Matrix VectProd(const MK3x1Matrix& b) const;
  double DistanceFrom(const MK3x1Matrix& b) const;

 private:
  double v[3];
};

MK3x1Matrix operator*(double factor, const MK3x1Matrix& vector);
