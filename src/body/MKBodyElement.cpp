#include "body/MKBodyElement.h"

#include "host/KelMsgCatalog.h"

namespace {
KelUnicodeString Message(const KelUnicodeString& key) {
  return KelMsgCatalog::BuildMessage("LumHumanModeling", key.ConvertToChar(), nullptr, 0,
                                     KelUnicodeString("@") + key);
}
}  // namespace

KelUnicodeString MKBodyElement::GetName() const {
  KelUnicodeString number;
  number.BuildFromNum(static_cast<int>(shortName), "%d");
  const KelUnicodeString name = Message(KelUnicodeString("MKShortName") + number);
  if (classTag != MKSkinElementClass) return name;
  return Message("MKShortNameSkin") + name;
}

const MK4x4Matrix& MKBodyElement::GetGlobalMatrix() {
  Update();
  return globalMatrix;
}

void MKBodyElement::GetGlobalMatrix(MKFrame& frame) {
  Update();
  globalMatrix.GetMKFrame(frame);
}
