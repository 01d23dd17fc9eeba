#include "host/KelSdoVertex.h"

bool KelSdoVertex::IsBoundary() const {
  for (int i = 1; i <= edges.Size(); ++i)
    if (edges[i]->IsBoundary()) return true;
  return false;
}

KelMathVector KelSdoVertex::GetNormal() const {
  KelMathVector normal;
  if (faces.Size() == 0) return normal;
  const double weight = 1.0 / faces.Size();
  for (int i = 1; i <= faces.Size(); ++i) normal = normal + faces[i]->GetNormal() * weight;
  // A mean of unit vectors this short is rounding noise around zero.
  if (normal.Norm() < 1e-12) return KelMathVector();
  normal.Normalize();
  return normal;
}
