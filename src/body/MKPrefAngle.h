#pragma once

#include "host/KelString.h"
#include "host/KelUnicodeString.h"
#include "parts/MKManikinPart.h"

class MKDOF;
class MKUUID;

// A preferred-angle zone of a DOF: a contiguous interval of the joint angle
// (mathematical values, radians) with a name, a comfort score and a display
// colour. Zones of one DOF run from its highest angles to its lowest.
class MKPrefAngle : public MKManikinPart {
 public:
  explicit MKPrefAngle(MKDOF* owner);
  MKPrefAngle(const MKPrefAngle& source);
  MKPrefAngle& operator=(const MKPrefAngle& source);
  ~MKPrefAngle() override;

  MKStatus Write(KelStreamDefinition& stream) override;
  MKStatus Read(KelStreamDefinition& stream) override;
  // A zone source gives its bounds, score, colour and name; the owner stays.
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  unsigned int GetSize() const override;
  MKManikinPart* Clone() const override { return new MKPrefAngle(*this); }
  int GetOwnerShortNameAsChild() const override { return ownerShortName; }
  int GetDOFNumberAsChild() const override { return dofNumber; }

  bool operator==(const MKPrefAngle& other) const { return index == other.index; }
  bool operator<(const MKPrefAngle& other) const { return index < other.index; }

  int GetIndex() const { return index; }
  void SetIndex(int i) { index = i; }
  double GetMin() const { return min; }
  void SetMin(double angle) { min = angle; }
  double GetMax() const { return max; }
  void SetMax(double angle) { max = angle; }
  double GetScore() const { return score; }
  void SetScore(double newScore);
  int GetColor() const { return color; }
  void SetColor(int newColor);
  const KelUnicodeString& GetName() const { return name; }
  // With no owner short name, the identifier's text is cut out of the name;
  // when the name does not hold it, the owner short name becomes 0.
  void SetName(const KelUnicodeString& newName);
  MKDOF* GetOwner() const { return owner; }
  void SetOwner(MKDOF* dof);
  int GetShortNameOfOwner() const { return ownerShortName; }
  int GetDOFNumber() const { return dofNumber; }
  void GetID(KelString& id) const;
  // This zone of the owner's spine run: the run's angle at the members'
  // bounds of the zone, and the score shared by the members.
  double GetMinOfSpinePref() const;
  double GetMaxOfSpinePref() const;
  double GetScoreOfSpinePref() const { return score; }
  void SetScoreOfSpinePref(double newScore);

 private:
  void CopyFields(const MKPrefAngle& source);

  int index = -1;
  double min = 0.0;
  double max = 0.0;
  double score = 0.0;
  int color = 0;
  KelUnicodeString name;
  MKDOF* owner = nullptr;
  MKUUID* identifier = nullptr;
  int ownerShortName = -1;
  int dofNumber = 0;
};
