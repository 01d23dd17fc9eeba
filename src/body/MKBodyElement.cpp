#include "body/MKBodyElement.h"

#include "parts/MKMessage.h"

KelUnicodeString MKBodyElement::GetName() const {
  KelUnicodeString number;
  number.BuildFromNum(static_cast<int>(shortName), "%d");
  const KelUnicodeString name = MKGetMessage(KelUnicodeString("MKShortName") + number);
  if (classTag != MKSkinElementClass) return name;
  return MKGetMessage("MKShortNameSkin") + name;
}

const MK4x4Matrix& MKBodyElement::GetGlobalMatrix() {
  Update();
  return globalMatrix;
}

void MKBodyElement::GetGlobalMatrix(MKFrame& frame) {
  Update();
  globalMatrix.GetMKFrame(frame);
}
