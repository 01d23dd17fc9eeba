#include "math/MK4x4Matrix.h"

#include <cmath>
#include <utility>

#include "math/MKFrame.h"

namespace {

bool InRange(int r, int c) {
  return r >= 0 && r < 4 && c >= 0 && c < 4;
}

}  // namespace

MK4x4Matrix::MK4x4Matrix() {
  Null();
}

MK4x4Matrix::MK4x4Matrix(const MKFrame& frame) {
  *this = frame;
}

MK4x4Matrix& MK4x4Matrix::operator=(const MKFrame& frame) {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) m[r * 4 + c] = frame(r, c);
  }
  return *this;
}

double& MK4x4Matrix::operator()(int r, int c) {
  return InRange(r, c) ? m[r * 4 + c] : m[0];
}

double MK4x4Matrix::operator()(int r, int c) const {
  return InRange(r, c) ? m[r * 4 + c] : m[0];
}

MK4x4Matrix& MK4x4Matrix::operator*=(const MK4x4Matrix& b) {
  *this = *this * b;
  return *this;
}

MK4x4Matrix MK4x4Matrix::operator*(const MK4x4Matrix& b) const {
  MK4x4Matrix result;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += m[r * 4 + k] * b.m[k * 4 + c];
      result.m[r * 4 + c] = sum;
    }
  }
  return result;
}

MK4x4Matrix MK4x4Matrix::operator-(const MK4x4Matrix& b) const {
  MK4x4Matrix result;
  for (int i = 0; i < 16; ++i) result.m[i] = m[i] - b.m[i];
  return result;
}

MK4x4Matrix MK4x4Matrix::operator*(double factor) const {
  MK4x4Matrix result;
  for (int i = 0; i < 16; ++i) result.m[i] = m[i] * factor;
  return result;
}

MK4x4Matrix MK4x4Matrix::operator/(double d) const {
  return *this * (1.0 / d);
}

MK3x1Matrix MK4x4Matrix::operator*(const MK3x1Matrix& p) const {
  MK3x1Matrix result;
  for (int c = 0; c < 3; ++c) {
    result(c) = p(0) * m[c] + p(1) * m[4 + c] + p(2) * m[8 + c] + m[12 + c];
  }
  return result;
}

MK4x4Matrix MK4x4Matrix::operator!() const {
  MK4x4Matrix a(*this);
  MK4x4Matrix inv;
  inv.Unit();
  for (int k = 0; k < 4; ++k) {
    const int p = a.Pivot(k);
    if (p == -1) {
      inv.Unit();
      return inv;
    }
    if (p != 0) {
      for (int c = 0; c < 4; ++c) std::swap(inv.m[k * 4 + c], inv.m[p * 4 + c]);
    }
    const double pivot = a.m[k * 4 + k];
    for (int c = 0; c < 4; ++c) {
      a.m[k * 4 + c] /= pivot;
      inv.m[k * 4 + c] /= pivot;
    }
    for (int i = 0; i < 4; ++i) {
      if (i == k) continue;
      const double f = a.m[i * 4 + k];
      for (int c = 0; c < 4; ++c) {
        a.m[i * 4 + c] -= f * a.m[k * 4 + c];
        inv.m[i * 4 + c] -= f * inv.m[k * 4 + c];
      }
    }
  }
  return inv;
}

MK4x4Matrix MK4x4Matrix::operator/(const MK4x4Matrix& b) const {
  return *this * !b;
}

void MK4x4Matrix::Null() {
  for (double& e : m) e = 0.0;
}

