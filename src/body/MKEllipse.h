#pragma once

#include "body/MKBodyElement.h"
#include "host/KelRawColl.h"
#include "math/MK3DVertex.h"
#include "math/MK4x4Matrix.h"
#include "math/MKFrame.h"
#include "parts/MKShortName.h"

class MKMesh;
class MKSegment;

// Which point of an ellipse GetPosition answers. The extremities are the ends
// of the two axes; ties between them are broken by the second coordinate named.
enum MKPositionSpec : int {
  MKPositionCenter = 0,
  MKPositionHighestZ = 1,   // ties: highest X
  MKPositionLowestZ = 2,    // ties: lowest X
  MKPositionHighestY = 3,   // ties: highest Z
  MKPositionLowestY = 4,    // ties: lowest Z
  MKPositionHighestX = 5,   // ties: highest Y
  MKPositionLowestX = 6,    // ties: lowest Y
  MKPositionCenter7 = 7,    // the centre as well
  MKPositionCenter8 = 8,    // the centre as well
  MKPositionMajorEnd = 9,   // (+major / 2, 0, 0)
  MKPositionMinorEnd = 10,  // (0, +minor / 2, 0)
};

// A flat elliptical cross-section of the body in its segment's frame: a
// centre, three rotations and two full axis lengths (major along the
// ellipse's own X, minor along its Y; the normal is its Z). The skin is swept
// from ellipse to ellipse, and the analyses take landmarks from them.
class MKEllipse : public MKBodyElement {
 public:
  // Flag word bits, fixed at creation.
  static constexpr int sSpine = 1;
  static constexpr int sNotLinkedToAncestor = 2;
  static constexpr int sNoMesh = 4;
  static constexpr int sBeginCap = 8;
  static constexpr int sEndCap = 16;
  static constexpr int sBeginRounded = 32;
  static constexpr int sEndRounded = 64;
  static constexpr int sEndNotOnAncestor = 128;
  static constexpr int sLinkingNotOnAncestor = 256;

  MKEllipse();
  MKEllipse(MKSegment* segment, MKShortName name, int flags);
  // Copies name, owner, flags, local matrix, axes, position, rotations and
  // depth; the copy's matrices are stale.
  MKEllipse(const MKEllipse& source);
  MKEllipse& operator=(const MKEllipse& source);
  ~MKEllipse() override = default;
  // Same short name.
  bool operator==(const MKEllipse& other) const { return shortName == other.shortName; }

  void Invalidate() override { matrixStale = 1; }
  void Update() override;

  MKSegment* GetSegment() const;
  int GetFlags() const { return flags; }
  double GetMajorAxis() const { return majorAxis; }
  double GetMinorAxis() const { return minorAxis; }
  double GetPositionX() const { return position[0]; }
  double GetPositionY() const { return position[1]; }
  double GetPositionZ() const { return position[2]; }
  double GetRotationX() const { return rotation[0]; }
  double GetRotationY() const { return rotation[1]; }
  double GetRotationZ() const { return rotation[2]; }
  double GetRotationXInDegrees() const;
  double GetRotationYInDegrees() const;
  double GetRotationZInDegrees() const;
  // Rebuilt first when stale.
  const MK4x4Matrix& GetLocalMatrix();
  void GetLocalMatrix(MKFrame& frame);
  // True when the last position or rotation setter was given an infinite or NaN value.
  bool IsInvalid() const { return invalidInput != 0; }

  bool IsPartOfSpine() const { return (flags & sSpine) != 0; }
  bool IsLinkedToAncestor() const { return (flags & (sNotLinkedToAncestor | sNoMesh)) == 0; }
  bool HasMesh() const { return (flags & sNoMesh) == 0; }
  bool HasBeginCap() const { return (flags & sBeginCap) != 0; }
  bool HasEndCap() const { return (flags & sEndCap) != 0; }
  bool IsBeginningMeshFlat() const { return (flags & sBeginRounded) == 0; }
  bool IsEndingMeshFlat() const { return (flags & sEndRounded) == 0; }
  bool IsEndingMeshOnAncestor() const { return (flags & sEndNotOnAncestor) == 0; }
  bool IsLinkingMeshOnAncestor() const {
    return IsLinkedToAncestor() && (flags & sLinkingNotOnAncestor) == 0;
  }

