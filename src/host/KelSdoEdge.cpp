#include "host/KelSdoEdge.h"

KelSdoVertex* KelSdoEdge::GetVertex(int end) const {
  return end == 0 || end == 1 ? vertices[end] : nullptr;
}

KelSdoVertex* KelSdoEdge::GetOtherVertex(const KelSdoVertex* vertex) const {
  if (vertex == nullptr) return nullptr;
  if (vertex == vertices[0]) return vertices[1];
  if (vertex == vertices[1]) return vertices[0];
  return nullptr;
}

KelSdoFace* KelSdoEdge::GetFace(int i) const {
  return i == 0 || i == 1 ? faces[i] : nullptr;
}

KelSdoFace* KelSdoEdge::GetOtherFace(const KelSdoFace* face) const {
  if (face == nullptr) return nullptr;
  if (face == faces[0]) return faces[1];
  if (face == faces[1]) return faces[0];
  return nullptr;
}
