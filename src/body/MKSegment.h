#pragma once

#include "body/MKBodyElement.h"
#include "host/KelRawColl.h"
#include "host/KelUnicodeString.h"
#include "math/MK3DVertex.h"
#include "math/MK3x1Matrix.h"
#include "math/MK4x4Matrix.h"

class MKBody;
class MKDOF;
class MKEllipse;
class MKSkinElement;

// One rigid link of the kinematic skeleton. It extends from its origin along
// its local +Z axis to (0, 0, length), hangs at the end of its parent with a
// fixed rotation, and turns by up to three DOFs (one per axis). It owns its
// DOFs, its ellipses and its skin element.
class MKSegment : public MKBodyElement {
 public:
  MKSegment();
  MKSegment(MKBody* body, MKShortName name, int spineFlag, MKSegment* parent);
  MKSegment(const MKSegment& source);
  MKSegment& operator=(const MKSegment& source);
  ~MKSegment() override;

  // Marks this subtree stale once; a second call returns at once.
  void Invalidate() override;
  void Update() override;

  // Hierarchy.
  MKBody* GetBody() const;
  MKSegment* GetAncestor() const { return ancestor; }
  int GetNumberOfChildren() const { return children.Size(); }
  MKBodyElement* GetChild(int i) const;
  bool IsAncestor(const MKSegment* segment) const;
  bool IsDescendant(const MKSegment* segment) const;
  // Accepts segments and lines of sight; anything else is ignored.
  void AddChild(MKBodyElement* child);
  bool IsOnLeftSide() const;
  bool IsOnRightSide() const;
  bool IsPartOfSpine() const { return (flags & kSpineBit) != 0; }
  bool IsPartOfCervical() const { return shortName == SHeNe || shortName == SHeCg; }
  MKSegment* GetMirrorSegment() const;

  // Degrees of freedom. GetDOF(0..2) hides pure slaves; GetDOF(-2) is the Z
  // DOF even when it is one (for wiring couplings).
  void AddDOF(int axis, int dofFlags, double value, MKDOF* coupled);
  unsigned int GetNumberOfDOFs() const { return dofCount; }
  MKDOF* GetDOF(int i) const;

  // Posture.
  void ResetPosture();
  void MirrorCopyPosture();
  void SwapPosture();
  void MirrorCopyPrefAngles(int axis);
  void SwapPrefAngles(int axis);
  void LockPosture(int axis);

  // Geometry; rotations in radians unless the name says degrees.
  double GetLength() const { return length; }
  void SetLength(double newLength);
  bool IsLengthDefaulted() const { return lengthDefaulted != 0; }
  double GetRotationX() const { return rotation(0); }
  double GetRotationY() const { return rotation(1); }
  double GetRotationZ() const { return rotation(2); }
  double GetRotationXInDegrees() const;
  double GetRotationYInDegrees() const;
  double GetRotationZInDegrees() const;
  void SetRotation(double xDegrees, double yDegrees, double zDegrees);
  double GetMass() const { return mass; }
  void SetMass(double fraction);
  const MK3DVertex& GetCenterOfGravityPosition() const { return centerOfGravity; }
  void SetCenterOfGravityPosition(const MK3DVertex& fractions);
  const MK4x4Matrix& GetLocalMatrix();
  void GetLocalMatrix(MKFrame& frame);
  const MK4x4Matrix& GetParaMatrix() const { return paraMatrix; }
  MK3x1Matrix GetOriginPosition();
  MK3x1Matrix GetEndPosition();
  MK3x1Matrix AsVector();
  MK3DVertex GetDirection();
  MK3DVertex GetBeginPoint(MKCoordinateSpace space);
  MK3DVertex GetEndPoint(MKCoordinateSpace space);
  MK3x1Matrix GetRotationAxis(int axis);

  // Ellipses and skin.
  MKEllipse* AddEllipse(MKShortName name, int ellipseFlags);
  void AttachEllipse(MKEllipse* ellipse);
  void DetachEllipse(MKEllipse* ellipse);
  int GetNumberOfEllipses() const { return ellipses.Size(); }
  MKEllipse* GetEllipseAtIndex(int i) const;
  MKEllipse* GetEllipse(MKShortName name) const;
  MKSkinElement* InitSkinElement();
  MKSkinElement* GetSkinElement() const { return skinElement; }

  // Head subdivision bookkeeping: the base-mesh faces (hierarchies) this
  // segment displays, list A (mask value 2, type 2), and those with a vertex
  // anchored on it, list B (mask value 1, any other type).
  void AddHierarchyIndex(int mask, int index);
  void RemoveHierarchy(int mask, int index);
  void CompletlyRemoveAllHierarchies(int mask);
  int GetNbHierarchies(int type) const;
  int GetHierarchyAtIndex(int type, int i) const;
  void SetHierarchyAtIndex(int type, int i, int value);
  const KelRawCollint& GetHierarchiesIndexes(int type) const;
  void SetTextureInfo(const KelUnicodeString& path, const float* scale, const float* offset);
  const KelUnicodeString& GetPathToTexture() const { return texturePath; }
  const float* GetTextureScale() const { return textureScale; }
  const float* GetTextureOffset() const { return textureOffset; }

  // Lazy matrices.
  void Validate() { flags &= ~kChangedBit; }
  bool HasChanged() const { return (flags & kChangedBit) != 0; }
  void UpdateMatrices();
  void SetParaMatrix();

 private:
  static constexpr int kSpineBit = 1;
  static constexpr int kChangedBit = 2;

  void CopyFrom(const MKSegment& source);
  void DestroyOwned();
  // The angle the segment applies for a DOF (radians).
  static double AppliedAngle(const MKDOF* dof);

  MKSegment* ancestor = nullptr;
  KelRawCollPV children;
  int flags = kChangedBit;
  MK4x4Matrix localMatrix;
  unsigned int dofCount = 0;
  MKDOF* dofs[3] = {nullptr, nullptr, nullptr};
  KelRawCollPV ellipses;
  double length = 0.0;
  MK3x1Matrix rotation;
  MK4x4Matrix paraMatrix;
  MK4x4Matrix spareMatrix;  // kept null; copied with the segment
  MK3DVertex centerOfGravity;
  double mass = 0.0;
  MKSkinElement* skinElement = nullptr;
  unsigned char lengthDefaulted = 0;
  KelRawCollint hierarchiesA;
  KelRawCollint hierarchiesB;
  KelUnicodeString texturePath;
  float textureScale[2] = {0.0F, 0.0F};
  float textureOffset[2] = {0.0F, 0.0F};
};
