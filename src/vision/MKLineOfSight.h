#pragma once

#include "body/MKBodyElement.h"
#include "math/MK3DVertex.h"
#include "math/MK3x1Matrix.h"
#include "math/MK4x4Matrix.h"
#include "math/MKBagOfMKMesh.h"
#include "math/MKMesh.h"

class MKDOF;
class MKSegment;
class MKVision;

// How a vision cone is drawn: on a plane at the line's length, or pushed
// onto the sphere of that radius about the eye.
enum MKProjectionStyle : int { MKProjectionOnPlane = 0, MKProjectionOnSphere = 1 };

// Which posture data a reset of angular limitations touches (host values).
enum MKKEReset : int {
  MKKEResetAll = 0,
  MKKEResetLimits = 1,
  MKKEResetLocks = 2,
  MKKEResetAngularLimitations = 4
};

// A line from an eye along the direction it looks, hung at the end of an eye
// segment. DOF 0 is the vertical deviation, DOF 1 the horizontal one; the
// length is the distance to the point looked at (+inf: at infinity). The
// middle line of a vision carries the focus; the side lines follow it.
class MKLineOfSight : public MKBodyElement {
 public:
  explicit MKLineOfSight(MKShortName name);
  MKLineOfSight(const MKLineOfSight&) = delete;
  MKLineOfSight& operator=(const MKLineOfSight&) = delete;
  ~MKLineOfSight() override;

  void Invalidate() override;
  void Update() override;

  // Only the first call takes effect.
  void InitData(MKVision* vision, MKSegment* ownerSegment, double horizontalOffset,
                double verticalOffset);
  // Creates DOF `number` (0 or 1) once.
  void AddDOF(int number, int kind, double value, MKDOF* master);
  unsigned int GetNumberOfDOFs() const { return 2; }
  // Null for i > 1.
  MKDOF* GetDOF(unsigned int i) const;

  MKVision* GetVision() const { return vision; }
  void SetLength(double newLength) { length = newLength; }
  // The side lines answer their vision's middle line length.
  double GetLength() const;
  double GetHorizontalOffset() const { return horizontalOffset; }
  double GetVerticalOffset() const { return verticalOffset; }
  // Makes this line's side the vision's active side.
  void Activate();

  MK3x1Matrix GetOriginPosition();
  MK3x1Matrix GetEndPosition();
  MK3x1Matrix AsVector();
  MK3DVertex GetBeginPoint(MKCoordinateSpace space);
  MK3DVertex GetEndPoint(MKCoordinateSpace space);
  MK3DVertex GetDirection();
  MK4x4Matrix GetLocalMatrix();
  MK4x4Matrix GetLocalMatrix(MKFrame& frame);

  // which: 0 DOF 0, 1 DOF 1, -1 both.
  void ResetPosture(int which);
  void ResetPrefAngles(int which);
  void LockPosture(int which);
  void ResetAngularLimitations(int which, MKKEReset mode);

  // Called by a DOF of this line when its value changes.
  void InvalidateFromDOF(const MKDOF* dof);

  // Display meshes of the vision cones in the line's current posture: the
  // caller's own copy, which a later call leaves as it is.
  MKBagOfMKMesh GetCentralCone(MKProjectionStyle style) const;
  MKBagOfMKMesh GetPeripheralCone(MKProjectionStyle style) const;
  MKMesh GetOnePeripheralCone(double binocular, double ambinocular, double verticalTop,
                              double verticalBottom) const;

 private:
  static constexpr int kLocalStale = 1;
  static constexpr int kReported = 2;
  static constexpr int kGlobalStale = 4;

  MKSegment* GetOwnerSegment() const;
  bool IsMiddleLine() const { return shortName == MLHeEye; }
  void ComputeLocalMatrix();
  // The sphere's cap inside a section: strips between scaled sections, then
  // a fan about the line's end.
  void AddSphereCap(MKBagOfMKMesh& bag, double binocular, double ambinocular, double verticalTop,
                    double verticalBottom) const;

  MKVision* vision = nullptr;
  MK4x4Matrix localMatrix;
  double length = 0.0;
  mutable MKBagOfMKMesh centralConeMeshes;
  mutable MKBagOfMKMesh peripheralConeMeshes;
  int flags = kReported;
  double horizontalOffset = 0.0;
  double verticalOffset = 0.0;
  MKDOF* dof[2] = {nullptr, nullptr};
};
