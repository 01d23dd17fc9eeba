#pragma once

#include "host/KelRawColl.h"
#include "host/KelString.h"
#include "host/KelUnicodeString.h"
#include "math/MK3DVertex.h"
#include "math/MK4x4Matrix.h"
#include "math/MKFrame.h"
#include "parts/MKManikinPart.h"
#include "parts/MKShortName.h"
#include "parts/MKUUID.h"

class MKBodyElement;
class MKIKManager;
class MKSegment;
struct MKIKCurvature;

// The host's own constraint object, attached to a constraint so that the
// host can judge success with its own tolerances.
class MKKIIKConstraint {
 public:
  virtual ~MKKIIKConstraint() = default;
  virtual double GetDistanceTolerance() const = 0;
  // Radians.
  virtual double GetAngleTolerance() const = 0;
  // The host's target type code (same codes as MKIKConstraint).
  virtual int GetTargetType() const = 0;
  // Whether the host constraint aims at a target object of its own.
  virtual bool HasTargetObject() const = 0;
};
using MKKIIKConstraint_var = MKKIIKConstraint*;

// Asks the IK solver to bring a frame attached to a body element (the end
// effector) onto a target frame in world space, by moving the DOFs of the
// elements between a start segment and the end effector (the IK chain).
//
// The target type decides which parts of the end-effector frame must match:
// its origin, one of its axes, its whole orientation, or a line, plane or
// half-space relation. Each type has a squared-error potential, split in a
// position and a rotation part, and an analytic gradient with respect to the
// DOFs of the chain.
//
// All frames use the row-vector convention of MK4x4Matrix: rows 0 to 2 are
// the X, Y and Z axes, row 3 the origin. The end-effector frame is
// offset x (element's global matrix); the offset is expressed from the
// element's tip (0, 0, L), L being the segment or line-of-sight length.
class MKIKConstraint : public MKManikinPart {
 public:
  // Target type codes.
  static constexpr int sPosition = 8;
  static constexpr int sYDirection = 24;
  static constexpr int sXDirection = 72;
  static constexpr int sOrientation = 80;
  static constexpr int sFrame = 88;
  static constexpr int sPointing = 128;
  static constexpr int sLine = 137;
  static constexpr int sInfiniteLine = 139;
  static constexpr int sLineWithZDirection = 152;
  static constexpr int sZDirection = 648;
  static constexpr int sHalfSpace = 1152;
  static constexpr int sPlane = 1160;
  static constexpr int sPlaneWithZDirection = 1672;
  // The bit set in the codes of every type with a position component.
  static constexpr int sPositionBit = 8;

  // Weight of the axis terms against the squared distances (cm^2).
  static constexpr double sRotationWeightFactor = 91.189068;

  // Activity values.
  static constexpr int sInactive = 1;
  static constexpr int sActive = 2;

  // Pointing, weight 1, position weight 1, range 1, inactive, unit matrices,
  // no end effector or start segment.
  MKIKConstraint();
  // A constraint of `type` on `endEffector`, starting satisfied: its offset
  // is the element's tip and its target the end-effector frame. The ID is
  // built from `name` when one is given, else generated.
  MKIKConstraint(MKIKManager* manager, MKBodyElement* endEffector, MKSegment* startSegment,
                 int type, const char* name);
  MKIKConstraint(const MKIKConstraint& source);
  MKIKConstraint& operator=(const MKIKConstraint& source);
  ~MKIKConstraint() override;

  // Part operations. The record keeps type, activity, ID, the two short
  // names, weight, parameter, position weight and target matrix.
  MKStatus Write(KelStreamDefinition& stream) override;
  MKStatus Read(KelStreamDefinition& stream) override;
  // A constraint source gives its values; this constraint keeps its manager,
  // end effector, start segment and chain (they belong to this manikin). The
  // source's offset is taken only from a source bound to an end effector: a
  // constraint read from a stream has none, and the receiver keeps the
  // offset its own end effector gave it. A memo source goes to the memo child.
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  unsigned int GetSize() const override;
  MKManikinPart* Clone() const override { return new MKIKConstraint(*this); }

  // Identity: constraints are equal when their IDs are.
  bool operator==(const MKIKConstraint& other) const { return id == other.id; }
  bool operator!=(const MKIKConstraint& other) const { return !(*this == other); }
  void GetID(KelString& text) const { id.ConvertToString(text); }

  MKIKManager* GetManager() const { return manager; }

  // ---- Target ----
  int GetTargetType() const { return targetType; }
  // Stores the code and resets the position weight to the type's default.
  void SetTargetType(int type);
  void SetTargetMatrix(const MKFrame& frame);
  void SetTargetMatrix(const MK4x4Matrix& matrix) { targetMatrix = matrix; }
  void GetTargetMatrix(MKFrame& frame) const;
  const MK4x4Matrix& GetTargetMatrix() const { return targetMatrix; }
  // Replaces the target's origin, keeping its axes.
  void SetTargetPosition(double x, double y, double z);
  // Line types only (10 otherwise): the target's origin becomes `a`, its Z
  // axis the direction to `b` and the range their distance. An Infinite Line
  // first stretches the points a million times about their middle.
  MKStatus SetTargetLine(const MK3DVertex& a, const MK3DVertex& b);
  // offset := frame x translation (0, 0, L).
  void SetOffsetMatrix(const MKFrame& frame);
  const MK4x4Matrix& GetOffsetMatrix() const { return offsetMatrix; }
  // target := target x matrix.
  void ApplyTransformation(const MK4x4Matrix& matrix);

