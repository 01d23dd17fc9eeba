#pragma once

// Growable dense matrix of doubles. The logical size (nbRows x nbCols) may be smaller than the
// storage (allocatedRows x allocatedCols), e.g. after Unit() on a non-square matrix; Realloc back
// to the storage size makes the hidden elements visible again. Indices are never negative.
class MKNxMMatrix {
 public:
  // A size of 0 (or less) is taken as 1. All elements 0.
  MKNxMMatrix(int rows, int cols);
  MKNxMMatrix(const MKNxMMatrix& other);
  ~MKNxMMatrix();
  // Reallocates to the source's logical size when the counts differ, then copies its elements.
  MKNxMMatrix& operator=(const MKNxMMatrix& other);

  // An index beyond the logical size first grows the matrix, keeping every element.
  double& operator()(int i, int j);

  // Element-wise; nothing when the sizes differ.
  MKNxMMatrix& operator-=(const MKNxMMatrix& b);
  // When the sizes fit, this matrix becomes this * b; answers a copy of this matrix either way.
  MKNxMMatrix operator*(const MKNxMMatrix& b);
  // this = this * b when the sizes fit, otherwise nothing.
  MKNxMMatrix& operator*=(const MKNxMMatrix& b);
  MKNxMMatrix operator*(const double factor) const;

  // Every element of the logical size set to 0.
  void Null();
  // Square identity of size min(nbRows, nbCols); the storage is untouched.
  void Unit();
  // New storage of exactly rows x cols keeping the overlapping block (new elements are 0); when
  // (rows, cols) is already the storage size only the logical size is reset to it.
  void Realloc(int rows, int cols);
  // Partial pivoting on column k by exchanging row pointers: -1 when column k is zero from row k
  // down, 0 when row k already holds the largest entry, otherwise the row swapped into row k.
  int Pivot(int k);

  int GetNbRows() const { return nbRows; }
  int GetNbCols() const { return nbCols; }

 private:
  friend MKNxMMatrix operator!(const MKNxMMatrix& matrix);

  double** rows;
  int nbRows;
  int nbCols;
  int allocatedRows;
  int allocatedCols;
};

MKNxMMatrix operator*(const double factor, const MKNxMMatrix& matrix);
// Gauss-Jordan inverse: an unchanged copy when the matrix is not square, the identity when it is
// singular.
MKNxMMatrix operator!(const MKNxMMatrix& matrix);
