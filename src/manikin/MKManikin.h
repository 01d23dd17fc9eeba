#pragma once

#include "host/KelRawColl.h"
#include "host/MKKEBodyPart.h"
#include "math/MK3DVertex.h"
#include "parts/MKManikinPart.h"
#include "parts/MKShortName.h"

enum MKPositionSpec : int;

class MKAnthro;
class MKBody;
class MKDBAnthro;
class MKDOF;
class MKIKManager;
class MKSegment;
class MKVision;

// Percent of body mass per body part (rows MKKEBodyPart 0 to 8): a quadratic
// a x^2 + b x + c in the stature coordinate x = percentile / 45 + 8 / 9, with
// a, b, c for men in columns 0 to 2 and for women in columns 3 to 5.
extern const double __BodyMassDistribTable[9][6];

// The digital human: a part that owns its body, anthropometry, vision and
// inverse-kinematics manager, and keeps its memos as children (one per
// annotated aspect: the manikin, its preferred angles, its joint limits).
class MKManikin : public MKManikinPart {
 public:
  // Creates a manikin of `sex` (0 female, 1 male) at a stature-and-weight
  // `percentile` of `database` (null: the built-in population). On any
  // failure `manikin` is null: 6 bad sex, 100 skin data unreadable, 7
  // percentile outside (0, 100), 8 buildKind not 1 or 2, 4 no memory, or the
  // status of fixing stature and weight.
  static MKStatus Create(MKManikin*& manikin, int sex, double percentile,
                         const MKDBAnthro* database, int buildKind, unsigned char bodyFlag);

  MKManikin(const MKDBAnthro* database, int sex, int buildKind, unsigned char bodyFlag);
  // Fresh components on the source's database and sex, then everything
  // else pasted from the source.
  MKManikin(const MKManikin& source);
  MKManikin& operator=(const MKManikin&) = delete;
  ~MKManikin() override;
  MKManikinPart* Clone() const override { return new MKManikin(*this); }

  // Hands a part to the component that owns its aspect: 600 without a
  // source, 601 for a kind a manikin does not take; otherwise the status of
  // the component (see MKManikinPaste.cpp for each kind's rule).
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  // A posture recorded on the earlier generation's skeleton (version below
  // 2.03), carried over to the current one: 3 without a source or a body.
  MKStatus PasteOldPosture(const MKManikinPart* source);

  // The manikin's record (framing of every part): its DOF coupling, then one
  // section per aspect, each an extracted part's record, in a fixed order.
  MKStatus Write(KelStreamDefinition& stream) override;
  // Reads a manikin record from its begin tag. The whole record is read and
  // checked before anything is pasted, so a malformed one leaves the manikin
  // as it was: 100 for another record, a record newer than this reader, a
  // bad count or flag, or a truncated or misframed section. Once read, the
  // sections are pasted in order and the first failing paste is returned.
  MKStatus Read(KelStreamDefinition& stream) override;
  unsigned int GetSize() const override;

  MKManikinPart* ExtractPartAtIndex(unsigned int index) const override;
  MKManikinPart* ExtractPart(MKPartID kind, unsigned int index,
                             KelRawCollint* shortNames) const override;
  unsigned int GetNumberOfChildrenParts() const override;

  MKBody* GetBody() const { return body; }
  MKAnthro* GetAnthro() const { return anthro; }
  MKVision* GetVision() const { return vision; }
  MKIKManager* GetIKManager() const { return ikManager; }

  // Whether only stature or weight are fixed, each at the 5th, 50th or
  // 95th percentile (within 0.002).
  bool IsStandard() const;
  MKManikinPart* ExtractPartJointLimits(const MKPartID& kind, KelRawCollint* shortNames) const;

  // Fraction of the body mass of a body part; NaN for a bad argument.
  static double GetMassPercentage(const MKKEBodyPart& bodyPart, int sex, double percentile);
  // The same at the manikin's stature percentile; 0 without stature.
  double MassDistrib(const MKKEBodyPart& bodyPart, int sex) const;
  // The value of the anthropometric variable of that reference number; 0 when none.
  double GetAnthroValue(unsigned int referenceNumber) const;
  MKStatus PasteAnthroDBRef(MKManikinPart* part);
  // After a posture paste the eyes aim at the point; when they cannot, the
  // head and the trunk turn towards it (behaviour set to 1).
  void ResetFocusPointAfterPastePosture(const MK3DVertex& focusPoint);