  // offset x element's global matrix; the target when there is no end effector.
  MK4x4Matrix GetEndEffectorMatrix() const;
  // target - end-effector matrix, element by element.
  MK4x4Matrix GetDifferenceMatrix() const;
  double GetDistanceToTarget() const;
  // Angle (radians) between the matching axes of target and end effector:
  // Z for the Z-direction types, X for Frame and X Direction, Y for Y
  // Direction; 0 for the other types.
  double GetAngleToTarget() const;

  // ---- End effector, start segment, chain ----
  MKBodyElement* GetEndEffector() const { return endEffector; }
  MKSegment* GetStartSegment() const { return startSegment; }
  int GetShortNameOfEndEffector() const { return endEffectorShortName; }
  int GetShortNameOfStartSegment() const { return startSegmentShortName; }
  // 10 for null or when neither the current start segment nor the default
  // one for the element lies above it; 3 when the default cannot be looked
  // up (no body). On success the chain is rebuilt and the offset reset.
  MKStatus SetEndEffector(MKBodyElement* element);
  // Without ancestry checks; the start segment becomes the element's
  // default one. 10 without element or manager.
  MKStatus ResetEndEffector(MKBodyElement* element);
  // 10 unless `segment` is the end effector's segment or one of its ancestors.
  MKStatus SetStartSegment(MKSegment* segment);
  // The default start segment for an end effector; the root (0) for names
  // outside the table.
  static MKShortName FindStartSegment(MKShortName endEffectorName);

  // Inserts at the front of the chain, so that a chain gathered from the end
  // effector upwards runs from the start segment down.
  void AddDrivenElement(MKBodyElement* element, int firstDOFIndex);
  void ResetIKChain();
  double GetIKChainLength() const { return chainLength; }
  int GetNumberOfIKChainElements() const { return chainElements.Size(); }
  // 0-based; null out of range.
  MKBodyElement* GetIKChainElement(int i) const;
  // 0-based; -1 out of range.
  int GetIKChainDOFIndex(int i) const;
  void ResetIKChainWithDefaultDOFValues();
  void ResetIKChainWithMiddleDOFValues();
  void ResetIKChainWithBetterStartValues();
  void SaveLocalPosture();
  void ResetLocalPosture();

  // ---- State ----
  void Activate();
  void Deactivate();
  bool IsActive() const { return activity == sActive; }
  void SetAsInvalid(unsigned char invalid);
  bool IsInvalid() const { return invalidFlag != 0; }
  unsigned char Fail() const { return failFlag; }
  void SetFail(unsigned char fail) { failFlag = fail; }
  // 5 and no change outside [0, 1].
  MKStatus SetWeight(double newWeight);
  double GetWeight() const { return weight; }
  // 700 and no change outside [0, 1].
  MKStatus SetPositionWeight(double newWeight);
  double GetPositionWeight() const { return positionWeight; }
  void SetParameter(double value) { parameter = value; }
  double GetParameter() const { return parameter; }
  // Negative ranges are ignored.
  void SetRange(double value);
  double GetRange() const { return range; }
  // True when inactive or free-standing; otherwise whether the last computed
  // potentials are within the solver's tolerance.
  bool IsResolved() const;
  MKStatus SetCstProperty(const KelUnicodeString& name, const KelUnicodeString& value);
  KelUnicodeString GetCstProperty(const KelUnicodeString& name) const;
  void SetExternalConstraint(MKKIIKConstraint_var constraint) { externalConstraint = constraint; }
  // The host's handle as an untyped pointer: it must point to the host's
  // MKKIIKConstraint (the object IsSuccessByCriteria asks), or be null.
  void SetExternalConstraint(void* constraint) {
    externalConstraint = static_cast<MKKIIKConstraint_var>(constraint);
  }
  MKKIIKConstraint_var GetExternalConstraint() const { return externalConstraint; }
  bool IsSuccessByCriteria() const;

  // ---- Potential and gradient ----
  // Resets and fills both potentials; answers their sum.
  double ComputePotential();
  double GetPositionPotential() const { return positionPotential; }
  double GetRotationPotential() const { return rotationPotential; }
  // Adds weight x d(potential)/d(DOF value) x pi/180 to g[k] for every DOF of
  // the chain, k being its index in the solver's variable vector. DOF values
  // are read as they stand. With `curvature`, also adds the constraint's
  // Gauss-Newton matrix (weighted like the gradient) to it.
  void ComputeGradient(double* g, MKIKCurvature* curvature = nullptr);

 private:
  void CopyFields(const MKIKConstraint& source);
  // The segment standing for the end effector in ancestry tests.
  MKSegment* GetEndEffectorSegment() const;
  // offset := translation (0, 0, L) of the end effector.
  void ResetOffsetMatrix();
  void RebuildManager();
  MKManikinPart* FindMemo() const;
  // The chain's DOFs in chain order and DOF order.
  template <typename Visit>
  void ForEachChainDOF(Visit visit) const;

  MKIKManager* manager = nullptr;
  MK4x4Matrix targetMatrix;
  MK4x4Matrix offsetMatrix;
  int targetType = sPointing;
  MKBodyElement* endEffector = nullptr;
  double parameter = 0.0;
  double range = 1.0;
  int activity = sInactive;
  MKUUID id;
  unsigned char failFlag = 0;
  KelRawCollPV chainElements;
  KelRawCollint chainDOFIndexes;
  MKSegment* startSegment = nullptr;
  MKKIIKConstraint_var externalConstraint = nullptr;
  double weight = 1.0;
  double chainLength = 0.0;
  double positionWeight = 1.0;
  double positionPotential = 0.0;
  double rotationPotential = 0.0;
  int endEffectorShortName = -1;
  int startSegmentShortName = -1;
  KelRawColldouble savedLocalPosture;
  KelListValKelUnicodeString properties;
  unsigned char invalidFlag = 0;
  // The trunk length counted once for the first vertebra of a chain.
  double spineChainLength = 0.0;
};
