// The subdivided head: the base mesh of the skin file placed on the head
// ellipses, handed to the subdivision-surface component.
#include <cmath>
#include <unordered_map>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "body/detail/MKSkinTablesLock.h"
#include "host/KelFatalError.h"
#include "host/KelSdoCreateMesh.h"
#include "host/KelSdoMesh.h"

namespace {

bool IsSex(int sex) {
  return sex == 0 || sex == 1;
}

struct EllipsePlace {
  MKEllipse* ellipse;
  int segment;
  int index;
};

// The body's ellipses by short name, a repeated name keeping its first place
// in segment order, then ellipse order, as GetEllipse and
// GetEllipseIndicesFromShortName answer. Built once per pass over the head's
// anchors, which would otherwise each search the whole body.
using EllipseTable = std::unordered_map<int, EllipsePlace>;

EllipseTable TableOfEllipses(const MKBody& body) {
  EllipseTable table;
  for (unsigned int s = 0; s < body.GetNumberOfSegments(); ++s) {
    const MKSegment* segment = body.GetSegmentAtIndex(s);
    for (int e = 0; e < segment->GetNumberOfEllipses(); ++e) {
      MKEllipse* ellipse = segment->GetEllipseAtIndex(e);
      table.emplace(ellipse->GetShortName(), EllipsePlace{ellipse, static_cast<int>(s), e});
    }
  }
  return table;
}

// Each anchor (theta, rho, h, w) gives the point (rho a cos theta, rho b
// sin theta, h (a + b) / 2) of its ellipse (a, b the half-axes, theta in
// degrees); the vertex is their mean weighted by w.
MK3DVertex BaseMeshVertex(const EllipseTable& ellipses, const MKSubDVertex& vertex) {
  double sum[3] = {0, 0, 0};
  double weights = 0.0;
  MK3DVertex points[2];
  for (int k = 0; k < 2; ++k) {
    const MKSubDVertex::Anchor& anchor = vertex.anchors[k];
    const auto found = ellipses.find(anchor.ellipseShortName);
    if (found == ellipses.end()) return MK3DVertex();
    MKEllipse* ellipse = found->second.ellipse;
    const double a = 0.5 * ellipse->GetMajorAxis(), b = 0.5 * ellipse->GetMinorAxis();
    const double theta = anchor.parameters[0] * M_PI / 180.0;
    const double rho = anchor.parameters[1], h = anchor.parameters[2], w = anchor.parameters[3];
    const MK3x1Matrix world =
        ellipse->GetGlobalMatrix() *
        MK3x1Matrix(rho * a * std::cos(theta), rho * b * std::sin(theta), h * (a + b) * 0.5);
    points[k] = MK3DVertex(world(0), world(1), world(2));
    for (int c = 0; c < 3; ++c) sum[c] += w * world(c);
    weights += w;
  }
  if (weights <= 0.0)
    return MK3DVertex(0.5 * (points[0].x + points[1].x), 0.5 * (points[0].y + points[1].y),
                      0.5 * (points[0].z + points[1].z));
  return MK3DVertex(sum[0] / weights, sum[1] / weights, sum[2] / weights);
}

}  // namespace

void MKBody::InitSubD(int sex) {
  delete subDMesh;
  subDMesh = KelSdoCreateMesh();
  ReadMeshData(sex);
  CompleteBaseMesh(sex);
}

KelSdoMesh* MKBody::GetSubDSubdividedMesh() const {
  return subDMesh ? subDMesh->CreateSubdividedMesh(1) : nullptr;
}