  // 0 for an ellipse without mesh or without any cap, else the stored depth.
  double GetEllipsoidDepth() const;
  void SetEllipsoidDepth(double depth);

  // Each axis is stored only when positive; the depth is then recomputed.
  void SetAxisValues(double major, double minor);
  // Refused as a whole (and remembered by IsInvalid) when a coordinate is
  // infinite or NaN; otherwise stored and the depth recomputed.
  void SetPosition(double x, double y, double z);
  // Degrees; infinite or NaN is refused and remembered by IsInvalid.
  void SetRotationX(double degrees);
  void SetRotationY(double degrees);
  void SetRotationZ(double degrees);
  // Moves the ellipse to another segment, keeping its place in the world:
  // the current local matrix is read as a world placement (in the
  // convention of the trunk's root frame) and re-expressed in the new owner's frame.
  void SetOwner(MKSegment* segment);

  // One of the four axis ends or the centre, in the segment frame (local) or
  // the world (global); three NaNs for a bad space or spec.
  MK3DVertex GetPosition(MKPositionSpec spec, MKCoordinateSpace space);
  // The image of the ellipse's Z axis; three NaNs for a bad space, or for
  // the global space without an owner.
  MK3DVertex GetNormalVector(MKCoordinateSpace space);
  // Replaces the points of `mesh` by n points of the ellipse of half-axes a
  // and b (negative: half the stored axis) at height z over its plane, in the
  // segment frame, clockwise about the normal from the +X end.
  void CreateSamplePoints(unsigned int n, MKMesh& mesh, double a, double b, double z);
  // Destroys the MKMesh objects held by `meshes`, then fills it with the
  // rings of a cap over the ellipse (new MKMesh objects of type cap, owned by
  // the caller), each of `points` points like CreateSamplePoints. The cap is
  // a half-ellipsoid of height |depth|, on the +Z side of the ellipse for a
  // positive depth and on the -Z side for a negative one. The latitude steps
  // by pi / (2 * rings): for a positive depth ring k (0-based) lies at
  // latitude (k + 1) * step, so the rings leave the ellipse outwards and the
  // last one is the pole; for a negative depth ring k lies at pi / 2 - k * step,
  // so the pole comes first and the last ring is one step from the ellipse.
  // A ring lies |depth * sin(latitude)| from the plane with half-axes
  // a * cos(latitude) and b * cos(latitude); a half-axis below 1.1920929e-07
  // counts as 0, so the pole ring is `points` copies of the apex and closes
  // the cap. Nothing is built for no rings, no points or a zero depth.
  void CreateEllipsoid(unsigned int rings, unsigned int points, double depth, KelRawCollPV& meshes,
                       double a, double b);

  // Rebuilds the local and global matrices; does nothing (they stay stale)
  // without an owner segment or when that segment has no body.
  void UpdateMatrix();

 private:
  // A copied segment re-homes the ellipses it copied.
  friend class MKSegment;
  // Changes the owner and keeps the local placement: for the ellipses of a
  // copied segment.
  void SetSegment(MKSegment* segment);

  void RecomputeDepth();
  // p carried by the local (space 0) or global (space 1) matrix.
  MK3DVertex Carry(const MK3DVertex& p, const MK4x4Matrix& m) const;

  int flags = 0;
  unsigned char matrixStale = 1;
  MK4x4Matrix localMatrix;
  double majorAxis = 0.0;
  double minorAxis = 0.0;
  double position[3] = {0.0, 0.0, 0.0};
  double rotation[3] = {0.0, 0.0, 0.0};
  double ellipsoidDepth = 0.0;
  unsigned char invalidInput = 0;
};
