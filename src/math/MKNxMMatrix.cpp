#include "math/MKNxMMatrix.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Zero-filled storage, so elements exposed by growth are never garbage.
double** AllocateRows(int rowCount, int colCount) {
  double** storage = new double*[rowCount];
  for (int i = 0; i < rowCount; ++i) storage[i] = new double[colCount]();
  return storage;
}

void FreeRows(double** storage, int rowCount) {
  for (int i = 0; i < rowCount; ++i) delete[] storage[i];
  delete[] storage;
}

int AtLeastOne(int size) {
  return size > 0 ? size : 1;
}

}  // namespace

MKNxMMatrix::MKNxMMatrix(int rowCount, int colCount)
    : rows(nullptr),
      nbRows(AtLeastOne(rowCount)),
      nbCols(AtLeastOne(colCount)),
      allocatedRows(nbRows),
      allocatedCols(nbCols) {
  rows = AllocateRows(allocatedRows, allocatedCols);
}

// The whole storage is copied, so a copy behaves like the original after a later Realloc.
MKNxMMatrix::MKNxMMatrix(const MKNxMMatrix& other)
    : rows(nullptr),
      nbRows(other.nbRows),
      nbCols(other.nbCols),
      allocatedRows(other.allocatedRows),
      allocatedCols(other.allocatedCols) {
  rows = AllocateRows(allocatedRows, allocatedCols);
  for (int i = 0; i < allocatedRows; ++i) {
    std::copy(other.rows[i], other.rows[i] + allocatedCols, rows[i]);
  }
}

MKNxMMatrix::~MKNxMMatrix() {
  FreeRows(rows, allocatedRows);
}

MKNxMMatrix& MKNxMMatrix::operator=(const MKNxMMatrix& other) {
  if (rows == other.rows) return *this;
  if (nbRows != other.nbRows || nbCols != other.nbCols) Realloc(other.nbRows, other.nbCols);
  for (int i = 0; i < nbRows; ++i) {
    std::copy(other.rows[i], other.rows[i] + nbCols, rows[i]);
  }
  return *this;
}

double& MKNxMMatrix::operator()(int i, int j) {
  if (i >= nbRows || j >= nbCols) Realloc(std::max(nbRows, i + 1), std::max(nbCols, j + 1));
  return rows[i][j];
}

MKNxMMatrix& MKNxMMatrix::operator-=(const MKNxMMatrix& b) {
  if (nbRows != b.nbRows || nbCols != b.nbCols) return *this;
  for (int i = 0; i < nbRows; ++i) {
    for (int j = 0; j < nbCols; ++j) rows[i][j] -= b.rows[i][j];
  }
  return *this;
}

MKNxMMatrix MKNxMMatrix::operator*(const MKNxMMatrix& b) {
  *this *= b;
  return *this;
}

MKNxMMatrix& MKNxMMatrix::operator*=(const MKNxMMatrix& b) {
  if (nbCols != b.nbRows) return *this;
  // Built apart from both operands, so b may be this matrix itself.
  MKNxMMatrix product(nbRows, b.nbCols);
  for (int i = 0; i < nbRows; ++i) {
    for (int j = 0; j < b.nbCols; ++j) {
      double sum = 0.0;
      for (int k = 0; k < nbCols; ++k) sum += rows[i][k] * b.rows[k][j];
      product.rows[i][j] = sum;
    }
  }
  *this = product;
  return *this;
}

MKNxMMatrix MKNxMMatrix::operator*(const double factor) const {
  MKNxMMatrix result(*this);
  for (int i = 0; i < nbRows; ++i) {
    for (int j = 0; j < nbCols; ++j) result.rows[i][j] *= factor;
  }
  return result;
}

MKNxMMatrix operator*(const double factor, const MKNxMMatrix& matrix) {
  return matrix * factor;
}

void MKNxMMatrix::Null() {
  for (int i = 0; i < nbRows; ++i) std::fill(rows[i], rows[i] + nbCols, 0.0);
}

void MKNxMMatrix::Unit() {
  nbRows = nbCols = std::min(nbRows, nbCols);
  Null();
  for (int i = 0; i < nbRows; ++i) rows[i][i] = 1.0;
}

void MKNxMMatrix::Realloc(int rowCount, int colCount) {
  rowCount = AtLeastOne(rowCount);
  colCount = AtLeastOne(colCount);
  if (rowCount != allocatedRows || colCount != allocatedCols) {
    double** storage = AllocateRows(rowCount, colCount);
    const int keepRows = std::min(rowCount, allocatedRows);
    const int keepCols = std::min(colCount, allocatedCols);
    for (int i = 0; i < keepRows; ++i) std::copy(rows[i], rows[i] + keepCols, storage[i]);
    FreeRows(rows, allocatedRows);
    rows = storage;
    allocatedRows = rowCount;
    allocatedCols = colCount;
  }
  nbRows = rowCount;
  nbCols = colCount;
}

int MKNxMMatrix::Pivot(int k) {
  if (k < 0 || k >= nbRows || k >= nbCols) return -1;
  // Starting below zero lets the first row qualify even with a zero entry; a zero maximum is then
  // caught below.
  double best = -1.0;
  int p = k;
  for (int i = k; i < nbRows; ++i) {
    const double magnitude = std::fabs(rows[i][k]);
    if (magnitude > best) {
      best = magnitude;
      p = i;
    }
  }
  if (rows[p][k] == 0.0) return -1;
  if (p == k) return 0;
  std::swap(rows[k], rows[p]);
  return p;
}

MKNxMMatrix operator!(const MKNxMMatrix& matrix) {
  if (matrix.nbRows != matrix.nbCols) return matrix;
  const int n = matrix.nbRows;
  MKNxMMatrix a(matrix);
  MKNxMMatrix inv(n, n);
  inv.Unit();
  for (int k = 0; k < n; ++k) {
    const int p = a.Pivot(k);
    if (p == -1) {
      inv.Unit();
      return inv;
    }
    if (p != 0) std::swap(inv.rows[k], inv.rows[p]);
    const double pivot = a.rows[k][k];
    for (int j = 0; j < n; ++j) {
      a.rows[k][j] /= pivot;
      inv.rows[k][j] /= pivot;
    }
    for (int i = 0; i < n; ++i) {
      if (i == k) continue;
      const double f = a.rows[i][k];
      for (int j = 0; j < n; ++j) {
        a.rows[i][j] -= f * a.rows[k][j];
        inv.rows[i][j] -= f * inv.rows[k][j];
      }
    }
  }
  return inv;
}