void MKBody::CompleteBaseMesh(int sex) {
  if (!subDMesh || !IsSex(sex)) return;
  const int vertices = sNbVertices[sex];
  computedVertices.assign(static_cast<std::size_t>(3 * vertices), 0.0);
  const EllipseTable ellipses = TableOfEllipses(*this);
  for (int i = 0; i < vertices; ++i) {
    const MK3DVertex p = BaseMeshVertex(ellipses, sSubDVertices[sex][i]);
    SetComputedVertexAtHierarchyIndex(i, p);
    if (subDMesh->AddVertex(p.x, p.y, p.z) == 0) {
      KelFatalError("the head base mesh cannot be completed: a vertex has no position", __FILE__,
                    __LINE__);
      return;
    }
  }
  // The mesh component counts vertices from 1, the skin file from 0.
  for (int f = 0; f < sNbHierarchies[sex]; ++f) {
    const int* corners = sHierarchies[sex][f];
    if (subDMesh->AddFace(corners[0] + 1, corners[1] + 1, corners[2] + 1, corners[3] + 1) !=
        KelSdoSuccess) {
      KelFatalError("the head base mesh cannot be completed: a face is refused", __FILE__,
                    __LINE__);
      return;
    }
  }
}

MK3DVertex MKBody::GetComputedVertexAtHierarchyIndex(int vertex) const {
  if (vertex < 0 || 3 * static_cast<std::size_t>(vertex) + 2 >= computedVertices.size())
    return MK3DVertex();
  const double* p = &computedVertices[3 * static_cast<std::size_t>(vertex)];
  return MK3DVertex(p[0], p[1], p[2]);
}

void MKBody::SetComputedVertexAtHierarchyIndex(int vertex, const MK3DVertex& position) {
  if (vertex < 0 || 3 * static_cast<std::size_t>(vertex) + 2 >= computedVertices.size()) return;
  double* p = &computedVertices[3 * static_cast<std::size_t>(vertex)];
  p[0] = position.x;
  p[1] = position.y;
  p[2] = position.z;
}

void MKBody::AssignSubDVertices() {
  const int sex = GetSexOfCurrentBody();
  if (!IsSex(sex)) return;
  const EllipseTable ellipses = TableOfEllipses(*this);
  const std::lock_guard<std::mutex> lock(MKSkinTablesMutex());
  // Bodies of one sex agree on these places, so after the first body an
  // anchor is written only when a body of another layout disagrees.
  for (int v = 0; v < sNbVertices[sex]; ++v)
    for (MKSubDVertex::Anchor& anchor : sSubDVertices[sex][v].anchors) {
      const auto found = ellipses.find(anchor.ellipseShortName);
      if (found == ellipses.end()) continue;
      if (anchor.segmentIndex != found->second.segment) anchor.segmentIndex = found->second.segment;
      if (anchor.ellipseIndex != found->second.index) anchor.ellipseIndex = found->second.index;
    }
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i)
    GetSegmentAtIndex(i)->CompletlyRemoveAllHierarchies(3);
  for (int f = 0; f < sNbHierarchies[sex]; ++f) {
    if (MKSegment* display =
            GetVisuSegment(static_cast<unsigned int>(GetHierarchyOwnerSegmentForVisu(f))))
      display->AddHierarchyIndex(2, f);
    for (int corner = 0; corner < 4; ++corner) {
      const int v = sHierarchies[sex][f][corner];
      if (v < 0 || v >= sNbVertices[sex]) continue;
      for (const MKSubDVertex::Anchor& anchor : sSubDVertices[sex][v].anchors)
        if (MKSegment* anchored = GetVisuSegment(static_cast<unsigned int>(anchor.segmentIndex)))
          anchored->AddHierarchyIndex(1, f);
    }
  }
}

void MKBody::AssignSegmentsTextureInfo(int sex) {
  if (!IsSex(sex)) return;
  // The texture covers the head as one image: scale 1, no offset.
  const float scale[2] = {1.0F, 1.0F};
  const float offset[2] = {0.0F, 0.0F};
  for (unsigned int i = 0; i < GetNumberOfSegments(); ++i) {
    MKSegment* segment = GetSegmentAtIndex(i);
    if (segment->GetNbHierarchies(2) > 0)
      segment->SetTextureInfo(sFaceTexturePath[sex], scale, offset);
  }
}