  // Sizes the skeleton and the body ellipses from the anthropometry, keeping
  // posture, joint limits and locks: 2 without a body, 301 when a segment or
  // an ellipse ends up invalid.
  MKStatus BuildManikin(int sex);
  // The earlier generation's build, used to pose a posture recorded on that
  // skeleton: same statuses; keeps the posture but not the joint limits.
  MKStatus BuildOldManikin(int sex);

  // Region builders (lengths in cm, angles in degrees). h is the hip-joint
  // offset over the trochanter, w the pelvis rise from the hip joints to L5,
  // d the cervicale height over the acromion.
  void MakeTrunkModel(int sex, double h, double unused, double d, double w);
  void MakeOldTrunkModel(int sex, double h, double unused, double d, double w);
  void MakeHeadModel(int sex, double h, double w);
  void MakeRightSupLimbModel(int sex);
  void MakeLeftSupLimbModel(int sex);
  void MakeRightInfLimbModel(int sex, double h, double unused, double w);
  void MakeLeftInfLimbModel(int sex, double h, double unused, double w);
  void MakeRightHandModel(int sex);
  void MakeLeftHandModel(int sex);
  void MakeRightFootModel(int sex);
  void MakeLeftFootModel(int sex);
  void AdjustTrunkEllipses(int sex, double h, double w);
  void AdjustAnkleEllipses();

 private:
  // Reference numbers of the anthropometric variables the build reads.
  // clang-format off
  enum BuildVariable : unsigned int {
    kABEXDPST = 2, kACRHGHT = 3, kACRHTST = 4, kANKLCIRC = 6, kAXHGHT = 7, kAXARCIRC = 8,
    kBLFTCIRC = 9, kBLFTLGTH = 10, kBCRMBDTH = 11, kBICIRCFL = 12, kBIDLBDTH = 13, kBIMBDTH = 14, kBISBDTH = 15,
    kBUTTDPTH = 25, kBUTTHGHT = 26, kBUTTKLTH = 27, kBUTTPLTH = 28, kCALFCIRC = 29,
    kCALFHGTH = 30, kCERVHGTH = 31, kCHSTBDTH = 33, kCHSTCIRC = 34, kCHSTCISC = 35, kCHSTCB = 36,
    kCHSTDPTH = 37, kCHSTHGHT = 38, kCRCHHGHT = 39, kELBCIRC = 48, kFTBRHOR = 51, kFOOTLGTH = 52,
    kFCIRCFL = 53, kFORHDLG = 55, kHANDBRTH = 58, kHANDCIRC = 59, kHANDLGTH = 60, kHEADBRTH = 61,
    kHEADLGTH = 63, kHLAKCIRC = 64, kHEELBRTH = 65, kHIPBRTH = 66, kHIPBRSIT = 67, kINPUPBTH = 69,
    kKNEECIRC = 72, kKNEEHTMP = 73, kKNEEHTSI = 74, kLATFEMEP = 75, kLATMALHT = 76,
    kLOTHCIRC = 77, kMSHTSIT = 79, kNECKCIRC = 81, kPOPHGHT = 87, kRASTL = 88, kSCYECIRC = 89,
    kSLOUTSM = 98, kSPAN = 99, kSTATURE = 100, kTHGHCIRC = 104, kTHGHCLR = 105, kTHUMBBR = 106,
    kTROCHHT = 108, kWSTBRTH = 113, kWSTDEPTH = 116, kWSTHOM = 120, kWEIGHT = 125,
    kWRCTRGRL = 126, kWRISCIRC = 127, kWRINFNGL = 130, kWRTHLGTH = 131, kWRWALLLN = 132,
    kBIGBRH = 212, kBDRBDTHH = 215, kBIZYBRH = 216, kECTORBT = 233, kGLABX = 236, kGLABZ = 237,
    kINFORBB = 240, kMENTONX = 242, kMENTONZ = 243, kPMENTONX = 244, kPMENTONZ = 245,
    kPRONASX = 246, kPRONASZ = 247, kSELLIONX = 248, kSELLIONZ = 249, kSTOMIONX = 250,
    kSTOMIONZ = 251, kTRAGB = 254, kTRAGT = 255
  };
  // clang-format on

  // Gives `segment` its length and a rest rotation that points it along
  // `worldDirection` in the body's current posture, rolled about itself so
  // that its local y axis (towards which a positive flexion about x moves
  // its children) lies closest to `flexionWorld`.
  static void AimSegment(MKSegment* segment, const MK3DVertex& worldDirection,
                         const MK3DVertex& flexionWorld, double length);
  // Sizes the ellipse `name` of `segment` at height z on the segment's axis,
  // turns it about its normal so that its major axis lies closest to
  // `majorWorld`, and shifts its centre by the world vector `shiftWorld`.
  static void SizeSection(MKSegment* segment, MKShortName name, double major, double minor,
                          double z, const MK3DVertex& majorWorld, const MK3DVertex& shiftWorld);
  // Moves the ellipse `name` of `segment`, unchanged in shape, so that its
  // landmark `spec` reaches `worldTarget` in the world coordinates selected
  // by `useX`, `useY` and `useZ`.
  static void MoveSectionLandmark(MKSegment* segment, MKShortName name, MKPositionSpec spec,
                                  const MK3DVertex& worldTarget, bool useX, bool useY, bool useZ);

