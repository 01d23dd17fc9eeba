#pragma once

#include <cmath>

namespace mkcli {

// A point or direction in the manikin's world frame (centimetres, Y up).
struct Vec3 {
  double x = 0.0, y = 0.0, z = 0.0;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(const Vec3& a, double s) {
  return {a.x * s, a.y * s, a.z * s};
}
inline Vec3& operator+=(Vec3& a, const Vec3& b) {
  return a = a + b;
}
inline double Dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const Vec3& a) {
  return std::sqrt(Dot(a, a));
}
// The unit vector along `a`; the zero vector stays zero.
inline Vec3 Normalized(const Vec3& a) {
  const double length = Length(a);
  return length > 0.0 ? a * (1.0 / length) : a;
}

}  // namespace mkcli
