#pragma once

#include "math/MK3DVertex.h"
#include "math/MKFrame.h"
#include "parts/MKManikinPart.h"

// Where a posture was placed: a position frame, up to 15 referentials with
// their positions, and a position context. Postures carry one as a child.
class MKManikinPartFrame : public MKManikinPart {
 public:
  static constexpr unsigned int sNumberOfReferentials = 15;

  static MKManikinPartFrame* Create() { return new MKManikinPartFrame(); }
  MKManikinPartFrame();
  MKManikinPartFrame(const MKManikinPartFrame& source);
  MKManikinPartFrame& operator=(const MKManikinPartFrame& source);

  MKStatus Write(KelStreamDefinition& stream) override;
  MKStatus Read(KelStreamDefinition& stream) override;
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  ~MKManikinPartFrame() override = default;
  unsigned int GetSize() const override { return 552 + GetSizeOfTimeStamp(); }
  MKManikinPart* Clone() const override { return new MKManikinPartFrame(*this); }

  const MKFrame* GetFrame() const { return &frame; }
  void SetFrame(const MKFrame& newFrame) { frame = newFrame; }
  // Indices from 15 on: the setters ignore them, the getters answer -1 and NaNs.
  int GetReferential(unsigned int i) const;
  void SetReferential(unsigned int i, int referentialValue);
  MK3DVertex GetReferentialPosition(unsigned int i) const;
  void SetReferentialPosition(unsigned int i, const MK3DVertex& position);
  int GetPositionContext() const { return positionContext; }
  void SetPositionContext(int context) { positionContext = context; }

 private:
  void CopyFields(const MKManikinPartFrame& source);

  MKFrame frame;
  MK3DVertex referentialPosition[sNumberOfReferentials];
  int referential[sNumberOfReferentials];
  int positionContext = 0;
};
