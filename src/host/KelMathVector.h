#pragma once

// The host's 3-vector, as far as the library uses it.
class KelMathVector {
 public:
  KelMathVector() : x(0.0), y(0.0), z(0.0) {}
  KelMathVector(double px, double py, double pz) : x(px), y(py), z(pz) {}

  KelMathVector operator+(const KelMathVector& b) const;
  KelMathVector operator-(const KelMathVector& b) const;
  KelMathVector operator*(double factor) const;
  double Dot(const KelMathVector& b) const;
  // this x b.
  KelMathVector Cross(const KelMathVector& b) const;
  double Norm() const;
  // A zero vector is left unchanged.
  void Normalize();

  // Unsigned angle to v, radians in [0, pi]; 0 when either vector is zero.
  double GetAngleTo(const KelMathVector& v) const;
  // Signed angle to v, radians in [-pi, pi]: positive when this x v points along `reference`.
  double GetAngleTo(const KelMathVector& v, const KelMathVector& reference) const;

  double x;
  double y;
  double z;
};
