#pragma once

#include "parts/MKManikinPart.h"

// The settings of one manikin's IK solver: the convergence tolerance and the
// behaviour word whose bits select the solving strategies.
class MKIKSpecs : public MKManikinPart {
 public:
  // Single-precision machine epsilon: the default tolerance, and the value
  // that replaces a tolerance read above sMaximumReadTolerance.
  static constexpr double sDefaultTolerance = 1.1920929e-07;
  static constexpr double sMaximumReadTolerance = 0.001;
  // 1 alone: a local solve of the driven chains.
  static constexpr int sDefaultBehavior = 1;

  MKIKSpecs();
  MKIKSpecs(const MKIKSpecs& source);
  MKIKSpecs& operator=(const MKIKSpecs& source);
  ~MKIKSpecs() override = default;

  MKStatus Write(KelStreamDefinition& stream) override;
  MKStatus Read(KelStreamDefinition& stream) override;
  // Specs: both fields and the memo; a memo: into the memo child.
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  unsigned int GetSize() const override;
  MKManikinPart* Clone() const override { return new MKIKSpecs(*this); }

  // Values below 0 or above 1 are ignored.
  void SetTolerance(double value);
  double GetTolerance() const { return tolerance; }
  void SetBehavior(int value) { behavior = value; }
  int GetBehavior() const { return behavior; }

 private:
  double tolerance = sDefaultTolerance;
  int behavior = sDefaultBehavior;
};