void MK4x4Matrix::Unit() {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

double MK4x4Matrix::Norm() const {
  double sum = 0.0;
  for (double e : m) sum += e * e;
  return std::sqrt(sum);
}

bool MK4x4Matrix::IsUnit() const {
  for (int i = 0; i < 16; ++i) {
    if (m[i] != ((i % 5 == 0) ? 1.0 : 0.0)) return false;
  }
  return true;
}

bool MK4x4Matrix::IsNull() const {
  for (double e : m) {
    if (e != 0.0) return false;
  }
  return true;
}

MK3x1Matrix MK4x4Matrix::GetXAxis() const {
  return MK3x1Matrix(m[0], m[1], m[2]);
}
MK3x1Matrix MK4x4Matrix::GetYAxis() const {
  return MK3x1Matrix(m[4], m[5], m[6]);
}
MK3x1Matrix MK4x4Matrix::GetZAxis() const {
  return MK3x1Matrix(m[8], m[9], m[10]);
}
MK3x1Matrix MK4x4Matrix::GetTranslation() const {
  return MK3x1Matrix(m[12], m[13], m[14]);
}

void MK4x4Matrix::GetMKFrame(MKFrame& frame) const {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) frame(r, c) = m[r * 4 + c];
  }
}

void MK4x4Matrix::BuildFromTrans(double tx, double ty, double tz) {
  Unit();
  m[12] = tx;
  m[13] = ty;
  m[14] = tz;
}

void MK4x4Matrix::BuildFromRotY(const double a) {
  const double c = std::cos(a);
  const double s = std::sin(a);
  Unit();
  m[0] = c;
  m[2] = -s;
  m[8] = s;
  m[10] = c;
}

void MK4x4Matrix::CombineRows(int i, int j, double ci, double si, double cj, double sj) {
  for (int c = 0; c < 4; ++c) {
    const double ri = m[i * 4 + c];
    const double rj = m[j * 4 + c];
    m[i * 4 + c] = ci * ri + si * rj;
    m[j * 4 + c] = cj * ri + sj * rj;
  }
}

void MK4x4Matrix::RotX(double a) {
  const double c = std::cos(a);
  const double s = std::sin(a);
  CombineRows(1, 2, c, s, -s, c);
}

void MK4x4Matrix::RotY(double a) {
  const double c = std::cos(a);
  const double s = std::sin(a);
  CombineRows(0, 2, c, -s, s, c);
}

void MK4x4Matrix::RotZ(double a) {
  const double c = std::cos(a);
  const double s = std::sin(a);
  CombineRows(0, 1, c, s, -s, c);
}

void MK4x4Matrix::RotXYZ(double ax, double ay, double az) {
  MK4x4Matrix t;
  t.Unit();
  t.RotX(ax);
  t.RotY(ay);
  t.RotZ(az);
  *this *= t;
}

void MK4x4Matrix::RotAxis(const MK3x1Matrix& axis, const double a) {
  const MK3x1Matrix t = GetTranslation();
  const double x = axis(0);
  const double y = axis(1);
  const double z = axis(2);
  const double c = std::cos(a);
  const double s = std::sin(a);
  const double cc = 1.0 - c;

  MK4x4Matrix r;
  r.Unit();
  r.m[0] = cc * x * x + c;
  r.m[1] = cc * x * y + s * z;
  r.m[2] = cc * x * z - s * y;
  r.m[4] = cc * x * y - s * z;
  r.m[5] = cc * y * y + c;
  r.m[6] = cc * y * z + s * x;
  r.m[8] = cc * x * z + s * y;
  r.m[9] = cc * y * z - s * x;
  r.m[10] = cc * z * z + c;
  *this *= r;

  m[12] = t(0);
  m[13] = t(1);
  m[14] = t(2);
  m[15] = 1.0;
}

int MK4x4Matrix::Pivot(int k) {
  if (k < 0 || k >= 4) return -1;
  // Starting below zero lets the first row qualify even with a zero entry; a zero maximum is then
  // caught below.
  double best = -1.0;
  int p = k;
  for (int i = k; i < 4; ++i) {
    const double magnitude = std::fabs(m[i * 4 + k]);
    if (magnitude > best) {
      best = magnitude;
      p = i;
    }
  }
  if (m[p * 4 + k] == 0.0) return -1;
  if (p == k) return 0;
  for (int c = 0; c < 4; ++c) std::swap(m[k * 4 + c], m[p * 4 + c]);
  return p;
}
