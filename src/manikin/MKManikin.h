#pragma once

#include "host/KelRawColl.h"
#include "host/MKKEBodyPart.h"
#include "math/MK3DVertex.h"
#include "parts/MKManikinPart.h"

class MKAnthro;
class MKBody;
class MKDBAnthro;
class MKIKManager;
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
  static MKStatus Create(MKManikin*& manikin, int sex, double percentile, MKDBAnthro* database,
                         int buildKind, unsigned char bodyFlag);

  MKManikin(MKDBAnthro* database, int sex, int buildKind, unsigned char bodyFlag);
  MKManikin& operator=(const MKManikin&) = delete;
  ~MKManikin() override;

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
  void ResetFocusPointAfterPastePosture(const MK3DVertex& focusPoint);

 private:
  // The memo child annotating parts of `kind`, or null.
  MKManikinPart* FindMemo(MKPartID kind) const;
  MKManikinPart* ExtractPosture(KelRawCollint* shortNames) const;
  MKManikinPart* ExtractPrefAngles(MKPartID kind, KelRawCollint* shortNames) const;

  MKBody* body = nullptr;
  MKAnthro* anthro = nullptr;
  MKVision* vision = nullptr;
  MKIKManager* ikManager = nullptr;
};