unsigned int MKBody::GetVisuSegmentIndex(unsigned int i) {
  return i == static_cast<unsigned int>(SHeTo) ? static_cast<unsigned int>(SHeCg) : i;
}

MKSegment* MKBody::GetVisuSegment(unsigned int i) const {
  return GetSegmentAtIndex(GetVisuSegmentIndex(i));
}

void MKBody::GetEllipseIndicesFromShortName(MKShortName name, int& segment, int& ellipse) const {
  for (unsigned int s = 0; s < GetNumberOfSegments(); ++s) {
    const MKSegment* candidate = GetSegmentAtIndex(s);
    for (int e = 0; e < candidate->GetNumberOfEllipses(); ++e)
      if (candidate->GetEllipseAtIndex(e)->GetShortName() == name) {
        segment = static_cast<int>(s);
        ellipse = e;
        return;
      }
  }
}

int MKBody::GetNbUniqueVertices() const {
  const int sex = GetSexOfCurrentBody();
  return IsSex(sex) ? sNbVertices[sex] : 0;
}

int MKBody::GetNbHierarchies() const {
  const int sex = GetSexOfCurrentBody();
  return IsSex(sex) ? sNbHierarchies[sex] : 0;
}

int MKBody::GetHierarchyOwnerSegmentForVisu(int face) const {
  const int sex = GetSexOfCurrentBody();
  if (!IsSex(sex) || face < 0 || face >= sNbHierarchies[sex]) return -1;
  return sHierarchyOwnerSegmentForVisu[sex][face];
}

const MKSubDVertex* MKBody::GetSubDVerticesAtDirectIndex(int i) const {
  const int sex = GetSexOfCurrentBody();
  if (!IsSex(sex) || i < 0 || i >= sNbVertices[sex]) return nullptr;
  return &sSubDVertices[sex][i];
}

const MKSubDVertex* MKBody::GetSubDVerticesAtHierarchyIndex(int face, int corner) const {
  return GetSubDVerticesAtDirectIndex(GetHierarchyVertexPos(face, corner));
}

int MKBody::GetHierarchyVertexPos(int face, int corner) const {
  const int sex = GetSexOfCurrentBody();
  if (!IsSex(sex) || face < 0 || face >= sNbHierarchies[sex] || corner < 0 || corner > 3) return -1;
  return sHierarchies[sex][face][corner];
}

void MKBody::SetHierarchyVertexPos(int face, int corner, int vertex) {
  const int sex = GetSexOfCurrentBody();
  if (!IsSex(sex) || face < 0 || face >= sNbHierarchies[sex] || corner < 0 || corner > 3) return;
  if (vertex < 0 || vertex >= sNbVertices[sex]) return;
  sHierarchies[sex][face][corner] = vertex;
}

KelRawCollint* MKBody::GetHairFacesIndexes() const {
  return FeatureFaces(sHairFaces, sNbHairFaces);
}
KelRawCollint* MKBody::GetEyebrowsFacesIndexes() const {
  return FeatureFaces(sEyebrowsFaces, sNbEyebrowsFaces);
}
KelRawCollint* MKBody::GetEyelidsFacesIndexes() const {
  return FeatureFaces(sEyelidsFaces, sNbEyelidsFaces);
}
KelRawCollint* MKBody::GetEyesWhiteFacesIndexes() const {
  return FeatureFaces(sEyesWhiteFaces, sNbEyesWhiteFaces);
}
KelRawCollint* MKBody::GetEyesColorFacesIndexes() const {
  return FeatureFaces(sEyesColorFaces, sNbEyesColorFaces);
}
KelRawCollint* MKBody::GetPupilsFacesIndexes() const {
  return FeatureFaces(sPupilsFaces, sNbPupilsFaces);
}
KelRawCollint* MKBody::GetLipsFacesIndexes() const {
  return FeatureFaces(sLipsFaces, sNbLipsFaces);
}
