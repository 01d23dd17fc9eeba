#pragma once

#include "host/KelUnicodeString.h"
#include "parts/MKManikinPart.h"

// A named set of bounds (degrees) for the four field-of-vision angles of a
// vision: binocular, ambinocular, vertical top and vertical bottom. Always
// 0 <= minimum <= maximum <= the biomechanical maximum of that angle. May
// carry one memo child giving its source.
class MKVisualLimitsVariable : public MKManikinPart {
 public:
  // Every minimum 0, every maximum the biomechanical one.
  explicit MKVisualLimitsVariable(const KelUnicodeString& name);
  MKVisualLimitsVariable(const MKVisualLimitsVariable& source);
  MKVisualLimitsVariable& operator=(const MKVisualLimitsVariable& source);
  ~MKVisualLimitsVariable() override = default;

  MKStatus Write(KelStreamDefinition& stream) override;
  // The bounds read are applied through the setters, maxima first, so that
  // stored values out of range are dropped.
  MKStatus Read(KelStreamDefinition& stream) override;
  // A memo is merged into the memo child; a record gives its memo, its
  // bounds (through the setters, maxima first) and its name.
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  unsigned int GetSize() const override;
  MKManikinPart* Clone() const override { return new MKVisualLimitsVariable(*this); }

  // Records are identified by name.
  bool operator==(const MKVisualLimitsVariable& other) const { return name == other.name; }

  const KelUnicodeString& GetName() const { return name; }
  void SetName(const KelUnicodeString& newName) { name = newName; }

  double GetMinBinocularAngle() const { return minBinocular; }
  double GetMaxBinocularAngle() const { return maxBinocular; }
  double GetMinAmbinocularAngle() const { return minAmbinocular; }
  double GetMaxAmbinocularAngle() const { return maxAmbinocular; }
  double GetMinVerticalTopAngle() const { return minVerticalTop; }
  double GetMaxVerticalTopAngle() const { return maxVerticalTop; }
  double GetMinVerticalBottomAngle() const { return minVerticalBottom; }
  double GetMaxVerticalBottomAngle() const { return maxVerticalBottom; }

  // A minimum is taken only within [0, current maximum]; a maximum only
  // within [current minimum, biomechanical maximum]. Others are ignored.
  void SetMinBinocularAngle(double v);
  void SetMaxBinocularAngle(double v);
  void SetMinAmbinocularAngle(double v);
  void SetMaxAmbinocularAngle(double v);
  void SetMinVerticalTopAngle(double v);
  void SetMaxVerticalTopAngle(double v);
  void SetMinVerticalBottomAngle(double v);
  void SetMaxVerticalBottomAngle(double v);

 private:
  void CopyFields(const MKVisualLimitsVariable& source);
  // The eight bounds in record order, maxima applied before minima.
  void ApplyBounds(const double bounds[8]);

  KelUnicodeString name;
  double minBinocular = 0.0;
  double maxBinocular = 0.0;
  double minAmbinocular = 0.0;
  double maxAmbinocular = 0.0;
  double minVerticalTop = 0.0;
  double maxVerticalTop = 0.0;
  double minVerticalBottom = 0.0;
  double maxVerticalBottom = 0.0;
};
