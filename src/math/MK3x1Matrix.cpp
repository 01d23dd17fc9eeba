#include "math/MK3x1Matrix.h"

#include <cmath>

#include "math/MK3DVertex.h"
#include "math/MKIEEE.h"

namespace {

// Below this norm the direction is too unreliable to scale up.
constexpr double kNormalizeThreshold = 0.001;

}  // namespace

MK3x1Matrix::MK3x1Matrix() : v{0.0, 0.0, 0.0} {}

MK3x1Matrix::MK3x1Matrix(double x, double y, double z) : v{x, y, z} {}

MK3x1Matrix::MK3x1Matrix(const MK3DVertex& vertex) : v{vertex.x, vertex.y, vertex.z} {}

MK3x1Matrix& MK3x1Matrix::operator=(const MK3DVertex& vertex) {
  v[0] = vertex.x;
  v[1] = vertex.y;
  v[2] = vertex.z;
  return *this;
}

MK3x1Matrix& MK3x1Matrix::operator+=(const MK3x1Matrix& b) {
  for (int i = 0; i < 3; ++i) v[i] += b.v[i];
  return *this;
}

MK3x1Matrix& MK3x1Matrix::operator-=(const MK3x1Matrix& b) {
  for (int i = 0; i < 3; ++i) v[i] -= b.v[i];
  return *this;
}

MK3x1Matrix& MK3x1Matrix::operator*=(double factor) {
  for (double& e : v) e *= factor;
  return *this;
}

MK3x1Matrix MK3x1Matrix::operator-() const {
  return MK3x1Matrix(-v[0], -v[1], -v[2]);
}

MK3x1Matrix MK3x1Matrix::operator+(const MK3x1Matrix& b) const {
  MK3x1Matrix result(*this);
  return result += b;
}

MK3x1Matrix MK3x1Matrix::operator-(const MK3x1Matrix& b) const {
  MK3x1Matrix result(*this);
  return result -= b;
}

MK3x1Matrix MK3x1Matrix::operator*(double factor) const {
  MK3x1Matrix result(*this);
  return result *= factor;
}

MK3x1Matrix operator*(double factor, const MK3x1Matrix& vector) {
  return vector * factor;
}

void MK3x1Matrix::Null() {
  v[0] = v[1] = v[2] = 0.0;
}

bool MK3x1Matrix::IsNull() const {
  return v[0] == 0.0 && v[1] == 0.0 && v[2] == 0.0;
}

double MK3x1Matrix::Norm() const {
  return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

void MK3x1Matrix::Normalize() {
  const double norm = Norm();
  if (norm > kNormalizeThreshold) {
    for (double& e : v) e /= norm;
  }
}

double MK3x1Matrix::VectDot(const MK3x1Matrix& b) const {
  return v[0] * b.v[0] + v[1] * b.v[1] + v[2] * b.v[2];
}

MK3x1Matrix MK3x1Matrix::VectProd(const MK3x1Matrix& b) const {
  return MK3x1Matrix(v[1] * b.v[2] - v[2] * b.v[1], v[2] * b.v[0] - v[0] * b.v[2],
                     v[0] * b.v[1] - v[1] * b.v[0]);
}

double MK3x1Matrix::DistanceFrom(const MK3x1Matrix& b) const {
  return (*this - b).Norm();
}
