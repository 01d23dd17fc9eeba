#pragma once

#include <vector>

// The Gauss-Newton part of the Hessian of the summed potentials: each
// potential is a weighted sum of squared residuals, so 2 x J'WJ (J the
// residuals' derivatives with respect to the DOF values) is its Hessian
// without the residuals' own curvature. Kept on the gradient's scale
// (x pi/180) so that its inverse maps the gradient onto a step.
struct MKIKCurvature {
  explicit MKIKCurvature(int n)
      : n(n), matrix(static_cast<std::size_t>(n) * static_cast<std::size_t>(n)) {}
  int n;
  std::vector<double> matrix;  // n x n, row-major
  // One constraint's residual derivatives per chain DOF and their indexes.
  std::vector<double> columns;
  std::vector<int> indexes;
};