  // True when the host asks for the earlier generation's geometry.
  static bool IsEarlierGeneration();
  // The earlier generation's hip half-span, from weight and stature.
  double EarlierHipHalfSpan(int sex) const;
  // The steps of the earlier generation that replace the head builder and
  // the trunk-ellipse builder.
  void SizeOldHead(int sex, double h, double w);
  void SizeOldTrunkEllipses(int sex, double h, double w);
  // Validation shared by both builds: 301 for an invalid segment or ellipse.
  MKStatus ValidateBuild();
  // The chest term of the thorax: how far the chest's mid-depth lies in
  // front of the base of L5.
  double ChestOffset(int sex, double bispinous) const;
  // The two trunk builders share one body with a generation switch.
  void MakeTrunk(int sex, double h, double unused, double d, double w, bool earlier);
  // Attaches the vision after a build and aims it again.
  void AimVisionAfterBuild();
  // The mirrored builders share one body with a side switch.
  void MakeSupLimbModel(int sex, bool left);
  void MakeInfLimbModel(int sex, double h, bool left);
  void MakeHandModel(int sex, bool left);
  void MakeFootModel(int sex, bool left);

  // Persistence. The parts of a record read and checked, before the paste.
  struct ReadRecord;
  // The sections from the memo to the IK solver settings.
  static MKStatus ReadManikin(KelStreamDefinition& stream, ReadRecord& record);
  // The clothing count, 0 or 1, and the skipped clothing record.
  static MKStatus ReadClothing(KelStreamDefinition& stream);
  MKStatus PasteRecord(ReadRecord& record);
  // The part a section writes: the extracted part of `kind`, the posture
  // without the DOFs that a fresh manikin restores by itself.
  MKManikinPart* ExtractSection(MKPartID kind) const;
  MKManikinPart* ExtractWrittenPosture() const;

  // The memo child annotating parts of `kind`, or null.
  MKManikinPart* FindMemo(MKPartID kind) const;
  // Kind 0 becoming a manikin of version 2.01, shared by the constructors.
  void BecomeManikin();

  // Paste rules, one per kind of source.
  MKStatus PasteMemo(const MKManikinPart* source);
  MKStatus PasteAnthropometry(const MKManikinPart* source);
  MKStatus PastePosture(const MKManikinPart* source);
  // One posture value onto the DOF it names (a segment's or the middle
  // line of sight's); the DOF reached, or null.
  MKDOF* PastePostureValue(const MKManikinPart* value);
  MKStatus PasteJointLimits(const MKManikinPart* source);
  MKStatus PasteIKConstraints(const MKManikinPart* source);
  MKStatus PastePrefAngles(const MKManikinPart* source);
  MKStatus PasteJointLimitsDBRef(const MKManikinPart* source);
  MKStatus PasteManikin(const MKManikin& source);
  // DOF `number` of the segment of that short name, else of the vision's
  // line of sight of that name; null when there is none.
  MKDOF* FindDOF(int shortName, int number) const;
  // Back to the database limits, even when they are locked (the lock stays).
  static void ResetLimitsThroughLock(MKDOF* dof);
  MKManikinPart* ExtractPosture(KelRawCollint* shortNames) const;
  MKManikinPart* ExtractIKConstraints() const;
  MKManikinPart* ExtractPrefAngles(MKPartID kind, KelRawCollint* shortNames) const;

  MKBody* body = nullptr;
  MKAnthro* anthro = nullptr;
  MKVision* vision = nullptr;
  MKIKManager* ikManager = nullptr;
  // Set while a whole manikin is pasted or read: its vision restores the
  // recorded look after the posture, so the posture paste leaves the eyes.
  bool pastingWhole = false;
  // Sets `pastingWhole` for a scope.
  class WholePaste {
   public:
    explicit WholePaste(MKManikin& manikin) : manikin(manikin) { manikin.pastingWhole = true; }
    ~WholePaste() { manikin.pastingWhole = false; }
    WholePaste(const WholePaste&) = delete;
    WholePaste& operator=(const WholePaste&) = delete;

   private:
    MKManikin& manikin;
  };
};
