#include "host/KelMathVector.h"

#include <cmath>

KelMathVector KelMathVector::operator+(const KelMathVector& b) const {
  return KelMathVector(x + b.x, y + b.y, z + b.z);
}

KelMathVector KelMathVector::operator-(const KelMathVector& b) const {
  return KelMathVector(x - b.x, y - b.y, z - b.z);
}

KelMathVector KelMathVector::operator*(double factor) const {
  return KelMathVector(x * factor, y * factor, z * factor);
}

double KelMathVector::Dot(const KelMathVector& b) const {
  return x * b.x + y * b.y + z * b.z;
}

KelMathVector KelMathVector::Cross(const KelMathVector& b) const {
  return KelMathVector(y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x);
}

double KelMathVector::Norm() const {
  return std::sqrt(x * x + y * y + z * z);
}

void KelMathVector::Normalize() {
  const double norm = Norm();
  if (norm > 0.0) {
    x /= norm;
    y /= norm;
    z /= norm;
  }
}

// atan2 of |a x b| and a . b stays accurate near 0 and pi, where acos of the cosine does not.
double KelMathVector::GetAngleTo(const KelMathVector& v) const {
  return std::atan2(Cross(v).Norm(), Dot(v));
}

double KelMathVector::GetAngleTo(const KelMathVector& v, const KelMathVector& reference) const {
  const double angle = GetAngleTo(v);
  return Cross(v).Dot(reference) < 0.0 ? -angle : angle;
}
