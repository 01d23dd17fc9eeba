#pragma once

#include "math/MK3DVertex.h"

// Orderings for sorting mesh vertices, qsort style (-1, 0, 1). The primary coordinates are equal
// when they differ by less than single-precision epsilon; the secondary ones are compared exactly.
// The tolerance makes them asymmetric near ties, so they are not strict weak orderings: use them
// with MKMesh::QuickSort, not std::sort.
int MK3DVertexCompareHigherZHigherX(const MK3DVertex& a, const MK3DVertex& b);
int MK3DVertexCompareLowerZLowerX(const MK3DVertex& a, const MK3DVertex& b);
int MK3DVertexCompareHigherYHigherZ(const MK3DVertex& a, const MK3DVertex& b);
int MK3DVertexCompareLowerYLowerZ(const MK3DVertex& a, const MK3DVertex& b);
int MK3DVertexCompareHigherXHigherY(const MK3DVertex& a, const MK3DVertex& b);
int MK3DVertexCompareLowerXLowerY(const MK3DVertex& a, const MK3DVertex& b);
